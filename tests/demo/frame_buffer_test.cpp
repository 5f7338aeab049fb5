#include <gtest/gtest.h>

#include <string>

#include "demo/frame_buffer.h"

namespace {

TEST(FrameBuffer, FrameSitsCentredInATallerDisplayAndClearingLeavesTheBars) {
  FrameBuffer buffer{};
  ASSERT_EQ(CreateFrameBuffer(&buffer, 8, 4, 9), 1);
  // (9 - 4) / 2 = 2 rows above the frame, 3 below.
  EXPECT_EQ(buffer.frame.pixels, buffer.display + 2 * 8);
  EXPECT_EQ(buffer.frame.width, 8);
  EXPECT_EQ(buffer.frame.height, 4);
  EXPECT_EQ(buffer.frame.has_alpha, 0);
  for (int i = 0; i < 8 * 9; ++i) ASSERT_EQ(buffer.display[i], 0u) << "not zeroed at " << i;

  for (int i = 0; i < 8 * 9; ++i) buffer.display[i] = 0xFF00FF00u;
  ClearFrameBuffer(&buffer);
  for (int row = 0; row < 9; ++row) {
    const bool in_frame = row >= 2 && row < 6;
    for (int x = 0; x < 8; ++x) {
      EXPECT_EQ(buffer.display[row * 8 + x], in_frame ? 0u : 0xFF00FF00u) << "row " << row;
    }
  }
  FreeFrameBuffer(&buffer);
  EXPECT_EQ(buffer.display, nullptr);
}

TEST(FrameBuffer, ZeroSizeShowsTheWarningAndAllocatesNothing) {
  FrameBuffer buffer{};
  testing::internal::CaptureStderr();
  EXPECT_EQ(CreateFrameBuffer(&buffer, 0, 384, 384), 0);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(said, "thak: aaaaaaaaaaaaaaargg...  HUSK:    \nint  WIDTH = 320, HEIGHT = 240;\n");
  EXPECT_EQ(buffer.display, nullptr);
  EXPECT_EQ(buffer.frame.pixels, nullptr);
  ClearFrameBuffer(&buffer);  // nothing to clear, nothing touched
  FreeFrameBuffer(&buffer);
}

}  // namespace
