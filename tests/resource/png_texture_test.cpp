#include "resource/png_texture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "png_test_support.h"
#include "resource_test_support.h"

namespace {

// Decodes and returns what the decode printed on stderr.
Texture DecodePrinting(const std::string& bytes, const char* name, std::string* printed) {
  testing::internal::CaptureStderr();
  Texture t = DecodePng(ChunkOf(bytes, name));
  std::fflush(stderr);
  *printed = testing::internal::GetCapturedStderr();
  return t;
}

uint32_t Pixel(const Texture& t, int x, int y) { return t.pixels[y * t.width + x]; }

TEST(DecodePngTest, RgbGetsOpaqueAlphaAndTopLeftFirst) {
  PngPicture picture;
  picture.width = 2;
  picture.height = 2;
  picture.rows = {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 100, 110, 120}};
  Texture t = DecodePng(ChunkOf(EncodePng(picture), "rgb.png"));
  ASSERT_EQ(t.width, 2);
  ASSERT_EQ(t.height, 2);
  EXPECT_EQ(t.has_alpha, 0);
  EXPECT_EQ(Pixel(t, 0, 0), 0xFF0A141Eu);
  EXPECT_EQ(Pixel(t, 1, 0), 0xFF28323Cu);
  EXPECT_EQ(Pixel(t, 0, 1), 0xFF46505Au);
  EXPECT_EQ(Pixel(t, 1, 1), 0xFF646E78u);
  FreeTexture(&t);
}

TEST(DecodePngTest, RgbaKeepsItsAlphaBytes) {
  PngPicture picture;
  picture.width = 2;
  picture.height = 1;
  picture.color_type = PNG_COLOR_TYPE_RGBA;
  picture.rows = {{1, 2, 3, 0, 250, 251, 252, 128}};
  Texture t = DecodePng(ChunkOf(EncodePng(picture), "rgba.png"));
  ASSERT_EQ(t.width, 2);
  EXPECT_EQ(t.has_alpha, 1);
  EXPECT_EQ(Pixel(t, 0, 0), 0x00010203u);
  EXPECT_EQ(Pixel(t, 1, 0), 0x80FAFBFCu);
  FreeTexture(&t);
}

TEST(DecodePngTest, SixteenBitChannelsKeepTheirHighByte) {
  PngPicture picture;
  picture.width = 1;
  picture.height = 1;
  picture.color_type = PNG_COLOR_TYPE_RGBA;
  picture.bit_depth = 16;
  picture.rows = {{0x12, 0xFF, 0x34, 0x00, 0x56, 0x80, 0x9A, 0x01}};
  Texture t = DecodePng(ChunkOf(EncodePng(picture), "rgba16.png"));
  ASSERT_EQ(t.width, 1);
  EXPECT_EQ(Pixel(t, 0, 0), 0x9A123456u);
  FreeTexture(&t);
}

TEST(DecodePngTest, PalettesOfEveryDepthExpandToOpaqueRgb) {
  for (int depth : {1, 2, 4, 8}) {
    PngPicture picture;
    picture.width = 8;
    picture.height = 1;
    picture.color_type = PNG_COLOR_TYPE_PALETTE;
    picture.bit_depth = depth;
    picture.palette = {{200, 0, 0}, {0, 200, 0}};
    // Pixels alternate entries 0 and 1: 01010101 packed at this depth.
    std::vector<uint8_t> row((8 * depth + 7) / 8, 0);
    for (int x = 0; x < 8; ++x) {
      if (x & 1) row[x * depth / 8] |= (uint8_t)(1 << (8 - depth - (x * depth) % 8));
    }
    picture.rows = {row};
    Texture t = DecodePng(ChunkOf(EncodePng(picture), "pal.png"));
    ASSERT_EQ(t.width, 8) << depth;
    EXPECT_EQ(t.has_alpha, 0);
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(Pixel(t, x, 0), (x & 1) ? 0xFF00C800u : 0xFFC80000u) << "depth " << depth;
    }
    FreeTexture(&t);
  }
}

