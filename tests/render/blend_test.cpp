#include "render/blend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

struct BlendCase {
  int32_t mode;
  uint32_t destination, source, expected;
};

// Worked by hand from the per-byte formulas.
const BlendCase kCases[] = {
    {0, 0x00000000, 0xFFFFFFFF, 0xFEFEFEFE},  // 255 x 255 >> 8 is 254
    {0, 0xFFFFFFFF, 0x12345678, 0x00000000},
    {1, 0x00000000, 0xFFFFFFFF, 0xFFFFFFFF},  // saturates
    {2, 0xFFFFFFFF, 0x80808080, 0x40404040},
    {3, 0x00000000, 0x000000FF, 0xFE00FEFE},  // blue weighs by red, red by blue
    {4, 0x11223344, 0x99999999, 0xEEDDCCBB},
    {9, 0x11223344, 0x12345678, 0xEEDDCCBB},
    {-1, 0x11223344, 0x00000000, 0xEEDDCCBB},
    {5, 0xFFFFFFFF, 0x80808080, 0x80808080},
    {5, 0x00000000, 0x80808080, 0x00000000},
    {6, 0x00204080, 0x00123456, 0xFEDEBE7E},  // alpha 0: (D' x 255) >> 8
    {6, 0x00204080, 0xFF123456, 0xFE113355},  // alpha 255: (S x 255) >> 8
    {7, 0x00000000, 0x80FF0000, 0xFFFFFDFD},  // 126 + 127 in blue and green; red, alpha saturate
};

TEST(BlendPixel, WorkedExamples) {
  for (const BlendCase& c : kCases) {
    uint32_t scalar = c.destination, packed = c.destination;
    BlendPixel(c.mode, &scalar, c.source);
    BlendPixels(c.mode, &packed, &c.source, 1);
    EXPECT_TRUE(scalar == c.expected && packed == c.expected) << "mode " << c.mode << " destination " << std::hex
                                                              << c.destination << ": " << scalar << ", " << packed;
  }
}

// Every byte value meets 0, 1, 127, 128, 254 and 255 and random pixels, in runs of every
// length up to 37 so the four-pixel steps and the tails both run; the span function writes
// the same into a separate output and leaves its destination alone.
TEST(BlendPixels, SameBitsAsBlendPixelInEveryMode) {
  std::mt19937 random(11);
  const uint32_t extremes[] = {0x00000000, 0xFFFFFFFF, 0x01010101, 0x7F7F7F7F, 0x80808080, 0xFEFEFEFE,
                               0xFF000000, 0x000000FF, 0x00FF00FF, 0xFF00FF00};
  std::vector<uint32_t> destination, source;
  for (uint32_t d : extremes) {
    for (uint32_t s : extremes) destination.push_back(d), source.push_back(s);
  }
  for (int i = 0; i < 4096; ++i) destination.push_back(random()), source.push_back(random());
  for (int32_t mode = -1; mode <= 9; ++mode) {
    for (int32_t length = 0; length <= 37; ++length) {
      for (size_t start = 0; start + length <= destination.size(); start += 97) {
        std::vector<uint32_t> fast(destination.begin() + start, destination.begin() + start + length);
        std::vector<uint32_t> plain = fast, before = fast, out(length);
        BlendSpanFor(mode)(out.data(), before.data(), source.data() + start, length);
        BlendPixels(mode, fast.data(), source.data() + start, length);
        for (int32_t k = 0; k < length; ++k) BlendPixel(mode, &plain[k], source[start + k]);
        ASSERT_EQ(fast, plain) << "mode " << mode << " length " << length << " start " << start;
        ASSERT_EQ(out, plain) << "span, mode " << mode << " length " << length << " start " << start;
        ASSERT_TRUE(std::equal(before.begin(), before.end(), destination.begin() + start)) << "span wrote its input";
      }
    }
  }
}

}  // namespace
