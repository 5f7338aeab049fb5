// The drawing helpers under the pictures: exact colours survive quantization, text is
// measured and rendered with clear errors, masks keep their ink, shapes know inside from
// outside, and the noise is the same on every run.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "assets_test_support.h"
#include "draw/canvas.h"
#include "draw/gradient.h"
#include "draw/mask.h"
#include "draw/noise.h"
#include "draw/png_writer.h"
#include "draw/shapes.h"
#include "draw/text.h"

using namespace assets;

namespace {

const FontSpec BODY_FONT = {"DejaVuSans.ttf", 20.0f};

float MaskTotal(const Mask& mask) {
  float sum = 0;
  for (float v : mask.value) sum += v;
  return sum;
}

}  // namespace

TEST(PngWriter, EightBitColoursSurviveTheDitherExactly) {
  Canvas canvas = MakeCanvas(8, 8, Hex(0x336699));
  BlendPixel(canvas, 3, 5, Hex(0xFF0080), 1.0f);
  DecodedPng rgb = DecodeForTest(EncodePng(canvas, PngKind::RGB));
  ASSERT_TRUE(rgb.ok);
  EXPECT_FALSE(rgb.has_alpha);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      const uint8_t* p = &rgb.rgba[(size_t(y) * 8 + size_t(x)) * 4];
      bool odd = x == 3 && y == 5;
      EXPECT_EQ(p[0], odd ? 0xFF : 0x33);
      EXPECT_EQ(p[1], odd ? 0x00 : 0x66);
      EXPECT_EQ(p[2], odd ? 0x80 : 0x99);
    }
  }
}

TEST(PngWriter, KeepsAlphaExactWhereItIsFullOrNone) {
  Canvas canvas = MakeCanvas(4, 2, {0, 0, 0, 0});
  BlendPixel(canvas, 1, 0, Hex(0x10E020), 1.0f);
  BlendPixel(canvas, 2, 1, Hex(0x10E020), 0.5f);
  DecodedPng rgba = DecodeForTest(EncodePng(canvas, PngKind::RGBA));
  ASSERT_TRUE(rgba.ok);
  EXPECT_TRUE(rgba.has_alpha);
  EXPECT_EQ(rgba.Alpha(0, 0), 0);
  EXPECT_EQ(rgba.Alpha(1, 0), 255);
  EXPECT_EQ(rgba.Alpha(2, 1), 128);
  EXPECT_EQ(rgba.rgba[4 * 1 + 1], 0xE0);  // straight colour, not premultiplied
}

TEST(Canvas, OverMatchesPremultipliedBlending) {
  Canvas canvas = MakeCanvas(1, 1, Hex(0x000000, 0.5f));
  BlendPixel(canvas, 0, 0, Hex(0xFFFFFF, 0.5f), 1.0f);
  Color blended = PixelAt(canvas, 0, 0);
  Color over = Over(Hex(0xFFFFFF, 0.5f), Hex(0x000000, 0.5f));
  EXPECT_NEAR(blended.a, 0.75f, 1e-6f);
  EXPECT_NEAR(blended.r, over.r, 1e-6f);
  EXPECT_NEAR(blended.r, 2.0f / 3.0f, 1e-6f);
  BlendPixel(canvas, -1, 0, Hex(0xFFFFFF), 1.0f);  // outside: ignored
  BlendPixel(canvas, 0, 1, Hex(0xFFFFFF), 1.0f);
  EXPECT_NEAR(PixelAt(canvas, 0, 0).a, 0.75f, 1e-6f);
}

TEST(Gradient, HitsItsStopsAndClampsOutside) {
  Gradient g = {{0.2f, Hex(0xFF0000)}, {0.6f, Hex(0x0000FF)}};
  EXPECT_FLOAT_EQ(SampleGradient(g, 0.0f).r, 1.0f);
  EXPECT_FLOAT_EQ(SampleGradient(g, 0.6f).b, 1.0f);
  EXPECT_FLOAT_EQ(SampleGradient(g, 2.0f).b, 1.0f);
  EXPECT_NEAR(SampleGradient(g, 0.4f).r, 0.5f, 1e-6f);
  EXPECT_EQ(SampleGradient({}, 0.5f).a, 0.0f);
}

TEST(Shapes, KnowInsideFromOutside) {
  EXPECT_LT(SdRoundedBox({10, 10}, {10, 10}, {5, 3}, 2), 0.0f);
  EXPECT_NEAR(SdRoundedBox({16, 10}, {10, 10}, {5, 3}, 2), 1.0f, 1e-5f);
  Vec2 a = {0, 0}, b = {10, 0}, c = {0, 10};
  EXPECT_LT(SdTriangle({2, 2}, a, b, c), 0.0f);
  EXPECT_LT(SdTriangle({2, 2}, a, c, b), 0.0f);  // either winding
  EXPECT_NEAR(SdTriangle({-3, 5}, a, b, c), 3.0f, 1e-5f);
  EXPECT_FLOAT_EQ(EdgeCoverage(-2.0f), 1.0f);
  EXPECT_FLOAT_EQ(EdgeCoverage(2.0f), 0.0f);
  EXPECT_FLOAT_EQ(EdgeCoverage(0.0f), 0.5f);
}

