// A decoded image: 32-bit pixels 0xAARRGGBB, row after row from the top, no padding.
// The frame's descriptor shares this layout, so every 2D operation takes a Texture as its
// destination as well as its source.
#pragma once

#include <cstdint>

struct Texture {
  int32_t width;
  int32_t height;
  uint32_t* pixels;   // width * height pixels, owned by whoever holds the record
  int32_t has_alpha;  // 1 when the image carries alpha; selects the blend path when drawn
  // Which image this is: every CreateTexture gives a new number, never given again in the
  // process, so a record of something drawn from an image (the frame's backdrop damage) is
  // not taken for another image that a freed buffer's address came back to. 0: made by hand.
  uint64_t serial = 0;
};

// width x height pixels with undefined contents, has_alpha 0, a new serial. Sizes that are
// not positive (or too large to allocate) give an empty Texture.
Texture CreateTexture(int32_t width, int32_t height);

// Releases the pixels (new[]) and leaves the Texture empty.
void FreeTexture(Texture* texture);
