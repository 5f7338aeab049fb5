#include "display/image_blit.h"

#include "platform/sse2.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define KRA_BLEND_AVX2 1
#define KRA_AVX2 __attribute__((target("avx2")))
#endif

void DrawImage(Texture* destination, const Texture* source, int32_t x, int32_t y) {
  BlitImage(destination, source, x, y, 0, 0, 0, 0, 0xFFFFFFFFu, 0);
}

namespace {

// A transfer rectangle; 64-bit so that clipping arithmetic on far-away positions cannot wrap.
struct BlitRect {
  int64_t x, y, source_x, source_y, width, height;
};

// Cuts the rectangle to the part that lies inside the source, moving the destination
// position with it so every pixel still lands where it would have. For a whole-image draw
// this changes nothing.
void ClipToSource(const Texture& source, BlitRect* r) {
  if (r->source_x < 0) {
    r->x -= r->source_x;
    r->width += r->source_x;
    r->source_x = 0;
  }
  if (r->source_y < 0) {
    r->y -= r->source_y;
    r->height += r->source_y;
    r->source_y = 0;
  }
  if (r->source_x + r->width > source.width) r->width = source.width - r->source_x;
  if (r->source_y + r->height > source.height) r->height = source.height - r->source_y;
}

// The destination clip: right, left, bottom, top, in that order.
void ClipToDestination(const Texture& destination, BlitRect* r) {
  if (r->x + r->width > destination.width) r->width = destination.width - r->x;
  if (r->x < 0) {
    r->source_x -= r->x;
    r->width += r->x;
    r->x = 0;
  }
  if (r->y + r->height > destination.height) r->height = destination.height - r->y;
  if (r->y < 0) {
    r->height += r->y;
    r->source_y -= r->y;
    r->y = 0;
  }
}

// One row of words, 16 at a time through SSE2 registers, the rest one by one. For rows of
// a few hundred pixels this beats a memcpy call per row.
void CopyRow(uint32_t* d, const uint32_t* s, int64_t count) {
  int64_t i = 0;
  // Stores to whole 16-byte lines; the loads take whatever alignment the source column has.
  for (; i < count && (reinterpret_cast<uintptr_t>(d + i) & 15) != 0; ++i) d[i] = s[i];
  for (; i + 16 <= count; i += 16) {
    __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 4));
    __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8));
    __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 12));
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i), a);
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 4), b);
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 8), c);
    _mm_store_si128(reinterpret_cast<__m128i*>(d + i + 12), e);
  }
  for (; i < count; ++i) d[i] = s[i];
}

void CopyRows(Texture* destination, const Texture* source, const BlitRect& r) {
  if (r.width == destination->width && r.width == source->width) {
    std::memcpy(destination->pixels + r.y * destination->width, source->pixels + r.source_y * source->width,
                static_cast<size_t>(r.width * r.height) * sizeof(uint32_t));
    return;
  }
  for (int64_t row = 0; row < r.height; ++row) {
    uint32_t* d = destination->pixels + (r.y + row) * destination->width + r.x;
    const uint32_t* s = source->pixels + (r.source_y + row) * source->width + r.source_x;
    CopyRow(d, s, r.width);
  }
}

// Four pixels in 16-bit lanes, two channels per pixel at a time: blue and red in the low
// bytes of the words, green and alpha shifted down into them. Each lane computes
// (d * (255 - a) + s * a), at most 65025, so it cannot overflow; the results are shifted
// right by 8 and merged back into bytes without any shuffling.
inline __m128i BlendFourLanes(__m128i d, __m128i s) {
  const __m128i low_bytes = _mm_set1_epi32(0x00FF00FF);
  __m128i a = _mm_srli_epi32(s, 24);
  a = _mm_or_si128(a, _mm_slli_epi32(a, 16));  // the pixel's alpha in both of its words
  __m128i inverse = _mm_xor_si128(a, low_bytes);  // 255 - a
  __m128i blue_red = _mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(d, low_bytes), inverse),
                                   _mm_mullo_epi16(_mm_and_si128(s, low_bytes), a));
  __m128i green_alpha = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(d, 8), inverse),
                                      _mm_mullo_epi16(_mm_srli_epi16(s, 8), a));
  return _mm_or_si128(_mm_srli_epi16(blue_red, 8), _mm_andnot_si128(low_bytes, green_alpha));
}

// Four pixels at once. With a = 0 every byte becomes (d * 255) >> 8 and with a = 255
// (s * 255) >> 8, both of which are v - 1 for v > 0 and 0 for v = 0: a saturating byte
// subtract of 1, taken whenever all four pixels share one of those alphas (the transparent
// and opaque runs of sprites). The alpha bytes' top bits rule most groups out at once.
inline __m128i BlendFour(__m128i d, __m128i s) {
  const __m128i one = _mm_set1_epi8(1);
  const int alpha_top_bits = _mm_movemask_epi8(s) & 0x8888;
  if (alpha_top_bits == 0) {
    __m128i transparent = _mm_cmpeq_epi32(_mm_srli_epi32(s, 24), _mm_setzero_si128());
    if (_mm_movemask_epi8(transparent) == 0xFFFF) return _mm_subs_epu8(d, one);
  } else if (alpha_top_bits == 0x8888) {
    __m128i opaque = _mm_cmpeq_epi32(_mm_srai_epi32(s, 24), _mm_set1_epi32(-1));
    if (_mm_movemask_epi8(opaque) == 0xFFFF) return _mm_subs_epu8(s, one);
  }
  return BlendFourLanes(d, s);
}

