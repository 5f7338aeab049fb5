// The renderer's texture table: 256 slots of 256 by 256 textures, addressed by texture id.
// Ids are handed out consecutively from 0 and never reused until the table is released.
#pragma once

#include <cstdint>

#include "resource/mem_chunk.h"
#include "resource/texture.h"
#include "resource/texture_ref.h"

constexpr int32_t TEXTURE_SLOTS = 256;
// Every registered texture has this width and height: the rasterizers step through texels
// as 256 per row.
constexpr int32_t TEXTURE_SIZE = 256;

struct TextureTable {
  Texture slots[TEXTURE_SLOTS];
  int32_t count;  // slots in use; the next id
};

extern TextureTable g_texture_table;

// Copies an image into the next slot and returns its id. An image that is not 256 by 256 is
// resampled to it (nearest neighbour) and a missing image (no pixels) becomes a black
// texture, so that every slot can be read as 256 rows of 256 texels. With all slots taken
// nothing is stored, a console line says so and -1 (no texture) is returned.
// bytes_per_pixel is always 4.
int32_t RegisterTexture(int32_t width, int32_t height, int32_t bytes_per_pixel,
                        const uint32_t* pixels);

// Decodes chunk (DecodePng consumes it), registers the image and records its id and the
// chunk's name (cut to 19 characters) in ref. Returns 1.
int LoadSceneTexture(TextureRef* ref, MemChunk chunk);

// Frees every slot's pixels and sets the count back to 0.
void ReleaseTextureTable();
// The same for a table that is not the renderer's (a reload's replaced one).
void FreeTextureTable(TextureTable* table);
