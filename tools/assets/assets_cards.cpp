// The title cards of the intro (who presents, the title, the credits, the greetings) and the
// end card. The intro cards share one look, under the surface: light falling through the
// water, a net of caustics, rising bubbles and swaying weed on the sand. The end card comes
// up for air: the sun setting over the sea.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "assets_theme.h"
#include "content.h"
#include "gradient.h"
#include "noise.h"
#include "paintings.h"
#include "png_writer.h"
#include "scenery.h"

namespace assets {

namespace {

constexpr float PI = std::numbers::pi_v<float>;

// ---- The underwater backdrop -------------------------------------------------------------

constexpr int RAY_COUNT = 9;
constexpr float RAY_SOURCE_ROW = -160.0f;  // the light enters from above the card
constexpr float CAUSTIC_SCALE = 38.0f;     // pixels per noise cell
constexpr float CAUSTIC_DEPTH = 150.0f;    // rows over which the caustics fade out
constexpr int BUBBLE_COUNT = 60;  // before those in the text's quiet box are left out
constexpr int WEED_COUNT = 11;
constexpr int WEED_SEGMENTS = 48;
constexpr float SAND_ROW = 350.0f;

struct Backdrop {
  Gradient water;
  Color light;   // rays and caustics
  Color sand;
  Color weed;
  uint32_t seed;
};

const Backdrop INTRO_BACKDROP = {
    {{0.0f, Hex(0x1E8DB4)}, {0.35f, Hex(0x11608F)}, {0.75f, Hex(0x0A3560)}, {1.0f, Hex(0x061C3A)}},
    Hex(0xCFF6FF), Hex(0x1F3550), Hex(0x0A2A3A), 0xC0FFEEu};

void PaintLightRays(Canvas& canvas, const Backdrop& look) {
  Rng rng = MakeRng(look.seed);
  struct Ray {
    float angle, half_width, strength;
  };
  std::vector<Ray> rays;
  for (int i = 0; i < RAY_COUNT; ++i) {
    float spread = (float(i) + rng.Range(0.2f, 0.8f)) / float(RAY_COUNT) - 0.5f;
    rays.push_back({spread * 0.9f, rng.Range(0.012f, 0.035f), rng.Range(0.08f, 0.2f)});
  }
  Vec2 source = {float(canvas.width) * 0.4f, RAY_SOURCE_ROW};
  PaintBox(canvas, 0, 0, canvas.width, canvas.height, [&](float x, float y) {
    float angle = std::atan2(x - source.x, y - source.y);
    float light = 0.0f;
    for (const Ray& r : rays) light += r.strength * (1.0f - SmoothStep(0.0f, r.half_width, std::fabs(angle - r.angle)));
    float fade = 1.0f - SmoothStep(0.0f, float(canvas.height) * 0.9f, y);
    return WithAlpha(look.light, std::min(1.0f, light * fade));
  });
}

void PaintCaustics(Canvas& canvas, const Backdrop& look) {
  PaintBox(canvas, 0, 0, canvas.width, int(CAUSTIC_DEPTH), [&](float x, float y) {
    // Ridged noise: bright where the noise crosses its middle value, a net of thin lines.
    float n = FractalNoise(x / CAUSTIC_SCALE, y / (CAUSTIC_SCALE * 0.6f), look.seed + 3, 2, 0.4f);
    float ridge = 1.0f - std::fabs(n * 2.0f - 1.0f);
    float net = SmoothStep(0.86f, 0.97f, ridge);
    float fade = 1.0f - SmoothStep(0.0f, CAUSTIC_DEPTH, y);
    return WithAlpha(look.light, 0.35f * net * fade);
  });
}

// Bubbles rise everywhere but in the quiet box, where the text goes.
void PaintBubbles(Canvas& canvas, const Backdrop& look, int count, Box quiet, uint32_t seed) {
  Rng rng = MakeRng(seed);
  for (int i = 0; i < count; ++i) {
    Vec2 p = {rng.Range(0.0f, float(canvas.width)), rng.Range(0.0f, float(canvas.height))};
    if (p.x > float(quiet.x0) && p.x < float(quiet.x1) && p.y > float(quiet.y0) && p.y < float(quiet.y1)) continue;
    float radius = 1.5f + 6.0f * rng.Uniform() * rng.Uniform();
    float alpha = rng.Range(0.35f, 0.7f);
    FillDisc(canvas, p, radius, WithAlpha(look.light, alpha * 0.12f));
    StrokeRing(canvas, p, radius, 1.0f, WithAlpha(look.light, alpha));
    // The glint of light on the bubble's upper left.
    FillDisc(canvas, {p.x - radius * 0.35f, p.y - radius * 0.35f}, std::max(0.6f, radius * 0.25f),
             WithAlpha(palette::WHITE, alpha));
  }
}

void PaintSeabed(Canvas& canvas, const Backdrop& look) {
  Rng rng = MakeRng(look.seed + 5);
  // Weed first, so the sand covers its roots.
  for (int i = 0; i < WEED_COUNT; ++i) {
    float root_x = rng.Range(-10.0f, float(canvas.width) + 10.0f);
    float height = rng.Range(40.0f, 110.0f);
    float sway = rng.Range(6.0f, 14.0f), phase = rng.Range(0.0f, 2.0f * PI);
    float thickness = rng.Range(2.5f, 4.5f);
    Color weed = Scale(look.weed, rng.Range(0.8f, 1.3f));
    for (int s = 0; s < WEED_SEGMENTS; ++s) {
      float t = float(s) / float(WEED_SEGMENTS - 1);
      Vec2 p = {root_x + sway * std::sin(phase + t * 2.6f) * t, SAND_ROW + 12.0f - height * t};
      FillDisc(canvas, p, thickness * (1.0f - 0.75f * t), weed);
    }
  }
  PaintBox(canvas, 0, int(SAND_ROW) - 16, canvas.width, canvas.height, [&](float x, float y) {
    float ground = SAND_ROW + 7.0f * std::sin(x / 57.0f) + 4.0f * std::sin(x / 23.0f + 1.0f);
    float coverage = EdgeCoverage(ground - y);
    float grain = ValueNoise(x / 1.5f, y / 1.5f, look.seed + 9);
    Color c = Mix(look.sand, Scale(look.sand, 0.6f), SmoothStep(ground, float(canvas.height), y));
    return WithAlpha(Scale(c, 0.92f + 0.16f * grain), coverage);
  });
}

Canvas PaintUnderwater(const Backdrop& look, Box quiet, uint32_t bubble_seed) {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::INK);
  FillVerticalGradient(canvas, look.water, 0.0f, float(FRAME_HEIGHT));
  PaintLightRays(canvas, look);
  PaintCaustics(canvas, look);
  PaintSeabed(canvas, look);
  PaintBubbles(canvas, look, BUBBLE_COUNT, quiet, bubble_seed);
  return canvas;
}

// ---- Text styles -------------------------------------------------------------------------

const TextStyle HEADLINE = {{FONT_SANS_BOLD, 44.0f}, palette::WHITE, palette::LAGOON, 1.0f,
                            3.0f, palette::INK, 4, {3, 4}, WithAlpha(palette::INK, 0.6f)};
const TextStyle SUBLINE = {{FONT_SERIF_BOLD_ITALIC, 26.0f}, palette::SAND, palette::SUNSET, 0.0f,
                           2.0f, palette::INK, 3, {2, 3}, WithAlpha(palette::INK, 0.5f)};
const TextStyle SMALL_PRINT = {{FONT_SANS, 13.0f}, Hex(0xBFE6F2), Hex(0x9FD3E6), 0.5f,
                               0.0f, palette::INK, 1, {1, 1}, WithAlpha(palette::INK, 0.8f)};
const TextStyle ROLE = {{FONT_SANS_CONDENSED_BOLD, 17.0f}, palette::LAGOON, palette::SHALLOW, 0.5f,
                        0.0f, palette::INK, 2, {1, 2}, WithAlpha(palette::INK, 0.8f)};
const TextStyle LINE = {{FONT_SANS, 15.0f}, palette::WHITE, Hex(0xDDF3FA), 0.0f,
                        0.0f, palette::INK, 2, {1, 2}, WithAlpha(palette::INK, 0.8f)};
const TextStyle TITLE = {{FONT_SANS_BOLD, 132.0f}, palette::SUN, palette::CORAL, 4.0f,
                         5.0f, palette::INK, 8, {5, 7}, WithAlpha(palette::INK, 0.7f)};

constexpr float CENTRE_X = FRAME_WIDTH * 0.5f;

// A thin rule under a heading, fading out at both ends.
void PaintRule(Canvas& canvas, float row, float half_length, Color colour) {
  PaintBox(canvas, int(CENTRE_X - half_length), int(row) - 1, int(CENTRE_X + half_length) + 1, int(row) + 2,
           [&](float x, float y) {
             float along = 1.0f - SmoothStep(half_length * 0.4f, half_length, std::fabs(x - CENTRE_X));
             return WithAlpha(colour, colour.a * along * EdgeCoverage(std::fabs(y - row) - 0.6f));
           });
}

struct CreditLine {
  const char* role;
  const char* what;
};

const CreditLine CREDITS[] = {
    {"code", "C++20, drawn pixel by pixel in software"},
    {"3D", "a fixed-point rasterizer, radix-sorted"},
    {"pictures", "kra-assets: gradients, noise, signed"},
    {"", "distances and FreeType text"},
    {"music", "kra-assets: synthesized, MP3 by LAME"},
    {"scenes", "kra-assets: meshes, motion, XML"},
    {"type", "DejaVu Sans and Serif"},
};

const char* const GREETINGS_TO_PEOPLE[] = {
    "coders, pixel artists and musicians",
    "organizers and every party crowd",
    "sizecoders, trackers and video wizards",
};
const char* const GREETINGS_TO_TOOLS[] = {
    "zlib \xC2\xB7 libpng \xC2\xB7 minizip \xC2\xB7 FreeType",
    "SDL \xC2\xB7 expat \xC2\xB7 mpg123 \xC2\xB7 LAME \xC2\xB7 DejaVu",
    "GCC \xC2\xB7 CMake \xC2\xB7 GoogleTest",
};

constexpr const char* GROUP_NAME = "SALT & PIXEL";

}  // namespace

