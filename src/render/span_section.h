// One section of a triangle as the span loops take it (the rows between two corners, a left
// and a right edge, gradients along each row) and how texels are read.
//
// Texel addressing: every texture is read as 256 texels a row,
// index = ((v >> 16) x 256 + (u >> 16)) mod 65536. u is not wrapped within its row: past
// 255 it runs into the next row; only the whole index wraps.
#pragma once

#include <cstdint>

// One edge of a section. The triangle set-up hands over 16.16 integers held in floats; the
// loops truncate them back once per section and then step in integers.
struct EdgeStepper {
  float u, du_dy;
  float v, dv_dy;
  float u2, du2_dy;  // lightmap; two-layer sections only
  float v2, dv2_dy;
  float x, dx_dy;
};

struct SpanSection {
  EdgeStepper left, right;
  int32_t y;     // first row
  int32_t rows;  // row count
  int32_t du_dx, dv_dx, du2_dx, dv2_dx;  // 16.16, constant over the triangle
  const uint32_t* texels;    // 65536 of them
  const uint32_t* lightmap;  // 65536 of them; two-layer sections only
};

inline int32_t TexelIndex(uint32_t u, uint32_t v) {
  return static_cast<int32_t>(((static_cast<int32_t>(v) >> 16) * 256 + (static_cast<int32_t>(u) >> 16)) & 0xFFFF);
}

// Texels at (u, v), (u + du, v + dv), ... into out[0 .. n), indices made four at a time.
void GatherTexels(uint32_t* out, const uint32_t* texels, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, int32_t n);

