#include "draw/canvas.h"

#include <algorithm>
#include <cmath>

namespace assets {

namespace {

// 4x4 Bayer matrix: thresholds spread evenly over one quantization step.
constexpr int DITHER_SIZE = 4;
constexpr float BAYER[DITHER_SIZE][DITHER_SIZE] = {
    {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
constexpr float BAYER_LEVELS = 16.0f;

float Clamp01(float v) { return std::clamp(v, 0.0f, 1.0f); }

uint8_t ToByte(float v, float dither) {
  float scaled = Clamp01(v) * 255.0f + dither;
  return uint8_t(std::clamp(std::floor(scaled), 0.0f, 255.0f));
}

}  // namespace

Color Mix(Color a, Color b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Color Scale(Color c, float brightness) { return {c.r * brightness, c.g * brightness, c.b * brightness, c.a}; }

Canvas MakeCanvas(int width, int height, Color fill) {
  Canvas canvas{width, height, {}};
  canvas.pixels.assign(size_t(width) * size_t(height), {fill.r * fill.a, fill.g * fill.a, fill.b * fill.a, fill.a});
  return canvas;
}

Color PixelAt(const Canvas& canvas, int x, int y) {
  if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return {0, 0, 0, 0};
  Color p = canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)];
  if (p.a <= 0.0f) return {0, 0, 0, 0};
  return {p.r / p.a, p.g / p.a, p.b / p.a, p.a};
}

void BlendPixel(Canvas& canvas, int x, int y, Color colour, float coverage) {
  if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
  float a = Clamp01(colour.a * coverage);
  if (a <= 0.0f) return;
  Color& d = canvas.pixels[size_t(y) * size_t(canvas.width) + size_t(x)];
  float keep = 1.0f - a;
  d = {colour.r * a + d.r * keep, colour.g * a + d.g * keep, colour.b * a + d.b * keep, a + d.a * keep};
}

Color Over(Color top, Color bottom) {
  float a = top.a + bottom.a * (1.0f - top.a);
  if (a <= 0.0f) return {0, 0, 0, 0};
  auto channel = [&](float t, float b) { return (t * top.a + b * bottom.a * (1.0f - top.a)) / a; };
  return {channel(top.r, bottom.r), channel(top.g, bottom.g), channel(top.b, bottom.b), a};
}

void DrawCanvas(Canvas& destination, const Canvas& source, int x, int y) {
  for (int sy = 0; sy < source.height; ++sy) {
    for (int sx = 0; sx < source.width; ++sx) {
      BlendPixel(destination, x + sx, y + sy, PixelAt(source, sx, sy), 1.0f);
    }
  }
}

std::vector<uint8_t> QuantizeCanvas(const Canvas& canvas, int channels) {
  std::vector<uint8_t> bytes;
  bytes.reserve(size_t(canvas.width) * size_t(canvas.height) * size_t(channels));
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      float dither = (BAYER[y % DITHER_SIZE][x % DITHER_SIZE] + 0.5f) / BAYER_LEVELS;
      Color c = PixelAt(canvas, x, y);
      if (channels == 3) c = Over(c, {0, 0, 0, 1});
      bytes.push_back(ToByte(c.r, dither));
      bytes.push_back(ToByte(c.g, dither));
      bytes.push_back(ToByte(c.b, dither));
      // Alpha is not dithered: fully opaque and fully clear areas must stay exact.
      if (channels == 4) bytes.push_back(uint8_t(std::lround(Clamp01(c.a) * 255.0f)));
    }
  }
  return bytes;
}

}  // namespace assets
