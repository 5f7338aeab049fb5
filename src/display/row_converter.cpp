// The block forms work on 4 or 8 pixels per step in SSE2 lanes and finish the row with the
// per-pixel formula, so every length, down to 0, gives the per-pixel result exactly.
#include "platform/sse2.h"

#include <cstring>

#include "display/row_converter.h"

uint32_t PixelSwap32(uint32_t p) { return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF); }
uint16_t PixelRgb565(uint32_t p) {
  return static_cast<uint16_t>(((p >> 8) & 0xF800) | ((p >> 5) & 0x7E0) | ((p >> 3) & 0x1F));
}
uint16_t PixelBgr565(uint32_t p) {
  return static_cast<uint16_t>(((p & 0xF8) << 8) | ((p >> 5) & 0x7E0) | ((p >> 19) & 0x1F));
}
uint16_t PixelRgb555(uint32_t p) {
  return static_cast<uint16_t>(((p >> 9) & 0x7C00) | ((p >> 6) & 0x3E0) | ((p >> 3) & 0x1F));
}
uint16_t PixelBgr555(uint32_t p) {
  return static_cast<uint16_t>(((p & 0xF8) << 7) | ((p >> 6) & 0x3E0) | ((p >> 19) & 0x1F));
}

namespace {

inline __m128i Load4(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline __m128i Mask(uint32_t m) { return _mm_set1_epi32(static_cast<int>(m)); }

inline void Store16(uint8_t* d, uint16_t v) { std::memcpy(d, &v, 2); }
inline void Store32(uint8_t* d, uint32_t v) { std::memcpy(d, &v, 4); }

// Narrows two vectors of 32-bit lanes holding 16-bit values to 8 words. packs saturates as
// signed, so each lane is first sign-extended from its low 16 bits: the low halves survive
// unchanged whatever their top bit.
inline __m128i PackLow16(__m128i a, __m128i b) {
  a = _mm_srai_epi32(_mm_slli_epi32(a, 16), 16);
  b = _mm_srai_epi32(_mm_slli_epi32(b, 16), 16);
  return _mm_packs_epi32(a, b);
}

inline __m128i Rgb565x4(__m128i p) {
  __m128i r = _mm_and_si128(_mm_srli_epi32(p, 8), Mask(0xF800));
  __m128i g = _mm_and_si128(_mm_srli_epi32(p, 5), Mask(0x7E0));
  __m128i b = _mm_and_si128(_mm_srli_epi32(p, 3), Mask(0x1F));
  return _mm_or_si128(_mm_or_si128(r, g), b);
}
inline __m128i Bgr565x4(__m128i p) {
  __m128i b = _mm_and_si128(_mm_slli_epi32(p, 8), Mask(0xF800));
  __m128i g = _mm_and_si128(_mm_srli_epi32(p, 5), Mask(0x7E0));
  __m128i r = _mm_and_si128(_mm_srli_epi32(p, 19), Mask(0x1F));
  return _mm_or_si128(_mm_or_si128(r, g), b);
}
inline __m128i Rgb555x4(__m128i p) {
  __m128i r = _mm_and_si128(_mm_srli_epi32(p, 9), Mask(0x7C00));
  __m128i g = _mm_and_si128(_mm_srli_epi32(p, 6), Mask(0x3E0));
  __m128i b = _mm_and_si128(_mm_srli_epi32(p, 3), Mask(0x1F));
  return _mm_or_si128(_mm_or_si128(r, g), b);
}
inline __m128i Bgr555x4(__m128i p) {
  __m128i b = _mm_and_si128(_mm_slli_epi32(p, 7), Mask(0x7C00));
  __m128i g = _mm_and_si128(_mm_srli_epi32(p, 6), Mask(0x3E0));
  __m128i r = _mm_and_si128(_mm_srli_epi32(p, 19), Mask(0x1F));
  return _mm_or_si128(_mm_or_si128(r, g), b);
}
inline __m128i Swap32x4(__m128i p) {
  __m128i r = _mm_and_si128(_mm_srli_epi32(p, 16), Mask(0xFF));
  __m128i g = _mm_and_si128(p, Mask(0xFF00));
  __m128i b = _mm_and_si128(_mm_slli_epi32(p, 16), Mask(0xFF0000));
  return _mm_or_si128(_mm_or_si128(r, g), b);
}

template <__m128i (*Block)(__m128i), uint16_t (*Pixel)(uint32_t)>
void ConvertRow16(const uint32_t* source, uint8_t* destination, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    __m128i words = PackLow16(Block(Load4(source + i)), Block(Load4(source + i + 4)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 2 * i), words);
  }
  for (; i < count; ++i) Store16(destination + 2 * i, Pixel(source[i]));
}

// Packs 4 pixels into their low 3 bytes each, 12 bytes in the low end of the result. Each
// 64-bit lane first joins its two pixels into 6 bytes; the upper lane is then moved down
// 2 bytes to follow the lower one.
inline __m128i Pack24x4(__m128i p) {
  const __m128i low = _mm_and_si128(p, _mm_set1_epi64x(0xFFFFFF));
  const __m128i high = _mm_and_si128(_mm_srli_epi64(p, 8), _mm_set1_epi64x(0xFFFFFF000000));
  const __m128i lanes = _mm_or_si128(low, high);
  const __m128i lower = _mm_and_si128(lanes, _mm_set_epi64x(0, 0xFFFFFFFFFFFF));
  const __m128i upper = _mm_srli_si128(_mm_and_si128(lanes, _mm_set_epi64x(0xFFFFFFFFFFFF, 0)), 2);
  return _mm_or_si128(lower, upper);
}

// 8 pixels per step into 24 bytes: the first 12 go out in a 16-byte store whose last 4
// bytes the second half then overwrites, so nothing past the 24 bytes is written.
template <__m128i (*Prepare)(__m128i)>
int ConvertBlocks24(const uint32_t* source, uint8_t* destination, int count) {
  int i = 0;
  for (; i + 8 <= count; i += 8) {
    const __m128i a = Pack24x4(Prepare(Load4(source + i)));
    const __m128i b = Pack24x4(Prepare(Load4(source + i + 4)));
    uint8_t* d = destination + 3 * i;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), a);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(d + 12), b);
    Store32(d + 20, static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(b, 8))));
  }
  return i;
}

