// A single-channel coverage image placed somewhere on a canvas: glyphs are rendered into one,
// then grown into outlines and blurred into shadows before they are painted.
#pragma once

#include <vector>

#include "draw/canvas.h"

namespace assets {

struct Mask {
  int x0, y0;  // canvas position of the mask's top-left pixel
  int width, height;
  std::vector<float> value;  // coverage 0..1, row after row
};

Mask MakeMask(int x0, int y0, int width, int height);
float MaskAt(const Mask& mask, int canvas_x, int canvas_y);  // 0 outside
// Adds coverage (clamped to 1) at a canvas position; ignores positions outside the mask.
void AddToMask(Mask& mask, int canvas_x, int canvas_y, float coverage);

// Grows the shape by radius pixels (a round pen), keeping soft edges soft.
Mask DilateMask(const Mask& mask, float radius);
// Three box passes each way, close to a Gaussian of the given radius.
Mask BlurMask(const Mask& mask, int radius);

// Paints colour through the mask, shifted by (dx, dy); shade gives the colour per pixel.
template <class Shader>
void PaintMask(Canvas& canvas, const Mask& mask, int dx, int dy, Shader shade) {
  for (int y = 0; y < mask.height; ++y) {
    for (int x = 0; x < mask.width; ++x) {
      float coverage = mask.value[size_t(y) * size_t(mask.width) + size_t(x)];
      if (coverage <= 0.0f) continue;
      int cx = mask.x0 + x + dx, cy = mask.y0 + y + dy;
      BlendPixel(canvas, cx, cy, shade(float(cx) + 0.5f, float(cy) + 0.5f), coverage);
    }
  }
}

}  // namespace assets
