// The three wave strips drawn over the lower part of every 3D scene: the rear strip behind
// the scene, the middle and front strips over it. Each strip is one layer of sea: clear
// above its crest line and opaque water below, with foam on the crests and lines of swell
// under the surface. The rear layer is small, pale and hazy, the front one tall, deep and
// bright-crested, so that the three read as distance when they swing against each other.
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "draw/gradient.h"
#include "draw/noise.h"
#include "draw/png_writer.h"
#include "images/paintings.h"
#include "images/theme.h"
#include "pack/content.h"

namespace assets {

namespace {

constexpr float TWO_PI = 2.0f * std::numbers::pi_v<float>;
constexpr int SUBSAMPLES = 4;        // per pixel and axis, for the crest's anti-aliasing
constexpr int TROCHOID_STEPS = 32;   // bisection steps to invert the trochoid
constexpr int SWELL_LINES = 3;       // lines of swell under the surface
constexpr float LINE_WIDTH = 1.6f;

struct WaveLook {
  float crest_row;      // mean crest row in the strip
  float swell;          // height of the main wave above and below crest_row
  float wavelength;     // pixels; a divisor of the strip width keeps the pattern even
  float sharpness;      // 0 round swell .. <1 pointed crests (trochoid)
  float chop;           // height of the small waves riding on the swell
  float depth_range;    // rows over which the water gradient runs
  Gradient water;       // colour by depth below the surface, 0 at the surface
  Color rim;            // thin light line along the surface
  Color foam;
  float foam_depth;     // rows of foam under the highest crests
  Color swell_line;     // lines under the surface (alpha sets their strength)
  float line_spacing;
  Color sparkle;
  uint32_t seed;
};

// Crest line of one layer: row of the surface at a (fractional) column.
struct CrestLine {
  const WaveLook& look;

  // Solves u - k sin u = phase for u, then the trochoid's height at u.
  float Trochoid(float x) const {
    float phase = TWO_PI * x / look.wavelength;
    float turns = std::floor(phase / TWO_PI);
    float target = phase - turns * TWO_PI;
    float low = 0.0f, high = TWO_PI;
    for (int i = 0; i < TROCHOID_STEPS; ++i) {
      float mid = 0.5f * (low + high);
      if (mid - look.sharpness * std::sin(mid) < target) low = mid; else high = mid;
    }
    return -std::cos(0.5f * (low + high));  // -1 at the crest, +1 in the trough
  }

  // Swell height varies slowly along the strip so no two crests are the same.
  float Amplitude(float x) const { return look.swell * (0.65f + 0.7f * ValueNoise(x / 190.0f, 0.5f, look.seed)); }

  float Chop(float x) const {
    return look.chop * (std::sin(TWO_PI * x / (look.wavelength * 0.37f) + 1.3f) +
                        0.6f * std::sin(TWO_PI * x / (look.wavelength * 0.21f) + 0.4f));
  }

