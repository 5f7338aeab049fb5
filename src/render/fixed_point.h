// 16.16 fixed point, the renderer's number for screen positions and texture coordinates: a
// signed 32-bit integer whose upper 16 bits are the integer part and whose lower 16 bits are
// the fraction. Values that do not fit (and NaN) become FIXED_DOES_NOT_FIT.
#pragma once

#include <cstdint>

constexpr int32_t FIXED_DOES_NOT_FIT = 0x7FFF0000;

int32_t ToFixed(float f);

// The smallest integer not below a / 65536.
inline int32_t Ceil16(int32_t a) { return (int32_t)(((int64_t)a + 0xFFFF) >> 16); }
