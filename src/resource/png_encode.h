// PNG encoding into memory, for the tools that write images (the content tool, captures).
// Only IHDR, IDAT and IEND are written: no time stamp or text, so the same pixels always
// give the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Encodes height rows of width 8-bit pixels, stride bytes apart, with 3 (R, G, B) or 4
// (R, G, B, A) channels, at the given zlib level. Empty when libpng fails.
std::vector<uint8_t> EncodePngRows(const uint8_t* pixels, int width, int height, int channels, size_t stride,
                                   int compression_level);
