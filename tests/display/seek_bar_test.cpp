// The seek bar's geometry: time to pixel and back at the ends and the chapter marks, what a
// pointer is over, and the time text.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "display/seek_bar.h"
#include "resource/texture.h"

namespace {

constexpr float kTotal = 116.0f;
constexpr float kPixelSeconds = kTotal / (kSeekTrackRight - kSeekTrackLeft);

TEST(SeekBar, TimeToPixelAndBackAtTheEndsAndTheChapterMarks) {
  for (float t : {0.0f, kPixelSeconds / 2, 20.0f, 29.0f, 80.0f, 97.0f, kTotal - kPixelSeconds / 2, kTotal}) {
    const int x = SeekBarX(t, kTotal);
    EXPECT_GE(x, kSeekTrackLeft) << t;
    EXPECT_LE(x, kSeekTrackRight) << t;
    EXPECT_LE(std::fabs(SeekBarTime(x, kTotal) - t), kPixelSeconds / 2 + 1e-4f) << t;
  }
  EXPECT_EQ(SeekBarX(0.0f, kTotal), kSeekTrackLeft);
  EXPECT_EQ(SeekBarX(kTotal, kTotal), kSeekTrackRight);
  EXPECT_EQ(SeekBarTime(kSeekTrackLeft, kTotal), 0.0f);
  EXPECT_EQ(SeekBarTime(kSeekTrackRight, kTotal), kTotal);
}

TEST(SeekBar, EveryTrackPixelComesBackToItself) {
  for (int x = kSeekTrackLeft; x <= kSeekTrackRight; ++x) EXPECT_EQ(SeekBarX(SeekBarTime(x, kTotal), kTotal), x) << x;
}

TEST(SeekBar, PastEitherEndClampsToTheStartAndTheEnd) {
  EXPECT_EQ(SeekBarTime(kSeekTrackLeft - 5, kTotal), 0.0f);
  EXPECT_EQ(SeekBarTime(-100, kTotal), 0.0f);
  EXPECT_EQ(SeekBarTime(kSeekTrackRight + 5, kTotal), kTotal);
  EXPECT_EQ(SeekBarX(-3.0f, kTotal), kSeekTrackLeft);
  EXPECT_EQ(SeekBarX(500.0f, kTotal), kSeekTrackRight);
}

TEST(SeekBar, HitsThePictureTheMarkTheTrackAndTheRest) {
  const struct {
    int x, y;
    SeekBarPart part;
  } kCases[] = {
      {256, 100, SeekBarPart::kPicture},          {256, kSeekBarTop - 1, SeekBarPart::kPicture},
      {-20, -20, SeekBarPart::kPicture},          {14, 370, SeekBarPart::kPlayMark},
      {kSeekTrackLeft, 370, SeekBarPart::kTrack}, {kSeekTrackRight, 383, SeekBarPart::kTrack},
      {200, kSeekBarTop, SeekBarPart::kTrack},    {480, 370, SeekBarPart::kBand},
      {-20, 370, SeekBarPart::kBand},             {600, 370, SeekBarPart::kBand},
  };
  for (const auto& c : kCases) EXPECT_EQ(HitSeekBar(c.x, c.y), c.part) << c.x << "," << c.y;
}

TEST(SeekBar, FormatsMinutesAndWholeSeconds) {
  const struct {
    float seconds;
    const char* text;
  } kCases[] = {{0.0f, "0:00"}, {9.99f, "0:09"}, {64.5f, "1:04"}, {116.0f, "1:56"}, {-1.0f, "0:00"}, {600.0f, "10:00"}};
  for (const auto& c : kCases) {
    char text[16];
    FormatPlayTime(c.seconds, text, sizeof text);
    EXPECT_STREQ(text, c.text);
  }
}

// Drawn into a frame, the bar stays in its rows: the picture above is untouched, and a frame
// too small for it is left alone.
TEST(SeekBar, DrawsOnlyItsOwnRows) {
  std::vector<uint32_t> pixels(512 * 384, 0xFF8090A0u);
  const Texture frame{512, 384, pixels.data()};
  const float chapters[] = {20.0f, 29.0f, 80.0f};
  DrawSeekBar(frame, {64.0f, kTotal, chapters, 3, false, 200, 370, "swim"});
  for (int y = 0; y < kSeekBarTop - 20; ++y) {
    for (int x = 0; x < 512; ++x) ASSERT_EQ(pixels[y * 512 + x], 0xFF8090A0u) << x << "," << y;
  }
  EXPECT_NE(pixels[(kSeekBarTop + 1) * 512 + 500], 0xFF8090A0u);

  std::vector<uint32_t> small(64 * 48, 7u);
  DrawSeekBar(Texture{64, 48, small.data()}, {64.0f, kTotal, chapters, 3, true, 10, 10, nullptr});
  for (uint32_t p : small) ASSERT_EQ(p, 7u);
}

}  // namespace
