// What counts as MP3 is what the decoder decodes: a free-format stream (no bitrate in its
// frame headers) plays like any other.
#include <gtest/gtest.h>

#include <vector>

#include "audio_test_media.h"
#include "audio/audio_source.h"

namespace {

// Refused before as "not a kind of file the demo reads"; libmpg123 plays it.
TEST(Mp3Source, FreeFormatStreamDecodes) {
  constexpr int kRate = 44100;
  const std::vector<uint8_t> mp3 = audio_test::EncodeMp3(audio_test::SineS16(440, kRate, kRate / 2), kRate, 200, true);
  ASSERT_GT(mp3.size(), 4u);
  ASSERT_EQ(mp3[0], 0xFF);
  ASSERT_EQ(mp3[2] >> 4, 0) << "bitrate index 0: free format";
  std::unique_ptr<AudioSource> source = OpenMp3Source(mp3.data(), mp3.size());
  ASSERT_NE(source, nullptr);
  EXPECT_EQ(source->Rate(), kRate);
  std::vector<float> frames(2 * 4096);
  int total = 0;
  for (int got; (got = source->Read(frames.data(), 4096)) > 0;) total += got;
  EXPECT_GT(total, kRate / 2 - 2 * 1152);
  EXPECT_LT(total, kRate / 2 + 3 * 1152);
}

// A seek lands on the very sample a decode from the start reaches there, and a time past
// the end counts around the stream's length, as the looping music does. Landing one sample
// off changes a 331 Hz sine by about 0.05; the decoder's synthesis filter may round a value
// differently after a seek (libmpg123's NEON, SSE and plain C forms do, by a float's last
// bit; its AVX form does not), so values agree to a millionth.
constexpr float kSynthesisRounding = 1e-6f;

TEST(Mp3Source, SeeksToTheSampleOfThatTime) {
  constexpr int kRate = 44100;
  constexpr int kFrames = kRate * 3 / 2;
  const std::vector<uint8_t> mp3 = audio_test::EncodeMp3(audio_test::SineS16(331, kRate, kFrames), kRate);
  std::unique_ptr<AudioSource> source = OpenMp3Source(mp3.data(), mp3.size());
  ASSERT_NE(source, nullptr);
  std::vector<float> whole(2 * kFrames + 2 * 4096);
  int total = 0;
  for (int got; (got = source->Read(whole.data() + 2 * total, 4096)) > 0 && total + 4096 <= kFrames + 4096;) total += got;
  ASSERT_GT(total, kRate);

  const struct {
    double seconds;
    int64_t frame;
  } kSeeks[] = {{0.0, 0}, {0.5, kRate / 2}, {1.25, kRate * 5 / 4}, {0.25, kRate / 4}};
  for (const auto& seek : kSeeks) {
    ASSERT_TRUE(source->Seek(seek.seconds)) << seek.seconds;
    float got[2 * 256];
    ASSERT_EQ(source->Read(got, 256), 256) << seek.seconds;
    for (int i = 0; i < 2 * 256; ++i) ASSERT_NEAR(got[i], whole[2 * seek.frame + i], kSynthesisRounding) << seek.seconds << " s, value " << i;
  }
  // One whole length on, the same sample again.
  ASSERT_TRUE(source->Seek(0.5 + static_cast<double>(total) / kRate));
  float again[2 * 64];
  ASSERT_EQ(source->Read(again, 64), 64);
  for (int i = 0; i < 2 * 64; ++i) ASSERT_NEAR(again[i], whole[kRate + i], kSynthesisRounding) << "value " << i;
  EXPECT_FALSE(source->Seek(-1.0));
}

}  // namespace
