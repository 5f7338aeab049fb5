// Bresenham lines and pixels into the frame.
#include <climits>
#include <cstdlib>
#include <set>
#include <utility>

#include "render/lines.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

using Points = std::set<std::pair<int64_t, int64_t>>;

// The walk written out step by step from the end with the smaller major coordinate, as
// (major, minor) points turned back into (x, y).
Points ReferenceLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
  const bool x_major = std::llabs(x1 - x0) >= std::llabs(y1 - y0);
  if (!x_major) std::swap(x0, y0), std::swap(x1, y1);
  if (x0 > x1) std::swap(x0, x1), std::swap(y0, y1);
  const int64_t ma = x1 - x0, mi = std::llabs(y1 - y0), step = (y1 > y0) - (y1 < y0);
  Points points;
  for (int64_t x = x0, y = y0, e = 2 * mi - ma; x <= x1; ++x) {
    const int64_t px = x_major ? x : y, py = x_major ? y : x;
    if (px >= 0 && py >= 0 && px < 512 && py < 384) points.insert({px, py});
    e < 0 ? (e += 2 * mi) : (y += step, e += 2 * (mi - ma));
  }
  return points;
}

TEST_F(RenderTest, LinesMatchTheStepByStepWalk) {
  const int32_t lines[][4] = {{0, 0, 3, 1},        {3, 1, 0, 0},        {10, 10, 10, 10},  {5, 0, 5, 383},
                              {-5000, -1234, 300, 200}, {700, 390, -9000, -77}, {-40, 500, 100, -3000},
                              {511, 383, -1, -1},  {-100000, 7, 100000, 9}};
  for (const auto& l : lines) {
    std::fill(pixels_.begin(), pixels_.end(), 0u);
    DrawLine(l[0], l[1], l[2], l[3], WHITE_PIXEL);
    Points drawn;
    for (int i = 0; i < 512 * 384; ++i) {
      if (pixels_[i]) drawn.insert({i % 512, i / 512});
    }
    EXPECT_EQ(drawn, ReferenceLine(l[0], l[1], l[2], l[3])) << l[0] << "," << l[1] << " " << l[2] << "," << l[3];
  }
  std::fill(pixels_.begin(), pixels_.end(), 0u);
  DrawLine(0, 0, 3, 1, WHITE_PIXEL);
  EXPECT_EQ(CountPixels(WHITE_PIXEL), 4);
  EXPECT_EQ(Pixel(1, 0) & Pixel(2, 1) & Pixel(3, 1), WHITE_PIXEL);
  DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, WHITE_PIXEL);  // finishes after the frame's extent
  EXPECT_EQ(Pixel(100, 100), WHITE_PIXEL);
  EXPECT_TRUE(PackColor(1, 2, 3, 4) == 0x04010203u && PackColor(0x1FF, -1, 256, 255) == 0xFFFFFF00u);
}

}  // namespace
