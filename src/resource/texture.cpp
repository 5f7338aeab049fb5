#include "resource/texture.h"

#include <cstddef>
#include <new>

namespace {
// The last serial given; one process makes far fewer than 2^64 images.
uint64_t g_last_texture_serial = 0;
}  // namespace

Texture CreateTexture(int32_t width, int32_t height) {
  Texture texture = {};
  if (width <= 0 || height <= 0) return texture;
  uint32_t* pixels = new (std::nothrow) uint32_t[(size_t)width * (size_t)height];
  if (!pixels) return texture;
  texture.width = width;
  texture.height = height;
  texture.pixels = pixels;
  texture.serial = ++g_last_texture_serial;
  return texture;
}

void FreeTexture(Texture* texture) {
  delete[] texture->pixels;
  *texture = {};
}