// d := under blended with s, under being d itself or the row of another image the same
// length (the backdrop under a strip, composed straight into the frame).
void BlendRow(uint32_t* d, const uint32_t* under, const uint32_t* s, int64_t count, uint32_t tint, int32_t mode) {
  // Mode 0 keeps the source colour (all bits pass the mask); other modes keep only the
  // source alpha and take the colour from the tint.
  const __m128i keep = _mm_set1_epi32(mode == 0 ? -1 : (int)0xFF000000u);
  const __m128i colour = _mm_set1_epi32(mode == 0 ? 0 : (int)(tint & 0x00FFFFFFu));
  int64_t i = 0;
  for (; i + 4 <= count; i += 4) {
    __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(under + i));
    __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
    sv = _mm_or_si128(_mm_and_si128(sv, keep), colour);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), BlendFour(dv, sv));
  }
  for (; i < count; ++i) d[i] = BlendPixel(under[i], s[i], tint, mode);
}

#ifdef KRA_BLEND_AVX2

// BlendFourLanes on eight pixels: the same 16-bit lane arithmetic in registers twice as wide.
KRA_AVX2 inline __m256i BlendEightLanes(__m256i d, __m256i s) {
  const __m256i low_bytes = _mm256_set1_epi32(0x00FF00FF);
  __m256i a = _mm256_srli_epi32(s, 24);
  a = _mm256_or_si256(a, _mm256_slli_epi32(a, 16));
  const __m256i inverse = _mm256_xor_si256(a, low_bytes);
  const __m256i blue_red = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_and_si256(d, low_bytes), inverse),
                                            _mm256_mullo_epi16(_mm256_and_si256(s, low_bytes), a));
  const __m256i green_alpha = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_srli_epi16(d, 8), inverse),
                                               _mm256_mullo_epi16(_mm256_srli_epi16(s, 8), a));
  return _mm256_or_si256(_mm256_srli_epi16(blue_red, 8), _mm256_andnot_si256(low_bytes, green_alpha));
}

// Eight pixels a step. The transparent and opaque runs that make up most of a sprite are
// told by one test of the eight alpha bytes each (all clear, all set) and come out as the
// saturating subtract of 1 that BlendFour takes for them; an opaque group does not even
// read the destination. The row's last few pixels go through the SSE2 form.
// Pixels ahead of the one blended whose source line is asked for early: the strips come from
// further than the destination rows, which were drawn just before.
constexpr int64_t kPrefetchAhead = 256;

template <bool kTinted>
KRA_AVX2 void BlendRowAvx2(uint32_t* d, const uint32_t* under, const uint32_t* s, int64_t count, uint32_t tint,
                           int32_t mode) {
  const __m256i alpha = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i colour = _mm256_set1_epi32(static_cast<int>(tint & 0x00FFFFFFu));
  const __m256i one = _mm256_set1_epi8(1);
  int64_t i = 0;
  for (; i + 8 <= count; i += 8) {
    __builtin_prefetch(s + i + kPrefetchAhead);
    __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
    if constexpr (kTinted) sv = _mm256_or_si256(_mm256_and_si256(sv, alpha), colour);
    __m256i result;
    if (_mm256_testz_si256(sv, alpha)) {
      result = _mm256_subs_epu8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(under + i)), one);
    } else if (_mm256_testc_si256(sv, alpha)) {
      result = _mm256_subs_epu8(sv, one);
    } else {
      result = BlendEightLanes(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(under + i)), sv);
    }
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + i), result);
  }
  BlendRow(d + i, under + i, s + i, count - i, tint, mode);
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#endif

// A row of the destination blended from under's pixels at the same place (under is the
// destination itself, or an image of its size).
template <bool kAvx2>
void BlendOneRow(uint32_t* d, const uint32_t* under, const uint32_t* s, int64_t count, uint32_t tint, int32_t mode) {
#ifdef KRA_BLEND_AVX2
  if constexpr (kAvx2) {
    if (mode == 0) {
      BlendRowAvx2<false>(d, under, s, count, tint, mode);
    } else {
      BlendRowAvx2<true>(d, under, s, count, tint, mode);
    }
    return;
  }
#endif
  BlendRow(d, under, s, count, tint, mode);
}

