// The row walk every span loop shares: edges stepped in wrapping 32-bit integers, each row's
// span cut to the frame, and a row kernel called once per row with the coordinates of its
// first drawn pixel.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "render/rasterizer.h"
#include "render/span_loops.h"

// Texture coordinates at the first pixel of a row and their step per pixel. Steps wrap
// modulo 2^32, which is how the 16.16 registers behave.
struct SpanCursor {
  uint32_t u, v, u2, v2;
  uint32_t du, dv, du2, dv2;
};

inline int32_t TexelIndex(uint32_t u, uint32_t v) {
  return static_cast<int32_t>(((static_cast<int32_t>(v) >> 16) * 256 + (static_cast<int32_t>(u) >> 16)) & 0xFFFF);
}

// The 16.16 integer a set-up float holds (always a whole number in range: the set-up stores
// ToFixed results, which floats hold exactly). cvttss2si is defined for any float.
inline uint32_t FixedOfFloat(float f) { return static_cast<uint32_t>(_mm_cvttss_si32(_mm_set_ss(f))); }

// The left edge carries the texture coordinates; the right edge only its x.
struct FixedEdge {
  uint32_t x, dx, u, du, v, dv, u2, du2, v2, dv2;
};

template <bool kTwoLayers>
inline FixedEdge FixedEdgeOf(const EdgeStepper& e) {
  FixedEdge f{FixedOfFloat(e.x), FixedOfFloat(e.dx_dy), FixedOfFloat(e.u), FixedOfFloat(e.du_dy),
              FixedOfFloat(e.v), FixedOfFloat(e.dv_dy), 0, 0, 0, 0};
  if constexpr (kTwoLayers) {
    f.u2 = FixedOfFloat(e.u2);
    f.du2 = FixedOfFloat(e.du2_dy);
    f.v2 = FixedOfFloat(e.v2);
    f.dv2 = FixedOfFloat(e.dv2_dy);
  }
  return f;
}

template <bool kTwoLayers>
inline void StepEdge(FixedEdge* e) {
  e->x += e->dx;
  e->u += e->du;
  e->v += e->dv;
  if constexpr (kTwoLayers) {
    e->u2 += e->du2;
    e->v2 += e->dv2;
  }
}

// row(pixels of the first drawn column, cursor, pixel count) for every row with pixels.
template <bool kTwoLayers, typename RowKernel>
inline void WalkSection(const SpanSection& s, RowKernel row) {
  const FrameView& frame = g_render.frame;
  if (frame.pixels == nullptr || frame.width <= 0 || s.rows <= 0) return;
  FixedEdge left = FixedEdgeOf<kTwoLayers>(s.left);
  uint32_t right_x = FixedOfFloat(s.right.x);
  const uint32_t right_dx = FixedOfFloat(s.right.dx_dy);
  SpanCursor cursor{0, 0, 0, 0, static_cast<uint32_t>(s.du_dx), static_cast<uint32_t>(s.dv_dx),
                    static_cast<uint32_t>(s.du2_dx), static_cast<uint32_t>(s.dv2_dx)};
  const int64_t last_row = static_cast<int64_t>(s.y) + s.rows;
  for (int64_t y = s.y; y < last_row && y < frame.height; ++y, StepEdge<kTwoLayers>(&left), right_x += right_dx) {
    if (y < 0) continue;
    const int32_t xs = Ceil16(static_cast<int32_t>(left.x));
    const int32_t xe = Ceil16(static_cast<int32_t>(right_x));
    const int32_t first = xs < 0 ? 0 : xs;
    const int32_t end = xe > frame.width ? frame.width : xe;
    if (end - first < 1) continue;
    const uint32_t skipped = static_cast<uint32_t>(first - xs);
    cursor.u = left.u + skipped * cursor.du;
    cursor.v = left.v + skipped * cursor.dv;
    if constexpr (kTwoLayers) {
      cursor.u2 = left.u2 + skipped * cursor.du2;
      cursor.v2 = left.v2 + skipped * cursor.dv2;
    }
    row(frame.pixels + y * frame.width + first, cursor, end - first);
  }
}
