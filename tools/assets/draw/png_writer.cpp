#include "draw/png_writer.h"

#include <stdexcept>

#include "resource/png_encode.h"

namespace assets {

namespace {

// zlib's default level: the pictures are noisy and dithered, and levels above it cost several
// times the time for about one percent of size.
constexpr int PNG_COMPRESSION_LEVEL = 6;

}  // namespace

std::vector<uint8_t> EncodePng(const Canvas& canvas, PngKind kind) {
  const int channels = kind == PngKind::RGBA ? 4 : 3;
  const std::vector<uint8_t> pixels = QuantizeCanvas(canvas, channels);
  std::vector<uint8_t> png = EncodePngRows(pixels.data(), canvas.width, canvas.height, channels,
                                           static_cast<size_t>(canvas.width) * channels, PNG_COMPRESSION_LEVEL);
  if (png.empty()) throw std::runtime_error("kra-assets: libpng failed to encode an image");
  return png;
}

}  // namespace assets
