// Draws a batch: every triangle set up at once (lightmap_setup.h), then walked one by one in
// the order they came.
#include "render/lightmap_batch.h"

#include <algorithm>

#include "render/lightmap_setup.h"
#include "render/rasterizer.h"
#include "render/span_walk.h"

namespace {

template <int kMode>
__attribute__((always_inline)) inline void WalkSection(const LightmapSection& s, const LightmapSetUp& set_up,
                                                       int32_t t, const LightmapCopyRow<kMode>& row) {
  if (s.rows[t] <= 0) return;
  FixedSection f;
  f.left = FixedEdge{s.first[0][t], s.step[0][t], s.first[1][t], s.step[1][t], s.first[2][t],
                     s.step[2][t], s.first[3][t], s.step[3][t], s.first[4][t], s.step[4][t]};
  f.right_x = s.right_x[t];
  f.right_dx = s.right_dx[t];
  f.y = s.y[t];
  f.rows = s.rows[t];
  f.du = set_up.du[t];
  f.dv = set_up.dv[t];
  f.du2 = set_up.du2[t];
  f.dv2 = set_up.dv2[t];
  WalkInsideFrame<true>(f, row);
}

template <int kMode>
void DrawSetUp(const LightmapBatch& b, int32_t count, const LightmapSetUp& set_up) {
  for (int32_t t = 0; t < count; ++t) {
    if (!set_up.drawn[t]) continue;
    const LightmapCopyRow<kMode> row{b.textures[t]->pixels, b.lightmaps[t]->pixels, set_up.du[t], set_up.dv[t],
                                     set_up.du2[t], set_up.dv2[t]};
    WalkSection<kMode>(set_up.upper, set_up, t, row);
    WalkSection<kMode>(set_up.lower, set_up, t, row);
  }
}

// The layer-2 modes as the single set-up dispatches them.
void DrawSetUpInMode(int32_t mode, const LightmapBatch& b, int32_t count, const LightmapSetUp& set_up) {
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

inline void SetCorner(LightmapBatch* b, int32_t i, int k, float sx, float sy, float u, float v, float u2, float v2) {
  b->sx[k][i] = sx;
  b->sy[k][i] = sy;
  b->u[k][i] = u;
  b->v[k][i] = v;
  b->u2[k][i] = u2;
  b->v2[k][i] = v2;
}

// The rows the set-up lanes will walk, into the frame's drawn bound: a triangle's sections
// run from the upper one's first row to the end of the lower one.
void BoundDrawnRows(int32_t count, const LightmapSetUp& set_up) {
  int32_t top = g_render.drawn_top, bottom = g_render.drawn_bottom;
  for (int32_t t = 0; t < count; ++t) {
    const bool walked = set_up.drawn[t] != 0;
    top = std::min(top, walked ? set_up.upper.y[t] : top);
    bottom = std::max(bottom, walked ? set_up.lower.y[t] + set_up.lower.rows[t] : bottom);
  }
  g_render.drawn_top = top;
  g_render.drawn_bottom = bottom;
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
    MarkEveryRowDrawn();
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
  // Lanes past the count, up to a whole group of the widest lanes, repeat the first triangle
  // and are not drawn.
  const bool avx2 = batch->lanes == LightmapLanes::kWidest && HasAvx2SetUp();
  const int32_t group = avx2 ? 8 : 4;
  for (int32_t i = count; i < (count + group - 1) / group * group; ++i) {
    for (int k = 0; k < 3; ++k) {
      SetCorner(batch, i, k, batch->sx[k][0], batch->sy[k][0], batch->u[k][0], batch->v[k][0], batch->u2[k][0],
                batch->v2[k][0]);
    }
  }
  LightmapSetUp set_up;
  if (avx2) {
    SetUpLightmapBatchAvx2(*batch, count, &set_up);
  } else {
    SetUpLightmapBatchSse2(*batch, count, &set_up);
  }
  BoundDrawnRows(count, set_up);
  DrawSetUpInMode(g_render.layer2_blend_mode, *batch, count, set_up);
}
