// Decoding PNG files into Textures (32-bit 0xAARRGGBB pixels) with libpng.
#pragma once

#include <cstdint>

#include "resource/mem_chunk.h"
#include "resource/texture.h"

// Largest decoded image (4 bytes a pixel) accepted from a PNG header, whatever its shape;
// larger images are refused before any pixel memory is allocated. The demo's images are at
// most a few hundred pixels on a side.
constexpr int64_t MAX_PNG_PIXEL_BYTES = int64_t(256) << 20;
// Largest single chunk libpng may allocate for (IDAT is streamed and not bound by it).
constexpr int64_t MAX_PNG_CHUNK_BYTES = int64_t(8) << 20;


// Decodes a PNG chunk of any colour type, bit depth and interlacing into a Texture: grey is
// spread to R, G and B, palettes are expanded, a transparency chunk becomes alpha, 16-bit
// channels keep their high byte, and images without alpha get A = 255. has_alpha is 1 when
// the decoded image carries alpha (an alpha channel or a transparency chunk).
//
// The chunk is consumed: its data is freed whatever the outcome. On any error (corrupt,
// truncated or empty data, absurd dimensions) the chunk's name and libpng's message are
// printed and an empty Texture (width and height 0, no pixels) is returned.
Texture DecodePng(MemChunk chunk);
