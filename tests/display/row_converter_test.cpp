#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "display/row_converter.h"

namespace {

struct Channels {
  uint32_t r, g, b;
};
Channels Split(uint32_t p) { return {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF}; }

// The table of display pixels, written out channel by channel.
std::vector<uint8_t> Reference(RowConverter converter, const std::vector<uint32_t>& row) {
  std::vector<uint8_t> out;
  for (uint32_t p : row) {
    const Channels c = Split(p);
    auto put16 = [&](uint32_t v) {
      out.push_back(static_cast<uint8_t>(v));
      out.push_back(static_cast<uint8_t>(v >> 8));
    };
    auto put32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    };
    if (converter == ConvertRowCopy32) put32(p);
    if (converter == ConvertRowSwap32) put32((c.b << 16) | (c.g << 8) | c.r);
    if (converter == ConvertRowRgb24) out.insert(out.end(), {uint8_t(c.b), uint8_t(c.g), uint8_t(c.r)});
    if (converter == ConvertRowBgr24) out.insert(out.end(), {uint8_t(c.r), uint8_t(c.g), uint8_t(c.b)});
    if (converter == ConvertRowRgb565) put16(((c.r & 0xF8) << 8) | ((c.g & 0xFC) << 3) | (c.b >> 3));
    if (converter == ConvertRowBgr565) put16(((c.b & 0xF8) << 8) | ((c.g & 0xFC) << 3) | (c.r >> 3));
    if (converter == ConvertRowRgb555) put16(((c.r & 0xF8) << 7) | ((c.g & 0xF8) << 2) | (c.b >> 3));
    if (converter == ConvertRowBgr555) put16(((c.b & 0xF8) << 7) | ((c.g & 0xF8) << 2) | (c.r >> 3));
  }
  return out;
}

struct Case {
  const char* name;
  RowConverter converter;
  int bytes_per_pixel;
};

const Case kCases[] = {
    {"Copy32", ConvertRowCopy32, 4}, {"Swap32", ConvertRowSwap32, 4}, {"Rgb24", ConvertRowRgb24, 3},
    {"Bgr24", ConvertRowBgr24, 3},   {"Rgb565", ConvertRowRgb565, 2}, {"Bgr565", ConvertRowBgr565, 2},
    {"Rgb555", ConvertRowRgb555, 2}, {"Bgr555", ConvertRowBgr555, 2},
};

std::vector<uint8_t> Convert(RowConverter converter, int bytes_per_pixel, const std::vector<uint32_t>& row,
                             int guard, uint8_t guard_value) {
  std::vector<uint8_t> out(row.size() * bytes_per_pixel + guard, guard_value);
  converter(row.data(), out.data(), static_cast<int>(row.size()));
  return out;
}

TEST(RowConverter, KnownPixel) {
  const std::vector<uint32_t> p = {0x80123456};
  auto word16 = [](const std::vector<uint8_t>& b) { return b[0] | (b[1] << 8); };
  EXPECT_EQ(word16(Convert(ConvertRowRgb565, 2, p, 0, 0)), 0x11AA);
  EXPECT_EQ(word16(Convert(ConvertRowBgr565, 2, p, 0, 0)), 0x51A2);
  EXPECT_EQ(word16(Convert(ConvertRowRgb555, 2, p, 0, 0)), 0x08CA);
  EXPECT_EQ(word16(Convert(ConvertRowBgr555, 2, p, 0, 0)), 0x28C2);
  uint32_t swapped = 0, copied = 0;
  std::memcpy(&swapped, Convert(ConvertRowSwap32, 4, p, 0, 0).data(), 4);
  std::memcpy(&copied, Convert(ConvertRowCopy32, 4, p, 0, 0).data(), 4);
  EXPECT_EQ(swapped, 0x00563412u);
  EXPECT_EQ(copied, 0x80123456u);
  EXPECT_EQ(Convert(ConvertRowRgb24, 3, p, 0, 0), (std::vector<uint8_t>{0x56, 0x34, 0x12}));
  EXPECT_EQ(Convert(ConvertRowBgr24, 3, p, 0, 0), (std::vector<uint8_t>{0x12, 0x34, 0x56}));
}

