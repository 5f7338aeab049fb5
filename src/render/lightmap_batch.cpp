// The set-up of rasterizer.cpp (SetUpAndDraw), transposed: where it holds one triangle's
// (x, u, v, u2, v2) in lanes, this holds one value of four triangles. The operations and
// their order per value are the same, so are the results.
#include "render/lightmap_batch.h"

#include <emmintrin.h>

#include "render/fixed_lanes.h"
#include "render/rasterizer.h"
#include "render/span_walk.h"

namespace {

constexpr int32_t kValues = 5;  // x, u, v, u2, v2 of a corner or an edge
constexpr int32_t kLanes = 4;
constexpr int32_t kGroups = LIGHTMAP_BATCH_SIZE / kLanes;

inline __m128 Select(__m128 mask, __m128 yes, __m128 no) {
  return _mm_or_ps(_mm_and_ps(mask, yes), _mm_andnot_ps(mask, no));
}
inline __m128i Select(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}
inline __m128 Abs(__m128 f) { return _mm_and_ps(f, _mm_castsi128_ps(_mm_set1_epi32(0x7FFFFFFF))); }

// Ceil16 of four lanes, without the 64-bit sum: the floor of a / 65536 plus one where a
// fraction is left.
inline __m128i Ceil16Lanes(__m128i a) {
  const __m128i whole = _mm_cmpeq_epi32(_mm_and_si128(a, _mm_set1_epi32(0xFFFF)), _mm_setzero_si128());
  return _mm_add_epi32(_mm_add_epi32(_mm_srai_epi32(a, 16), _mm_set1_epi32(1)), whole);  // whole is -1
}

// The 16.16 value a set-up float holds, as the copy sinks take it: ToFixed, then through a
// float (which keeps 24 bits) and back.
inline __m128i HeldFixed(__m128 f) { return _mm_cvttps_epi32(_mm_cvtepi32_ps(FixedLanes(f))); }

// A corner of four triangles: sy apart, its start row, and x, u, v, u2, v2.
struct CornerLanes {
  __m128 sy;
  __m128i row;
  __m128 value[kValues];
};

// Both corners where mask is set trade places, every value with them.
inline void SwapWhere(__m128i mask, CornerLanes* a, CornerLanes* b) {
  const __m128 m = _mm_castsi128_ps(mask);
  const CornerLanes old_a = *a;
  a->sy = Select(m, b->sy, a->sy);
  b->sy = Select(m, old_a.sy, b->sy);
  a->row = Select(mask, b->row, a->row);
  b->row = Select(mask, old_a.row, b->row);
  for (int k = 0; k < kValues; ++k) {
    a->value[k] = Select(m, b->value[k], a->value[k]);
    b->value[k] = Select(m, old_a.value[k], b->value[k]);
  }
}

// An edge's integer first values and steps per value, and the edge of the other side's x.
struct SectionLanes {
  __m128i first[kValues], step[kValues];
  __m128i right_x, right_dx;
  __m128i y, rows, drawn;  // drawn: all ones where the section has rows
};

// The section from long_start along long_slope (the long edge) and from short_start along
// short_slope, at the rows from y: the left edge carries every value, the right only x. Each
// lane picks its edges before the arithmetic, which is the same for either edge.
inline void SectionOf(const __m128 long_start[kValues], const __m128 long_slope[kValues],
                      const __m128 short_start[kValues], const __m128 short_slope[kValues], __m128 prestep,
                      __m128 long_left, __m128i y, __m128i rows, SectionLanes* s) {
  for (int k = 0; k < kValues; ++k) {
    const __m128 start = Select(long_left, long_start[k], short_start[k]);
    const __m128 slope = Select(long_left, long_slope[k], short_slope[k]);
    s->first[k] = HeldFixed(_mm_add_ps(start, _mm_mul_ps(slope, prestep)));
    s->step[k] = HeldFixed(slope);
  }
  const __m128 right_start = Select(long_left, short_start[0], long_start[0]);
  const __m128 right_slope = Select(long_left, short_slope[0], long_slope[0]);
  s->right_x = HeldFixed(_mm_add_ps(right_start, _mm_mul_ps(right_slope, prestep)));
  s->right_dx = HeldFixed(right_slope);
  s->y = y;
  s->rows = rows;
  s->drawn = _mm_cmpgt_epi32(rows, _mm_setzero_si128());
}

// Everything the row walk needs of four triangles, set up at once.
struct BatchSetUp {
  SectionLanes upper, lower;
  __m128i du, dv, du2, dv2;
  __m128i drawn;  // all ones where the triangle is not degenerate
};

// The four triangles from lane `first` of the batch on.
void SetUpLanes(const LightmapBatch& b, int32_t first, BatchSetUp* out) {
  CornerLanes c[3];
  for (int k = 0; k < 3; ++k) {
    c[k].sy = _mm_load_ps(b.sy[k] + first);
    c[k].row = Ceil16Lanes(FixedLanes(c[k].sy));
    c[k].value[0] = _mm_load_ps(b.sx[k] + first);
    c[k].value[1] = _mm_load_ps(b.u[k] + first);
    c[k].value[2] = _mm_load_ps(b.v[k] + first);
    c[k].value[3] = _mm_load_ps(b.u2[k] + first);
    c[k].value[4] = _mm_load_ps(b.v2[k] + first);
  }
  // The same three compare-and-swap steps, on whole corners.
  SwapWhere(_mm_cmplt_epi32(c[1].row, c[0].row), &c[0], &c[1]);
  SwapWhere(_mm_cmplt_epi32(c[2].row, c[0].row), &c[0], &c[2]);
  SwapWhere(_mm_cmplt_epi32(c[2].row, c[1].row), &c[1], &c[2]);
  const __m128 sx0 = c[0].value[0], sx1 = c[1].value[0], sx2 = c[2].value[0];
  const __m128 sy0 = c[0].sy, sy1 = c[1].sy, sy2 = c[2].sy;

  const __m128 doubled_area = _mm_sub_ps(_mm_mul_ps(_mm_sub_ps(sy1, sy0), _mm_sub_ps(sx2, sx0)),
                                         _mm_mul_ps(_mm_sub_ps(sy2, sy0), _mm_sub_ps(sx1, sx0)));
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 g0 = _mm_div_ps(one, _mm_sub_ps(sy2, sy0));
  const __m128 g1 = _mm_div_ps(one, _mm_sub_ps(sy1, sy0));
  const __m128 g2 = _mm_div_ps(one, _mm_sub_ps(sy2, sy1));

  __m128 long_slope[kValues], middle[kValues], upper_slope[kValues], lower_slope[kValues];
  const __m128 to_middle = _mm_sub_ps(sy1, sy0);
  for (int k = 0; k < kValues; ++k) {
    long_slope[k] = _mm_mul_ps(_mm_sub_ps(c[2].value[k], c[0].value[k]), g0);
    middle[k] = _mm_add_ps(c[0].value[k], _mm_mul_ps(long_slope[k], to_middle));
    upper_slope[k] = _mm_mul_ps(_mm_sub_ps(c[1].value[k], c[0].value[k]), g1);
    lower_slope[k] = _mm_mul_ps(_mm_sub_ps(c[2].value[k], c[1].value[k]), g2);
  }
  const __m128 width = _mm_sub_ps(sx1, middle[0]);
  out->du = FixedLanes(_mm_div_ps(_mm_sub_ps(c[1].value[1], middle[1]), width));
  out->dv = FixedLanes(_mm_div_ps(_mm_sub_ps(c[1].value[2], middle[2]), width));
  out->du2 = FixedLanes(_mm_div_ps(_mm_sub_ps(c[1].value[3], middle[3]), width));
  out->dv2 = FixedLanes(_mm_div_ps(_mm_sub_ps(c[1].value[4], middle[4]), width));

  // Dropped as the single set-up drops them: a sliver of area, no rows, or no width.
  const __m128i thin = _mm_castps_si128(_mm_or_ps(_mm_cmplt_ps(Abs(doubled_area), _mm_set1_ps(0.5f)),
                                                  _mm_cmplt_ps(Abs(width), _mm_set1_ps(0.1f))));
  const __m128i flat = _mm_cmpeq_epi32(c[2].row, c[0].row);
  out->drawn = _mm_andnot_si128(_mm_or_si128(thin, flat), _mm_set1_epi32(-1));

  const __m128 long_left = _mm_cmple_ps(middle[0], sx1);
  SectionOf(c[0].value, long_slope, c[0].value, upper_slope,
            _mm_sub_ps(_mm_cvtepi32_ps(c[0].row), sy0), long_left, c[0].row, _mm_sub_epi32(c[1].row, c[0].row),
            &out->upper);
  SectionOf(middle, long_slope, c[1].value, lower_slope, _mm_sub_ps(_mm_cvtepi32_ps(c[1].row), sy1),
            long_left, c[1].row, _mm_sub_epi32(c[2].row, c[1].row), &out->lower);
}

// The section lanes as integers to read one triangle's from.
struct SectionValues {
  alignas(16) uint32_t first[kValues][4], step[kValues][4];
  alignas(16) uint32_t right_x[4], right_dx[4];
  alignas(16) int32_t y[4], rows[4], drawn[4];
};

void StoreSection(const SectionLanes& s, SectionValues* v) {
  for (int k = 0; k < kValues; ++k) {
    _mm_store_si128(reinterpret_cast<__m128i*>(v->first[k]), s.first[k]);
    _mm_store_si128(reinterpret_cast<__m128i*>(v->step[k]), s.step[k]);
  }
  _mm_store_si128(reinterpret_cast<__m128i*>(v->right_x), s.right_x);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->right_dx), s.right_dx);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->y), s.y);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->rows), s.rows);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->drawn), s.drawn);
}

