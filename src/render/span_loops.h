// The span loops: one section of a triangle (the rows between two corners), walked row by
// row between a left and a right edge, texels fetched by 16.16 coordinates that step by
// constant gradients along each row.
//
// Texel addressing: every texture is read as 256 texels a row,
// index = ((v >> 16) x 256 + (u >> 16)) mod 65536. u is not wrapped within its row: past
// 255 it runs into the next row; only the whole index wraps.
#pragma once

#include <cstdint>

#include "resource/texture.h"

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

// Rows and columns outside g_render.frame are skipped (the texture coordinates still step
// over them), so a section never writes outside the frame.
void FillSectionCopy(const SpanSection& section);    // frame := texel
void FillSectionBlend(const SpanSection& section);   // BlendPixel(base mode, frame, texel)
void FillSection2Copy(const SpanSection& section);   // frame := BlendPixel(layer-2 mode, texel, lightmap texel)
void FillSection2Blend(const SpanSection& section);  // then BlendPixel(base mode, frame, that)

// The same four, a pixel at a time through BlendPixel: the reference the fast loops are
// held to, bit for bit.
void FillSectionCopyReference(const SpanSection& section);
void FillSectionBlendReference(const SpanSection& section);
void FillSection2CopyReference(const SpanSection& section);
void FillSection2BlendReference(const SpanSection& section);

// Texels at (u, v), (u + du, v + dv), ... into out[0 .. n), indices made four at a time.
void GatherTexels(uint32_t* out, const uint32_t* texels, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, int32_t n);

using SectionLoop = void (*)(const SpanSection& section);
