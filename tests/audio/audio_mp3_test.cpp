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

}  // namespace
