// ToFixed (fixed_point.h) on four SSE lanes, as the triangle set-ups convert their values.
#pragma once

#include "platform/sse2.h"

#include <cstdint>

#include "render/fixed_point.h"

// Inside the range the scaled value converts without overflow and never to 0x80000000;
// outside it (NaN and -32768 itself included) the conversion gives exactly 0x80000000, so
// that value alone is swapped for the marker.
inline __m128i FixedLanes(__m128 f) {
  const __m128i fixed = _mm_cvttps_epi32(_mm_mul_ps(f, _mm_set1_ps(65536.0f)));
  const __m128i invalid = _mm_set1_epi32(INT32_MIN);
  const __m128i swap = _mm_and_si128(_mm_cmpeq_epi32(fixed, invalid), _mm_set1_epi32(INT32_MIN ^ FIXED_DOES_NOT_FIT));
  return _mm_xor_si128(fixed, swap);
}
