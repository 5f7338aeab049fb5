// The blend modes on packed lanes, the mode fixed at compile time: four pixels as two
// registers of eight 16-bit lanes. Shared by the span blenders and the fused row kernels,
// which blend texels in registers without a pass through memory.
#pragma once

#include "platform/sse2.h"

namespace blend_lanes {

inline __m128i Mul8(__m128i a, __m128i b) { return _mm_srli_epi16(_mm_mullo_epi16(a, b), 8); }

// (d x (255 - w) + s x w) >> 8, the sum saturated at 16 bits.
inline __m128i Weighted(__m128i d, __m128i s, __m128i w) {
  const __m128i full = _mm_set1_epi16(255);
  return _mm_srli_epi16(_mm_adds_epu16(_mm_mullo_epi16(d, _mm_sub_epi16(full, w)), _mm_mullo_epi16(s, w)), 8);
}

inline __m128i AlphaLanes(__m128i s) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, 0xFF), 0xFF);
}

// Blue takes the source's red byte as its weight and red the blue: lanes 2, 1, 0, 3.
inline __m128i SwappedLanes(__m128i s) {
  constexpr int kOrder = _MM_SHUFFLE(3, 0, 1, 2);
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(s, kOrder), kOrder);
}

// Two pixels as eight 16-bit lanes; the result may exceed 255 where the pack saturates.
template <int kMode>
inline __m128i BlendLanes(__m128i d, __m128i s) {
  if constexpr (kMode == 0) return Mul8(d, s);
  if constexpr (kMode == 1) return _mm_adds_epu16(Mul8(d, s), s);
  if constexpr (kMode == 2) return _mm_srli_epi16(_mm_add_epi16(d, s), 1);
  if constexpr (kMode == 3) return Weighted(d, s, SwappedLanes(s));
  if constexpr (kMode == 6) return Weighted(d, s, AlphaLanes(s));
  if constexpr (kMode == 7) {
    const __m128i a = AlphaLanes(s);
    return _mm_adds_epu16(Weighted(d, s, a), Mul8(d, a));
  }
}

// Four pixels. Mode 5 and the modes that only invert need no widening.
template <int kMode>
inline __m128i Blend4(__m128i destination, __m128i source) {
  const __m128i inverted = _mm_xor_si128(destination, _mm_set1_epi32(-1));
  if constexpr (kMode == 4) {
    return inverted;
  } else if constexpr (kMode == 5) {
    return _mm_subs_epu8(source, inverted);
  } else {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = BlendLanes<kMode>(_mm_unpacklo_epi8(inverted, zero), _mm_unpacklo_epi8(source, zero));
    const __m128i high = BlendLanes<kMode>(_mm_unpackhi_epi8(inverted, zero), _mm_unpackhi_epi8(source, zero));
    return _mm_packus_epi16(low, high);
  }
}

}  // namespace blend_lanes
