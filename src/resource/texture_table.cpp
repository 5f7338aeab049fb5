#include "resource/texture_table.h"

#include <cstdio>
#include <cstring>

#include "platform/log.h"
#include "resource/png_texture.h"

TextureTable g_texture_table;

// Nearest-neighbour resample of a width x height image into a TEXTURE_SIZE square.
static void ResampleToSlot(int32_t width, int32_t height, const uint32_t* pixels, uint32_t* dst) {
  for (int32_t y = 0; y < TEXTURE_SIZE; ++y) {
    const uint32_t* src_row = pixels + (size_t)((int64_t)y * height / TEXTURE_SIZE) * width;
    for (int32_t x = 0; x < TEXTURE_SIZE; ++x) {
      dst[y * TEXTURE_SIZE + x] = src_row[(int64_t)x * width / TEXTURE_SIZE];
    }
  }
}

int32_t RegisterTexture(int32_t width, int32_t height, int32_t bytes_per_pixel,
                        const uint32_t* pixels) {
  TextureTable& table = g_texture_table;
  if (table.count >= TEXTURE_SLOTS) {
    std::fprintf(stderr, "\nTexture table full: all %d textures in use, texture not registered!\n",
                TEXTURE_SLOTS);
    return -1;
  }
  Texture slot = CreateTexture(TEXTURE_SIZE, TEXTURE_SIZE);
  if (!slot.pixels) {
    std::fprintf(stderr, "\nOut of memory for texture %d!\n", table.count);
    return -1;
  }
  const size_t texels = (size_t)TEXTURE_SIZE * TEXTURE_SIZE;
  int32_t id = table.count;
  if (!pixels || width <= 0 || height <= 0) {
    LogDebug("texture %d: no image, registered black", id);
    std::memset(slot.pixels, 0, texels * sizeof(uint32_t));
  } else if (width == TEXTURE_SIZE && height == TEXTURE_SIZE) {
    std::memcpy(slot.pixels, pixels, texels * sizeof(uint32_t));
  } else {
    LogDebug("texture %d: %dx%d resampled to %dx%d", id, width, height, TEXTURE_SIZE, TEXTURE_SIZE);
    ResampleToSlot(width, height, pixels, slot.pixels);
  }
  table.slots[id] = slot;
  table.count = id + 1;
  return id;
}

int LoadSceneTexture(TextureRef* ref, MemChunk chunk) {
  Texture texture = DecodePng(chunk);
  CopyNameField(ref->name, sizeof ref->name, chunk.name);
  ref->id = RegisterTexture(texture.width, texture.height, 4, texture.pixels);
  LogDebug("texture %d from %s", ref->id, chunk.name);
  FreeTexture(&texture);
  return 1;
}

void FreeTextureTable(TextureTable* table) {
  for (int32_t i = 0; i < table->count; ++i) FreeTexture(&table->slots[i]);
  table->count = 0;
}

void ReleaseTextureTable() { FreeTextureTable(&g_texture_table); }