inline __m128i Unchanged(__m128i p) { return p; }

inline void Store24(uint8_t* d, uint32_t p) {
  d[0] = static_cast<uint8_t>(p);
  d[1] = static_cast<uint8_t>(p >> 8);
  d[2] = static_cast<uint8_t>(p >> 16);
}

}  // namespace

// Whole 64-byte blocks through SSE2 registers, then the rest pixel by pixel.
// The C library's copy already moves a row in the widest blocks the processor has.
void ConvertRowCopy32(const uint32_t* source, uint8_t* destination, int count) {
  if (count > 0) std::memcpy(destination, source, static_cast<size_t>(count) * 4);
}

void ConvertRowSwap32(const uint32_t* source, uint8_t* destination, int count) {
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + 4 * i), Swap32x4(Load4(source + i)));
  }
  for (; i < count; ++i) Store32(destination + 4 * i, PixelSwap32(source[i]));
}

void ConvertRowRgb24(const uint32_t* source, uint8_t* destination, int count) {
  for (int i = ConvertBlocks24<Unchanged>(source, destination, count); i < count; ++i) {
    Store24(destination + 3 * i, source[i]);
  }
}

void ConvertRowBgr24(const uint32_t* source, uint8_t* destination, int count) {
  for (int i = ConvertBlocks24<Swap32x4>(source, destination, count); i < count; ++i) {
    Store24(destination + 3 * i, PixelSwap32(source[i]));
  }
}

void ConvertRowRgb565(const uint32_t* s, uint8_t* d, int n) { ConvertRow16<Rgb565x4, PixelRgb565>(s, d, n); }
void ConvertRowBgr565(const uint32_t* s, uint8_t* d, int n) { ConvertRow16<Bgr565x4, PixelBgr565>(s, d, n); }
void ConvertRowRgb555(const uint32_t* s, uint8_t* d, int n) { ConvertRow16<Rgb555x4, PixelRgb555>(s, d, n); }
void ConvertRowBgr555(const uint32_t* s, uint8_t* d, int n) { ConvertRow16<Bgr555x4, PixelBgr555>(s, d, n); }
