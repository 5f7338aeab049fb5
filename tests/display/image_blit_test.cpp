#include "display/image_blit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr uint32_t kGuard = 0xDEADBEEFu;
constexpr int kGuardWords = 4096;

// A destination with guard words before its first and after its last pixel; every drawing
// test checks that they are untouched.
struct GuardedImage {
  GuardedImage(int width, int height, uint32_t fill) : memory((size_t)width * height + 2 * kGuardWords, kGuard) {
    texture = {width, height, memory.data() + kGuardWords, 0};
    for (int i = 0; i < width * height; ++i) texture.pixels[i] = fill;
  }
  bool GuardsIntact() const {
    size_t end = memory.size() - kGuardWords;
    for (size_t i = 0; i < kGuardWords; ++i) {
      if (memory[i] != kGuard || memory[end + i] != kGuard) return false;
    }
    return true;
  }
  uint32_t At(int x, int y) const { return texture.pixels[y * texture.width + x]; }
  std::vector<uint32_t> memory;
  Texture texture;
};

// A source image whose pixels are allocated exactly, so the sanitizer sees any over-read.
struct SourceImage {
  SourceImage(int width, int height, bool alpha, uint32_t seed) : pixels((size_t)width * height) {
    std::mt19937 random(seed);
    for (auto& p : pixels) p = random();
    texture = {width, height, pixels.empty() ? nullptr : pixels.data(), alpha ? 1 : 0};
  }
  uint32_t At(int x, int y) const { return pixels[(size_t)y * texture.width + x]; }
  std::vector<uint32_t> pixels;
  Texture texture;
};

// The blend written out per byte, independent of the code under test.
uint32_t ExpectedBlend(uint32_t d, uint32_t s) {
  uint32_t a = s >> 24, out = 0;
  for (int k = 0; k < 4; ++k) {
    uint32_t db = (d >> (8 * k)) & 0xFF, sb = (s >> (8 * k)) & 0xFF;
    out |= ((db * (255 - a) + sb * a) / 256) << (8 * k);
  }
  return out;
}

// What a draw of the source rectangle (sx, sy, w, h) at (x, y) must leave in a destination
// that was filled with fill: each destination pixel takes the source pixel that maps onto
// it when that pixel lies in the rectangle and in the source.
void ExpectDrawn(const GuardedImage& dst, const SourceImage& src, int x, int y, int sx, int sy,
                 int w, int h, uint32_t fill) {
  ASSERT_TRUE(dst.GuardsIntact()) << "x " << x << " y " << y;
  for (int dy = 0; dy < dst.texture.height; ++dy) {
    for (int dx = 0; dx < dst.texture.width; ++dx) {
      int u = dx - x + sx, v = dy - y + sy;
      bool inside = u >= sx && u < sx + w && v >= sy && v < sy + h && u >= 0 && v >= 0 &&
                    u < src.texture.width && v < src.texture.height;
      uint32_t want = fill;
      if (inside) want = src.texture.has_alpha ? ExpectedBlend(fill, src.At(u, v)) : src.At(u, v);
      ASSERT_EQ(dst.At(dx, dy), want) << "pixel " << dx << "," << dy << " draw at " << x << "," << y
                                      << " rect " << sx << "," << sy << " " << w << "x" << h;
    }
  }
}

TEST(DrawImageTest, EveryPlacementAroundTheDestination) {
  const int dw = 37, dh = 23;
  for (bool alpha : {false, true}) {
    SourceImage src(11, 7, alpha, 1);
    for (int y = -9; y <= dh + 2; y += 1) {
      for (int x = -13; x <= dw + 2; x += 3) {
        GuardedImage dst(dw, dh, 0x80402010u);
        DrawImage(&dst.texture, &src.texture, x, y);
        ExpectDrawn(dst, src, x, y, 0, 0, 11, 7, 0x80402010u);
      }
    }
  }
}

TEST(DrawImageTest, SourceLargerThanDestinationOnEverySide) {
  SourceImage src(60, 40, true, 2);
  for (int x : {-30, -5, 0, 3}) {
    for (int y : {-20, -1, 0, 2}) {
      GuardedImage dst(32, 16, 0xFF336699u);
      DrawImage(&dst.texture, &src.texture, x, y);
      ExpectDrawn(dst, src, x, y, 0, 0, 60, 40, 0xFF336699u);
    }
  }
}