TEST(DecodePngTest, PaletteTransparencyBecomesAlpha) {
  PngPicture picture;
  picture.width = 2;
  picture.height = 1;
  picture.color_type = PNG_COLOR_TYPE_PALETTE;
  picture.palette = {{10, 20, 30}, {40, 50, 60}};
  picture.transparency = {64};  // entry 1 has no tRNS entry: opaque
  picture.rows = {{0, 1}};
  Texture t = DecodePng(ChunkOf(EncodePng(picture), "trns.png"));
  ASSERT_EQ(t.width, 2);
  EXPECT_EQ(t.has_alpha, 1);
  EXPECT_EQ(Pixel(t, 0, 0), 0x400A141Eu);
  EXPECT_EQ(Pixel(t, 1, 0), 0xFF28323Cu);
  FreeTexture(&t);
}

TEST(DecodePngTest, GreyAndGreyAlphaSpreadToRgb) {
  PngPicture grey;
  grey.width = 4;
  grey.height = 1;
  grey.color_type = PNG_COLOR_TYPE_GRAY;
  grey.bit_depth = 2;
  grey.rows = {{0x1B}};  // values 0, 1, 2, 3
  Texture t = DecodePng(ChunkOf(EncodePng(grey), "grey2.png"));
  ASSERT_EQ(t.width, 4);
  EXPECT_EQ(t.has_alpha, 0);
  EXPECT_EQ(Pixel(t, 0, 0), 0xFF000000u);
  EXPECT_EQ(Pixel(t, 1, 0), 0xFF555555u);
  EXPECT_EQ(Pixel(t, 2, 0), 0xFFAAAAAAu);
  EXPECT_EQ(Pixel(t, 3, 0), 0xFFFFFFFFu);
  FreeTexture(&t);

  PngPicture grey_alpha;
  grey_alpha.width = 1;
  grey_alpha.height = 1;
  grey_alpha.color_type = PNG_COLOR_TYPE_GRAY_ALPHA;
  grey_alpha.rows = {{0x7F, 0x20}};
  t = DecodePng(ChunkOf(EncodePng(grey_alpha), "greya.png"));
  ASSERT_EQ(t.width, 1);
  EXPECT_EQ(t.has_alpha, 1);
  EXPECT_EQ(Pixel(t, 0, 0), 0x207F7F7Fu);
  FreeTexture(&t);
}

TEST(DecodePngTest, InterlacedDecodesLikeNonInterlaced) {
  PngPicture picture;
  picture.width = 13;
  picture.height = 9;
  picture.color_type = PNG_COLOR_TYPE_RGBA;
  for (int y = 0; y < picture.height; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < picture.width * 4; ++x) row.push_back((uint8_t)(x * 7 + y * 31));
    picture.rows.push_back(row);
  }
  Texture plain = DecodePng(ChunkOf(EncodePng(picture), "plain.png"));
  picture.interlaced = true;
  Texture adam7 = DecodePng(ChunkOf(EncodePng(picture), "adam7.png"));
  ASSERT_EQ(plain.width, 13);
  ASSERT_EQ(adam7.width, 13);
  ASSERT_EQ(adam7.height, 9);
  for (int i = 0; i < 13 * 9; ++i) ASSERT_EQ(plain.pixels[i], adam7.pixels[i]) << i;
  FreeTexture(&plain);
  FreeTexture(&adam7);
}

TEST(DecodePngTest, EmptyChunkFailsWithTheFileName) {
  std::string printed;
  Texture t = DecodePrinting("", "missing.png", &printed);
  EXPECT_EQ(t.width, 0);
  EXPECT_EQ(t.height, 0);
  EXPECT_EQ(t.pixels, nullptr);
  EXPECT_EQ(printed, "missing.png: libpng error: no data (the file is missing or empty)\n");
}

TEST(DecodePngTest, TruncatedFilesFailCleanlyAtEveryLength) {
  PngPicture picture;
  picture.width = 16;
  picture.height = 16;
  picture.color_type = PNG_COLOR_TYPE_RGBA;
  for (int y = 0; y < 16; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < 64; ++x) row.push_back((uint8_t)(x * y + x));
    picture.rows.push_back(row);
  }
  std::string bytes = EncodePng(picture);
  for (size_t cut = 0; cut < bytes.size(); cut += 7) {
    std::string printed;
    Texture t = DecodePrinting(bytes.substr(0, cut), "cut.png", &printed);
    EXPECT_EQ(t.width, 0) << cut;
    EXPECT_EQ(t.pixels, nullptr) << cut;
    EXPECT_NE(printed.find("cut.png: libpng error: "), std::string::npos) << cut << printed;
  }
}

