// The title cards of the intro (who presents, the title, the credits, the greetings) and the
// end card. The intro cards share one look, under the surface: light falling through the
// water, a net of caustics, rising bubbles and swaying weed on the sand. The end card comes
// up for air: the sun setting over the sea.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "draw/gradient.h"
#include "draw/noise.h"
#include "draw/png_writer.h"
#include "images/paintings.h"
#include "images/scenery.h"
#include "images/theme.h"
#include "pack/content.h"

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
constexpr float SAND_CLEARANCE = 12.0f;  // bubbles stay this far above the sand

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
    // Bubbles rise from the weed, not out of the sand.
    Vec2 p = {rng.Range(0.0f, float(canvas.width)), rng.Range(0.0f, SAND_ROW - SAND_CLEARANCE)};
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

const TextStyle HEADLINE = {.font = {FONT_SANS_BOLD, 44.0f},
                            .fill_top = palette::WHITE,
                            .fill_bottom = palette::LAGOON,
                            .tracking = 1.0f,
                            .outline_width = 3.0f,
                            .outline = palette::INK,
                            .shadow_blur = 4,
                            .shadow_offset = {3, 4},
                            .shadow = WithAlpha(palette::INK, 0.6f)};
const TextStyle SUBLINE = {.font = {FONT_SERIF_BOLD_ITALIC, 26.0f},
                           .fill_top = palette::SAND,
                           .fill_bottom = palette::SUNSET,
                           .outline_width = 2.0f,
                           .outline = palette::INK,
                           .shadow_blur = 3,
                           .shadow_offset = {2, 3},
                           .shadow = WithAlpha(palette::INK, 0.5f)};
const TextStyle SMALL_PRINT = {.font = {FONT_SANS, 13.0f},
                               .fill_top = Hex(0xBFE6F2),
                               .fill_bottom = Hex(0x9FD3E6),
                               .tracking = 0.5f,
                               .shadow_blur = 1,
                               .shadow_offset = {1, 1},
                               .shadow = WithAlpha(palette::INK, 0.8f)};
const TextStyle ROLE = {.font = {FONT_SANS_CONDENSED_BOLD, 17.0f},
                        .fill_top = palette::LAGOON,
                        .fill_bottom = palette::SHALLOW,
                        .tracking = 0.5f,
                        .shadow_blur = 2,
                        .shadow_offset = {1, 2},
                        .shadow = WithAlpha(palette::INK, 0.8f)};
const TextStyle LINE = {.font = {FONT_SANS, 15.0f},
                        .fill_top = palette::WHITE,
                        .fill_bottom = Hex(0xDDF3FA),
                        .shadow_blur = 2,
                        .shadow_offset = {1, 2},
                        .shadow = WithAlpha(palette::INK, 0.8f)};
const TextStyle TITLE = {.font = {FONT_SANS_BOLD, 132.0f},
                         .fill_top = palette::SUN,
                         .fill_bottom = palette::CORAL,
                         .tracking = 4.0f,
                         .outline_width = 5.0f,
                         .outline = palette::INK,
                         .shadow_blur = 8,
                         .shadow_offset = {5, 7},
                         .shadow = WithAlpha(palette::INK, 0.7f)};

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

// Headings of the list cards sit at the same place on each.
constexpr float HEADING_BASELINE = 74.0f;
constexpr float HEADING_RULE_ROW = 90.0f;
constexpr Color RULE_COLOUR = WithAlpha(palette::LAGOON, 0.8f);

// Where each card's text goes: no bubbles rise there.
constexpr Box PRESENTS_TEXT_AREA = {70, 120, 442, 250};
constexpr Box TITLE_TEXT_AREA = {80, 60, 432, 265};
constexpr Box CREDITS_TEXT_AREA = {50, 30, 470, 345};
constexpr Box GREETINGS_TEXT_AREA = {90, 30, 422, 315};

// Each card's bubbles rise from a seed of its own.
constexpr uint32_t PRESENTS_SEED = 0xB0B1u, TITLE_SEED = 0x21B0u, CREDITS_SEED = 0xC4ED5u, GREETINGS_SEED = 0x69EE7u;

void PaintHeading(Canvas& canvas, const char* heading, float rule_half_length) {
  DrawText(canvas, HEADLINE, heading, CENTRE_X, HEADING_BASELINE, Align::CENTRE);
  PaintRule(canvas, HEADING_RULE_ROW, rule_half_length, RULE_COLOUR);
}

}  // namespace