struct Gradients {
  alignas(16) uint32_t du[4], dv[4], du2[4], dv2[4];
};

template <int kMode>
__attribute__((always_inline)) inline void WalkLane(const SectionValues& s, const Gradients& d, int i,
                                                    const LightmapCopyRow<kMode>& row) {
  if (!s.drawn[i]) return;
  FixedSection f;
  f.left = FixedEdge{s.first[0][i], s.step[0][i], s.first[1][i], s.step[1][i], s.first[2][i],
                     s.step[2][i], s.first[3][i], s.step[3][i], s.first[4][i], s.step[4][i]};
  f.right_x = s.right_x[i];
  f.right_dx = s.right_dx[i];
  f.y = s.y[i];
  f.rows = s.rows[i];
  f.du = d.du[i];
  f.dv = d.dv[i];
  f.du2 = d.du2[i];
  f.dv2 = d.dv2[i];
  WalkInsideFrame<true>(f, row);
}

// One group's set-up as integers to read each triangle's from.
struct GroupValues {
  SectionValues upper, lower;
  Gradients d;
  alignas(16) int32_t drawn[4];
};

void StoreGroup(const BatchSetUp& set_up, GroupValues* v) {
  _mm_store_si128(reinterpret_cast<__m128i*>(v->drawn), set_up.drawn);
  StoreSection(set_up.upper, &v->upper);
  StoreSection(set_up.lower, &v->lower);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->d.du), set_up.du);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->d.dv), set_up.dv);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->d.du2), set_up.du2);
  _mm_store_si128(reinterpret_cast<__m128i*>(v->d.dv2), set_up.dv2);
}

