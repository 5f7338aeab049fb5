#include "meshes/skins.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "draw/gradient.h"
#include "draw/noise.h"
#include "meshes/shapes.h"

namespace assets {

namespace {

constexpr float PI = std::numbers::pi_v<float>;
constexpr float DISC_CENTRE = SKIN_TEXTURE_SIZE * 0.5f;
constexpr float DISC_RADIUS = SKIN_TEXTURE_SIZE * 0.5f;
constexpr float EDGE_MARGIN = 1.0f;  // texels between a strip and the texture's edge
// Texels between a strip and the disc: a triangle's lightmap coordinates are interpolated
// between its corners', so the strip keeps clear of the disc's curve.
constexpr float DISC_MARGIN = 3.0f;
constexpr float ACROSS_BY_HEIGHT = 0.6f;  // see Across

// How deep (from its edge) a strip may reach at a texels from its corner along the edge.
float StripDepth(float a) {
  float reach = DISC_RADIUS + DISC_MARGIN, from_middle = DISC_CENTRE - a;
  return DISC_CENTRE - std::sqrt(std::max(0.0f, reach * reach - from_middle * from_middle));
}

float Along(const SkinStrip& strip, float s) { return s + strip.head_weight * s * (1.0f - s); }

float SFromAlong(const SkinStrip& strip, float g) {
  float w = strip.head_weight;
  if (w <= 0.0f) return g;
  return ((1.0f + w) - std::sqrt(std::max(0.0f, (1.0f + w) * (1.0f + w) - 4.0f * w * g))) / (2.0f * w);
}

// Across the strip, 0 at the top of the back .. 1 at the belly: partly even in the angle,
// partly even in height, so the flank the viewer sees gets its share of texels.
float Across(float folded) {
  return (1.0f - ACROSS_BY_HEIGHT) * folded / PI + ACROSS_BY_HEIGHT * 0.5f * (1.0f - std::cos(folded));
}

float FoldedFromAcross(float f) {
  float lo = 0.0f, hi = PI;
  for (int i = 0; i < 30; ++i) {
    float mid = 0.5f * (lo + hi);
    (Across(mid) < f ? lo : hi) = mid;
  }
  return 0.5f * (lo + hi);
}

float Fold(float angle) {
  float a = std::fmod(angle, 2.0f * PI);
  if (a < 0.0f) a += 2.0f * PI;
  return a > PI ? 2.0f * PI - a : a;
}

}  // namespace

SurfaceUv SkinCoordinates(const SkinStrip& strip, float s, float angle) {
  float folded = s <= 0.0f || s >= 1.0f ? 0.5f * PI : Fold(angle);
  float a = strip.from + (strip.to - strip.from) * Along(strip, std::clamp(s, 0.0f, 1.0f));
  float b = EDGE_MARGIN + Across(folded) * (StripDepth(a) - EDGE_MARGIN);
  float x = strip.right ? SKIN_TEXTURE_SIZE - a : a;
  float y = strip.bottom ? SKIN_TEXTURE_SIZE - b : b;
  // The renderer reads texel floor(255 u).
  return {x / float(SKIN_TEXTURE_SIZE - 1), y / float(SKIN_TEXTURE_SIZE - 1)};
}

bool InSphereMapDisc(float texel_x, float texel_y) {
  return std::hypot(texel_x - DISC_CENTRE, texel_y - DISC_CENTRE) <= DISC_RADIUS + 1.0f;
}

bool SkinParameters(const SkinStrip& strip, float texel_x, float texel_y, float* s, float* folded_angle) {
  // A texel and a half of bleed round the strip, so that rounding never reads a neighbour.
  constexpr float BLEED = 1.5f;
  float a = strip.right ? SKIN_TEXTURE_SIZE - texel_x : texel_x;
  float b = strip.bottom ? SKIN_TEXTURE_SIZE - texel_y : texel_y;
  if (a < strip.from - BLEED || a > strip.to + BLEED || b > StripDepth(a) + BLEED) return false;
  if (InSphereMapDisc(texel_x, texel_y)) return false;
  float along = std::clamp((a - strip.from) / (strip.to - strip.from), 0.0f, 1.0f);
  *s = SFromAlong(strip, along);
  float depth = StripDepth(std::clamp(a, strip.from, strip.to));
  *folded_angle = FoldedFromAcross(std::clamp((b - EDGE_MARGIN) / (depth - EDGE_MARGIN), 0.0f, 1.0f));
  return true;
}

namespace {

struct Vec2 {
  float x, y;
};

// A fish's markings, painted where they fall on its slim shape. Distances are in the
// shape's own units.
struct FishSkin {
  Gradient body;  // from the top of the back (0) to the belly (1)
  Color fin, fin_edge;
  Color outline;  // round the eyes, the gill cover's edge
  Color eye_white, iris, pupil;
  float eye_radius, iris_radius, pupil_radius;  // over the body's height
  Color mouth;
  Vec2 smile[4];  // the mouth's line as seen from the side, from the nose, in body heights
  Color lips;     // alpha 0: none
  Color band;     // alpha 0: none
  Color spots;    // alpha 0: none
  bool lashes;
};

const FishSkin ZIBO_PAINT = {
    .body = {{0.0f, Hex(0xD9481A)}, {0.3f, Hex(0xF26A2E)}, {0.55f, Hex(0xFF8A45)}, {0.8f, Hex(0xFFC27A)},
             {1.0f, Hex(0xFFE2B0)}},
    .fin = Hex(0xE8501E),
    .fin_edge = Hex(0xFFB27A),
    .outline = Hex(0x2A1208),
    .eye_white = Hex(0xFFFFFF),
    .iris = Hex(0x3A2414),
    .pupil = Hex(0x080404),
    .eye_radius = 0.34f,
    .iris_radius = 0.22f,
    .pupil_radius = 0.14f,
    .mouth = Hex(0x4A120A),
    .smile = {{0.02f, -0.22f}, {-0.1f, -0.31f}, {-0.28f, -0.31f}, {-0.4f, -0.17f}},
    .lips = Hex(0, 0.0f),
    .band = Hex(0xFFF7EA),
    .spots = Hex(0, 0.0f),
    .lashes = false,
};

const FishSkin MAMMA_PAINT = {
    .body = {{0.0f, Hex(0x145672)}, {0.3f, Hex(0x1F8497)}, {0.55f, Hex(0x34B1AC)}, {0.8f, Hex(0x8ADBC8)},
             {1.0f, Hex(0xD6F6EA)}},
    .fin = Hex(0x1A6E90),
    .fin_edge = Hex(0xA8ECEC),
    .outline = Hex(0x0A2A38),
    .eye_white = Hex(0xFFFFFF),
    .iris = Hex(0x2C62A8),
    .pupil = Hex(0x060A18),
    .eye_radius = 0.22f,
    .iris_radius = 0.15f,
    .pupil_radius = 0.085f,
    .mouth = Hex(0x5A0E2A),
    .smile = {{0.02f, -0.2f}, {-0.08f, -0.27f}, {-0.22f, -0.27f}, {-0.32f, -0.19f}},
    .lips = Hex(0xF0608A),
    .band = Hex(0, 0.0f),
    .spots = Hex(0xC8F4EC),
    .lashes = true,
};

float Length(Vec2 v) { return std::hypot(v.x, v.y); }

// Distance from p to the segment a..b.
float SegmentDistance(Vec2 p, Vec2 a, Vec2 b) {
  Vec2 ab = {b.x - a.x, b.y - a.y}, ap = {p.x - a.x, p.y - a.y};
  float t = std::clamp((ap.x * ab.x + ap.y * ab.y) / std::max(1e-6f, ab.x * ab.x + ab.y * ab.y), 0.0f, 1.0f);
  return Length({ap.x - t * ab.x, ap.y - t * ab.y});
}

// Coverage of a painted shape edge at signed distance d (negative inside), softened over
// about a texel's size so the edges do not stair-step more than the texels already do.
float Inside(float d, float soft) { return std::clamp(0.5f - d / soft, 0.0f, 1.0f); }

// The eye as seen face on: x forward (towards the nose), y up, both in units.
Color PaintEye(const FishLook& look, const FishSkin& skin, Vec2 p, float soft, Color under) {
  float h = look.radius;
  float r = skin.eye_radius * h;
  float d = Length(p);
  Color c = under;
  c = Mix(c, skin.outline, Inside(d - (r + 0.09f * h), soft));
  c = Mix(c, skin.eye_white, Inside(d - r, soft));
  // Looking forward and a little down, as if at the one it talks to.
  Vec2 at = {p.x - 0.32f * r, p.y + 0.08f * r};
  c = Mix(c, skin.iris, Inside(Length(at) - skin.iris_radius * h, soft));
  c = Mix(c, skin.pupil, Inside(Length(at) - skin.pupil_radius * h, soft));
  Vec2 glint = {at.x + 0.3f * skin.pupil_radius * h, at.y - 0.45f * skin.pupil_radius * h};
  c = Mix(c, Hex(0xFFFFFF), Inside(Length(glint) - 0.42f * skin.pupil_radius * h, soft));
  if (skin.lashes) {
    // A lid over the top of the eye and three lashes curling back from it.
    c = Mix(c, skin.body[1].colour, Inside(-(p.y - 0.45f * r), soft) * Inside(d - r, soft));
    c = Mix(c, skin.outline, Inside(std::abs(p.y - 0.45f * r) - 0.06f * h, soft) * Inside(d - r, soft));
    for (float angle : {1.3f, 1.75f, 2.2f}) {
      Vec2 base = {r * std::cos(angle), r * std::sin(angle)};
      Vec2 tip = {1.45f * base.x - 0.12f * r, 1.45f * base.y};
      c = Mix(c, skin.outline, Inside(SegmentDistance(p, base, tip) - 0.055f * h, soft));
    }
  }
  return c;
}

// A point of a fish's skin: its surface parameters, where it lies on the slim shape, and
// how much of the shape one texel there spans (edges are softened over that much).
struct SkinPoint {
  float s, folded, u;  // u: along the body part, 0 nose .. 1 tail root
  Vec3 p;
  float soft;
};

// Spots on Mamma's back, scattered on a jittered lattice over the body.
Color PaintSpots(const FishLook& look, const FishSkin& skin, const SkinPoint& at, Color c) {
  if (skin.spots.a <= 0.0f || at.s >= BODY_END) return c;
  float h = look.radius, cell = 0.55f * h;
  float gx = at.s * look.length / cell, gy = at.folded * h / cell;
  float nearest = 1e9f;
  for (int j = -1; j <= 1; ++j) {
    for (int i = -1; i <= 1; ++i) {
      int cx = int(std::floor(gx)) + i, cy = int(std::floor(gy)) + j;
      uint32_t hash = HashLattice(cx, cy, 0x5B075u);
      float jx = float(hash & 0xFF) / 255.0f, jy = float((hash >> 8) & 0xFF) / 255.0f;
      nearest = std::min(nearest, std::hypot(gx - (float(cx) + 0.2f + 0.6f * jx), gy - (float(cy) + 0.2f + 0.6f * jy)));
    }
  }
  float on_back = 1.0f - SmoothStep(0.25f, 0.5f, at.folded / PI);
  float on_body = SmoothStep(0.12f, 0.2f, at.u) * (1.0f - SmoothStep(0.8f, 0.95f, at.u));
  return Mix(c, skin.spots, 0.7f * on_back * on_body * Inside(nearest * cell - 0.12f * h, 2.0f * at.soft));
}

// The gill cover's edge: an arc behind the eye, bowed back at the flank's middle.
float GillAlong(const FishLook& look) { return look.eye_at + 0.16f; }
float GillBow(float folded) { return 0.08f * std::sin(folded); }

// The cover shades the body softly just behind its edge.
Color PaintGill(const FishLook& look, const SkinPoint& at, Color c) {
  float h = look.radius;
  float behind = (at.u - GillAlong(look) - GillBow(at.folded)) * BODY_END * look.length;
  float shade = Inside(std::abs(behind - 0.12f * h) - 0.12f * h, 2.0f * at.soft + 0.15f * h);
  float on_flank = SmoothStep(0.15f * PI, 0.3f * PI, at.folded) * (1.0f - SmoothStep(0.8f * PI, 0.92f * PI, at.folded));
  return Mix(c, Scale(c, 0.78f), shade * on_flank);
}

// Zibo's pale bands, one behind his gill and a narrower one before his tail, bowed like the
// gill cover, with dark edges.
Color PaintBands(const FishLook& look, const FishSkin& skin, const SkinPoint& at, Color c) {
  if (skin.band.a <= 0.0f || at.s >= BODY_END) return c;
  const float BANDS[][2] = {{GillAlong(look) + 0.08f, 0.15f}, {0.8f, 0.1f}};  // middle, half width over the body's height
  for (const auto& band : BANDS) {
    float d = std::abs((at.u - band[0] - GillBow(at.folded)) * BODY_END * look.length) - band[1] * look.radius;
    c = Mix(c, skin.outline, Inside(d - 0.07f * look.radius, at.soft));
    c = Mix(c, skin.band, Inside(d, at.soft));
  }
  return c;
}

// The dorsal fin where the ridge rises, paler at its top; the tail with its rays, paler
// towards its edge.
Color PaintDorsalAndTail(const FishLook& look, const FishSkin& skin, const SkinPoint& at, Color c) {
  float dorsal = DorsalFinHeight(look, at.s, at.folded) / look.fin;
  c = Mix(c, skin.fin, SmoothStep(0.15f, 0.45f, dorsal));
  c = Mix(c, skin.fin_edge, SmoothStep(0.75f, 0.95f, dorsal));
  if (at.s <= BODY_END - 0.03f) return c;
  float v = std::clamp((at.s - BODY_END) / (1.0f - BODY_END), 0.0f, 1.0f);
  float rays = 0.5f + 0.5f * std::cos(std::cos(at.folded) * 9.0f * PI);
  Color fin = Mix(skin.fin, Scale(skin.fin, 0.8f), 0.6f * rays * SmoothStep(0.1f, 0.4f, v));
  fin = Mix(fin, skin.fin_edge, SmoothStep(0.55f, 0.95f, v));
  return Mix(c, fin, SmoothStep(BODY_END - 0.03f, BODY_END + 0.03f, at.s));
}

// The side fin: a fan from the lower edge of the gill cover, spreading back and down, drawn
// as seen from the side.
Color PaintSideFin(const FishLook& look, const FishSkin& skin, const SkinPoint& at, Color c) {
  if (at.folded <= 0.35f * PI) return c;
  float h = look.radius;
  Vec3 base = FishPoint(look, (GillAlong(look) + 0.02f) * BODY_END, 0.56f * PI);
  Vec2 q = {(base.x - at.p.x) / h, (base.y - at.p.y) / h};  // back and down from its root, in body heights
  float reach = std::hypot(q.x, q.y), angle = std::atan2(q.y, q.x);
  constexpr float FROM = -0.3f, TO = 0.6f, LENGTH = 0.75f;
  float edge = LENGTH * (0.85f + 0.15f * std::sin(PI * (angle - FROM) / (TO - FROM)));
  float d = std::max({reach - edge, (FROM - angle) * reach, (angle - TO) * reach}) * h;
  float rays = std::pow(std::abs(std::cos(PI * 2.5f * (angle - FROM) / (TO - FROM))), 6.0f);
  Color fin = Mix(skin.fin, skin.fin_edge, 0.5f * SmoothStep(0.5f * edge, edge, reach));
  fin = Mix(fin, Scale(skin.fin, 0.75f), 0.7f * rays * SmoothStep(0.1f, 0.3f, reach));
  c = Mix(c, skin.outline, 0.85f * Inside(d - 0.05f * h, at.soft));
  return Mix(c, fin, Inside(d, at.soft));
}

// The mouth, drawn as seen from the side: from just under the nose back along the head, its
// corner curling up into a smile.
Color PaintMouth(const FishLook& look, const FishSkin& skin, const SkinPoint& at, Color c) {
  if (at.s >= 0.3f) return c;
  float h = look.radius;
  Vec2 q = {(at.p.x - 0.5f * look.length) / h, at.p.y / h};  // from the nose, in body heights
  float d = 1e9f;
  for (int i = 0; i + 1 < 4; ++i) d = std::min(d, SegmentDistance(q, skin.smile[i], skin.smile[i + 1]) * h);
  if (skin.lips.a > 0.0f) c = Mix(c, skin.lips, Inside(d - 0.11f * h, at.soft));
  return Mix(c, skin.mouth, Inside(d - 0.05f * h, at.soft));
}

Color FishSkinColour(const FishLook& look, const FishSkin& skin, float s, float folded, float soft) {
  const SkinPoint at = {s, folded, s / BODY_END, FishPoint(look, s, folded), soft};
  Color c = SampleGradient(skin.body, folded / PI);
  c = PaintSpots(look, skin, at, c);
  c = PaintGill(look, at, c);
  c = PaintBands(look, skin, at, c);
  c = PaintDorsalAndTail(look, skin, at, c);
  c = PaintSideFin(look, skin, at, c);
  c = PaintMouth(look, skin, at, c);
  // The eye, flattened onto the plane it faces.
  Vec3 e = FishEyeCentre(look);
  Vec3 d = {at.p.x - e.x, at.p.y - e.y, at.p.z - e.z};
  Vec2 face = {d.x, d.y * std::sin(EYE_ANGLE) - d.z * std::cos(EYE_ANGLE)};
  if (Length(face) < 0.8f * look.radius && folded < 0.75f * PI) c = PaintEye(look, skin, face, soft, c);
  return WithAlpha(c, 1.0f);
}

// Red, deeper towards the point, with a soft shine on the upper left lobe.
Color HeartSkinColour(float s, float folded) {
  const Gradient HEART_RED = {{0.0f, Hex(0xF8485E)}, {0.4f, Hex(0xEC2E48)}, {0.8f, Hex(0xD01C38)}, {1.0f, Hex(0xA8102C)}};
  Vec3 p = HeartPoint(HEART, s, folded), shine = HeartPoint(HEART, 0.28f, 0.7f * PI);
  float d = std::hypot(p.x - shine.x, p.y - shine.y, p.z - shine.z) / HEART.size;
  return Mix(SampleGradient(HEART_RED, s), Hex(0xFFE4E8), 0.75f * std::exp(-d * d / 0.03f));
}

// How many shape units one texel of the strip spans along it at s.
float TexelSize(const SkinStrip& strip, const FishLook& look, float s) {
  float along = (strip.to - strip.from) * (1.0f + strip.head_weight * (1.0f - 2.0f * s));
  return look.length / std::max(1.0f, along);
}

template <class Paint>
void PaintStrip(Canvas& texture, const SkinStrip& strip, Paint paint) {
  ShadeEvery(texture, [&](float x, float y) {
    float s, folded;
    if (!SkinParameters(strip, x, y, &s, &folded)) return PixelAt(texture, int(x), int(y));
    return paint(s, folded);
  });
}

}  // namespace

void PaintSkins(Canvas& texture) {
  PaintStrip(texture, ZIBO_SKIN, [](float s, float folded) {
    return FishSkinColour(ZIBO, ZIBO_PAINT, s, folded, TexelSize(ZIBO_SKIN, ZIBO, s));
  });
  PaintStrip(texture, MAMMA_SKIN, [](float s, float folded) {
    return FishSkinColour(MAMMA, MAMMA_PAINT, s, folded, TexelSize(MAMMA_SKIN, MAMMA, s));
  });
  PaintStrip(texture, HEART_SKIN, [](float s, float folded) { return HeartSkinColour(s, folded); });
}

}  // namespace assets
