// Triangle set-up on SSE lanes: a corner's x, u, v, u2, v2 ride side by side through the
// same float operations the plain form (rasterizer_reference.cpp) does one value at a
// time, so every lane rounds exactly as its scalar twin. The corners are sorted by start
// row, degenerate triangles dropped, gradients found once per triangle, and the triangle
// split at its middle corner into two sections for the span loops.
#include "render/rasterizer.h"

#include <emmintrin.h>

#include <cmath>
#include <utility>

#include "render/span_loops.h"

int32_t ToFixed(float f) {
  // Written so that NaN fails the test and lands on the marker too.
  if (f > -32768.0f && f < 32768.0f) return static_cast<int32_t>(f * 65536.0f);
  return FIXED_DOES_NOT_FIT;
}

bool TextureReadable(const Texture* t) {
  return t != nullptr && t->pixels != nullptr && t->width > 0 && t->height > 0 &&
         static_cast<int64_t>(t->width) * t->height >= TEXELS_READ;
}

namespace {

// ToFixed on four lanes; NaN fails both compares like the scalar test.
inline __m128i FixedLanes(__m128 f) {
  const __m128 inside = _mm_and_ps(_mm_cmpgt_ps(f, _mm_set1_ps(-32768.0f)), _mm_cmplt_ps(f, _mm_set1_ps(32768.0f)));
  const __m128i fixed = _mm_cvttps_epi32(_mm_mul_ps(f, _mm_set1_ps(65536.0f)));
  const __m128i mask = _mm_castps_si128(inside);
  return _mm_or_si128(_mm_and_si128(mask, fixed), _mm_andnot_si128(mask, _mm_set1_epi32(FIXED_DOES_NOT_FIT)));
}

// A corner's values, (sx, u, v, u2) and (v2, 0, 0, 0); one-layer triangles leave u2, v2 at 0.
struct Lanes {
  __m128 a, b;
};

inline Lanes Sub(const Lanes& p, const Lanes& q) { return {_mm_sub_ps(p.a, q.a), _mm_sub_ps(p.b, q.b)}; }
inline Lanes Scale(const Lanes& p, float s) {
  const __m128 k = _mm_set1_ps(s);
  return {_mm_mul_ps(p.a, k), _mm_mul_ps(p.b, k)};
}
// p + slope x t, the product rounded before the sum as in the plain form.
inline Lanes Along(const Lanes& p, const Lanes& slope, float t) {
  const Lanes step = Scale(slope, t);
  return {_mm_add_ps(p.a, step.a), _mm_add_ps(p.b, step.b)};
}
inline float Sx(const Lanes& p) { return _mm_cvtss_f32(p.a); }

template <bool kTwoLayers>
inline Lanes LanesOf(const RenderVertex& v) {
  if constexpr (kTwoLayers) return {_mm_setr_ps(v.sx, v.u, v.v, v.u2), _mm_set_ss(v.v2)};
  return {_mm_setr_ps(v.sx, v.u, v.v, 0.0f), _mm_setzero_ps()};
}

// The stepper starting prestep rows below start along slope, every value a 16.16 integer
// held in a float.
inline EdgeStepper Stepper(const Lanes& start, const Lanes& slope, float prestep) {
  alignas(16) float first[8], step[8];
  const Lanes at = Along(start, slope, prestep);
  _mm_store_ps(first, _mm_cvtepi32_ps(FixedLanes(at.a)));
  _mm_store_ps(first + 4, _mm_cvtepi32_ps(FixedLanes(at.b)));
  _mm_store_ps(step, _mm_cvtepi32_ps(FixedLanes(slope.a)));
  _mm_store_ps(step + 4, _mm_cvtepi32_ps(FixedLanes(slope.b)));
  return {first[1], step[1], first[2], step[2], first[3], step[3], first[4], step[4], first[0], step[0]};
}

inline void DrawSection(SpanSection* section, const EdgeStepper& long_edge, const EdgeStepper& short_edge,
                        bool long_left, int32_t y, int32_t rows, SectionLoop loop) {
  section->left = long_left ? long_edge : short_edge;
  section->right = long_left ? short_edge : long_edge;
  section->y = y;
  section->rows = rows;
  loop(*section);
}

template <bool kTwoLayers>
void SetUpAndDraw(SectionLoop loop, SpanSection* section, const RenderVertex triangle[3]) {
  // The three compare-and-swap steps on indices, which compile without branches.
  const int32_t rows[3] = {Ceil16(ToFixed(triangle[0].sy)), Ceil16(ToFixed(triangle[1].sy)),
                           Ceil16(ToFixed(triangle[2].sy))};
  int i0 = 0, i1 = 1, i2 = 2;
  if (rows[i1] < rows[i0]) std::swap(i0, i1);
  if (rows[i2] < rows[i0]) std::swap(i0, i2);
  if (rows[i2] < rows[i1]) std::swap(i1, i2);
  const int32_t y0 = rows[i0], y1 = rows[i1], y2 = rows[i2];
  const float sy0 = triangle[i0].sy, sy1 = triangle[i1].sy, sy2 = triangle[i2].sy;
  const float sx0 = triangle[i0].sx, sx1 = triangle[i1].sx, sx2 = triangle[i2].sx;

  const float doubled_area = (sy1 - sy0) * (sx2 - sx0) - (sy2 - sy0) * (sx1 - sx0);
  if (std::fabs(doubled_area) < 0.5f || y2 == y0) return;

  const Lanes c0 = LanesOf<kTwoLayers>(triangle[i0]);
  const Lanes c1 = LanesOf<kTwoLayers>(triangle[i1]);
  const Lanes c2 = LanesOf<kTwoLayers>(triangle[i2]);
  // The long edge and its point at the middle corner's height.
  const Lanes long_slope = Scale(Sub(c2, c0), 1.0f / (sy2 - sy0));
  const Lanes middle = Along(c0, long_slope, sy1 - sy0);
  const float width = sx1 - Sx(middle);
  if (std::fabs(width) < 0.1f) return;

  const __m128 w = _mm_set1_ps(width);
  alignas(16) int32_t gradient[8];
  _mm_store_si128(reinterpret_cast<__m128i*>(gradient), FixedLanes(_mm_div_ps(_mm_sub_ps(c1.a, middle.a), w)));
  _mm_store_si128(reinterpret_cast<__m128i*>(gradient + 4), FixedLanes(_mm_div_ps(_mm_sub_ps(c1.b, middle.b), w)));
  section->du_dx = gradient[1];
  section->dv_dx = gradient[2];
  section->du2_dx = kTwoLayers ? gradient[3] : 0;
  section->dv2_dx = kTwoLayers ? gradient[4] : 0;
  const bool long_left = Sx(middle) <= sx1;

  if (y1 - y0 >= 1) {
    const float prestep = static_cast<float>(y0) - sy0;
    const Lanes short_slope = Scale(Sub(c1, c0), 1.0f / (sy1 - sy0));
    DrawSection(section, Stepper(c0, long_slope, prestep), Stepper(c0, short_slope, prestep), long_left, y0, y1 - y0,
                loop);
  }
  if (y2 - y1 >= 1) {
    const float prestep = static_cast<float>(y1) - sy1;
    const Lanes short_slope = Scale(Sub(c2, c1), 1.0f / (sy2 - sy1));
    DrawSection(section, Stepper(middle, long_slope, prestep), Stepper(c1, short_slope, prestep), long_left, y1,
                y2 - y1, loop);
  }
}

}  // namespace

void ToFixed4(const float in[4], int32_t out[4]) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), FixedLanes(_mm_loadu_ps(in)));
}

void DrawTexturedTriangle(const Texture* texture, const RenderVertex triangle[3]) {
  if (!TextureReadable(texture)) return;
  SpanSection section;  // every field is set before a loop reads it
  section.texels = texture->pixels;
  section.lightmap = nullptr;
  SetUpAndDraw<false>(g_render.base_blend_mode == BLEND_COPY ? FillSectionCopy : FillSectionBlend, &section, triangle);
}

void DrawLightmappedTriangle(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]) {
  if (!TextureReadable(lightmap)) {
    DrawTexturedTriangle(texture, triangle);
    return;
  }
  if (!TextureReadable(texture)) return;
  SpanSection section;
  section.texels = texture->pixels;
  section.lightmap = lightmap->pixels;
  SetUpAndDraw<true>(g_render.base_blend_mode == BLEND_COPY ? FillSection2Copy : FillSection2Blend, &section, triangle);
}
