// Image compositing: whole images or rectangles of them drawn into a destination with the
// Texture layout (the frame), clipped to it, either copied or alpha-blended. No scaling.
#pragma once

#include <cstdint>

#include "resource/texture.h"

// Draws the whole source with its top-left corner at (x, y) of the destination; x and y may
// lie anywhere. Copies when the source has no alpha, blends otherwise.
void DrawImage(Texture* destination, const Texture* source, int32_t x, int32_t y);

// Rows [top, bottom) of an image; empty when bottom <= top.
struct RowSpan {
  int32_t top, bottom;
};

// The rows of the destination that DrawImage(destination, source, any x, y) may write.
RowSpan ImageRows(const Texture& destination, const Texture& source, int32_t y);

// DrawImage of a source with alpha, with the rows it covers taken from under (an image at
// least the destination's size, such as the backdrop the frame is drawn from: its top-left
// part) rather than from the destination: those rows become under's, the source blended over
// them, in one pass and the same pixels as copying the rows from under and drawing the source
// over them. Returns the rows written, none when the source has no alpha, under is smaller or
// nothing is covered.
RowSpan DrawImageOver(Texture* destination, const Texture* under, const Texture* source, int32_t x, int32_t y);

// Transfers the width x height rectangle at (source_x, source_y) of the source to (x, y) of
// the destination. Width or height 0 means the whole source. Mode 0 draws the source's own
// pixels; any other mode draws the tint colour through the source's alpha (blend path).
// The rectangle is clipped to the source first, then to the destination.
void BlitImage(Texture* destination, const Texture* source, int32_t x, int32_t y,
               int32_t source_x, int32_t source_y, int32_t width, int32_t height, uint32_t tint,
               int32_t mode);

// The blend path over an already clipped rectangle: each of the four bytes becomes
// (d * (255 - a) + s * a) >> 8 with a the source pixel's alpha. Several pixels per step in
// 16-bit lanes: eight in AVX2 where the processor has it, else four in SSE2.
void BlendImage(Texture* destination, const Texture* source, int32_t x, int32_t y,
                int32_t source_x, int32_t source_y, int32_t width, int32_t height, uint32_t tint,
                int32_t mode);

// BlendImage in SSE2 alone, four pixels a step: what BlendImage does on a processor without
// AVX2 (with it, eight a step).
void BlendImageSse2(Texture* destination, const Texture* source, int32_t x, int32_t y,
                    int32_t source_x, int32_t source_y, int32_t width, int32_t height, uint32_t tint,
                    int32_t mode);

// The same blend one pixel at a time: what BlendImage and BlendImageSse2 must produce bit for bit.
void BlendImageScalar(Texture* destination, const Texture* source, int32_t x, int32_t y,
                      int32_t source_x, int32_t source_y, int32_t width, int32_t height,
                      uint32_t tint, int32_t mode);

// One blended pixel: d under s (after the tint of a non-zero mode).
uint32_t BlendPixel(uint32_t d, uint32_t s, uint32_t tint, int32_t mode);
