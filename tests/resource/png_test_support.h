// Writes small PNG files in memory with libpng, for the decoder tests.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource/mem_chunk.h"

struct PngPicture {
  int width = 4;
  int height = 3;
  int color_type = PNG_COLOR_TYPE_RGB;
  int bit_depth = 8;
  bool interlaced = false;
  std::vector<png_color> palette;
  std::vector<uint8_t> transparency;  // tRNS: palette alphas
  // Packed rows exactly as PNG stores them (height rows of rowbytes each).
  std::vector<std::vector<uint8_t>> rows;
};

inline void AppendPngBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::string*>(png_get_io_ptr(png));
  out->append(reinterpret_cast<const char*>(data), length);
}

inline std::string EncodePng(const PngPicture& picture) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng could not write the test image";
    return std::string();
  }
  png_set_write_fn(png, &out, AppendPngBytes, nullptr);
  png_set_IHDR(png, info, picture.width, picture.height, picture.bit_depth, picture.color_type,
               picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!picture.palette.empty()) {
    png_set_PLTE(png, info, picture.palette.data(), (int)picture.palette.size());
  }
  if (!picture.transparency.empty()) {
    png_set_tRNS(png, info, picture.transparency.data(), (int)picture.transparency.size(), nullptr);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& row : picture.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A chunk holding a copy of bytes, as LoadFile would return it.
inline MemChunk ChunkOf(const std::string& bytes, const char* name) {
  MemChunk chunk = {};
  CopyNameField(chunk.name, sizeof chunk.name, name);
  chunk.size = (int32_t)bytes.size();
  if (!bytes.empty()) {
    chunk.data = new uint8_t[bytes.size()];
    std::memcpy(chunk.data, bytes.data(), bytes.size());
  }
  return chunk;
}
