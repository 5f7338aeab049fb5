// Pixel blend modes: the destination is inverted first, then combined with the source per
// byte in unsigned 16-bit lanes (sums saturate, division is a shift by 8).
#pragma once

#include <cstdint>

// The reference, one pixel at a time.
void BlendPixel(int32_t mode, uint32_t* destination, uint32_t source);

// count pixels at once: destination[i] := blend(destination[i], source[i]). SSE2 where the
// machine has it; bit for bit the same as BlendPixel.
void BlendPixels(int32_t mode, uint32_t* destination, const uint32_t* source, int32_t count);
