// Lightmapped triangles drawn in batches: each vector lane carries one triangle through the
// set-up of rasterizer.cpp, value by value in the same float operations, so every lane
// rounds as that set-up does and the frame ends up byte for byte as if each triangle had
// gone through DrawLightmappedTriangleInFrame in turn.
//
// The characters' skins are thousands of triangles of a few pixels each. One at a time,
// their set-up is a chain of dependent divisions and conversions that the processor cannot
// overlap with the next triangle's for the branches of the row walk in between; in lanes,
// the chain is paid once for a group, and the rows are walked afterwards in order.
#pragma once

#include <cstdint>

#include "render/render_context.h"

constexpr int32_t LIGHTMAP_BATCH_SIZE = 16;  // two groups of eight AVX2 lanes, or four of four SSE2 lanes

// The lanes the set-up uses: the widest the processor has, or SSE2's (for the tests to hold
// the two to the same pixels).
enum class LightmapLanes { kWidest, kSse2 };

// Triangles waiting to be drawn, corner values laid out lane by lane: [corner][triangle].
struct LightmapBatch {
  int32_t count = 0;
  LightmapLanes lanes = LightmapLanes::kWidest;
  const Texture* textures[LIGHTMAP_BATCH_SIZE];
  const Texture* lightmaps[LIGHTMAP_BATCH_SIZE];
  alignas(32) float sx[3][LIGHTMAP_BATCH_SIZE];
  alignas(32) float sy[3][LIGHTMAP_BATCH_SIZE];
  alignas(32) float u[3][LIGHTMAP_BATCH_SIZE];
  alignas(32) float v[3][LIGHTMAP_BATCH_SIZE];
  alignas(32) float u2[3][LIGHTMAP_BATCH_SIZE];
  alignas(32) float v2[3][LIGHTMAP_BATCH_SIZE];
};

// Queues a triangle under the contract of DrawLightmappedTriangleInFrame: every corner
// strictly inside the frame, both textures readable (TextureReadable). Draws the batch
// when that fills it.
void QueueLightmappedTriangle(LightmapBatch* batch, const Texture* texture, const Texture* lightmap,
                              const RenderVertex triangle[3]);
// The same for a pooled triangle, its corners read straight from the pool.
void QueuePooledTriangle(LightmapBatch* batch, const Texture* texture, const Texture* lightmap,
                         const RenderTriangle& triangle);

// Draws the queued triangles in the order they came, in g_render's blend modes, and empties
// the batch.
void DrawLightmapBatch(LightmapBatch* batch);
