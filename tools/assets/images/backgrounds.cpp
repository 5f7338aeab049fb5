// The three skies behind the 3D scenes: a clear day with clouds, a sunny afternoon and a
// starry night. All share one horizon and the lighthouse on its rock, so that switching
// between day and night reads as time passing at the same place.
#include <span>

#include "draw/gradient.h"
#include "draw/png_writer.h"
#include "images/paintings.h"
#include "images/scenery.h"
#include "images/theme.h"
#include "pack/content.h"

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

constexpr float STAR_HAZE_ROWS = 8.0f;  // no stars this close above the horizon

// The same rock and tower by day, in the sun and at night with its lamp lit.
const LighthouseLook LIGHTHOUSE_BY_DAY = {
    .rock = Hex(0x55606B), .tower = Hex(0xF4F4F0), .stripe = Hex(0xD9413A), .lantern = Hex(0xFFE9A8)};
const LighthouseLook LIGHTHOUSE_IN_SUN = {
    .rock = Hex(0x5A5550), .tower = Hex(0xFBF1E4), .stripe = Hex(0xD9413A), .lantern = Hex(0xFFE9A8)};
const LighthouseLook LIGHTHOUSE_AT_NIGHT = {.rock = Hex(0x141826),
                                            .tower = Hex(0x5A6078),
                                            .stripe = Hex(0x4A2230),
                                            .lantern = Hex(0xFFE27A),
                                            .lamp_glow = 26.0f};

const CloudLook DAY_CLOUD = {.top = Hex(0xFFFFFF), .bottom = Hex(0xC9DCEB)};
const CloudLook SUN_CLOUD = {.top = Hex(0xFFF4E0), .bottom = Hex(0xE0B9A0), .rim = Hex(0xFFFFFF, 0.8f)};

const SeaLook DAY_SEA = {.near_horizon = Hex(0x8FCBE0),
                         .foreground = Hex(0x1F78B0),
                         .ripple = Hex(0xD8F2FA, 0.35f),
                         .seed = SKY_SEED};
const SeaLook SUN_SEA = {.near_horizon = Hex(0xE8C89A),
                         .foreground = Hex(0x1D6FA8),
                         .ripple = Hex(0xFFE2B0, 0.3f),
                         .glitter = Hex(0xFFF3C8),
                         .glitter_x = SUN_CENTRE.x,
                         .glitter_width = 150.0f,
                         .seed = SUN_SEED};
const SeaLook NIGHT_SEA = {.near_horizon = Hex(0x2A3264),
                           .foreground = Hex(0x07122E),
                           .ripple = Hex(0x3A4A80, 0.4f),
                           .glitter = Hex(0xF4F1DC, 0.9f),
                           .glitter_x = MOON_CENTRE.x,
                           .glitter_width = 90.0f,
                           .seed = NIGHT_SEED};

const Gradient DAY_SKY = {{0.0f, Hex(0x2A7FD4)}, {0.6f, Hex(0x67B3EA)}, {1.0f, Hex(0xCDEBF7)}};
const Gradient SUN_SKY = {{0.0f, Hex(0x3A86D0)}, {0.45f, Hex(0x8EC3E6)}, {0.8f, Hex(0xF4DDB0)}, {1.0f, Hex(0xFFD59A)}};
const Gradient NIGHT_SKY = {{0.0f, Hex(0x03061A)}, {0.55f, Hex(0x0E1A44)}, {0.9f, Hex(0x27305F)}, {1.0f, Hex(0x3C3F6E)}};

// The sun: a wide warm haze, a tighter white halo and the disc.
constexpr float SUN_HAZE_RADII = 7.0f, SUN_HALO_RADII = 2.2f;
constexpr Color SUN_DISC = Hex(0xFFF6D6);

void PaintClouds(Canvas& canvas, std::span<const CloudPlacement> clouds, const CloudLook& look, uint32_t seed) {
  for (const CloudPlacement& c : clouds) PaintCloud(canvas, c.x, c.base, c.width, look, ++seed);
}

}  // namespace

Canvas PaintSkyBackground() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::WHITE);
  FillVerticalGradient(canvas, DAY_SKY, 0.0f, HORIZON_ROW);
  PaintClouds(canvas, DAY_CLOUDS, DAY_CLOUD, SKY_SEED);
  PaintDistantSea(canvas, HORIZON_ROW, DAY_SEA);
  PaintLighthouse(canvas, LIGHTHOUSE_X, HORIZON_ROW, LIGHTHOUSE_HEIGHT, LIGHTHOUSE_BY_DAY);
  return canvas;
}

Canvas PaintSunBackground() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::WHITE);
  FillVerticalGradient(canvas, SUN_SKY, 0.0f, HORIZON_ROW);
  FillGlow(canvas, SUN_CENTRE, SUN_RADIUS * SUN_HAZE_RADII, 2.2f, WithAlpha(palette::SUN, 0.55f));
  FillGlow(canvas, SUN_CENTRE, SUN_RADIUS * SUN_HALO_RADII, 1.5f, WithAlpha(palette::WHITE, 0.5f));
  FillDisc(canvas, SUN_CENTRE, SUN_RADIUS, SUN_DISC);
  PaintClouds(canvas, SUN_CLOUDS, SUN_CLOUD, SUN_SEED);
  PaintDistantSea(canvas, HORIZON_ROW, SUN_SEA);
  PaintLighthouse(canvas, LIGHTHOUSE_X, HORIZON_ROW, LIGHTHOUSE_HEIGHT, LIGHTHOUSE_IN_SUN);
  return canvas;
}

Canvas PaintNightBackground() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::NIGHT);
  FillVerticalGradient(canvas, NIGHT_SKY, 0.0f, HORIZON_ROW);
  PaintStars(canvas, HORIZON_ROW - STAR_HAZE_ROWS, STAR_COUNT, NIGHT_SEED);
  PaintMoon(canvas, MOON_CENTRE, MOON_RADIUS, palette::MOON);
  PaintDistantSea(canvas, HORIZON_ROW, NIGHT_SEA);
  PaintLighthouse(canvas, LIGHTHOUSE_X, HORIZON_ROW, LIGHTHOUSE_HEIGHT, LIGHTHOUSE_AT_NIGHT);
  return canvas;
}

ContentBytes MakeSkyBackground() { return EncodePng(PaintSkyBackground(), PngKind::RGB); }
ContentBytes MakeSunBackground() { return EncodePng(PaintSunBackground(), PngKind::RGB); }
ContentBytes MakeNightBackground() { return EncodePng(PaintNightBackground(), PngKind::RGB); }

}  // namespace assets
