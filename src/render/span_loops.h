// The span loops: one section of a triangle (the rows between two corners), walked row by
// row between a left and a right edge, texels fetched by 16.16 coordinates that step by
// constant gradients along each row.
//
#pragma once

#include <cstdint>

#include "render/span_section.h"

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

using SectionLoop = void (*)(const SpanSection& section);