TEST(Masks, BlurKeepsTheInkAndDilationGrowsIt) {
  Mask dot = MakeMask(10, 20, 5, 5);
  AddToMask(dot, 12, 22, 1.0f);
  AddToMask(dot, 12, 22, 1.0f);  // clamps at full coverage
  AddToMask(dot, 99, 99, 1.0f);  // outside: ignored
  EXPECT_FLOAT_EQ(MaskTotal(dot), 1.0f);
  Mask blurred = BlurMask(dot, 2);
  EXPECT_NEAR(MaskTotal(blurred), 1.0f, 1e-4f);
  EXPECT_LT(MaskAt(blurred, 12, 22), 0.2f);
  EXPECT_GT(MaskAt(blurred, 13, 23), 0.0f);
  Mask grown = DilateMask(dot, 2.0f);
  EXPECT_FLOAT_EQ(MaskAt(grown, 13, 22), 1.0f);
  EXPECT_FLOAT_EQ(MaskAt(grown, 14, 22), 0.5f);  // the round pen's soft rim
  EXPECT_FLOAT_EQ(MaskAt(grown, 15, 22), 0.0f);
}

TEST(Noise, IsRepeatableBoundedAndTilesWhenAsked) {
  Rng a = MakeRng(42), b = MakeRng(42), c = MakeRng(43);
  bool differs = false;
  for (int i = 0; i < 16; ++i) {
    uint32_t va = a.Next();
    EXPECT_EQ(va, b.Next());
    differs = differs || va != c.Next();
  }
  EXPECT_TRUE(differs);
  for (int i = 0; i < 1000; ++i) {
    int below = a.Below(7);
    EXPECT_GE(below, 0);
    EXPECT_LT(below, 7);
    float n = FractalNoise(float(i) * 0.37f, float(i) * 0.11f, 5, 4);
    EXPECT_GE(n, 0.0f);
    EXPECT_LE(n, 1.0f);
  }
  EXPECT_FLOAT_EQ(ValueNoise(3.25f, 1.5f, 9, 8), ValueNoise(11.25f, 1.5f, 9, 8));
  EXPECT_FLOAT_EQ(ValueNoise(-4.75f, 1.5f, 9, 8), ValueNoise(3.25f, 1.5f, 9, 8));
}

TEST(Text, LongerTextMeasuresWiderAndRendersInk) {
  float short_width = MeasureText(BODY_FONT, "sea");
  float long_width = MeasureText(BODY_FONT, "sea side");
  EXPECT_GT(short_width, 10.0f);
  EXPECT_GT(long_width, short_width * 2.0f);
  EXPECT_NEAR(MeasureText(BODY_FONT, "sea", 3.0f), short_width + 6.0f, 0.01f);
  EXPECT_EQ(MeasureText(BODY_FONT, ""), 0.0f);
  Mask mask = RenderTextMask(BODY_FONT, "sea", 5.0f, 30.0f);
  EXPECT_GT(MaskTotal(mask), 20.0f);
  // Ink lies between the pen start and its end, above the baseline.
  float ink_outside = 0;
  for (int y = mask.y0; y < mask.y0 + mask.height; ++y) {
    for (int x = mask.x0; x < mask.x0 + mask.width; ++x) {
      if (x < 4 || x > int(5.0f + short_width) + 2 || y > 31) ink_outside += MaskAt(mask, x, y);
    }
  }
  EXPECT_LT(ink_outside, 1.0f);
}

TEST(Text, MalformedUtf8IsDrawnNotFatal) {
  const char broken[] = {'a', char(0xC3), char(0xE2), char(0x82), 'b', char(0xF0), 0};
  EXPECT_GT(MeasureText(BODY_FONT, broken), MeasureText(BODY_FONT, "ab"));
  Canvas canvas = MakeCanvas(64, 32, {0, 0, 0, 0});
  TextStyle style = {BODY_FONT, Hex(0xFFFFFF), Hex(0xFFFFFF), 0, 1.0f, Hex(0), 1, {1, 1}, Hex(0, 0.5f)};
  DrawText(canvas, style, broken, 32, 24, Align::CENTRE);
  float alpha = 0;
  for (const Color& p : canvas.pixels) alpha += p.a;
  EXPECT_GT(alpha, 10.0f);
}

TEST(Text, MissingFontNamesTheFile) {
  SetFontDirectory("/nonexistent/fonts");
  try {
    MeasureText(BODY_FONT, "x");
    ADD_FAILURE() << "no error for a missing font";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/fonts/DejaVuSans.ttf"), std::string::npos) << e.what();
  }
  SetFontDirectory(KRA_FONT_DIR);
  EXPECT_GT(MeasureText(BODY_FONT, "x"), 0.0f);
}
