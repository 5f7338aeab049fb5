// The row walk every span loop shares: edges stepped in wrapping 32-bit integers, each row's
// span cut to the frame, and a row kernel called once per row with the coordinates of its
// first drawn pixel.
#pragma once

#include "platform/sse2.h"

#include <cstdint>

#include "render/blend_lanes.h"
#include "render/fixed_point.h"
#include "render/render_context.h"
#include "render/span_section.h"

// Texture coordinates at the first pixel of a row and their step per pixel. Steps wrap
// modulo 2^32, which is how the 16.16 registers behave.
struct SpanCursor {
  uint32_t u, v, u2, v2;
  uint32_t du, dv, du2, dv2;
};


// The 16.16 integer a set-up float holds. The set-up stores ToFixed results, always whole
// numbers, but a float keeps only 24 bits: past 2^24 (x beyond 256 pixels, say) the value is
// the ToFixed result rounded to a float, and the loops step from that rounded value. The
// fused set-up in rasterizer.cpp makes the same round trip in lanes. cvttss2si is defined
// for any float (out of range gives 0x80000000).
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

template <bool kTwoLayers>
inline void StepEdgeBy(FixedEdge* e, uint32_t rows) {
  e->x += rows * e->dx;
  e->u += rows * e->du;
  e->v += rows * e->dv;
  if constexpr (kTwoLayers) {
    e->u2 += rows * e->du2;
    e->v2 += rows * e->dv2;
  }
}

// A section with its edges already in integers: what the fast loops and the fused triangle
// set-up walk. The same rows and cuts as WalkSection, with the row address stepped rather
// than multiplied.
struct FixedSection {
  FixedEdge left;
  uint32_t right_x, right_dx;
  int32_t y, rows;
  uint32_t du, dv, du2, dv2;  // per pixel
};

// Whether every row's span starts at column 0 or later and ends at width or earlier without
// cutting: both edges are checked at the first and last rows, which bounds the rows between
// as long as neither edge wraps round 32 bits on the way.
inline bool SpansInsideColumns(const FixedSection& s, int32_t width) {
  const int64_t steps = static_cast<int64_t>(s.rows) - 1;
  const int64_t left0 = static_cast<int32_t>(s.left.x);
  const int64_t left1 = left0 + steps * static_cast<int32_t>(s.left.dx);
  const int64_t right0 = static_cast<int32_t>(s.right_x);
  const int64_t right1 = right0 + steps * static_cast<int32_t>(s.right_dx);
  const int64_t lowest = -0xFFFF;  // ceil16 of anything from here up is 0 or more
  const int64_t highest = static_cast<int64_t>(width) << 16;
  return left0 >= lowest && left1 >= lowest && left1 <= INT32_MAX && right0 <= highest && right1 <= highest &&
         right1 >= INT32_MIN && right1 <= INT32_MAX;
}

// A row kernel that takes rows of no pixels too (declaring kTakesEmptyRows), for which it
// writes nothing of the frame: where empty rows are common and come unpredictably, a
// kernel that does the work of a pixel for them and throws it away is faster than a branch.
template <typename RowKernel>
constexpr bool kTakesEmptyRows = requires { RowKernel::kTakesEmptyRows; };

// The rows of a section whose every span lies inside the frame, walked as they are.
template <bool kTwoLayers, typename RowKernel>
__attribute__((always_inline)) inline void WalkUncut(const FixedSection& s, RowKernel row, uint32_t* line,
                                                     int32_t pitch) {
  FixedEdge left = s.left;
  uint32_t right_x = s.right_x;
  SpanCursor cursor{0, 0, 0, 0, s.du, s.dv, s.du2, s.dv2};
  for (int32_t k = 0; k < s.rows; ++k, line += pitch, StepEdge<kTwoLayers>(&left), right_x += s.right_dx) {
    const int32_t xs = Ceil16(static_cast<int32_t>(left.x));
    const int32_t n = Ceil16(static_cast<int32_t>(right_x)) - xs;
    if (!kTakesEmptyRows<RowKernel> && n < 1) continue;
    cursor.u = left.u;
    cursor.v = left.v;
    if constexpr (kTwoLayers) {
      cursor.u2 = left.u2;
      cursor.v2 = left.v2;
    }
    row(line + xs, cursor, n);
  }
}

// One row of a section cut to the frame's columns [0, width): the span from the left edge to
// the right one, the cursor moved past the columns cut off on the left, given to row; a row
// left with no pixel is skipped. line is the row's first pixel.
template <bool kTwoLayers, typename RowKernel>
__attribute__((always_inline)) inline void CutRow(uint32_t* line, const FixedEdge& left, uint32_t right_x, int32_t width,
                                                 SpanCursor* cursor, RowKernel& row) {
  const int32_t xs = Ceil16(static_cast<int32_t>(left.x));
  const int32_t xe = Ceil16(static_cast<int32_t>(right_x));
  const int32_t first = xs < 0 ? 0 : xs;
  const int32_t end = xe > width ? width : xe;
  if (end - first < 1) return;
  const uint32_t skipped = static_cast<uint32_t>(first - xs);
  cursor->u = left.u + skipped * cursor->du;
  cursor->v = left.v + skipped * cursor->dv;
  if constexpr (kTwoLayers) {
    cursor->u2 = left.u2 + skipped * cursor->du2;
    cursor->v2 = left.v2 + skipped * cursor->dv2;
  }
  row(line + first, *cursor, end - first);
}