template <int kMode>
void DrawSetUp(const LightmapBatch& b, int32_t count, const GroupValues* groups) {
  for (int32_t t = 0; t < count; ++t) {
    const GroupValues& g = groups[t / kLanes];
    const int i = t % kLanes;
    if (!g.drawn[i]) continue;
    const LightmapCopyRow<kMode> row{b.textures[t]->pixels, b.lightmaps[t]->pixels, g.d.du[i], g.d.dv[i],
                                     g.d.du2[i], g.d.dv2[i]};
    WalkLane<kMode>(g.upper, g.d, i, row);
    WalkLane<kMode>(g.lower, g.d, i, row);
  }
}

// The layer-2 modes as the single set-up dispatches them.
void DrawSetUpInMode(int32_t mode, const LightmapBatch& b, int32_t count, const GroupValues* set_up) {
  switch (mode) {
    case 0: return DrawSetUp<0>(b, count, set_up);
    case 1: return DrawSetUp<1>(b, count, set_up);
    case 2: return DrawSetUp<2>(b, count, set_up);
    case 3: return DrawSetUp<3>(b, count, set_up);
    case 5: return DrawSetUp<5>(b, count, set_up);
    case 6: return DrawSetUp<6>(b, count, set_up);
    case 7: return DrawSetUp<7>(b, count, set_up);
    default: return DrawSetUp<4>(b, count, set_up);
  }
}

}  // namespace

