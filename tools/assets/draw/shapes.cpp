#include "draw/shapes.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

float Dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
Vec2 Sub(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
float Cross(Vec2 a, Vec2 b) { return a.x * b.y - a.y * b.x; }

float SegmentDistance(Vec2 p, Vec2 a, Vec2 b) {
  Vec2 pa = Sub(p, a), ba = Sub(b, a);
  float h = std::clamp(Dot(pa, ba) / Dot(ba, ba), 0.0f, 1.0f);
  Vec2 d = {pa.x - ba.x * h, pa.y - ba.y * h};
  return std::sqrt(Dot(d, d));
}

Box BoxAround(Vec2 centre, float radius) {
  return {int(std::floor(centre.x - radius - 1)), int(std::floor(centre.y - radius - 1)),
          int(std::ceil(centre.x + radius + 2)), int(std::ceil(centre.y + radius + 2))};
}

}  // namespace

float SdCircle(Vec2 p, Vec2 centre, float radius) {
  Vec2 d = Sub(p, centre);
  return std::sqrt(Dot(d, d)) - radius;
}

float SdRoundedBox(Vec2 p, Vec2 centre, Vec2 half_size, float corner_radius) {
  float qx = std::fabs(p.x - centre.x) - half_size.x + corner_radius;
  float qy = std::fabs(p.y - centre.y) - half_size.y + corner_radius;
  float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - corner_radius;
}

float SdTriangle(Vec2 p, Vec2 a, Vec2 b, Vec2 c) {
  float d = std::min({SegmentDistance(p, a, b), SegmentDistance(p, b, c), SegmentDistance(p, c, a)});
  // Inside when p lies on the same side of all three edges, whatever the winding.
  float s0 = Cross(Sub(b, a), Sub(p, a)), s1 = Cross(Sub(c, b), Sub(p, b)), s2 = Cross(Sub(a, c), Sub(p, c));
  bool inside = (s0 >= 0 && s1 >= 0 && s2 >= 0) || (s0 <= 0 && s1 <= 0 && s2 <= 0);
  return inside ? -d : d;
}

float SdUnion(float a, float b) { return std::min(a, b); }

float SdSmoothUnion(float a, float b, float blend) {
  float h = std::clamp(0.5f + 0.5f * (b - a) / blend, 0.0f, 1.0f);
  return b + (a - b) * h - blend * h * (1.0f - h);
}

float EdgeCoverage(float d) { return std::clamp(0.5f - d, 0.0f, 1.0f); }

void FillDisc(Canvas& canvas, Vec2 centre, float radius, Color colour) {
  FillShape(canvas, BoxAround(centre, radius), [&](Vec2 p) { return SdCircle(p, centre, radius); }, colour);
}

void StrokeRing(Canvas& canvas, Vec2 centre, float radius, float width, Color colour) {
  StrokeShape(canvas, BoxAround(centre, radius + width), [&](Vec2 p) { return SdCircle(p, centre, radius); },
              width, colour);
}

void FillGlow(Canvas& canvas, Vec2 centre, float radius, float falloff, Color colour) {
  Box box = BoxAround(centre, radius);
  PaintBox(canvas, box.x0, box.y0, box.x1, box.y1, [&](float x, float y) {
    float r = std::sqrt((x - centre.x) * (x - centre.x) + (y - centre.y) * (y - centre.y)) / radius;
    if (r >= 1.0f) return Color{0, 0, 0, 0};
    return WithAlpha(colour, colour.a * std::pow(1.0f - r, falloff));
  });
}

}  // namespace assets
