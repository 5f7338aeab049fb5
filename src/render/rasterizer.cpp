// Triangle set-up: corners sorted by start row, degenerate triangles dropped, gradients
// found once per triangle, and the triangle split at its middle corner into two sections
// for the span loops. All of it in float, as the 16.16 values it hands on are made from.
#include "render/rasterizer.h"

#include <cmath>
#include <utility>

#include "render/span_loops.h"

int32_t ToFixed(float f) {
  // Written so that NaN fails the test and lands on the marker too.
  if (f > -32768.0f && f < 32768.0f) return static_cast<int32_t>(f * 65536.0f);
  return FIXED_DOES_NOT_FIT;
}

namespace {

constexpr int kAttributes = 4;  // u, v, u2, v2

struct SetupCorner {
  float sx, sy;
  float a[kAttributes];
  int32_t row;  // first pixel row at or below sy
};

// An edge as float values at a start point and slopes per row.
struct FloatEdge {
  float x, dx;
  float a[kAttributes], da[kAttributes];
};

float Fixed(float value) { return static_cast<float>(ToFixed(value)); }

// Slopes of the edge from a to b per unit of screen y.
FloatEdge EdgeSlopes(const SetupCorner& a, const SetupCorner& b) {
  const float g = 1.0f / (b.sy - a.sy);
  FloatEdge e{};
  e.dx = (b.sx - a.sx) * g;
  for (int i = 0; i < kAttributes; ++i) e.da[i] = (b.a[i] - a.a[i]) * g;
  return e;
}

// The stepper starting prestep rows below (x, a) along the slopes of e.
EdgeStepper Stepper(const FloatEdge& e, float x, const float a[kAttributes], float prestep) {
  EdgeStepper s;
  s.x = Fixed(x + prestep * e.dx);
  s.dx_dy = Fixed(e.dx);
  s.u = Fixed(a[0] + prestep * e.da[0]);
  s.du_dy = Fixed(e.da[0]);
  s.v = Fixed(a[1] + prestep * e.da[1]);
  s.dv_dy = Fixed(e.da[1]);
  s.u2 = Fixed(a[2] + prestep * e.da[2]);
  s.du2_dy = Fixed(e.da[2]);
  s.v2 = Fixed(a[3] + prestep * e.da[3]);
  s.dv2_dy = Fixed(e.da[3]);
  return s;
}

// A one-layer triangle's u2, v2 need not be set; they are not read.
SetupCorner CornerOf(const RenderVertex& v, bool two_layers) {
  return {v.sx, v.sy, {v.u, v.v, two_layers ? v.u2 : 0.0f, two_layers ? v.v2 : 0.0f}, Ceil16(ToFixed(v.sy))};
}

bool Readable(const Texture* t) {
  return t != nullptr && t->pixels != nullptr && t->width > 0 && t->height > 0 &&
         static_cast<int64_t>(t->width) * t->height >= TEXELS_READ;
}

void DrawSection(SpanSection* section, const EdgeStepper& long_edge, const EdgeStepper& short_edge, bool long_left,
                 int32_t y, int32_t rows, SectionLoop loop) {
  section->left = long_left ? long_edge : short_edge;
  section->right = long_left ? short_edge : long_edge;
  section->y = y;
  section->rows = rows;
  loop(*section);
}

}  // namespace

void DrawTriangleWith(const SpanLoops& loops, const Texture* texture, const Texture* lightmap,
                      const RenderVertex triangle[3]) {
  if (!Readable(texture)) return;
  if (!Readable(lightmap)) lightmap = nullptr;

  const bool two_layers = lightmap != nullptr;
  SetupCorner c[3] = {CornerOf(triangle[0], two_layers), CornerOf(triangle[1], two_layers),
                      CornerOf(triangle[2], two_layers)};
  if (c[1].row < c[0].row) std::swap(c[0], c[1]);
  if (c[2].row < c[0].row) std::swap(c[0], c[2]);
  if (c[2].row < c[1].row) std::swap(c[1], c[2]);

  const float doubled_area = (c[1].sy - c[0].sy) * (c[2].sx - c[0].sx) - (c[2].sy - c[0].sy) * (c[1].sx - c[0].sx);
  if (std::fabs(doubled_area) < 0.5f || c[2].row == c[0].row) return;

  // The long edge at the middle corner's height.
  const FloatEdge long_slopes = EdgeSlopes(c[0], c[2]);
  const float h = c[1].sy - c[0].sy;
  const float xm = c[0].sx + long_slopes.dx * h;
  float am[kAttributes];
  for (int i = 0; i < kAttributes; ++i) am[i] = c[0].a[i] + long_slopes.da[i] * h;
  const float width = c[1].sx - xm;
  if (std::fabs(width) < 0.1f) return;

  SpanSection section{};
  section.du_dx = ToFixed((c[1].a[0] - am[0]) / width);
  section.dv_dx = ToFixed((c[1].a[1] - am[1]) / width);
  section.du2_dx = ToFixed((c[1].a[2] - am[2]) / width);
  section.dv2_dx = ToFixed((c[1].a[3] - am[3]) / width);
  section.texels = texture->pixels;
  section.lightmap = two_layers ? lightmap->pixels : nullptr;
  const bool copy = g_render.base_blend_mode == BLEND_COPY;
  const SectionLoop loop = two_layers ? (copy ? loops.copy2 : loops.blend2) : (copy ? loops.copy : loops.blend);
  const bool long_left = xm <= c[1].sx;

  if (c[1].row - c[0].row >= 1) {
    const float prestep = static_cast<float>(c[0].row) - c[0].sy;
    DrawSection(&section, Stepper(long_slopes, c[0].sx, c[0].a, prestep),
                Stepper(EdgeSlopes(c[0], c[1]), c[0].sx, c[0].a, prestep), long_left, c[0].row, c[1].row - c[0].row,
                loop);
  }
  if (c[2].row - c[1].row >= 1) {
    const float prestep = static_cast<float>(c[1].row) - c[1].sy;
    DrawSection(&section, Stepper(long_slopes, xm, am, prestep), Stepper(EdgeSlopes(c[1], c[2]), c[1].sx, c[1].a, prestep),
                long_left, c[1].row, c[2].row - c[1].row, loop);
  }
}

void DrawTexturedTriangle(const Texture* texture, const RenderVertex triangle[3]) {
  DrawTriangleWith(FAST_SPAN_LOOPS, texture, nullptr, triangle);
}

void DrawLightmappedTriangle(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]) {
  DrawTriangleWith(FAST_SPAN_LOOPS, texture, lightmap, triangle);
}
