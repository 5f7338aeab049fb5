// The plain form of the blend modes: every byte on its own, as the formulas read.
#include "render/blend.h"

namespace {

uint32_t Byte(uint32_t pixel, int i) { return (pixel >> (8 * i)) & 0xFF; }

uint32_t Min255(uint32_t value) { return value > 255 ? 255 : value; }

uint32_t Min65535(uint32_t value) { return value > 65535 ? 65535 : value; }

// (d x (255 - w) + s x w) >> 8 with the sum saturated at 16 bits, as the packed lanes do it.
uint32_t Weighted(uint32_t d, uint32_t s, uint32_t w) { return Min65535(d * (255 - w) + s * w) >> 8; }

// Byte i of the source that weighs byte i in mode 3: blue and red swap places.
constexpr int kSwappedWeight[4] = {2, 1, 0, 3};

uint32_t BlendByte(int32_t mode, uint32_t d, uint32_t source, int i) {
  const uint32_t s = Byte(source, i);
  const uint32_t a = Byte(source, 3);
  switch (mode) {
    case 0: return (d * s) >> 8;
    case 1: return Min255(((d * s) >> 8) + s);
    case 2: return (d + s) >> 1;
    case 3: return Weighted(d, s, Byte(source, kSwappedWeight[i]));
    case 5: return s > d ? s - d : 0;
    case 6: return Weighted(d, s, a);
    case 7: return Min255(Weighted(d, s, a) + ((d * a) >> 8));
    default: return d;
  }
}

}  // namespace

void BlendPixel(int32_t mode, uint32_t* destination, uint32_t source) {
  const uint32_t inverted = ~*destination;
  uint32_t result = 0;
  for (int i = 0; i < 4; ++i) {
    result |= BlendByte(mode, Byte(inverted, i), source, i) << (8 * i);
  }
  *destination = result;
}