TEST(DrawImageTest, ImagesWhollyOutsideTouchNothing) {
  SourceImage src(20, 10, true, 3);
  for (auto [x, y] : {std::pair{-20, 0}, {64, 0}, {0, -10}, {0, 48}, {-1000000, 5}, {2000000000, 2000000000}}) {
    GuardedImage dst(64, 48, 0x01020304u);
    DrawImage(&dst.texture, &src.texture, x, y);
    ExpectDrawn(dst, src, x, y, 0, 0, 20, 10, 0x01020304u);
  }
}

TEST(DrawImageTest, EmptyTextureDrawsNothing) {
  Texture empty = {0, 0, nullptr, 0};
  GuardedImage dst(16, 16, 0x55u);
  DrawImage(&dst.texture, &empty, 0, 0);
  empty.has_alpha = 1;
  DrawImage(&dst.texture, &empty, 3, 3);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(dst.texture.pixels[i], 0x55u);
  EXPECT_TRUE(dst.GuardsIntact());
}

TEST(DrawImageTest, WaveStripAtMinus130InTheFrame) {
  SourceImage strip(660, 100, true, 4);
  GuardedImage frame(512, 384, 0);
  DrawImage(&frame.texture, &strip.texture, -130, 284);
  EXPECT_EQ(frame.At(0, 284), ExpectedBlend(0, strip.At(130, 0)));
  EXPECT_EQ(frame.At(511, 383), ExpectedBlend(0, strip.At(641, 99)));
  EXPECT_EQ(frame.At(0, 283), 0u);
  EXPECT_TRUE(frame.GuardsIntact());
}

TEST(DrawImageTest, TallImageAt284IsCutAtTheBottom) {
  SourceImage tall(512, 150, false, 5);
  GuardedImage frame(512, 384, 0);
  DrawImage(&frame.texture, &tall.texture, 0, 284);
  ExpectDrawn(frame, tall, 0, 284, 0, 0, 512, 150, 0);
}

TEST(DrawImageTest, RgbReplacesExactlyAlphaByteIncluded) {
  SourceImage src(8, 8, false, 6);
  src.pixels[0] = 0x00ABCDEFu;
  GuardedImage dst(8, 8, 0xFFFFFFFFu);
  DrawImage(&dst.texture, &src.texture, 0, 0);
  EXPECT_EQ(dst.At(0, 0), 0x00ABCDEFu);
  ExpectDrawn(dst, src, 0, 0, 0, 0, 8, 8, 0xFFFFFFFFu);
}

TEST(DrawImageTest, TransparentAndOpaquePixelsShiftByEight) {
  SourceImage src(5, 1, true, 7);
  src.pixels = {0x00000000u, 0x00FFFFFFu, 0xFFFFFFFFu, 0xFF808080u, 0xFF010101u};
  GuardedImage dst(5, 1, 0xFFFFFFFFu);
  DrawImage(&dst.texture, &src.texture, 0, 0);
  EXPECT_EQ(dst.At(0, 0) & 0xFFFFFF, 0xFEFEFEu);  // transparent still darkens: 255 -> 254
  EXPECT_EQ(dst.At(1, 0) & 0xFFFFFF, 0xFEFEFEu);
  EXPECT_EQ(dst.At(2, 0) & 0xFFFFFF, 0xFEFEFEu);  // opaque 255 -> 254
  EXPECT_EQ(dst.At(3, 0) & 0xFFFFFF, 0x7F7F7Fu);  // 128 -> 127
  EXPECT_EQ(dst.At(4, 0) & 0xFFFFFF, 0x000000u);  // 1 -> 0
}

TEST(BlitImageTest, SourceRectangleInsideTheSource) {
  SourceImage src(30, 20, true, 8);
  GuardedImage dst(25, 15, 0x11223344u);
  BlitImage(&dst.texture, &src.texture, -3, 4, 5, 6, 20, 10, 0xFFFFFFFFu, 0);
  ExpectDrawn(dst, src, -3, 4, 5, 6, 20, 10, 0x11223344u);
}

