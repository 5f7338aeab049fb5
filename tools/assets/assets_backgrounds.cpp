// The three skies behind the 3D scenes: a clear day with clouds, a sunny afternoon and a
// starry night. All share one horizon and the lighthouse on its rock, so that switching
// between day and night reads as time passing at the same place.
#include "assets_theme.h"
#include "content.h"
#include "gradient.h"
#include "paintings.h"
#include "png_writer.h"
#include "scenery.h"

namespace assets {

namespace {

constexpr float LIGHTHOUSE_X = 86.0f;
constexpr float LIGHTHOUSE_HEIGHT = 34.0f;

constexpr uint32_t SKY_SEED = 0x5EA5C1u;
constexpr uint32_t SUN_SEED = 0x50150Bu;
constexpr uint32_t NIGHT_SEED = 0x4A7703u;

struct CloudPlacement {
  float x, base, width;
};

const CloudPlacement DAY_CLOUDS[] = {
    {150, 92, 150}, {390, 58, 120}, {300, 170, 96}, {470, 150, 70}, {40, 196, 80},
};
const CloudPlacement SUN_CLOUDS[] = {{110, 120, 130}, {250, 205, 90}, {480, 228, 60}};

constexpr Vec2 SUN_CENTRE = {360, 132};
constexpr float SUN_RADIUS = 30.0f;
constexpr Vec2 MOON_CENTRE = {392, 86};
constexpr float MOON_RADIUS = 24.0f;
constexpr int STAR_COUNT = 260;

void PaintSkyGradient(Canvas& canvas, const Gradient& sky) {
  FillVerticalGradient(canvas, sky, 0.0f, HORIZON_ROW);
}

}  // namespace

Canvas PaintSkyBackground() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::WHITE);
  PaintSkyGradient(canvas, {{0.0f, Hex(0x2A7FD4)}, {0.6f, Hex(0x67B3EA)}, {1.0f, Hex(0xCDEBF7)}});
  CloudLook cloud = {Hex(0xFFFFFF), Hex(0xC9DCEB), Hex(0xFFFFFF, 0.0f)};
  uint32_t seed = SKY_SEED;
  for (const CloudPlacement& c : DAY_CLOUDS) PaintCloud(canvas, c.x, c.base, c.width, cloud, ++seed);
  PaintDistantSea(canvas, HORIZON_ROW,
                  {Hex(0x8FCBE0), Hex(0x1F78B0), Hex(0xD8F2FA, 0.35f), Hex(0xFFFFFF, 0.0f), 0, 0, SKY_SEED});
  PaintLighthouse(canvas, LIGHTHOUSE_X, HORIZON_ROW, LIGHTHOUSE_HEIGHT,
                  {Hex(0x55606B), Hex(0xF4F4F0), Hex(0xD9413A), Hex(0xFFE9A8), 0.0f});
  return canvas;
}

Canvas PaintSunBackground() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::WHITE);
  PaintSkyGradient(canvas, {{0.0f, Hex(0x3A86D0)}, {0.45f, Hex(0x8EC3E6)}, {0.8f, Hex(0xF4DDB0)}, {1.0f, Hex(0xFFD59A)}});
  FillGlow(canvas, SUN_CENTRE, SUN_RADIUS * 7.0f, 2.2f, WithAlpha(palette::SUN, 0.55f));
  FillGlow(canvas, SUN_CENTRE, SUN_RADIUS * 2.2f, 1.5f, WithAlpha(palette::WHITE, 0.5f));
  FillDisc(canvas, SUN_CENTRE, SUN_RADIUS, Hex(0xFFF6D6));
  CloudLook cloud = {Hex(0xFFF4E0), Hex(0xE0B9A0), Hex(0xFFFFFF, 0.8f)};
  uint32_t seed = SUN_SEED;
  for (const CloudPlacement& c : SUN_CLOUDS) PaintCloud(canvas, c.x, c.base, c.width, cloud, ++seed);
  PaintDistantSea(canvas, HORIZON_ROW,
                  {Hex(0xE8C89A), Hex(0x1D6FA8), Hex(0xFFE2B0, 0.3f), Hex(0xFFF3C8, 1.0f), SUN_CENTRE.x, 150.0f,
                   SUN_SEED});
  PaintLighthouse(canvas, LIGHTHOUSE_X, HORIZON_ROW, LIGHTHOUSE_HEIGHT,
                  {Hex(0x5A5550), Hex(0xFBF1E4), Hex(0xD9413A), Hex(0xFFE9A8), 0.0f});
  return canvas;
}

Canvas PaintNightBackground() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::NIGHT);
  PaintSkyGradient(canvas, {{0.0f, Hex(0x03061A)}, {0.55f, Hex(0x0E1A44)}, {0.9f, Hex(0x27305F)}, {1.0f, Hex(0x3C3F6E)}});
  PaintStars(canvas, HORIZON_ROW - 8.0f, STAR_COUNT, NIGHT_SEED);
  PaintMoon(canvas, MOON_CENTRE, MOON_RADIUS, palette::MOON);
  PaintDistantSea(canvas, HORIZON_ROW,
                  {Hex(0x2A3264), Hex(0x07122E), Hex(0x3A4A80, 0.4f), Hex(0xF4F1DC, 0.9f), MOON_CENTRE.x, 90.0f,
                   NIGHT_SEED});
  PaintLighthouse(canvas, LIGHTHOUSE_X, HORIZON_ROW, LIGHTHOUSE_HEIGHT,
                  {Hex(0x141826), Hex(0x5A6078), Hex(0x4A2230), Hex(0xFFE27A), 26.0f});
  return canvas;
}

ContentBytes MakeSkyBackground() { return EncodePng(PaintSkyBackground(), PngKind::RGB); }
ContentBytes MakeSunBackground() { return EncodePng(PaintSunBackground(), PngKind::RGB); }
ContentBytes MakeNightBackground() { return EncodePng(PaintNightBackground(), PngKind::RGB); }

}  // namespace assets