// A section of a triangle whose corners all lie strictly inside the frame (0 < sx < width - 1,
// 0 < sy < height - 1). Its rows are those of its corners, and each edge keeps within a
// hair (the float and 16.16 roundings, far below a pixel) of the segment between two corners,
// so no span can start left of column 0 or end past the last: the section needs none of the
// cuts and tests of WalkFixed.
template <bool kTwoLayers, typename RowKernel>
__attribute__((always_inline)) inline void WalkInsideFrame(const FixedSection& s, RowKernel row) {
  const FrameView& frame = g_render.frame;
  WalkUncut<kTwoLayers>(s, row, frame.pixels + static_cast<int64_t>(s.y) * frame.pitch, frame.pitch);
}

template <bool kTwoLayers, typename RowKernel>
__attribute__((always_inline)) inline void WalkFixed(const FixedSection& s, RowKernel row) {
  const FrameView& frame = g_render.frame;
  if (frame.pixels == nullptr || frame.width <= 0 || s.rows <= 0) return;
  FixedEdge left = s.left;
  uint32_t right_x = s.right_x;
  SpanCursor cursor{0, 0, 0, 0, s.du, s.dv, s.du2, s.dv2};
  const int64_t last_row = static_cast<int64_t>(s.y) + s.rows;
  const int64_t end_row = last_row < frame.height ? last_row : frame.height;
  if (s.y < 0) {  // rows above the frame: the edges step over them all at once (wrapping alike)
    const uint32_t above = static_cast<uint32_t>(-static_cast<int64_t>(s.y));
    StepEdgeBy<kTwoLayers>(&left, above);
    right_x += above * s.right_dx;
  }
  const int32_t width = frame.width;
  const int64_t first_row = s.y < 0 ? 0 : s.y;
  uint32_t* line = frame.pixels + first_row * frame.pitch;
  if (SpansInsideColumns(s, width) && s.y >= 0 && last_row <= frame.height) {
    WalkUncut<kTwoLayers>(s, row, line, frame.pitch);  // nothing to cut: the rows' spans run as they are
    return;
  }
  for (int64_t y = first_row; y < end_row;
       ++y, line += frame.pitch, StepEdge<kTwoLayers>(&left), right_x += s.right_dx) {
    CutRow<kTwoLayers>(line, left, right_x, width, &cursor, row);
  }
}

template <bool kTwoLayers>
inline FixedSection FixedSectionOf(const SpanSection& s) {
  return {FixedEdgeOf<kTwoLayers>(s.left),
          FixedOfFloat(s.right.x),
          FixedOfFloat(s.right.dx_dy),
          s.y,
          s.rows,
          static_cast<uint32_t>(s.du_dx),
          static_cast<uint32_t>(s.dv_dx),
          static_cast<uint32_t>(s.du2_dx),
          static_cast<uint32_t>(s.dv2_dx)};
}

// Four texels from (u, v) on into out[0 .. 3], the indices made in lanes; steps holds
// (0, d, 2 d, 3 d) of u and of v.
inline void CopyQuad(uint32_t* out, const uint32_t* texels, uint32_t u, uint32_t v, __m128i steps_u, __m128i steps_v) {
  const __m128i lane_u = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(u)), steps_u);
  const __m128i lane_v = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(v)), steps_v);
  // (v >> 16) x 256 keeps v's bits 16..23 at 8..15; the sum's low 16 bits are the index.
  const __m128i index = _mm_add_epi32(_mm_and_si128(_mm_srai_epi32(lane_v, 8), _mm_set1_epi32(0xFF00)),
                                      _mm_srai_epi32(lane_u, 16));
  out[0] = texels[_mm_extract_epi16(index, 0)];
  out[1] = texels[_mm_extract_epi16(index, 2)];
  out[2] = texels[_mm_extract_epi16(index, 4)];
  out[3] = texels[_mm_extract_epi16(index, 6)];
}

// (0, d, 2 d, 3 d), wrapping as the registers do.
inline __m128i QuadSteps(uint32_t d) {
  return _mm_setr_epi32(0, static_cast<int>(d), static_cast<int>(2 * d), static_cast<int>(3 * d));
}

