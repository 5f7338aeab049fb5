// The triangle set-up as plainly as it can be written, a value at a time: corners sorted by
// start row, degenerate triangles dropped, gradients found once per triangle, and the
// triangle split at its middle corner into two sections. The lane form (rasterizer.cpp) is
// held to it bit for bit.
#include "render/rasterizer.h"

#include <cmath>
#include <utility>

#include "render/span_loops.h"

namespace {

// Attributes carried per corner: u, v and, for two layers, u2, v2.
constexpr int kMaxAttributes = 4;

struct SetupCorner {
  float sx, sy;
  float a[kMaxAttributes];
  int32_t row;  // first pixel row at or below sy
};

// An edge as slopes per row.
struct FloatEdge {
  float dx;
  float da[kMaxAttributes];
};

float Fixed(float value) { return static_cast<float>(ToFixed(value)); }

// Slopes of the edge from a to b per unit of screen y.
template <int kAttributes>
FloatEdge EdgeSlopes(const SetupCorner& a, const SetupCorner& b) {
  const float g = 1.0f / (b.sy - a.sy);
  FloatEdge e{};
  e.dx = (b.sx - a.sx) * g;
  for (int i = 0; i < kAttributes; ++i) e.da[i] = (b.a[i] - a.a[i]) * g;
  return e;
}

// The stepper starting prestep rows below (x, a) along the slopes of e.
template <int kAttributes>
EdgeStepper Stepper(const FloatEdge& e, float x, const float a[kMaxAttributes], float prestep) {
  EdgeStepper s{};
  s.x = Fixed(x + prestep * e.dx);
  s.dx_dy = Fixed(e.dx);
  s.u = Fixed(a[0] + prestep * e.da[0]);
  s.du_dy = Fixed(e.da[0]);
  s.v = Fixed(a[1] + prestep * e.da[1]);
  s.dv_dy = Fixed(e.da[1]);
  if constexpr (kAttributes == 4) {
    s.u2 = Fixed(a[2] + prestep * e.da[2]);
    s.du2_dy = Fixed(e.da[2]);
    s.v2 = Fixed(a[3] + prestep * e.da[3]);
    s.dv2_dy = Fixed(e.da[3]);
  }
  return s;
}

template <int kAttributes>
SetupCorner CornerOf(const RenderVertex& v) {
  SetupCorner c{v.sx, v.sy, {v.u, v.v, 0.0f, 0.0f}, Ceil16(ToFixed(v.sy))};
  if constexpr (kAttributes == 4) {  // a one-layer triangle's u2, v2 need not be set
    c.a[2] = v.u2;
    c.a[3] = v.v2;
  }
  return c;
}

void DrawSection(SpanSection* section, const EdgeStepper& long_edge, const EdgeStepper& short_edge, bool long_left,
                 int32_t y, int32_t rows, SectionLoop loop) {
  section->left = long_left ? long_edge : short_edge;
  section->right = long_left ? short_edge : long_edge;
  section->y = y;
  section->rows = rows;
  loop(*section);
}

template <int kAttributes>
void SetUpAndDraw(SectionLoop loop, SpanSection* section, const RenderVertex triangle[3]) {
  SetupCorner c[3] = {CornerOf<kAttributes>(triangle[0]), CornerOf<kAttributes>(triangle[1]),
                      CornerOf<kAttributes>(triangle[2])};
  if (c[1].row < c[0].row) std::swap(c[0], c[1]);
  if (c[2].row < c[0].row) std::swap(c[0], c[2]);
  if (c[2].row < c[1].row) std::swap(c[1], c[2]);

  const float doubled_area = (c[1].sy - c[0].sy) * (c[2].sx - c[0].sx) - (c[2].sy - c[0].sy) * (c[1].sx - c[0].sx);
  if (std::fabs(doubled_area) < 0.5f || c[2].row == c[0].row) return;

  // The long edge at the middle corner's height.
  const FloatEdge long_slopes = EdgeSlopes<kAttributes>(c[0], c[2]);
  const float h = c[1].sy - c[0].sy;
  const float xm = c[0].sx + long_slopes.dx * h;
  float am[kMaxAttributes] = {};
  for (int i = 0; i < kAttributes; ++i) am[i] = c[0].a[i] + long_slopes.da[i] * h;
  const float width = c[1].sx - xm;
  if (std::fabs(width) < 0.1f) return;

  int32_t gradient[kMaxAttributes] = {};
  for (int i = 0; i < kAttributes; ++i) gradient[i] = ToFixed((c[1].a[i] - am[i]) / width);
  section->du_dx = gradient[0];
  section->dv_dx = gradient[1];
  section->du2_dx = gradient[2];
  section->dv2_dx = gradient[3];
  const bool long_left = xm <= c[1].sx;

  if (c[1].row - c[0].row >= 1) {
    const float prestep = static_cast<float>(c[0].row) - c[0].sy;
    DrawSection(section, Stepper<kAttributes>(long_slopes, c[0].sx, c[0].a, prestep),
                Stepper<kAttributes>(EdgeSlopes<kAttributes>(c[0], c[1]), c[0].sx, c[0].a, prestep), long_left,
                c[0].row, c[1].row - c[0].row, loop);
  }
  if (c[2].row - c[1].row >= 1) {
    const float prestep = static_cast<float>(c[1].row) - c[1].sy;
    DrawSection(section, Stepper<kAttributes>(long_slopes, xm, am, prestep),
                Stepper<kAttributes>(EdgeSlopes<kAttributes>(c[1], c[2]), c[1].sx, c[1].a, prestep), long_left,
                c[1].row, c[2].row - c[1].row, loop);
  }
}

}  // namespace

void DrawTriangleReference(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]) {
  if (!TextureReadable(texture)) return;
  if (!TextureReadable(lightmap)) lightmap = nullptr;
  SpanSection section;  // every field is set before a loop reads it
  section.texels = texture->pixels;
  section.lightmap = nullptr;
  const bool copy = g_render.base_blend_mode == BLEND_COPY;
  if (lightmap == nullptr) {
    SetUpAndDraw<2>(copy ? FillSectionCopyReference : FillSectionBlendReference, &section, triangle);
  } else {
    section.lightmap = lightmap->pixels;
    SetUpAndDraw<4>(copy ? FillSection2CopyReference : FillSection2BlendReference, &section, triangle);
  }
}
