// The set-up of a lightmap batch, lane by lane: what the row walk reads of each triangle.
// Made four lanes at a time with SSE2, or eight with AVX2 where the processor has it; both
// give the same integers.
#pragma once

#include <cstdint>

#include "render/lightmap_batch.h"

// A section of each triangle: its left edge's x, u, v, u2, v2 and their steps per row, the
// right edge's x and step, the first row and the row count.
struct LightmapSection {
  alignas(32) uint32_t first[5][LIGHTMAP_BATCH_SIZE];
  alignas(32) uint32_t step[5][LIGHTMAP_BATCH_SIZE];
  alignas(32) uint32_t right_x[LIGHTMAP_BATCH_SIZE];
  alignas(32) uint32_t right_dx[LIGHTMAP_BATCH_SIZE];
  alignas(32) int32_t y[LIGHTMAP_BATCH_SIZE];
  alignas(32) int32_t rows[LIGHTMAP_BATCH_SIZE];
};

struct LightmapSetUp {
  LightmapSection upper, lower;
  alignas(32) uint32_t du[LIGHTMAP_BATCH_SIZE], dv[LIGHTMAP_BATCH_SIZE];  // per pixel
  alignas(32) uint32_t du2[LIGHTMAP_BATCH_SIZE], dv2[LIGHTMAP_BATCH_SIZE];
  alignas(32) int32_t drawn[LIGHTMAP_BATCH_SIZE];  // -1 where the triangle is not degenerate
};

// The first count lanes of the batch set up, and the others of their group of four (or
// eight), which must hold corners too (any).
void SetUpLightmapBatchSse2(const LightmapBatch& batch, int32_t count, LightmapSetUp* out);
// The same eight lanes at a time, on a processor with AVX2 (HasAvx2SetUp).
void SetUpLightmapBatchAvx2(const LightmapBatch& batch, int32_t count, LightmapSetUp* out);
bool HasAvx2SetUp();