// PngSuite: every colour type and bit depth, interlaced and not; the x* files are corrupt.
class PngSuiteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::path(KRA_TESTDATA_DIR) / "png";
    if (!std::filesystem::exists(dir_)) GTEST_SKIP() << "no PngSuite at " << dir_;
  }
  Texture Decode(const std::string& file, std::string* printed) {
    std::string bytes = ReadBytes((dir_ / file).string());
    EXPECT_FALSE(bytes.empty()) << file;
    return DecodePrinting(bytes, file.c_str(), printed);
  }
  std::filesystem::path dir_;
};

TEST_F(PngSuiteTest, EveryValidFileDecodesAndInterlacedMatchesPlain) {
  int decoded = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
    std::string file = entry.path().filename().string();
    if (file[0] == 'x' || entry.path().extension() != ".png") continue;
    std::string printed;
    Texture t = Decode(file, &printed);
    EXPECT_GT(t.width, 0) << file << ": " << printed;
    EXPECT_GT(t.height, 0) << file;
    bool alpha_type = file.find("4a") != std::string::npos || file.find("6a") != std::string::npos ||
                      file.rfind("tm3", 0) == 0;
    EXPECT_EQ(t.has_alpha, alpha_type ? 1 : 0) << file;
    if (file.rfind("basi", 0) == 0) {
      Texture plain = Decode("basn" + file.substr(4), &printed);
      ASSERT_EQ(plain.width * plain.height, t.width * t.height) << file;
      for (int i = 0; i < t.width * t.height; ++i) ASSERT_EQ(plain.pixels[i], t.pixels[i]) << file;
      FreeTexture(&plain);
    }
    if (!alpha_type) {
      for (int i = 0; i < t.width * t.height; ++i) ASSERT_EQ(t.pixels[i] >> 24, 0xFFu) << file;
    }
    if (file.find("0g") == 4) {  // grey: R = G = B
      uint32_t p = t.pixels[t.width * t.height / 2];
      EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF) << file;
      EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF) << file;
    }
    FreeTexture(&t);
    ++decoded;
  }
  EXPECT_GE(decoded, 40);
}

TEST_F(PngSuiteTest, CorruptFilesFailCleanlyNamingTheFile) {
  for (const char* file : {"xc1n0g08.png", "xd0n2c08.png", "xhdn0g08.png", "xs1n0g01.png"}) {
    if (!std::filesystem::exists(dir_ / file)) continue;
    std::string printed;
    Texture t = Decode(file, &printed);
    EXPECT_EQ(t.width, 0) << file;
    EXPECT_EQ(t.height, 0) << file;
    EXPECT_EQ(t.pixels, nullptr) << file;
    EXPECT_EQ(printed.rfind(std::string(file) + ": libpng error: ", 0), 0u) << printed;
  }
}

}  // namespace

namespace {

// A half-saved image counts as a failure with its name; a missing one (no bytes) does not,
// being counted where it was looked for.
TEST(DecodePngTest, CountsFailuresOnDataButNotMissingFiles) {
  PngPicture picture;
  picture.width = 8;
  picture.height = 8;
  picture.rows.assign(8, std::vector<uint8_t>(24, 7));
  const std::string whole = EncodePng(picture);
  std::string printed;
  const int32_t before = PngDecodeFailures();

  Texture t = DecodePrinting(whole.substr(0, whole.size() / 2), "half.png", &printed);
  EXPECT_EQ(t.pixels, nullptr);
  EXPECT_EQ(PngDecodeFailures(), before + 1);
  EXPECT_STREQ(PngLastFailure(), "half.png");

  t = DecodePrinting("", "missing.png", &printed);
  EXPECT_EQ(PngDecodeFailures(), before + 1);
  EXPECT_STREQ(PngLastFailure(), "half.png");

  t = DecodePrinting(whole, "whole.png", &printed);
  EXPECT_EQ(PngDecodeFailures(), before + 1);
  FreeTexture(&t);
}

}  // namespace
