// What counts as MP3 is what the decoder decodes: a free-format stream (no bitrate in its
// frame headers) plays like any other.
#include <gtest/gtest.h>
#include <lame/lame.h>

#include <vector>

#include "audio_test_media.h"
#include "platform/audio_source.h"

namespace {

std::vector<uint8_t> EncodeFreeFormat(const std::vector<int16_t>& stereo, int rate, int kbps) {
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_num_channels(lame, 2);
  lame_set_brate(lame, kbps);
  lame_set_free_format(lame, 1);
  lame_set_bWriteVbrTag(lame, 0);
  lame_set_write_id3tag_automatic(lame, 0);
  lame_init_params(lame);
  const int frames = static_cast<int>(stereo.size() / 2);
  std::vector<uint8_t> out(static_cast<size_t>(1.25 * frames + 7200 + 16384));
  int n = lame_encode_buffer_interleaved(lame, const_cast<short*>(stereo.data()), frames, out.data(),
                                         static_cast<int>(out.size()));
  n += lame_encode_flush(lame, out.data() + n, static_cast<int>(out.size()) - n);
  lame_close(lame);
  out.resize(n > 0 ? n : 0);
  return out;
}

// Refused before as "not a kind of file the demo reads"; libmpg123 plays it.
TEST(Mp3Source, FreeFormatStreamDecodes) {
  constexpr int kRate = 44100;
  const std::vector<uint8_t> mp3 = EncodeFreeFormat(audio_test::SineS16(440, kRate, kRate / 2), kRate, 200);
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
