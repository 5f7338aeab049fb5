#include "render/span_section.h"

#include "platform/sse2.h"

void GatherTexels(uint32_t* out, const uint32_t* texels, uint32_t u, uint32_t v, uint32_t du, uint32_t dv, int32_t n) {
  int32_t k = 0;
  if (n >= 8) {
    const __m128i step_u = _mm_set1_epi32(static_cast<int>(du * 4));
    const __m128i step_v = _mm_set1_epi32(static_cast<int>(dv * 4));
    const __m128i row_bits = _mm_set1_epi32(0xFF00);
    __m128i lane_u = _mm_setr_epi32(static_cast<int>(u), static_cast<int>(u + du), static_cast<int>(u + 2 * du),
                                    static_cast<int>(u + 3 * du));
    __m128i lane_v = _mm_setr_epi32(static_cast<int>(v), static_cast<int>(v + dv), static_cast<int>(v + 2 * dv),
                                    static_cast<int>(v + 3 * dv));
    for (; k + 4 <= n; k += 4) {
      // (v >> 16) x 256 keeps v's bits 16..23 at 8..15; the sum's low 16 bits are the index.
      const __m128i row = _mm_and_si128(_mm_srai_epi32(lane_v, 8), row_bits);
      const __m128i index = _mm_add_epi32(row, _mm_srai_epi32(lane_u, 16));
      out[k] = texels[_mm_extract_epi16(index, 0)];
      out[k + 1] = texels[_mm_extract_epi16(index, 2)];
      out[k + 2] = texels[_mm_extract_epi16(index, 4)];
      out[k + 3] = texels[_mm_extract_epi16(index, 6)];
      lane_u = _mm_add_epi32(lane_u, step_u);
      lane_v = _mm_add_epi32(lane_v, step_v);
    }
    u += static_cast<uint32_t>(k) * du;
    v += static_cast<uint32_t>(k) * dv;
  }
  for (; k < n; ++k, u += du, v += dv) out[k] = texels[TexelIndex(u, v)];
}
