// The drawing surface every image generator paints on: float RGBA, premultiplied, so layers
// composite with plain "source over" and transparent regions keep clean edges. Images are
// quantized to 8 bits only when they are encoded (png_writer.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace assets {

struct Color {
  float r, g, b, a;  // straight (not premultiplied) components, 0..1
};

// 0xRRGGBB as written in a paint program, with an optional opacity.
constexpr Color Hex(uint32_t rgb, float alpha = 1.0f) {
  return {float((rgb >> 16) & 0xFF) / 255.0f, float((rgb >> 8) & 0xFF) / 255.0f,
          float(rgb & 0xFF) / 255.0f, alpha};
}

Color Mix(Color a, Color b, float t);
constexpr Color WithAlpha(Color c, float alpha) { return {c.r, c.g, c.b, alpha}; }
Color Scale(Color c, float brightness);  // rgb only

struct Canvas {
  int width;
  int height;
  std::vector<Color> pixels;  // premultiplied, row after row from the top
};

Canvas MakeCanvas(int width, int height, Color fill);
Color PixelAt(const Canvas& canvas, int x, int y);  // straight colour; outside gives transparent
// Source-over of a straight colour whose alpha is further scaled by coverage; ignores pixels
// outside the canvas.
void BlendPixel(Canvas& canvas, int x, int y, Color colour, float coverage);
// Paints source over destination, both straight; returns straight.
Color Over(Color top, Color bottom);

// Calls shade(x + 0.5, y + 0.5) for every pixel of the canvas and stores what it returns.
template <class Shader>
void ShadeEvery(Canvas& canvas, Shader shade) {
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      Color c = shade(float(x) + 0.5f, float(y) + 0.5f);
      canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)] = {c.r * c.a, c.g * c.a, c.b * c.a, c.a};
    }
  }
}

// Blends shade(x + 0.5, y + 0.5) over every pixel of the box [x0, x1) x [y0, y1), clipped.
template <class Shader>
void PaintBox(Canvas& canvas, int x0, int y0, int x1, int y1, Shader shade) {
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > canvas.width) x1 = canvas.width;
  if (y1 > canvas.height) y1 = canvas.height;
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      Color c = shade(float(x) + 0.5f, float(y) + 0.5f);
      if (c.a > 0.0f) BlendPixel(canvas, x, y, c, 1.0f);
    }
  }
}

// Draws one canvas over another with its top-left corner at (x, y).
void DrawCanvas(Canvas& destination, const Canvas& source, int x, int y);

// Quantizes to 8 bits per channel, straight alpha, with a fixed ordered dither so that long
// soft gradients do not band. channels is 3 (RGB, alpha dropped) or 4 (RGBA).
std::vector<uint8_t> QuantizeCanvas(const Canvas& canvas, int channels);

}  // namespace assets
