#include "images/scenery.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "draw/noise.h"

namespace assets {

namespace {

// Perspective of the sea: a row r pixels below the horizon lies SEA_DEPTH_SCALE / r units
// away, so ripples crowd together towards the horizon.
constexpr float SEA_DEPTH_SCALE = 60.0f;
constexpr float RIPPLE_ACROSS = 0.06f;   // ripple frequency along the horizon, per unit
constexpr float RIPPLE_ALONG = 1.6f;     // ripple frequency into the distance, per unit
constexpr float RIPPLE_THRESHOLD = 0.58f;
constexpr float GLITTER_THRESHOLD = 0.55f;
constexpr float HAZE_ROWS = 10.0f;       // rows below the horizon that fade from haze

constexpr int CLOUD_LUMPS = 7;
constexpr float CLOUD_HEIGHT_SHARE = 0.3f;  // cloud height as a share of its width
constexpr float CLOUD_BLEND = 3.0f;         // pixels over which lumps merge
constexpr Vec2 CLOUD_LIGHT = {0.45f, 0.89f};  // direction the light travels: down and right
constexpr float CLOUD_RIM_WIDTH = 1.5f;

constexpr float BRIGHT_STAR_SHARE = 0.08f;
constexpr float STAR_CROSS_LENGTH = 5.0f;
constexpr Color STAR_WHITE = Hex(0xFFF8E8);
constexpr Color STAR_BLUE = Hex(0xBFD8FF);

}  // namespace

void PaintDistantSea(Canvas& canvas, float horizon, const SeaLook& look) {
  float bottom = float(canvas.height);
  PaintBox(canvas, 0, int(std::floor(horizon)), canvas.width, canvas.height, [&](float x, float y) {
    float below = y - horizon;
    if (below <= 0.0f) return Color{0, 0, 0, 0};
    float t = below / (bottom - horizon);
    Color c = Mix(look.near_horizon, look.foreground, std::sqrt(t));
    // Ripples: noise stretched along the horizon, sampled in sea-plane coordinates.
    float depth = SEA_DEPTH_SCALE / below;
    float across = (x - float(canvas.width) * 0.5f) * depth * RIPPLE_ACROSS;
    float along = depth * RIPPLE_ALONG;
    float ripple = FractalNoise(across * 0.2f, along * 6.0f, look.seed, 3);
    float ripple_strength = SmoothStep(RIPPLE_THRESHOLD, RIPPLE_THRESHOLD + 0.15f, ripple);
    c = Mix(c, WithAlpha(look.ripple, 1.0f), ripple_strength * look.ripple.a * SmoothStep(0.0f, HAZE_ROWS, below));
    if (look.glitter.a > 0.0f) {
      float half = 2.0f + look.glitter_width * t;
      float path = 1.0f - SmoothStep(0.0f, half, std::fabs(x - look.glitter_x));
      float sparkle = FractalNoise(across * 0.5f, along * 9.0f, look.seed + 7, 2);
      float lit = path * SmoothStep(GLITTER_THRESHOLD - 0.2f * path, GLITTER_THRESHOLD + 0.1f, sparkle);
      c = Mix(c, WithAlpha(look.glitter, 1.0f), std::min(1.0f, lit * look.glitter.a));
    }
    return WithAlpha(c, 1.0f);
  });
}

void PaintCloud(Canvas& canvas, float x, float base, float width, const CloudLook& look, uint32_t seed) {
  Rng rng = MakeRng(seed);
  struct Lump {
    Vec2 centre;
    float radius;
  };
  // Lumps along the base, largest and highest in the middle, so the cloud rises to a crown.
  const float height = width * CLOUD_HEIGHT_SHARE;
  std::vector<Lump> lumps;
  for (int i = 0; i < CLOUD_LUMPS; ++i) {
    float u = (float(i) + 0.5f) / float(CLOUD_LUMPS);
    float bell = std::sin(std::numbers::pi_v<float> * u);
    float radius = height * (0.32f + 0.42f * bell) * rng.Range(0.8f, 1.2f);
    float lift = height * (0.15f + 0.45f * bell) * rng.Range(0.8f, 1.2f);
    lumps.push_back({{x - width * 0.5f + width * u, base - lift}, radius});
  }
  auto distance = [&](Vec2 p) {
    float d = SdCircle(p, lumps[0].centre, lumps[0].radius);
    for (size_t i = 1; i < lumps.size(); ++i) d = SdSmoothUnion(d, SdCircle(p, lumps[i].centre, lumps[i].radius), CLOUD_BLEND);
    return std::max(d, p.y - base);  // cut flat at the base
  };
  float top = base - height * 1.3f;
  Box box = {int(x - width * 0.5f - height), int(top - height * 0.5f), int(x + width * 0.5f + height), int(base + 2)};
  PaintBox(canvas, box.x0, box.y0, box.x1, box.y1, [&](float px, float py) {
    float d = distance({px, py});
    float coverage = EdgeCoverage(d);
    if (coverage <= 0.0f) return Color{0, 0, 0, 0};
    // Light from above left: the outward normal of the nearest edge says how lit a point is.
    float nx = distance({px + 1.0f, py}) - distance({px - 1.0f, py});
    float ny = distance({px, py + 1.0f}) - distance({px, py - 1.0f});
    float length = std::sqrt(nx * nx + ny * ny) + 1e-6f;
    float lit = std::clamp(0.5f - 0.5f * (nx * CLOUD_LIGHT.x + ny * CLOUD_LIGHT.y) / length, 0.0f, 1.0f);
    float depth = SmoothStep(0.0f, height * 0.35f, -d);  // interior drifts towards the mid tone
    float shade = SmoothStep(top, base, py) * 0.7f + (1.0f - lit) * 0.3f * (1.0f - depth * 0.5f);
    Color c = Mix(look.top, look.bottom, std::clamp(shade, 0.0f, 1.0f));
    if (look.rim.a > 0.0f) c = Mix(c, look.rim, look.rim.a * EdgeCoverage(-d - CLOUD_RIM_WIDTH) * lit);
    return WithAlpha(c, coverage);
  });
}

void PaintLighthouse(Canvas& canvas, float x, float horizon, float height, const LighthouseLook& look) {
  // Proportions of the tower, relative to its height.
  const float rock_half_width = height * 0.9f, rock_height = height * 0.22f;
  const float base_half = height * 0.16f, top_half = height * 0.10f;
  const float tower_bottom = horizon - rock_height * 0.6f, tower_top = horizon - height;
  const float lantern_height = height * 0.16f;
  const int stripes = 3;

  auto rock = [&](Vec2 p) {
    float dx = (p.x - x) / rock_half_width, dy = (p.y - horizon) / rock_height;
    return std::max((std::sqrt(dx * dx + dy * dy) - 1.0f) * rock_height, p.y - horizon);
  };
  auto tower = [&](Vec2 p) {
    float t = std::clamp((p.y - tower_top) / (tower_bottom - tower_top), 0.0f, 1.0f);
    float half = top_half + (base_half - top_half) * t;
    return std::max({std::fabs(p.x - x) - half, tower_top - p.y, p.y - tower_bottom});
  };
  if (look.lamp_glow > 0.0f) {
    FillGlow(canvas, {x, tower_top - lantern_height * 0.5f}, look.lamp_glow, 2.0f, WithAlpha(look.lantern, 0.55f));
  }
  Box box = {int(x - rock_half_width - 2), int(tower_top - lantern_height - 3), int(x + rock_half_width + 2),
             int(horizon + 2)};
  FillShape(canvas, box, rock, look.rock);
  PaintBox(canvas, box.x0, box.y0, box.x1, box.y1, [&](float px, float py) {
    float coverage = EdgeCoverage(tower({px, py}));
    if (coverage <= 0.0f) return Color{0, 0, 0, 0};
    int band = int(std::floor((py - tower_top) / (tower_bottom - tower_top) * float(stripes * 2)));
    Color c = band % 2 == 1 ? look.stripe : look.tower;
    // Lit from the left: the right side of the tower falls into shade.
    c = Scale(c, px > x ? 0.78f : 1.0f);
    return WithAlpha(c, coverage);
  });
  Vec2 lantern = {x, tower_top - lantern_height * 0.5f};
  FillShape(canvas, box, [&](Vec2 p) { return SdRoundedBox(p, lantern, {top_half * 0.8f, lantern_height * 0.5f}, 1.0f); },
            look.lantern);
  FillShape(canvas, box,
            [&](Vec2 p) { return SdTriangle(p, {x - top_half * 1.3f, tower_top - lantern_height},
                                            {x + top_half * 1.3f, tower_top - lantern_height},
                                            {x, tower_top - lantern_height * 1.9f}); },
            look.stripe);
}

void PaintStars(Canvas& canvas, float max_row, int count, uint32_t seed) {
  Rng rng = MakeRng(seed);
  for (int i = 0; i < count; ++i) {
    Vec2 p = {rng.Range(0.0f, float(canvas.width)), rng.Range(0.0f, max_row)};
    // Stars fade into the haze near the horizon.
    float fade = 1.0f - SmoothStep(max_row * 0.6f, max_row, p.y);
    float brightness = rng.Uniform();
    bool bright = rng.Uniform() < BRIGHT_STAR_SHARE;
    Color tint = Mix(STAR_WHITE, STAR_BLUE, rng.Uniform());
    if (bright) {
      FillGlow(canvas, p, 4.0f, 2.0f, WithAlpha(tint, 0.6f * fade));
      for (int arm = 0; arm < 2; ++arm) {
        Box box = {int(p.x - STAR_CROSS_LENGTH - 1), int(p.y - STAR_CROSS_LENGTH - 1),
                   int(p.x + STAR_CROSS_LENGTH + 2), int(p.y + STAR_CROSS_LENGTH + 2)};
        PaintBox(canvas, box.x0, box.y0, box.x1, box.y1, [&](float px, float py) {
          float along = arm ? std::fabs(px - p.x) : std::fabs(py - p.y);
          float across = arm ? std::fabs(py - p.y) : std::fabs(px - p.x);
          float fall = 1.0f - std::min(1.0f, along / STAR_CROSS_LENGTH);
          return WithAlpha(tint, fade * fall * fall * EdgeCoverage(across - 0.5f));
        });
      }
      FillDisc(canvas, p, 1.1f, WithAlpha(tint, fade));
    } else {
      FillDisc(canvas, p, 0.45f + 0.45f * brightness, WithAlpha(tint, fade * (0.35f + 0.65f * brightness)));
    }
  }
}

void PaintMoon(Canvas& canvas, Vec2 centre, float radius, Color colour) {
  FillGlow(canvas, centre, radius * 5.0f, 2.5f, WithAlpha(colour, 0.35f));
  const float shadow_shift = radius * 0.45f;
  Box box = {int(centre.x - radius - 2), int(centre.y - radius - 2), int(centre.x + radius + 3),
             int(centre.y + radius + 3)};
  FillShape(canvas, box,
            [&](Vec2 p) {
              return std::max(SdCircle(p, centre, radius),
                              -SdCircle(p, {centre.x - shadow_shift, centre.y - shadow_shift * 0.4f}, radius * 0.92f));
            },
            colour);
}

}  // namespace assets