// The copy kernel: frame := texel. Short spans, the common case of small triangles, are
// written without a loop, whose exit the branch predictor keeps missing as the lengths vary:
// four to eight pixels as two overlapping quads, one to three from one quad (its texel index
// wraps into the texture, so reading past the span is harmless) as three stores of which the
// surplus ones repeat the last pixel. Pixels written twice get the same texel both times.
// The per-pixel steps are the same for every row of a triangle, so their lanes are made once.
struct CopyRow {
  const uint32_t* texels;
  uint32_t du, dv;
  __m128i steps_u, steps_v;
  CopyRow(const uint32_t* texels, uint32_t du, uint32_t dv)
      : texels(texels), du(du), dv(dv), steps_u(QuadSteps(du)), steps_v(QuadSteps(dv)) {}
  void operator()(uint32_t* out, SpanCursor c, int32_t n) const {
    if (n > 8) {
      GatherTexels(out, texels, c.u, c.v, du, dv, n);
    } else if (n >= 4) {
      const uint32_t back = static_cast<uint32_t>(n - 4);
      CopyQuad(out, texels, c.u, c.v, steps_u, steps_v);
      CopyQuad(out + back, texels, c.u + back * du, c.v + back * dv, steps_u, steps_v);
    } else {
      alignas(16) uint32_t quad[4];
      CopyQuad(quad, texels, c.u, c.v, steps_u, steps_v);
      const uint32_t second = n > 1 ? 1 : 0, last = static_cast<uint32_t>(n - 1);
      out[0] = quad[0];
      out[second] = quad[second];
      out[last] = quad[last];
    }
  }
};

// Four texels from (u, v) on, their indices made in lanes as CopyQuad makes them, in a register.
inline __m128i TexelQuad(const uint32_t* texels, uint32_t u, uint32_t v, __m128i steps_u, __m128i steps_v) {
  const __m128i lane_u = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(u)), steps_u);
  const __m128i lane_v = _mm_add_epi32(_mm_set1_epi32(static_cast<int>(v)), steps_v);
  const __m128i index = _mm_add_epi32(_mm_and_si128(_mm_srai_epi32(lane_v, 8), _mm_set1_epi32(0xFF00)),
                                      _mm_srai_epi32(lane_u, 16));
  return _mm_setr_epi32(static_cast<int>(texels[_mm_extract_epi16(index, 0)]),
                        static_cast<int>(texels[_mm_extract_epi16(index, 2)]),
                        static_cast<int>(texels[_mm_extract_epi16(index, 4)]),
                        static_cast<int>(texels[_mm_extract_epi16(index, 6)]));
}

// The two-layer copy kernel: frame := blend(layer-2 mode, texel, lightmap texel), fetched and
// blended in registers with no buffer between. The characters' lightmapped triangles are a
// few pixels each, most rows one pixel long, so one pixel goes straight through and longer
// rows go by quads, the last quad overlapping the one before (the kernel reads nothing of the
// frame, so a pixel written twice gets the same value both times) and rows of two or three
// from one quad.
template <int kMode>
struct LightmapCopyRow {
  const uint32_t* texels;
  const uint32_t* lightmap;
  uint32_t du, dv, du2, dv2;

  // The quad steps are made where a row needs them: most triangles have no row of two.
  __attribute__((always_inline)) __m128i Quad(const SpanCursor& c, uint32_t k) const {
    return blend_lanes::Blend4<kMode>(
        TexelQuad(texels, c.u + k * du, c.v + k * dv, QuadSteps(du), QuadSteps(dv)),
        TexelQuad(lightmap, c.u2 + k * du2, c.v2 + k * dv2, QuadSteps(du2), QuadSteps(dv2)));
  }

  static constexpr bool kTakesEmptyRows = true;

  __attribute__((always_inline)) void operator()(uint32_t* out, const SpanCursor& c, int32_t n) const {
    if (n <= 1) {  // a row of no pixels writes its pixel to a scratch word
      uint32_t scratch;
      const __m128i texel = _mm_cvtsi32_si128(static_cast<int>(texels[TexelIndex(c.u, c.v)]));
      const __m128i light = _mm_cvtsi32_si128(static_cast<int>(lightmap[TexelIndex(c.u2, c.v2)]));
      *(n == 1 ? out : &scratch) = static_cast<uint32_t>(_mm_cvtsi128_si32(blend_lanes::Blend4<kMode>(texel, light)));
      return;
    }
    if (n < 4) {
      alignas(16) uint32_t quad[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(quad), Quad(c, 0));
      out[0] = quad[0];
      out[1] = quad[1];
      out[n - 1] = quad[n - 1];
      return;
    }
    int32_t k = 0;
    for (; k + 4 <= n; k += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), Quad(c, static_cast<uint32_t>(k)));
    if (k < n) _mm_storeu_si128(reinterpret_cast<__m128i*>(out + n - 4), Quad(c, static_cast<uint32_t>(n - 4)));
  }
};

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
    if (y >= 0) CutRow<kTwoLayers>(frame.pixels + y * frame.pitch, left, right_x, frame.width, &cursor, row);
  }
}
