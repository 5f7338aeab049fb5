// The channel mixer on its own: resampling, looping, the timed slides, the 16-bit output.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "audio/audio_mixer.h"
#include "audio/audio_test_media.h"

using audio_test::Ramp;
using audio_test::VectorSource;

namespace {

constexpr int kRate = 44100;

AudioChannel MakeChannel(std::vector<float> frames, int rate, bool loop = false) {
  AudioChannel channel;
  InitChannel(&channel, std::make_unique<VectorSource>(std::move(frames), rate));
  channel.loop = loop;
  channel.playing = true;
  return channel;
}

std::vector<float> Mix(AudioChannel* channel, int frames) {
  std::vector<float> out(2 * static_cast<size_t>(frames), 0.0f);
  MixChannel(channel, out.data(), frames, kRate);
  return out;
}

TEST(AudioMixer, SameRateGivesTheSourceFramesUnchanged) {
  AudioChannel channel = MakeChannel(Ramp(100), kRate);
  const std::vector<float> out = Mix(&channel, 50);
  for (int i = 0; i < 50; ++i) {
    EXPECT_FLOAT_EQ(out[2 * i], static_cast<float>(i));
    EXPECT_FLOAT_EQ(out[2 * i + 1], static_cast<float>(i));
  }
}

TEST(AudioMixer, HalfRateInterpolatesBetweenFrames) {
  AudioChannel channel = MakeChannel(Ramp(100), kRate / 2);
  const std::vector<float> out = Mix(&channel, 40);
  for (int i = 0; i < 40; ++i) EXPECT_FLOAT_EQ(out[2 * i], 0.5f * i) << i;
}

TEST(AudioMixer, MixAddsToWhatIsAlreadyThere) {
  AudioChannel channel = MakeChannel(std::vector<float>(20, 0.25f), kRate);
  std::vector<float> out(20, 0.5f);
  MixChannel(&channel, out.data(), 10, kRate);
  for (float v : out) EXPECT_FLOAT_EQ(v, 0.75f);
}

TEST(AudioMixer, LoopingSourceRepeatsWithoutAGap) {
  AudioChannel channel = MakeChannel(Ramp(7), kRate, /*loop=*/true);
  const std::vector<float> out = Mix(&channel, 70);
  for (int i = 0; i < 70; ++i) EXPECT_FLOAT_EQ(out[2 * i], static_cast<float>(i % 7)) << i;
  EXPECT_TRUE(channel.playing);
}

TEST(AudioMixer, SourceWithoutLoopStopsTheChannelAtItsEnd) {
  AudioChannel channel = MakeChannel(std::vector<float>(2 * 10, 1.0f), kRate);
  const std::vector<float> out = Mix(&channel, 30);
  EXPECT_FALSE(channel.playing);
  for (int i = 0; i < 9; ++i) EXPECT_FLOAT_EQ(out[2 * i], 1.0f) << i;
  for (int i = 12; i < 30; ++i) EXPECT_FLOAT_EQ(out[2 * i], 0.0f) << i;
}

TEST(AudioMixer, EmptySourceStopsAtOnce) {
  AudioChannel channel = MakeChannel({}, kRate, /*loop=*/true);
  const std::vector<float> out = Mix(&channel, 10);
  EXPECT_FALSE(channel.playing);
  for (float v : out) EXPECT_EQ(v, 0.0f);
}

TEST(AudioMixer, RateSlideReachesItsTargetAfterExactlyItsDuration) {
  AudioChannel channel = MakeChannel(std::vector<float>(2 * 1000, 0.1f), kRate, true);
  const int64_t duration = kRate / 2;  // 500 ms
  StartSlide(&channel.rate_slide, channel.rate, 1000, duration, &channel.rate);
  EXPECT_TRUE(ChannelIsSliding(channel));
  Mix(&channel, static_cast<int>(duration / 2));
  EXPECT_NEAR(channel.rate, (44100 + 1000) / 2.0, 1.0);  // linear: half way at half time
  Mix(&channel, static_cast<int>(duration / 2) - 1);
  EXPECT_TRUE(ChannelIsSliding(channel));
  EXPECT_GT(channel.rate, 1000.0f);
  Mix(&channel, 1);
  EXPECT_FALSE(ChannelIsSliding(channel));
  EXPECT_EQ(channel.rate, 1000.0f);
  EXPECT_TRUE(channel.playing);  // a rate slide alone does not stop the channel
}

TEST(AudioMixer, LowerRateConsumesTheSourceMoreSlowly) {
  // At 1000 Hz, 44100 output frames take 1000 source frames.
  AudioChannel channel = MakeChannel(Ramp(5000), kRate);
  channel.rate = 1000;
  const std::vector<float> out = Mix(&channel, kRate);
  EXPECT_NEAR(out[2 * (kRate - 1)], 1000.0f, 0.05f);
}

TEST(AudioMixer, FadeAndStopEndsInSilenceAndStopsTheChannel) {
  AudioChannel channel = MakeChannel(std::vector<float>(2 * 100, 0.5f), kRate, true);
  const int64_t duration = kRate / 5;  // 200 ms
  StartSlide(&channel.volume_slide, channel.volume, 0, duration, &channel.volume);
  channel.stop_after_volume_slide = true;
  const std::vector<float> out = Mix(&channel, static_cast<int>(duration) + 100);
  EXPECT_FALSE(channel.playing);
  EXPECT_FALSE(ChannelIsSliding(channel));
  EXPECT_NEAR(out[0], 0.5f, 0.001f);
  EXPECT_NEAR(out[2 * (duration / 2)], 0.25f, 0.001f);
  for (int64_t i = duration - 1; i < duration + 100; ++i) EXPECT_EQ(out[2 * i], 0.0f) << i;
  // Louder before, quieter after: the fade falls monotonically.
  for (int64_t i = 1; i < duration; ++i) EXPECT_LE(out[2 * i], out[2 * (i - 1)]) << i;
}

TEST(AudioMixer, StoppedChannelStillRunsItsSlides) {
  AudioChannel channel = MakeChannel(std::vector<float>(2 * 100, 0.5f), kRate);
  channel.playing = false;
  StartSlide(&channel.rate_slide, channel.rate, 1000, 100, &channel.rate);
  const std::vector<float> out = Mix(&channel, 100);
  EXPECT_FALSE(ChannelIsSliding(channel));
  EXPECT_EQ(channel.rate, 1000.0f);
  for (float v : out) EXPECT_EQ(v, 0.0f);
}

TEST(AudioMixer, ZeroDurationSetsTheValueAtOnce) {
  AudioChannel channel = MakeChannel(std::vector<float>(2, 0.0f), kRate);
  StartSlide(&channel.volume_slide, channel.volume, 30, 0, &channel.volume);
  EXPECT_FALSE(ChannelIsSliding(channel));
  EXPECT_EQ(channel.volume, 30.0f);
}

TEST(AudioMixer, PanTakesFromTheOtherSide) {
  AudioChannel channel = MakeChannel(std::vector<float>(2 * 10, 1.0f), kRate, true);
  channel.pan = 50;
  const std::vector<float> out = Mix(&channel, 4);
  EXPECT_FLOAT_EQ(out[0], 0.5f);
  EXPECT_FLOAT_EQ(out[1], 1.0f);
}

TEST(AudioMixer, ConversionRoundsAndClampsToFullScale) {
  const float in[8] = {0.0f, 1.0f, -1.0f, 2.0f, -3.0f, 0.5f, std::numeric_limits<float>::quiet_NaN(),
                       std::numeric_limits<float>::infinity()};
  int16_t out[8];
  ConvertToS16(in, out, 4);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 32767);
  EXPECT_EQ(out[2], -32767);
  EXPECT_EQ(out[3], 32767);
  EXPECT_EQ(out[4], -32768);
  EXPECT_EQ(out[5], 16384);
  EXPECT_EQ(out[6], 0);
  EXPECT_EQ(out[7], 32767);
}

}  // namespace
