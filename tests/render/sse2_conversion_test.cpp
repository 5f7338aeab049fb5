// The SSE2 float-to-int truncations give x86's results wherever the fast paths run: the
// processor's own instructions, the page's replacements for emscripten's (platform/sse2.h),
// SIMDe's on ARM. A value past the int range or NaN gives 0x80000000, never a saturated one.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/sse2.h"

namespace {

TEST(Sse2Conversion, TruncationsGiveX86sResultsAtTheEdges) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const struct {
    float in;
    int32_t out;
  } cases[] = {
      {0.0f, 0},           {-0.0f, 0},           {0.99f, 0},         {-0.99f, 0},
      {1.5f, 1},           {-1.5f, -1},          {2.5f, 2},          {-2.5f, -2},
      {65535.9f, 65535},   {2147483520.0f, 2147483520},               {-2147483648.0f, INT32_MIN},
      {2147483648.0f, INT32_MIN},                {-2147483904.0f, INT32_MIN},
      {1e20f, INT32_MIN},  {-1e20f, INT32_MIN},  {inf, INT32_MIN},   {-inf, INT32_MIN},
      {nan, INT32_MIN},
  };
  for (const auto& c : cases) {
    alignas(16) int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), _mm_cvttps_epi32(_mm_set_ps(7.0f, c.in, -3.7f, c.in)));
    EXPECT_EQ(lanes[0], c.out) << c.in;
    EXPECT_EQ(lanes[1], -3) << c.in;  // the other lanes keep their own values
    EXPECT_EQ(lanes[2], c.out) << c.in;
    EXPECT_EQ(lanes[3], 7) << c.in;
    EXPECT_EQ(_mm_cvttss_si32(_mm_set_ss(c.in)), c.out) << c.in;
  }
}

}  // namespace