Canvas PaintPresentsCard() {
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, {70, 120, 442, 250}, 0xB0B1u);
  DrawText(canvas, HEADLINE, GROUP_NAME, CENTRE_X, 178.0f, Align::CENTRE);
  PaintRule(canvas, 194.0f, 150.0f, WithAlpha(palette::LAGOON, 0.8f));
  DrawText(canvas, SUBLINE, "presents", CENTRE_X, 232.0f, Align::CENTRE);
  DrawText(canvas, SMALL_PRINT, "a real-time demo in 512 \xC3\x97 384, rendered in software", CENTRE_X, 372.0f,
           Align::CENTRE);
  return canvas;
}

Canvas PaintTitleCard() {
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, {80, 60, 432, 265}, 0x21B0u);
  // A sun-lit halo behind the title, as if the word floated just under the surface.
  FillGlow(canvas, {CENTRE_X, 150.0f}, 230.0f, 2.0f, WithAlpha(palette::SUN, 0.35f));
  DrawText(canvas, TITLE, "zibo", CENTRE_X, 196.0f, Align::CENTRE);
  DrawText(canvas, SUBLINE, "a day at the sea", CENTRE_X, 250.0f, Align::CENTRE);
  return canvas;
}

Canvas PaintCreditsCard() {
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, {50, 30, 470, 345}, 0xC4ED5u);
  DrawText(canvas, HEADLINE, "CREDITS", CENTRE_X, 74.0f, Align::CENTRE);
  PaintRule(canvas, 90.0f, 130.0f, WithAlpha(palette::LAGOON, 0.8f));
  constexpr float COLUMN = 150.0f, GUTTER = 12.0f, FIRST_ROW = 128.0f, ROW_STEP = 27.0f;
  float row = FIRST_ROW;
  for (const CreditLine& line : CREDITS) {
    DrawText(canvas, ROLE, line.role, COLUMN - GUTTER * 0.5f, row, Align::RIGHT);
    DrawText(canvas, LINE, line.what, COLUMN + GUTTER * 0.5f, row, Align::LEFT);
    row += ROW_STEP;
  }
  DrawText(canvas, SMALL_PRINT, "every byte of this demo was made by its own toolchain", CENTRE_X, 338.0f,
           Align::CENTRE);
  return canvas;
}

