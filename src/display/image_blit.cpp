#include "display/image_blit.h"

#include <emmintrin.h>

#include <cstring>

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

void CopyRows(Texture* destination, const Texture* source, const BlitRect& r) {
  for (int64_t row = 0; row < r.height; ++row) {
    uint32_t* d = destination->pixels + (r.y + row) * destination->width + r.x;
    const uint32_t* s = source->pixels + (r.source_y + row) * source->width + r.source_x;
    std::memcpy(d, s, (size_t)r.width * sizeof(uint32_t));
  }
}

// Four pixels, each byte widened to a 16-bit lane: (d * (255 - a) + s * a) >> 8 per lane.
inline __m128i BlendWidened(__m128i d, __m128i s) {
  const __m128i c255 = _mm_set1_epi16(255);
  __m128i a = _mm_shufflelo_epi16(s, _MM_SHUFFLE(3, 3, 3, 3));
  a = _mm_shufflehi_epi16(a, _MM_SHUFFLE(3, 3, 3, 3));
  __m128i inverse = _mm_sub_epi16(c255, a);
  __m128i sum = _mm_adds_epu16(_mm_mullo_epi16(d, inverse), _mm_mullo_epi16(s, a));
  return _mm_srli_epi16(sum, 8);
}

// Four pixels at once: unpack to 16-bit lanes, blend, pack back.
inline __m128i BlendFour(__m128i d, __m128i s) {
  const __m128i zero = _mm_setzero_si128();
  __m128i lo = BlendWidened(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
  __m128i hi = BlendWidened(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
  return _mm_packus_epi16(lo, hi);
}

void BlendRow(uint32_t* d, const uint32_t* s, int64_t count, uint32_t tint, int32_t mode) {
  int64_t i = 0;
  if (mode == 0) {
    for (; i + 4 <= count; i += 4) {
      __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), BlendFour(dv, sv));
    }
  } else {
    const __m128i alpha_mask = _mm_set1_epi32((int)0xFF000000u);
    const __m128i tint_colour = _mm_set1_epi32((int)(tint & 0x00FFFFFFu));
    for (; i + 4 <= count; i += 4) {
      __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      sv = _mm_or_si128(_mm_and_si128(sv, alpha_mask), tint_colour);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), BlendFour(dv, sv));
    }
  }
  for (; i < count; ++i) d[i] = BlendPixel(d[i], s[i], tint, mode);
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
  for (int32_t row = 0; row < height; ++row) {
    uint32_t* d = destination->pixels + (int64_t)(y + row) * destination->width + x;
    const uint32_t* s = source->pixels + (int64_t)(source_y + row) * source->width + source_x;
    BlendRow(d, s, width, tint, mode);
  }
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