Canvas PaintPresentsCard() {
  constexpr float NAME_BASELINE = 178.0f, RULE_ROW = 194.0f, RULE_HALF_LENGTH = 150.0f;
  constexpr float PRESENTS_BASELINE = 232.0f, FOOT_BASELINE = 372.0f;
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, PRESENTS_TEXT_AREA, PRESENTS_SEED);
  DrawText(canvas, HEADLINE, GROUP_NAME, CENTRE_X, NAME_BASELINE, Align::CENTRE);
  PaintRule(canvas, RULE_ROW, RULE_HALF_LENGTH, RULE_COLOUR);
  DrawText(canvas, SUBLINE, "presents", CENTRE_X, PRESENTS_BASELINE, Align::CENTRE);
  DrawText(canvas, SMALL_PRINT, "a real-time demo in 512 \xC3\x97 384, rendered in software", CENTRE_X,
           FOOT_BASELINE, Align::CENTRE);
  return canvas;
}

Canvas PaintTitleCard() {
  constexpr Vec2 HALO_CENTRE = {CENTRE_X, 150.0f};
  constexpr float HALO_RADIUS = 230.0f, TITLE_BASELINE = 196.0f, SUBTITLE_BASELINE = 250.0f;
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, TITLE_TEXT_AREA, TITLE_SEED);
  // A sun-lit halo behind the title, as if the word floated just under the surface.
  FillGlow(canvas, HALO_CENTRE, HALO_RADIUS, 2.0f, WithAlpha(palette::SUN, 0.35f));
  DrawText(canvas, TITLE, "zibo", CENTRE_X, TITLE_BASELINE, Align::CENTRE);
  DrawText(canvas, SUBLINE, "a day at the sea", CENTRE_X, SUBTITLE_BASELINE, Align::CENTRE);
  return canvas;
}

Canvas PaintCreditsCard() {
  // Roles right-aligned against a column, what they made left-aligned after a gutter.
  constexpr float RULE_HALF_LENGTH = 130.0f, COLUMN = 150.0f, GUTTER = 12.0f;
  constexpr float FIRST_BASELINE = 128.0f, LINE_STEP = 27.0f, FOOT_BASELINE = 338.0f;
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, CREDITS_TEXT_AREA, CREDITS_SEED);
  PaintHeading(canvas, "CREDITS", RULE_HALF_LENGTH);
  float row = FIRST_BASELINE;
  for (const CreditLine& line : CREDITS) {
    DrawText(canvas, ROLE, line.role, COLUMN - GUTTER * 0.5f, row, Align::RIGHT);
    DrawText(canvas, LINE, line.what, COLUMN + GUTTER * 0.5f, row, Align::LEFT);
    row += LINE_STEP;
  }
  DrawText(canvas, SMALL_PRINT, "every byte of this demo was made by its own toolchain", CENTRE_X, FOOT_BASELINE,
           Align::CENTRE);
  return canvas;
}

Canvas PaintGreetingsCard() {
  constexpr float RULE_HALF_LENGTH = 150.0f, FIRST_BASELINE = 124.0f, LINE_STEP = 24.0f;
  constexpr float GROUP_GAP = LINE_STEP * 0.6f;  // extra space between the two groups
  Canvas canvas = PaintUnderwater(INTRO_BACKDROP, GREETINGS_TEXT_AREA, GREETINGS_SEED);
  PaintHeading(canvas, "GREETINGS", RULE_HALF_LENGTH);
  float row = FIRST_BASELINE;
  DrawText(canvas, ROLE, "to everyone who makes demos", CENTRE_X, row, Align::CENTRE);
  for (const char* line : GREETINGS_TO_PEOPLE) DrawText(canvas, LINE, line, CENTRE_X, row += LINE_STEP, Align::CENTRE);
  row += GROUP_GAP;
  DrawText(canvas, ROLE, "and to the makers of our tools", CENTRE_X, row += LINE_STEP, Align::CENTRE);
  for (const char* line : GREETINGS_TO_TOOLS) DrawText(canvas, LINE, line, CENTRE_X, row += LINE_STEP, Align::CENTRE);
  return canvas;
}

// ---- The end card ------------------------------------------------------------------------

