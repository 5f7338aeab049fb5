// The span blenders: four pixels per step, the mode fixed at compile time so the loop
// carries no branch on it.
#include "platform/sse2.h"

#include "render/blend.h"
#include "render/blend_lanes.h"

namespace {

using blend_lanes::Blend4;

template <int kMode>
void BlendSpan(uint32_t* out, const uint32_t* destination, const uint32_t* source, int32_t count) {
  int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(destination + i));
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), Blend4<kMode>(d, s));
  }
  for (; i < count; ++i) {
    const __m128i d = _mm_cvtsi32_si128(static_cast<int>(destination[i]));
    const __m128i s = _mm_cvtsi32_si128(static_cast<int>(source[i]));
    out[i] = static_cast<uint32_t>(_mm_cvtsi128_si32(Blend4<kMode>(d, s)));
  }
}

}  // namespace

BlendSpanFn BlendSpanFor(int32_t mode) {
  switch (mode) {
    case 0: return BlendSpan<0>;
    case 1: return BlendSpan<1>;
    case 2: return BlendSpan<2>;
    case 3: return BlendSpan<3>;
    case 5: return BlendSpan<5>;
    case 6: return BlendSpan<6>;
    case 7: return BlendSpan<7>;
    default: return BlendSpan<4>;  // 4 and every unknown mode: the inverted destination
  }
}

void BlendPixels(int32_t mode, uint32_t* destination, const uint32_t* source, int32_t count) {
  BlendSpanFor(mode)(destination, destination, source, count);
}