TEST(BlitImageTest, SourceRectangleReachingOutOfTheSourceIsCut) {
  std::mt19937 random(9);
  for (int trial = 0; trial < 300; ++trial) {
    bool alpha = trial & 1;
    SourceImage src(1 + random() % 20, 1 + random() % 20, alpha, trial);
    int sx = (int)(random() % 50) - 25, sy = (int)(random() % 50) - 25;
    int w = 1 + random() % 30, h = 1 + random() % 30;
    int x = (int)(random() % 60) - 30, y = (int)(random() % 60) - 30;
    GuardedImage dst(24, 18, 0xA5A5A5A5u);
    BlitImage(&dst.texture, &src.texture, x, y, sx, sy, w, h, 0xFFFFFFFFu, 0);
    ExpectDrawn(dst, src, x, y, sx, sy, w, h, 0xA5A5A5A5u);
  }
}

TEST(BlitImageTest, TintModeDrawsTheTintThroughSourceAlpha) {
  SourceImage src(9, 3, true, 10);
  GuardedImage dst(9, 3, 0xFF204060u);
  const uint32_t tint = 0x12F08010u;
  BlitImage(&dst.texture, &src.texture, 0, 0, 0, 0, 0, 0, tint, 1);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 9; ++x) {
      uint32_t s = (src.At(x, y) & 0xFF000000u) | (tint & 0xFFFFFFu);
      ASSERT_EQ(dst.At(x, y), ExpectedBlend(0xFF204060u, s));
    }
  }
}

TEST(BlendImageTest, PackedLanesMatchThePerPixelFormBitForBit) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 200; ++trial) {
    int width = 1 + random() % 70, height = 1 + random() % 5;
    SourceImage src(width, height, true, 100 + trial);
    // Alpha 0 and 255 are the edges of the arithmetic; make them common.
    for (auto& p : src.pixels) {
      if (random() % 4 == 0) p = (p & 0xFFFFFFu) | ((random() & 1) ? 0xFF000000u : 0u);
    }
    GuardedImage vector_dst(width, height, 0), scalar_dst(width, height, 0);
    for (int i = 0; i < width * height; ++i) {
      vector_dst.texture.pixels[i] = scalar_dst.texture.pixels[i] = random();
    }
    std::vector<uint32_t> before(vector_dst.texture.pixels, vector_dst.texture.pixels + width * height);
    uint32_t tint = random();
    int mode = trial % 3 == 0 ? 2 : 0;
    BlendImageScalar(&scalar_dst.texture, &src.texture, 0, 0, 0, 0, width, height, tint, mode);
    for (int i = 0; i < width * height; ++i) {
      uint32_t s = mode ? (src.pixels[i] & 0xFF000000u) | (tint & 0xFFFFFFu) : src.pixels[i];
      ASSERT_EQ(scalar_dst.texture.pixels[i], ExpectedBlend(before[i], s));
    }
    for (auto* blend : {BlendImage, BlendImageSse2}) {
      std::copy(before.begin(), before.end(), vector_dst.texture.pixels);
      blend(&vector_dst.texture, &src.texture, 0, 0, 0, 0, width, height, tint, mode);
      for (int i = 0; i < width * height; ++i) {
        ASSERT_EQ(vector_dst.texture.pixels[i], scalar_dst.texture.pixels[i])
            << "trial " << trial << " pixel " << i << (blend == BlendImage ? "" : " (SSE2)");
      }
      EXPECT_TRUE(vector_dst.GuardsIntact());
    }
  }
}