namespace {

constexpr float END_HORIZON = 262.0f;
constexpr Vec2 SETTING_SUN = {256.0f, 258.0f};
constexpr float SETTING_SUN_RADIUS = 46.0f;
constexpr float SETTING_SUN_GLOW = 260.0f;
constexpr Color SETTING_SUN_DISC = Hex(0xFFE3A0);
constexpr uint32_t DUSK_SEED = 0xE4Du;
constexpr float DUSK_STAR_ROWS = 90.0f;  // the first stars show high up in the dusk
constexpr int DUSK_STAR_COUNT = 40;

const Gradient DUSK_SKY = {{0.0f, Hex(0x1A1446)}, {0.35f, Hex(0x5B2A6E)}, {0.7f, Hex(0xD9626B)}, {1.0f, Hex(0xFFB36B)}};
const CloudLook DUSK_CLOUD = {.top = Hex(0xFFB89A), .bottom = Hex(0x8C3E72), .rim = Hex(0xFFE0B0, 0.9f)};

struct CloudPlacement {
  float x, base, width;
};
const CloudPlacement DUSK_CLOUDS[] = {{90.0f, 200.0f, 120.0f}, {430.0f, 170.0f, 100.0f}};

const SeaLook DUSK_SEA = {.near_horizon = Hex(0xE08A74),
                          .foreground = Hex(0x1E1848),
                          .ripple = Hex(0xFFC9A0, 0.25f),
                          .glitter = Hex(0xFFE3A0),
                          .glitter_x = SETTING_SUN.x,
                          .glitter_width = 200.0f,
                          .seed = DUSK_SEED + 3};

const TextStyle THE_END = {.font = {FONT_SERIF_BOLD_ITALIC, 64.0f},
                           .fill_top = palette::WHITE,
                           .fill_bottom = palette::SUN,
                           .tracking = 1.0f,
                           .outline_width = 3.0f,
                           .outline = Hex(0x3A1840),
                           .shadow_blur = 6,
                           .shadow_offset = {3, 5},
                           .shadow = WithAlpha(Hex(0x2A0E30), 0.6f)};
const TextStyle END_SMALL = {.font = {FONT_SANS, 14.0f},
                             .fill_top = palette::WHITE,
                             .fill_bottom = Hex(0xFFE2C8),
                             .tracking = 0.5f,
                             .shadow_blur = 2,
                             .shadow_offset = {1, 1},
                             .shadow = WithAlpha(Hex(0x2A0E30), 0.8f)};

}  // namespace

Canvas PaintEndCard() {
  Canvas canvas = MakeCanvas(FRAME_WIDTH, FRAME_HEIGHT, palette::NIGHT);
  FillVerticalGradient(canvas, DUSK_SKY, 0.0f, END_HORIZON);
  PaintStars(canvas, DUSK_STAR_ROWS, DUSK_STAR_COUNT, DUSK_SEED);
  FillGlow(canvas, SETTING_SUN, SETTING_SUN_GLOW, 2.0f, WithAlpha(palette::SUNSET, 0.5f));
  // The sun sinks behind the horizon: only its upper part is painted.
  FillShape(canvas, {0, 0, FRAME_WIDTH, int(END_HORIZON) + 1},
            [&](Vec2 p) { return std::max(SdCircle(p, SETTING_SUN, SETTING_SUN_RADIUS), p.y - END_HORIZON); },
            SETTING_SUN_DISC);
  uint32_t seed = DUSK_SEED;
  for (const CloudPlacement& c : DUSK_CLOUDS) PaintCloud(canvas, c.x, c.base, c.width, DUSK_CLOUD, ++seed);
  PaintDistantSea(canvas, END_HORIZON, DUSK_SEA);
  // The words keep to the top and the foot: the scene's last shape is drawn over the middle.
  constexpr float END_BASELINE = 92.0f, THANKS_BASELINE = 120.0f, FOOT_BASELINE = 368.0f;
  DrawText(canvas, THE_END, "The End", CENTRE_X, END_BASELINE, Align::CENTRE);
  DrawText(canvas, END_SMALL, "thanks for watching \xC2\xB7 see you at the next party", CENTRE_X, THANKS_BASELINE,
           Align::CENTRE);
  DrawText(canvas, END_SMALL, "zibo by salt & pixel", CENTRE_X, FOOT_BASELINE, Align::CENTRE);
  return canvas;
}

ContentBytes MakePresentsCard() { return EncodePng(PaintPresentsCard(), PngKind::RGB); }
ContentBytes MakeTitleCard() { return EncodePng(PaintTitleCard(), PngKind::RGB); }
ContentBytes MakeCreditsCard() { return EncodePng(PaintCreditsCard(), PngKind::RGB); }
ContentBytes MakeGreetingsCard() { return EncodePng(PaintGreetingsCard(), PngKind::RGB); }
ContentBytes MakeEndCard() { return EncodePng(PaintEndCard(), PngKind::RGB); }

}  // namespace assets