Canvas PaintGreetingsCard() {
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, {90, 30, 422, 315}, 0x69EE7u);
  DrawText(canvas, HEADLINE, "GREETINGS", CENTRE_X, 74.0f, Align::CENTRE);
  PaintRule(canvas, 90.0f, 150.0f, WithAlpha(palette::LAGOON, 0.8f));
  constexpr float ROW_STEP = 24.0f;
  float row = 124.0f;
  DrawText(canvas, ROLE, "to everyone who makes demos", CENTRE_X, row, Align::CENTRE);
  for (const char* line : GREETINGS_TO_PEOPLE) DrawText(canvas, LINE, line, CENTRE_X, row += ROW_STEP, Align::CENTRE);
  row += ROW_STEP * 0.6f;
  DrawText(canvas, ROLE, "and to the makers of our tools", CENTRE_X, row += ROW_STEP, Align::CENTRE);
  for (const char* line : GREETINGS_TO_TOOLS) DrawText(canvas, LINE, line, CENTRE_X, row += ROW_STEP, Align::CENTRE);
  return canvas;
}

// ---- The end card ------------------------------------------------------------------------

namespace {

constexpr Vec2 SETTING_SUN = {256.0f, 258.0f};
constexpr float SETTING_SUN_RADIUS = 46.0f;
constexpr float END_HORIZON = 262.0f;

const TextStyle THE_END = {{FONT_SERIF_BOLD_ITALIC, 64.0f}, palette::WHITE, palette::SUN, 1.0f,
                           3.0f, Hex(0x3A1840), 6, {3, 5}, WithAlpha(Hex(0x2A0E30), 0.6f)};
const TextStyle END_SMALL = {{FONT_SANS, 14.0f}, palette::WHITE, Hex(0xFFE2C8), 0.5f,
                             0.0f, palette::INK, 2, {1, 1}, WithAlpha(Hex(0x2A0E30), 0.8f)};

}  // namespace

