// Pixels and Bresenham lines into the frame.
#include "render/lines.h"

#include <cmath>
#include <cstdlib>
#include <utility>

uint32_t PackColor(int32_t r, int32_t g, int32_t b, int32_t a) {
  return ((uint32_t)(a & 0xFF) << 24) | ((uint32_t)(r & 0xFF) << 16) | ((uint32_t)(g & 0xFF) << 8) |
         (uint32_t)(b & 0xFF);
}

void PutPixel(const Texture* frame, int32_t x, int32_t y, uint32_t colour) {
  if (x < 0 || y < 0 || x >= frame->width || y >= frame->height || !frame->pixels) return;
  frame->pixels[(size_t)y * frame->width + x] = colour;
}

void PutPixel(const FrameView* frame, int32_t x, int32_t y, uint32_t colour) {
  if (x < 0 || y < 0 || x >= frame->width || y >= frame->height || !frame->pixels) return;
  frame->pixels[(size_t)y * frame->pitch + x] = colour;
}

// The major axis is x when it is at least as long as y. The walk runs from the end with the
// smaller major coordinate; the part before the frame is stepped over in one go and the
// walk stops once it has left the frame for good, so even a line between the far ends of
// the int range costs no more than the frame's width or height.
void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour) {
  const FrameView* frame = &g_render.frame;
  const int64_t dx = std::llabs((int64_t)x1 - x0);
  const int64_t dy = std::llabs((int64_t)y1 - y0);
  const bool x_major = dx >= dy;
  int64_t major0 = x_major ? x0 : y0, minor0 = x_major ? y0 : x0;
  int64_t major1 = x_major ? x1 : y1, minor1 = x_major ? y1 : x1;
  if (major0 > major1) {
    std::swap(major0, major1);
    std::swap(minor0, minor1);
  }
  const int64_t major_extent = x_major ? dx : dy;
  const int64_t minor_extent = x_major ? dy : dx;
  const int64_t step = minor1 > minor0 ? 1 : (minor1 < minor0 ? -1 : 0);
  const int64_t major_limit = x_major ? frame->width : frame->height;
  int64_t e = 2 * minor_extent - major_extent;
  int64_t minor = minor0;
  int64_t major = major0;
  if (major < 0 && major1 >= 0) {
    // After k steps the minor coordinate has moved floor((2 minor k + major) / (2 major))
    // times; e follows from that count.
    const __int128 k = -major;
    const __int128 moves = (2 * (__int128)minor_extent * k + major_extent) / (2 * (__int128)major_extent);
    minor += step * (int64_t)moves;
    e = (int64_t)(2 * (__int128)minor_extent * (k + 1) - major_extent - 2 * (__int128)major_extent * moves);
    major = 0;
  }
  for (; major <= major1 && major < major_limit; ++major) {
    const int64_t x = x_major ? major : minor, y = x_major ? minor : major;
    if (x >= 0 && y >= 0 && x < frame->width && y < frame->height) {
      PutPixel(frame, (int32_t)x, (int32_t)y, colour);
    }
    if (e < 0) {
      e += 2 * minor_extent;
    } else {
      minor += step;
      e += 2 * (minor_extent - major_extent);
    }
  }
}

// Screen positions far outside any frame (or NaN) would not convert to int; such outlines
// are not drawn. RenderScene only outlines triangles inside the frame.
static bool ConvertibleCorner(const RenderVertex& c) {
  return std::fabs(c.sx) < 65536.0f && std::fabs(c.sy) < 65536.0f;
}

void DrawOutline(const RenderVertex triangle[3], uint32_t colour) {
  for (int k = 0; k < 3; ++k) {
    if (!ConvertibleCorner(triangle[k])) return;
  }
  for (int k = 0; k < 3; ++k) {
    const RenderVertex& a = triangle[k];
    const RenderVertex& b = triangle[(k + 1) % 3];
    DrawLine((int32_t)a.sx, (int32_t)a.sy, (int32_t)b.sx, (int32_t)b.sy, colour);
  }
}
