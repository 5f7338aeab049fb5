#include "png_writer.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <stdexcept>

namespace assets {

namespace {

constexpr int BIT_DEPTH = 8;
// zlib's default level: the pictures are noisy and dithered, and levels above it cost several
// times the time for about one percent of size.
constexpr int PNG_COMPRESSION_LEVEL = 6;

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

}  // namespace

std::vector<uint8_t> EncodePng(const Canvas& canvas, PngKind kind) {
  int channels = kind == PngKind::RGBA ? 4 : 3;
  std::vector<uint8_t> pixels = QuantizeCanvas(canvas, channels);
  std::vector<png_bytep> rows(size_t(canvas.height));
  for (int y = 0; y < canvas.height; ++y) rows[size_t(y)] = &pixels[size_t(y) * size_t(canvas.width) * size_t(channels)];

  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    throw std::runtime_error("kra-assets: libpng cannot start (out of memory)");
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("kra-assets: libpng failed to encode an image");
  }
  png_set_write_fn(png, &out, AppendToVector, NoFlush);
  png_set_compression_level(png, PNG_COMPRESSION_LEVEL);
  png_set_IHDR(png, info, png_uint_32(canvas.width), png_uint_32(canvas.height), BIT_DEPTH,
               kind == PngKind::RGBA ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace assets