TEST(RowConverter, WhiteIsAllOnesExceptTheFifteenBitTopBit) {
  const std::vector<uint32_t> white(9, 0xFFFFFFFF);  // a block and a remainder
  for (RowConverter c : {ConvertRowRgb565, ConvertRowBgr565}) {
    const auto out = Convert(c, 2, white, 0, 0);
    for (size_t i = 0; i < white.size(); ++i) EXPECT_EQ(out[2 * i] | (out[2 * i + 1] << 8), 0xFFFF);
  }
  for (RowConverter c : {ConvertRowRgb555, ConvertRowBgr555}) {
    const auto out = Convert(c, 2, white, 0, 0);
    for (size_t i = 0; i < white.size(); ++i) EXPECT_EQ(out[2 * i] | (out[2 * i + 1] << 8), 0x7FFF);
  }
}

// Every length from 0 to 70 covers empty rows, rows shorter than one block, and every
// remainder after whole blocks; the guard bytes after the row must come back untouched.
TEST(RowConverter, BlockFormsMatchThePixelFormulaAndStayInsideTheRow) {
  std::mt19937 random(1234);
  constexpr int kGuard = 32;
  for (const Case& c : kCases) {
    for (int length = 0; length <= 70; ++length) {
      std::vector<uint32_t> row(length);
      for (uint32_t& p : row) p = random();
      for (uint8_t guard_value : {uint8_t{0xA5}, uint8_t{0x00}}) {
        const auto out = Convert(c.converter, c.bytes_per_pixel, row, kGuard, guard_value);
        const auto expected = Reference(c.converter, row);
        ASSERT_TRUE(std::equal(expected.begin(), expected.end(), out.begin())) << c.name << " length " << length;
        for (size_t i = expected.size(); i < out.size(); ++i) {
          ASSERT_EQ(out[i], guard_value) << c.name << " wrote past a row of " << length;
        }
      }
    }
  }
}

TEST(RowConverter, SelectionTakesExactMasksOnly) {
  EXPECT_EQ(SelectRowConverter(32, 0xFF0000, 0xFF00, 0xFF), ConvertRowCopy32);
  EXPECT_EQ(SelectRowConverter(32, 0xFF, 0xFF00, 0xFF0000), ConvertRowSwap32);
  EXPECT_EQ(SelectRowConverter(24, 0xFF0000, 0xFF00, 0xFF), ConvertRowRgb24);
  EXPECT_EQ(SelectRowConverter(24, 0xFF, 0xFF00, 0xFF0000), ConvertRowBgr24);
  EXPECT_EQ(SelectRowConverter(16, 0xF800, 0x7E0, 0x1F), ConvertRowRgb565);
  EXPECT_EQ(SelectRowConverter(16, 0x1F, 0x7E0, 0xF800), ConvertRowBgr565);
  EXPECT_EQ(SelectRowConverter(16, 0x7C00, 0x3E0, 0x1F), ConvertRowRgb555);
  EXPECT_EQ(SelectRowConverter(16, 0x1F, 0x3E0, 0x7C00), ConvertRowBgr555);
  EXPECT_EQ(SelectRowConverter(16, 0xF00, 0xF0, 0xF), nullptr);          // 4-4-4
  EXPECT_EQ(SelectRowConverter(15, 0x7C00, 0x3E0, 0x1F), nullptr);       // 15 is reported as 16
  EXPECT_EQ(SelectRowConverter(32, 0xFF0000, 0xFF00, 0xFE), nullptr);
  EXPECT_EQ(SelectRowConverter(8, 0, 0, 0), nullptr);
}

}  // namespace