namespace {

inline void SetCorner(LightmapBatch* b, int32_t i, int k, float sx, float sy, float u, float v, float u2, float v2) {
  b->sx[k][i] = sx;
  b->sy[k][i] = sy;
  b->u[k][i] = u;
  b->v[k][i] = v;
  b->u2[k][i] = u2;
  b->v2[k][i] = v2;
}

inline void TakeLane(LightmapBatch* batch, const Texture* texture, const Texture* lightmap) {
  batch->textures[batch->count] = texture;
  batch->lightmaps[batch->count] = lightmap;
  if (++batch->count == LIGHTMAP_BATCH_SIZE) DrawLightmapBatch(batch);
}

}  // namespace

void QueueLightmappedTriangle(LightmapBatch* batch, const Texture* texture, const Texture* lightmap,
                              const RenderVertex triangle[3]) {
  for (int k = 0; k < 3; ++k) {
    const RenderVertex& c = triangle[k];
    SetCorner(batch, batch->count, k, c.sx, c.sy, c.u, c.v, c.u2, c.v2);
  }
  TakeLane(batch, texture, lightmap);
}

void QueuePooledTriangle(LightmapBatch* batch, const Texture* texture, const Texture* lightmap,
                         const RenderTriangle& t) {
  for (int k = 0; k < 3; ++k) {
    const ScreenVertex& c = g_render.screen_vertices[t.vertex[k]];
    SetCorner(batch, batch->count, k, c.sx, c.sy, t.u[k], t.v[k], c.u2, c.v2);
  }
  TakeLane(batch, texture, lightmap);
}

void DrawLightmapBatch(LightmapBatch* batch) {
  const int32_t count = batch->count;
  if (count == 0) return;
  batch->count = 0;
  if (g_render.base_blend_mode != BLEND_COPY) {  // the blending loops take one triangle at a time
    for (int32_t i = 0; i < count; ++i) {
      RenderVertex triangle[3] = {};
      for (int k = 0; k < 3; ++k) {
        triangle[k].sx = batch->sx[k][i], triangle[k].sy = batch->sy[k][i];
        triangle[k].u = batch->u[k][i], triangle[k].v = batch->v[k][i];
        triangle[k].u2 = batch->u2[k][i], triangle[k].v2 = batch->v2[k][i];
      }
      DrawLightmappedTriangleInFrame(batch->textures[i], batch->lightmaps[i], triangle);
    }
    return;
  }
  // Lanes past the count in the last group repeat the first triangle and are not drawn.
  const int32_t used = (count + kLanes - 1) / kLanes;
  for (int32_t i = count; i < used * kLanes; ++i) {
    for (int k = 0; k < 3; ++k) {
      SetCorner(batch, i, k, batch->sx[k][0], batch->sy[k][0], batch->u[k][0], batch->v[k][0], batch->u2[k][0],
                batch->v2[k][0]);
    }
  }
  // Every group is set up before any is walked: the groups' chains are independent and run
  // side by side.
  GroupValues groups[kGroups];
  for (int32_t g = 0; g < used; ++g) {
    BatchSetUp set_up;
    SetUpLanes(*batch, g * kLanes, &set_up);
    StoreGroup(set_up, &groups[g]);
  }
  DrawSetUpInMode(g_render.layer2_blend_mode, *batch, count, groups);
}
