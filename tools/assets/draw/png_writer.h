// PNG encoding into memory with libpng. Only IHDR, IDAT and IEND are written (no time stamp,
// no text chunks) at a fixed compression setting, so the same canvas always gives the same
// bytes.
#pragma once

#include <cstdint>
#include <vector>

#include "draw/canvas.h"

namespace assets {

enum class PngKind { RGB, RGBA };

std::vector<uint8_t> EncodePng(const Canvas& canvas, PngKind kind);

}  // namespace assets
