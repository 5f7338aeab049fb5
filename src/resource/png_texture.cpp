#include "resource/png_texture.h"

#include <png.h>

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "platform/log.h"
#include "platform/message_box.h"
#include "resource/png_reuse.h"

// libpng is asked for B, G, R, A bytes, which are 0xAARRGGBB words only on a little-endian
// machine.
static_assert(std::endian::native == std::endian::little, "pixel words assume little endian");

Texture CreateTexture(int32_t width, int32_t height) {
  Texture texture = {};
  if (width <= 0 || height <= 0) return texture;
  uint32_t* pixels = new (std::nothrow) uint32_t[(size_t)width * (size_t)height];
  if (!pixels) return texture;
  texture.width = width;
  texture.height = height;
  texture.pixels = pixels;
  return texture;
}

void FreeTexture(Texture* texture) {
  delete[] texture->pixels;
  *texture = {};
}

namespace {

// Everything a decode allocates, kept outside the function that holds the libpng jump
// point, so that a longjmp back into it finds the values as they were last stored.
struct PngDecode {
  MemChunk* chunk;
  png_structp png;
  png_infop info;
  png_infop end_info;
  Texture texture;
  png_bytep* rows;
  char error[160];
};

void ReadPngFromChunk(png_structp png, png_bytep dst, png_size_t length) {
  auto* chunk = static_cast<MemChunk*>(png_get_io_ptr(png));
  int32_t got = 0;
  if (length > (png_size_t)INT32_MAX) png_error(png, "read request too large");
  MemRead(chunk, dst, (int32_t)length, &got);
  if ((png_size_t)got != length) png_error(png, "unexpected end of data (file truncated?)");
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
  auto* decode = static_cast<PngDecode*>(png_get_error_ptr(png));
  std::snprintf(decode->error, sizeof decode->error, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp png, png_const_charp message) {
  auto* decode = static_cast<PngDecode*>(png_get_error_ptr(png));
  LogDebug("%s: libpng warning: %s", decode->chunk->name, message);
}

// Asks libpng for 8-bit B, G, R, A whatever the file holds.
void SetPixelTransforms(png_structp png, png_infop info) {
  int bit_depth = png_get_bit_depth(png, info);
  int color_type = png_get_color_type(png, info);
  if (color_type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (color_type == PNG_COLOR_TYPE_GRAY && bit_depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  // An RGB image's transparent colour is not honoured: such images are drawn opaque, by copy.
  if (png_get_valid(png, info, PNG_INFO_tRNS) && color_type != PNG_COLOR_TYPE_RGB) png_set_tRNS_to_alpha(png);
  if (bit_depth == 16) png_set_strip_16(png);
  if (!(color_type & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
  png_set_filler(png, 0xff, PNG_FILLER_AFTER);  // only takes effect without alpha
  png_set_bgr(png);
  png_set_interlace_handling(png);
}

// The decoder needs IHDR, PLTE, tRNS, IDAT and IEND only. libpng reads a text, palette
// suggestion or calibration chunk whole into memory before checking it, so a 44-byte file
// declaring a chunk of 2 GiB would cost 2 GiB: every ancillary chunk but tRNS is skipped
// unread, and no single chunk may ask for more than MAX_PNG_CHUNK_BYTES.
void LimitChunks(png_structp png) {
  // -1: the known ancillary chunks but tRNS, and every unknown one.
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
  png_set_chunk_malloc_max(png, MAX_PNG_CHUNK_BYTES);
  png_set_chunk_cache_max(png, 64);
  png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
}

// The libpng calls of a decode. Returns 0 after a libpng error; the caller frees.
int RunPngDecode(PngDecode* d) {
  if (setjmp(png_jmpbuf(d->png))) return 0;

  // A missing file arrives as an empty chunk; say so rather than "truncated".
  if (d->chunk->size == 0) png_error(d->png, "no data (the file is missing or empty)");
  LimitChunks(d->png);
  png_set_read_fn(d->png, d->chunk, ReadPngFromChunk);
  png_read_info(d->png, d->info);
  png_uint_32 width = png_get_image_width(d->png, d->info);
  png_uint_32 height = png_get_image_height(d->png, d->info);
  // A long, thin image is fine; what counts is the memory its pixels take.
  if ((uint64_t)width * height * 4 > (uint64_t)MAX_PNG_PIXEL_BYTES) {
    char why[96];
    std::snprintf(why, sizeof why, "image of %ux%u pixels is larger than %d MiB decoded", (unsigned)width,
                  (unsigned)height, (int)(MAX_PNG_PIXEL_BYTES >> 20));
    png_error(d->png, why);
  }
  SetPixelTransforms(d->png, d->info);
  png_read_update_info(d->png, d->info);
  if (png_get_rowbytes(d->png, d->info) != (png_size_t)width * 4) {
    png_error(d->png, "unexpected row layout after conversion");
  }

  d->texture = CreateTexture((int32_t)width, (int32_t)height);
  d->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!d->texture.pixels || !d->rows) png_error(d->png, "out of memory for the image");
  for (png_uint_32 y = 0; y < height; ++y) {
    d->rows[y] = reinterpret_cast<png_bytep>(d->texture.pixels + (size_t)y * width);
  }
  png_read_image(d->png, d->rows);
  png_read_end(d->png, d->end_info);
  d->texture.has_alpha = (png_get_color_type(d->png, d->info) & PNG_COLOR_MASK_ALPHA) ? 1 : 0;
  return 1;
}

}  // namespace

Texture DecodePng(MemChunk chunk) {
  if (Texture reused = ReusedDecode(chunk); reused.pixels) {
    FreeChunk(&chunk);
    return reused;
  }
  PngDecode decode = {};
  decode.chunk = &chunk;
  decode.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &decode, OnPngError, OnPngWarning);
  if (decode.png) decode.info = png_create_info_struct(decode.png);
  if (decode.png) decode.end_info = png_create_info_struct(decode.png);
  if (!decode.png || !decode.info || !decode.end_info) {
    png_destroy_read_struct(&decode.png, &decode.info, &decode.end_info);
    FreeChunk(&chunk);
    ShowMessageBox("PNG:  Out of Memory", " ");
    return Texture{};
  }

  int ok = RunPngDecode(&decode);
  png_destroy_read_struct(&decode.png, &decode.info, &decode.end_info);
  std::free(decode.rows);
  if (ok) KeepDecode(chunk, decode.texture);
  FreeChunk(&chunk);
  if (!ok) {
    std::fprintf(stderr, "%s: libpng error: %s\n", chunk.name, decode.error);
    FreeTexture(&decode.texture);
  }
  return decode.texture;
}
