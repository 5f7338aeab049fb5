// Pixel blend modes: the destination is inverted first, then combined with the source per
// byte in unsigned 16-bit lanes (sums saturate, division is a shift by 8, so 255 x 255
// gives 254). Modes 4 and every number not listed leave the inverted destination.
//
//   0  (D' x S) >> 8                    4  D'
//   1  min(((D' x S) >> 8) + S, 255)    5  max(S - D', 0)
//   2  (D' + S) >> 1                    6  (D' x (255 - a) + S x a) >> 8, a = source alpha
//   3  as 6, the weight of each byte a source byte in swapped order (blue takes red,
//      green green, red blue, alpha alpha)
//   7  min(mode 6 + ((D' x a) >> 8), 255)
#pragma once

#include <cstdint>

// The reference, one pixel at a time.
void BlendPixel(int32_t mode, uint32_t* destination, uint32_t source);

// count pixels at once: destination[i] := blend(destination[i], source[i]). SSE2 where the
// machine has it; bit for bit the same as BlendPixel.
void BlendPixels(int32_t mode, uint32_t* destination, const uint32_t* source, int32_t count);

// out[i] := blend(destination[i], source[i]); out may be destination itself.
using BlendSpanFn = void (*)(uint32_t* out, const uint32_t* destination, const uint32_t* source, int32_t count);

// The span blender of a mode, chosen once so that a span loop never branches on the mode
// per pixel.
BlendSpanFn BlendSpanFor(int32_t mode);