Canvas PaintEndCard() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::NIGHT);
  FillVerticalGradient(canvas,
                       {{0.0f, Hex(0x1A1446)}, {0.35f, Hex(0x5B2A6E)}, {0.7f, Hex(0xD9626B)}, {1.0f, Hex(0xFFB36B)}},
                       0.0f, END_HORIZON);
  PaintStars(canvas, 90.0f, 40, 0xE4Du);
  FillGlow(canvas, SETTING_SUN, 260.0f, 2.0f, WithAlpha(palette::SUNSET, 0.5f));
  // The sun sinks behind the horizon: only its upper part is painted.
  FillShape(canvas, {0, 0, FRAME_WIDTH, int(END_HORIZON) + 1},
            [&](Vec2 p) { return std::max(SdCircle(p, SETTING_SUN, SETTING_SUN_RADIUS), p.y - END_HORIZON); },
            Hex(0xFFE3A0));
  CloudLook cloud = {Hex(0xFFB89A), Hex(0x8C3E72), Hex(0xFFE0B0, 0.9f)};
  PaintCloud(canvas, 90.0f, 200.0f, 120.0f, cloud, 0xE4E1u);
  PaintCloud(canvas, 430.0f, 170.0f, 100.0f, cloud, 0xE4E2u);
  PaintDistantSea(canvas, END_HORIZON,
                  {Hex(0xE08A74), Hex(0x1E1848), Hex(0xFFC9A0, 0.25f), Hex(0xFFE3A0, 1.0f), SETTING_SUN.x, 200.0f,
                   0xE4E3u});
  DrawText(canvas, THE_END, "The End", CENTRE_X, 92.0f, Align::CENTRE);
  DrawText(canvas, END_SMALL, "thanks for watching \xC2\xB7 see you at the next party", CENTRE_X, 120.0f, Align::CENTRE);
  DrawText(canvas, END_SMALL, "zibo by salt & pixel", CENTRE_X, 368.0f, Align::CENTRE);
  return canvas;
}

ContentBytes MakePresentsCard() { return EncodePng(PaintPresentsCard(), PngKind::RGB); }
ContentBytes MakeTitleCard() { return EncodePng(PaintTitleCard(), PngKind::RGB); }
ContentBytes MakeCreditsCard() { return EncodePng(PaintCreditsCard(), PngKind::RGB); }
ContentBytes MakeGreetingsCard() { return EncodePng(PaintGreetingsCard(), PngKind::RGB); }
ContentBytes MakeEndCard() { return EncodePng(PaintEndCard(), PngKind::RGB); }

}  // namespace assets