TEST(BlendImageTest, TransparentAndOpaqueRunsMatchThePerPixelForm) {
  // Sprite-like rows: runs of alpha 0 and 255 of every length and phase, with soft pixels
  // between, so groups of four (SSE2) and of eight (AVX2) are sometimes uniform and sometimes not.
  std::mt19937 random(12);
  for (int trial = 0; trial < 100; ++trial) {
    int width = 4 + random() % 90;
    SourceImage src(width, 3, true, 500 + trial);
    for (size_t i = 0; i < src.pixels.size();) {
      size_t run = 1 + random() % 28;
      uint32_t kind = random() % 3;
      for (; run > 0 && i < src.pixels.size(); --run, ++i) {
        uint32_t alpha = kind == 0 ? 0u : kind == 1 ? 255u : (uint32_t)(random() & 0xFF);
        src.pixels[i] = (src.pixels[i] & 0xFFFFFFu) | alpha << 24;
      }
    }
    GuardedImage scalar_dst(width, 3, 0);
    std::vector<uint32_t> before(width * 3);
    for (int i = 0; i < width * 3; ++i) {
      uint32_t v = (random() % 8 == 0) ? 0u : (uint32_t)random();  // zero bytes test the floor
      before[i] = scalar_dst.texture.pixels[i] = v;
    }
    uint32_t tint = random();
    int mode = trial % 4 == 0 ? 1 : 0;
    BlendImageScalar(&scalar_dst.texture, &src.texture, 0, 0, 0, 0, width, 3, tint, mode);
    for (auto* blend : {BlendImage, BlendImageSse2}) {
      GuardedImage vector_dst(width, 3, 0);
      std::copy(before.begin(), before.end(), vector_dst.texture.pixels);
      blend(&vector_dst.texture, &src.texture, 0, 0, 0, 0, width, 3, tint, mode);
      for (int i = 0; i < width * 3; ++i) {
        ASSERT_EQ(vector_dst.texture.pixels[i], scalar_dst.texture.pixels[i])
            << "trial " << trial << " pixel " << i << (blend == BlendImage ? "" : " (SSE2)");
      }
      EXPECT_TRUE(vector_dst.GuardsIntact());
    }
  }
}

}  // namespace

// The rows a strip covers, composed from the image under it in one pass: the pixels of
// copying those rows from it and drawing the strip over them, and nothing else written. An
// under image larger than the destination lends its top-left part.
TEST(DrawImageOverTest, ComposesTheCoveredRowsAsACopyAndADrawWould) {
  struct Case {
    int width, height, x, y, under_width, under_height;
  } cases[] = {{60, 7, -13, 5, 40, 20},  {60, 7, 0, 0, 40, 20},   {20, 30, -5, -4, 40, 20}, {23, 5, 3, 17, 45, 22},
               {80, 4, -100, 3, 40, 20}, {10, 3, 5, 40, 40, 20},  {10, 3, 45, 2, 40, 20},  {13, 6, 27, 9, 40, 20}};
  uint32_t seed = 40;
  for (const Case& c : cases) {
    SourceImage strip(c.width, c.height, true, ++seed), under(c.under_width, c.under_height, false, ++seed);
    GuardedImage composed(40, 20, 0), expected(40, 20, 0);
    std::mt19937 random(++seed);
    for (int i = 0; i < 40 * 20; ++i) composed.texture.pixels[i] = expected.texture.pixels[i] = random();
    const RowSpan rows = DrawImageOver(&composed.texture, &under.texture, &strip.texture, c.x, c.y);
    const bool covered = c.x < 40 && c.x + c.width > 0 && c.y < 20 && c.y + c.height > 0;
    const RowSpan want = covered ? ImageRows(expected.texture, strip.texture, c.y) : RowSpan{0, 0};
    EXPECT_EQ(rows.top, want.top) << c.x << "," << c.y;
    EXPECT_EQ(rows.bottom, want.bottom) << c.x << "," << c.y;
    for (int y = want.top; y < want.bottom; ++y) {
      for (int x = 0; x < 40; ++x) expected.texture.pixels[y * 40 + x] = under.At(x, y);
    }
    if (covered) DrawImage(&expected.texture, &strip.texture, c.x, c.y);
    EXPECT_EQ(composed.memory, expected.memory) << c.x << "," << c.y;
  }
  SourceImage opaque(30, 5, false, 7), under(40, 20, false, 8);
  GuardedImage untouched(40, 20, 0x11223344u);
  const RowSpan none = DrawImageOver(&untouched.texture, &under.texture, &opaque.texture, 0, 3);
  EXPECT_GE(none.top, none.bottom) << "a source without alpha is drawn by DrawImage";
  EXPECT_EQ(untouched.At(5, 4), 0x11223344u);
}