template <bool kAvx2>
void BlendRows(Texture* destination, const Texture* source, int32_t x, int32_t y, int32_t source_x, int32_t source_y,
               int32_t width, int32_t height, uint32_t tint, int32_t mode) {
  for (int32_t row = 0; row < height; ++row) {
    uint32_t* d = destination->pixels + (int64_t)(y + row) * destination->width + x;
    const uint32_t* s = source->pixels + (int64_t)(source_y + row) * source->width + source_x;
    BlendOneRow<kAvx2>(d, d, s, width, tint, mode);
  }
}

// Whole rows of the destination: under's pixels, with the clipped rectangle r of the source
// blended over them.
template <bool kAvx2>
void ComposeRows(Texture* destination, const Texture* under, const Texture* source, const BlitRect& r) {
  const int64_t width = destination->width;
  for (int64_t row = 0; row < r.height; ++row) {
    uint32_t* d = destination->pixels + (r.y + row) * width;
    const uint32_t* u = under->pixels + (r.y + row) * under->width;
    const uint32_t* s = source->pixels + (r.source_y + row) * source->width + r.source_x;
    CopyRow(d, u, r.x);
    BlendOneRow<kAvx2>(d + r.x, u + r.x, s, r.width, 0xFFFFFFFFu, 0);
    CopyRow(d + r.x + r.width, u + r.x + r.width, width - r.x - r.width);
  }
}

bool BlendAvx2() {
#ifdef KRA_BLEND_AVX2
  return HasAvx2();
#else
  return false;
#endif
}

}  // namespace

uint32_t BlendPixel(uint32_t d, uint32_t s, uint32_t tint, int32_t mode) {
  if (mode != 0) s = (s & 0xFF000000u) | (tint & 0x00FFFFFFu);
  uint32_t a = s >> 24;
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    uint32_t db = (d >> shift) & 0xFF;
    uint32_t sb = (s >> shift) & 0xFF;
    out |= ((db * (255 - a) + sb * a) >> 8) << shift;
  }
  return out;
}

void BlendImage(Texture* destination, const Texture* source, int32_t x, int32_t y,
                int32_t source_x, int32_t source_y, int32_t width, int32_t height, uint32_t tint,
                int32_t mode) {
  if (BlendAvx2()) {
    BlendRows<true>(destination, source, x, y, source_x, source_y, width, height, tint, mode);
  } else {
    BlendRows<false>(destination, source, x, y, source_x, source_y, width, height, tint, mode);
  }
}

void BlendImageSse2(Texture* destination, const Texture* source, int32_t x, int32_t y, int32_t source_x,
                    int32_t source_y, int32_t width, int32_t height, uint32_t tint, int32_t mode) {
  BlendRows<false>(destination, source, x, y, source_x, source_y, width, height, tint, mode);
}

void BlendImageScalar(Texture* destination, const Texture* source, int32_t x, int32_t y,
                      int32_t source_x, int32_t source_y, int32_t width, int32_t height,
                      uint32_t tint, int32_t mode) {
  for (int32_t row = 0; row < height; ++row) {
    uint32_t* d = destination->pixels + (int64_t)(y + row) * destination->width + x;
    const uint32_t* s = source->pixels + (int64_t)(source_y + row) * source->width + source_x;
    for (int32_t i = 0; i < width; ++i) d[i] = BlendPixel(d[i], s[i], tint, mode);
  }
}

void BlitImage(Texture* destination, const Texture* source, int32_t x, int32_t y,
               int32_t source_x, int32_t source_y, int32_t width, int32_t height, uint32_t tint,
               int32_t mode) {
  if (width == 0 || height == 0) {
    width = source->width;
    height = source->height;
  }
  BlitRect r = {x, y, source_x, source_y, width, height};
  ClipToSource(*source, &r);
  ClipToDestination(*destination, &r);
  if (r.width <= 0 || r.height <= 0) return;
  if (source->has_alpha == 0) {
    CopyRows(destination, source, r);
  } else {
    BlendImage(destination, source, (int32_t)r.x, (int32_t)r.y, (int32_t)r.source_x,
               (int32_t)r.source_y, (int32_t)r.width, (int32_t)r.height, tint, mode);
  }
}

RowSpan ImageRows(const Texture& destination, const Texture& source, int32_t y) {
  const int64_t top = std::clamp<int64_t>(y, 0, destination.height);
  const int64_t bottom = std::clamp<int64_t>(static_cast<int64_t>(y) + source.height, top, destination.height);
  return {static_cast<int32_t>(top), static_cast<int32_t>(bottom)};
}

RowSpan DrawImageOver(Texture* destination, const Texture* under, const Texture* source, int32_t x, int32_t y) {
  if (!source->has_alpha || !under->pixels || under->width < destination->width ||
      under->height < destination->height) {
    return {0, 0};
  }
  BlitRect r = {x, y, 0, 0, source->width, source->height};
  ClipToSource(*source, &r);
  ClipToDestination(*destination, &r);
  if (r.width <= 0 || r.height <= 0) return {0, 0};
  if (BlendAvx2()) {
    ComposeRows<true>(destination, under, source, r);
  } else {
    ComposeRows<false>(destination, under, source, r);
  }
  return {static_cast<int32_t>(r.y), static_cast<int32_t>(r.y + r.height)};
}