  float Row(float x) const { return look.crest_row + Amplitude(x) * Trochoid(x) + Chop(x); }
};

// The crest line sampled once per strip: SUBSAMPLES rows per pixel column for the edge's
// coverage, and the row and slope at each column's centre for the shading.
struct CrestTable {
  std::vector<float> sub_rows;  // column x, sample s at [x * SUBSAMPLES + s]
  std::vector<float> rows;
  std::vector<float> slopes;    // rows per column; negative where the surface climbs rightwards
};

CrestTable TabulateCrest(const CrestLine& crest, int width) {
  CrestTable table;
  for (int x = 0; x < width; ++x) {
    for (int s = 0; s < SUBSAMPLES; ++s) {
      table.sub_rows.push_back(crest.Row(float(x) + (float(s) + 0.5f) / float(SUBSAMPLES)));
    }
    float centre = float(x) + 0.5f;
    table.rows.push_back(crest.Row(centre));
    table.slopes.push_back(crest.Row(centre + 0.5f) - crest.Row(centre - 0.5f));
  }
  return table;
}

float CoverageBelowCrest(const CrestTable& table, int x, int y) {
  int inside = 0;
  for (int sx = 0; sx < SUBSAMPLES; ++sx) {
    float row = table.sub_rows[size_t(x) * SUBSAMPLES + size_t(sx)];
    for (int sy = 0; sy < SUBSAMPLES; ++sy) {
      if (float(y) + (float(sy) + 0.5f) / float(SUBSAMPLES) > row) ++inside;
    }
  }
  return float(inside) / float(SUBSAMPLES * SUBSAMPLES);
}

Color ShadeWater(const WaveLook& look, float surface, float slope, float x, float y) {
  float depth = std::max(0.0f, y - surface);
  Color c = SampleGradient(look.water, depth / look.depth_range);

  // Faces turned to the light (surface climbing to the right) are brighter near the top.
  float near_top = 1.0f - SmoothStep(0.0f, look.depth_range * 0.5f, depth);
  c = Scale(c, 1.0f + std::clamp(-slope, -0.6f, 0.6f) * 0.35f * near_top);

  // Lines of swell: copies of the crest line that flatten with depth, broken into dashes.
  for (int i = 1; i <= SWELL_LINES; ++i) {
    float flatten = 1.0f - 0.22f * float(i);
    float row = look.crest_row + (surface - look.crest_row) * flatten + look.line_spacing * float(i);
    float dash = SmoothStep(0.35f, 0.6f, ValueNoise(x / (18.0f + 6.0f * float(i)), float(i) * 3.1f, look.seed + 11));
    float strength = look.swell_line.a * dash * (1.0f - 0.2f * float(i));
    c = Mix(c, WithAlpha(look.swell_line, 1.0f), strength * EdgeCoverage(std::fabs(y - row) - LINE_WIDTH * 0.5f));
  }

  // Foam gathers on the highest crests, its lower edge frayed by noise.
  float height = (look.crest_row - surface) / std::max(1.0f, look.swell);  // +1 at a full crest
  float crestness = SmoothStep(0.15f, 0.9f, height);
  float fray = FractalNoise(x / 6.0f, y / 4.0f, look.seed + 23, 3);
  float foam = crestness * (1.0f - SmoothStep(look.foam_depth * (0.4f + fray), look.foam_depth * (0.6f + fray) + 1.0f, depth));
  // Specks of foam drifting a little below the crest.
  float specks = SmoothStep(0.74f, 0.78f, FractalNoise(x / 3.0f, y / 2.0f, look.seed + 29, 2)) *
                 (1.0f - SmoothStep(0.0f, look.foam_depth * 2.5f, depth)) * crestness;
  c = Mix(c, look.foam, std::min(1.0f, foam + specks * 0.8f));

  // A thin bright rim right at the surface, and sparkles on the lit faces.
  c = Mix(c, WithAlpha(look.rim, 1.0f), look.rim.a * (1.0f - SmoothStep(0.0f, 1.5f, depth)));
  float glint = SmoothStep(0.84f, 0.88f, ValueNoise(x / 2.0f, y / 1.5f, look.seed + 31)) * near_top *
                SmoothStep(0.0f, 0.4f, -slope);
  c = Mix(c, WithAlpha(look.sparkle, 1.0f), look.sparkle.a * glint);
  return WithAlpha(c, 1.0f);
}

Canvas PaintWave(const WaveLook& look) {
  Canvas canvas = MakeCanvas(STRIP_WIDTH, STRIP_HEIGHT, {0, 0, 0, 0});
  CrestTable crest = TabulateCrest(CrestLine{look}, STRIP_WIDTH);
  for (int y = 0; y < STRIP_HEIGHT; ++y) {
    for (int x = 0; x < STRIP_WIDTH; ++x) {
      float coverage = CoverageBelowCrest(crest, x, y);
      if (coverage <= 0.0f) continue;
      Color water = ShadeWater(look, crest.rows[size_t(x)], crest.slopes[size_t(x)], float(x) + 0.5f, float(y) + 0.5f);
      BlendPixel(canvas, x, y, water, coverage);
    }
  }
  return canvas;
}

// Rear: far away, so small waves, pale hazy colours close to the horizon's.
const WaveLook REAR_WAVE = {.crest_row = 14.0f,
                           .swell = 4.0f,
                           .wavelength = 66.0f,
                           .sharpness = 0.55f,
                           .chop = 0.6f,
                           .depth_range = 40.0f,
                           .water = {{0.0f, Hex(0x8CCBDD)}, {0.5f, Hex(0x5FA7C8)}, {1.0f, Hex(0x3F88B5)}},
                           .rim = Hex(0xE4F7FF, 0.7f),
                           .foam = Hex(0xE8F6FA),
                           .foam_depth = 2.0f,
                           .swell_line = Hex(0xB4E2EE, 0.25f),
                           .line_spacing = 7.0f,
                           .sparkle = Hex(0xFFFFFF, 0.5f),
                           .seed = 0xBAC0u};

// Middle: the sea the swimmers are in.
const WaveLook MIDDLE_WAVE = {.crest_row = 34.0f,
                             .swell = 7.0f,
                             .wavelength = 110.0f,
                             .sharpness = 0.68f,
                             .chop = 1.0f,
                             .depth_range = 55.0f,
                             .water = {{0.0f, Hex(0x3AA6C8)}, {0.45f, Hex(0x1D76AE)}, {1.0f, Hex(0x12528A)}},
                             .rim = Hex(0xF0FBFF, 0.8f),
                             .foam = Hex(0xF4FBFD),
                             .foam_depth = 3.5f,
                             .swell_line = Hex(0x7FD0E6, 0.45f),
                             .line_spacing = 10.0f,
                             .sparkle = Hex(0xFFFFFF, 0.7f),
                             .seed = 0x3EDDu};

// Front: closest, tallest and darkest, with a full white cap on every crest.
const WaveLook FRONT_WAVE = {.crest_row = 58.0f,
                            .swell = 11.0f,
                            .wavelength = 165.0f,
                            .sharpness = 0.8f,
                            .chop = 1.4f,
                            .depth_range = 42.0f,
                            .water = {{0.0f, Hex(0x2395BF)}, {0.35f, Hex(0x0F63A0)}, {1.0f, Hex(0x0A3766)}},
                            .rim = Hex(0xFFFFFF, 0.9f),
                            .foam = Hex(0xFFFFFF),
                            .foam_depth = 5.0f,
                            .swell_line = Hex(0x56BDE0, 0.5f),
                            .line_spacing = 12.0f,
                            .sparkle = Hex(0xFFFFFF, 0.9f),
                            .seed = 0xF407u};

}  // namespace

Canvas PaintFrontWave() { return PaintWave(FRONT_WAVE); }
Canvas PaintMiddleWave() { return PaintWave(MIDDLE_WAVE); }
Canvas PaintRearWave() { return PaintWave(REAR_WAVE); }

ContentBytes MakeFrontWave() { return EncodePng(PaintFrontWave(), PngKind::RGBA); }
ContentBytes MakeMiddleWave() { return EncodePng(PaintMiddleWave(), PngKind::RGBA); }
ContentBytes MakeRearWave() { return EncodePng(PaintRearWave(), PngKind::RGBA); }

}  // namespace assets
