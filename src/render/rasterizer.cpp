// Triangle set-up on SSE lanes: a corner's x, u, v, u2, v2 ride side by side through the
// same float operations the plain form (rasterizer_reference.cpp) does one value at a
// time, so every lane rounds exactly as its scalar twin. The corners are sorted by start
// row, degenerate triangles dropped, gradients found once per triangle, and the triangle
// split at its middle corner into two sections for the span loops.
#include "render/rasterizer.h"

#include "platform/sse2.h"

#include <cmath>
#include <utility>

#include "render/fixed_lanes.h"
#include "render/span_loops.h"
#include "render/span_walk.h"

namespace {

// A corner's values, (sx, u, v, u2) and (v2, 0, 0, 0); one-layer triangles leave u2, v2 at 0
// and never compute the second vector.
struct Lanes {
  __m128 a, b;
};

template <bool kTwoLayers>
inline Lanes Sub(const Lanes& p, const Lanes& q) {
  return {_mm_sub_ps(p.a, q.a), kTwoLayers ? _mm_sub_ps(p.b, q.b) : _mm_setzero_ps()};
}
template <bool kTwoLayers>
inline Lanes Scale(const Lanes& p, __m128 k) {
  return {_mm_mul_ps(p.a, k), kTwoLayers ? _mm_mul_ps(p.b, k) : _mm_setzero_ps()};
}
// p + slope x t, the product rounded before the sum as in the plain form.
template <bool kTwoLayers>
inline Lanes Along(const Lanes& p, const Lanes& slope, float t) {
  const Lanes step = Scale<kTwoLayers>(slope, _mm_set1_ps(t));
  return {_mm_add_ps(p.a, step.a), kTwoLayers ? _mm_add_ps(p.b, step.b) : _mm_setzero_ps()};
}
inline float Sx(const Lanes& p) { return _mm_cvtss_f32(p.a); }

template <bool kTwoLayers>
inline Lanes LanesOf(const RenderVertex& v) {
  if constexpr (kTwoLayers) return {_mm_setr_ps(v.sx, v.u, v.v, v.u2), _mm_set_ss(v.v2)};
  return {_mm_setr_ps(v.sx, v.u, v.v, 0.0f), _mm_setzero_ps()};
}

// An edge of a section: its values at the first row and its steps, as 16.16 integers held
// in floats, the form the section interface hands to the span loops.
struct EdgeLanes {
  __m128 first_a, first_b, step_a, step_b;
};

// The per-row steps of an edge along slope.
struct StepLanes {
  __m128 a, b;
};

template <bool kTwoLayers>
inline StepLanes StepsOf(const Lanes& slope) {
  return {_mm_cvtepi32_ps(FixedLanes(slope.a)), kTwoLayers ? _mm_cvtepi32_ps(FixedLanes(slope.b)) : _mm_setzero_ps()};
}

template <bool kTwoLayers>
inline EdgeLanes EdgeFrom(const Lanes& start, const Lanes& slope, const StepLanes& steps, float prestep) {
  const Lanes at = Along<kTwoLayers>(start, slope, prestep);
  EdgeLanes e;
  e.first_a = _mm_cvtepi32_ps(FixedLanes(at.a));
  e.step_a = steps.a;
  e.first_b = kTwoLayers ? _mm_cvtepi32_ps(FixedLanes(at.b)) : _mm_setzero_ps();
  e.step_b = steps.b;
  return e;
}

template <bool kTwoLayers>
inline EdgeLanes EdgeFrom(const Lanes& start, const Lanes& slope, float prestep) {
  return EdgeFrom<kTwoLayers>(start, slope, StepsOf<kTwoLayers>(slope), prestep);
}

inline EdgeStepper StepperOf(const EdgeLanes& e) {
  alignas(16) float first[8], step[8];
  _mm_store_ps(first, e.first_a);
  _mm_store_ps(first + 4, e.first_b);
  _mm_store_ps(step, e.step_a);
  _mm_store_ps(step + 4, e.step_b);
  return {first[1], step[1], first[2], step[2], first[3], step[3], first[4], step[4], first[0], step[0]};
}

// The section through a span loop, by way of the float section interface.
struct LoopSink {
  SectionLoop loop;
  SpanSection* section;
  template <bool kTwoLayers>
  void Draw(const EdgeLanes& left, const EdgeLanes& right, int32_t y, int32_t rows) const {
    section->left = StepperOf(left);
    section->right = StepperOf(right);
    section->y = y;
    section->rows = rows;
    loop(*section);
  }
};

// A section's edges from the lanes: the floats truncate back to the very integers that
// FixedSectionOf would take from the section interface.
template <bool kTwoLayers>
__attribute__((always_inline)) inline FixedSection SectionFromLanes(const EdgeLanes& left, const EdgeLanes& right,
                                                                    int32_t y, int32_t rows) {
  alignas(16) uint32_t first[4], step[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(first), _mm_cvttps_epi32(left.first_a));
  _mm_store_si128(reinterpret_cast<__m128i*>(step), _mm_cvttps_epi32(left.step_a));
  FixedSection s;
  s.left = FixedEdge{first[0], step[0], first[1], step[1], first[2], step[2], 0, 0, 0, 0};
  if constexpr (kTwoLayers) {
    s.left.u2 = first[3];
    s.left.du2 = step[3];
    s.left.v2 = static_cast<uint32_t>(_mm_cvttss_si32(left.first_b));
    s.left.dv2 = static_cast<uint32_t>(_mm_cvttss_si32(left.step_b));
  }
  s.right_x = static_cast<uint32_t>(_mm_cvttss_si32(right.first_a));
  s.right_dx = static_cast<uint32_t>(_mm_cvttss_si32(right.step_a));
  s.y = y;
  s.rows = rows;
  return s;
}

// Copy sections walked straight from the lanes by a copy kernel of one layer (CopyRow) or
// two (LightmapCopyRow).
template <typename Row>
struct CopySink {
  Row row;
  bool inside_frame;  // the triangle's corners lie strictly inside the frame
  template <bool kTwoLayers>
  __attribute__((always_inline)) void Draw(const EdgeLanes& left, const EdgeLanes& right, int32_t y,
                                           int32_t rows) const {
    FixedSection s = SectionFromLanes<kTwoLayers>(left, right, y, rows);
    s.du = row.du;
    s.dv = row.dv;
    s.du2 = s.dv2 = 0;
    if constexpr (kTwoLayers) {
      s.du2 = row.du2;
      s.dv2 = row.dv2;
    }
    if (inside_frame) {
      WalkInsideFrame<kTwoLayers>(s, row);
    } else {
      WalkFixed<kTwoLayers>(s, row);
    }
  }
};

// Every corner strictly inside the frame, as the scene pass's draw test leaves them (NaN is not).
bool CornersInsideFrame(const RenderVertex triangle[3]) {
  const float right = static_cast<float>(g_render.frame.width - 1);
  const float bottom = static_cast<float>(g_render.frame.height - 1);
  bool inside = true;
  for (int k = 0; k < 3; ++k) {
    inside &= triangle[k].sx > 0.0f && triangle[k].sx < right && triangle[k].sy > 0.0f && triangle[k].sy < bottom;
  }
  return inside;
}

struct Gradients {
  int32_t du_dx, dv_dx, du2_dx, dv2_dx;
};

// Sorts the corners, drops degenerate triangles, finds the gradients and hands each section
// to the sink that make_sink(gradients) returns.
template <bool kTwoLayers, typename MakeSink>
void SetUpAndDraw(const RenderVertex triangle[3], MakeSink make_sink) {
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

  // The three edge reciprocals in one division; each lane rounds as its own scalar division.
  alignas(16) float g[4];
  _mm_store_ps(g, _mm_div_ps(_mm_set1_ps(1.0f), _mm_setr_ps(sy2 - sy0, sy1 - sy0, sy2 - sy1, 1.0f)));

  const Lanes c0 = LanesOf<kTwoLayers>(triangle[i0]);
  const Lanes c1 = LanesOf<kTwoLayers>(triangle[i1]);
  const Lanes c2 = LanesOf<kTwoLayers>(triangle[i2]);
  // The long edge and its point at the middle corner's height.
  const Lanes long_slope = Scale<kTwoLayers>(Sub<kTwoLayers>(c2, c0), _mm_set1_ps(g[0]));
  const Lanes middle = Along<kTwoLayers>(c0, long_slope, sy1 - sy0);
  const float width = sx1 - Sx(middle);
  if (std::fabs(width) < 0.1f) return;

  const __m128 w = _mm_set1_ps(width);
  alignas(16) int32_t gradient[8] = {};
  _mm_store_si128(reinterpret_cast<__m128i*>(gradient), FixedLanes(_mm_div_ps(_mm_sub_ps(c1.a, middle.a), w)));
  if constexpr (kTwoLayers) {
    _mm_store_si128(reinterpret_cast<__m128i*>(gradient + 4), FixedLanes(_mm_div_ps(_mm_sub_ps(c1.b, middle.b), w)));
  }
  const auto sink = make_sink(Gradients{gradient[1], gradient[2], kTwoLayers ? gradient[3] : 0, kTwoLayers ? gradient[4] : 0});
  const bool long_left = Sx(middle) <= sx1;
  const StepLanes long_steps = StepsOf<kTwoLayers>(long_slope);

  if (y1 - y0 >= 1) {
    const float prestep = static_cast<float>(y0) - sy0;
    const EdgeLanes long_edge = EdgeFrom<kTwoLayers>(c0, long_slope, long_steps, prestep);
    const EdgeLanes short_edge =
        EdgeFrom<kTwoLayers>(c0, Scale<kTwoLayers>(Sub<kTwoLayers>(c1, c0), _mm_set1_ps(g[1])), prestep);
    sink.template Draw<kTwoLayers>(long_left ? long_edge : short_edge, long_left ? short_edge : long_edge, y0,
                                   y1 - y0);
  }
  if (y2 - y1 >= 1) {
    const float prestep = static_cast<float>(y1) - sy1;
    const EdgeLanes long_edge = EdgeFrom<kTwoLayers>(middle, long_slope, long_steps, prestep);
    const EdgeLanes short_edge =
        EdgeFrom<kTwoLayers>(c1, Scale<kTwoLayers>(Sub<kTwoLayers>(c2, c1), _mm_set1_ps(g[2])), prestep);
    sink.template Draw<kTwoLayers>(long_left ? long_edge : short_edge, long_left ? short_edge : long_edge, y1,
                                   y2 - y1);
  }
}

template <int kMode>
void DrawLightmappedCopy(const uint32_t* texels, const uint32_t* lightmap, const RenderVertex triangle[3],
                         bool inside_frame) {
  SetUpAndDraw<true>(triangle, [=](const Gradients& d) {
    return CopySink<LightmapCopyRow<kMode>>{
        LightmapCopyRow<kMode>{texels, lightmap, static_cast<uint32_t>(d.du_dx), static_cast<uint32_t>(d.dv_dx),
                               static_cast<uint32_t>(d.du2_dx), static_cast<uint32_t>(d.dv2_dx)},
        inside_frame};
  });
}

// The fused two-layer copy of each layer-2 mode, as BlendSpanFor chooses the span blenders.
void DrawLightmappedCopyInMode(int32_t mode, const uint32_t* texels, const uint32_t* lightmap,
                               const RenderVertex triangle[3], bool inside) {
  switch (mode) {
    case 0: return DrawLightmappedCopy<0>(texels, lightmap, triangle, inside);
    case 1: return DrawLightmappedCopy<1>(texels, lightmap, triangle, inside);
    case 2: return DrawLightmappedCopy<2>(texels, lightmap, triangle, inside);
    case 3: return DrawLightmappedCopy<3>(texels, lightmap, triangle, inside);
    case 5: return DrawLightmappedCopy<5>(texels, lightmap, triangle, inside);
    case 6: return DrawLightmappedCopy<6>(texels, lightmap, triangle, inside);
    case 7: return DrawLightmappedCopy<7>(texels, lightmap, triangle, inside);
    default: return DrawLightmappedCopy<4>(texels, lightmap, triangle, inside);  // 4 and any other: the inverted destination
  }
}

template <bool kTwoLayers>
void SetUpAndLoop(SectionLoop loop, SpanSection* section, const RenderVertex triangle[3]) {
  SetUpAndDraw<kTwoLayers>(triangle, [&](const Gradients& d) {
    section->du_dx = d.du_dx;
    section->dv_dx = d.dv_dx;
    section->du2_dx = d.du2_dx;
    section->dv2_dx = d.dv2_dx;
    return LoopSink{loop, section};
  });
}

// Both entries: inside_frame is known to the caller or found here.
void DrawTwoLayers(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3],
                   bool inside_frame) {
  if (!TextureReadable(lightmap)) {
    DrawTexturedTriangle(texture, triangle);
    return;
  }
  if (!TextureReadable(texture)) return;
  if (g_render.base_blend_mode == BLEND_COPY) {
    DrawLightmappedCopyInMode(g_render.layer2_blend_mode, texture->pixels, lightmap->pixels, triangle,
                              inside_frame || CornersInsideFrame(triangle));
    return;
  }
  SpanSection section;
  section.texels = texture->pixels;
  section.lightmap = lightmap->pixels;
  SetUpAndLoop<true>(FillSection2Blend, &section, triangle);
}

}  // namespace

void ToFixed4(const float in[4], int32_t out[4]) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), FixedLanes(_mm_loadu_ps(in)));
}

void DrawTexturedTriangle(const Texture* texture, const RenderVertex triangle[3]) {
  if (!TextureReadable(texture)) return;
  if (g_render.base_blend_mode == BLEND_COPY) {
    const uint32_t* texels = texture->pixels;
    const bool inside_frame = CornersInsideFrame(triangle);
    SetUpAndDraw<false>(triangle, [texels, inside_frame](const Gradients& d) {
      return CopySink<CopyRow>{CopyRow(texels, static_cast<uint32_t>(d.du_dx), static_cast<uint32_t>(d.dv_dx)), inside_frame};
    });
    return;
  }
  SpanSection section;  // every field is set before a loop reads it
  section.texels = texture->pixels;
  section.lightmap = nullptr;
  SetUpAndLoop<false>(FillSectionBlend, &section, triangle);
}

void DrawLightmappedTriangle(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]) {
  DrawTwoLayers(texture, lightmap, triangle, false);
}

void DrawLightmappedTriangleInFrame(const Texture* texture, const Texture* lightmap, const RenderVertex triangle[3]) {
  DrawTwoLayers(texture, lightmap, triangle, true);
}
