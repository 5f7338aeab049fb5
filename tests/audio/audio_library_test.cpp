// The audio library over the offline device (and once over SDL's dummy driver): which data
// makes a channel, playing, looping, the slides, invalid handles.
#include <gtest/gtest.h>

#include <cstdlib>

#include "audio/audio_library.h"
#include "audio/audio_mixer.h"
#include "audio/audio_offline.h"
#include "platform/sdl_audio.h"
#include "audio/audio_test_media.h"

namespace {

using namespace audio_test;

constexpr int kRate = 44100;

class AudioLibraryTest : public ::testing::Test {
 protected:
  void TearDown() override { AudioFree(); }

  void Init() { ASSERT_EQ(AudioInit(-1, kRate, 0, &device), 1); }

  uint32_t Stream(const std::vector<uint8_t>& bytes) {
    return AudioStreamCreateMemory(bytes.data(), 0, static_cast<uint32_t>(bytes.size()), 0);
  }
  uint32_t Module(const std::vector<uint8_t>& bytes) {
    return AudioMusicLoadMemory(bytes.data(), 0, static_cast<uint32_t>(bytes.size()), AUDIO_LOOP);
  }

  OfflineAudioDevice device;
};

TEST_F(AudioLibraryTest, NoDeviceMeansNoInitAndNoChannels) {
  EXPECT_EQ(AudioInit(-1, kRate, 0, nullptr), 0);
  const std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate / 4), kRate);
  EXPECT_EQ(Stream(mp3), 0u);
  EXPECT_EQ(Module(MakeModule()), 0u);
  EXPECT_EQ(AudioStart(), 0);
  EXPECT_EQ(AudioStreamPlay(0, 0, AUDIO_LOOP), 0);
  EXPECT_EQ(AudioMusicPlay(0), 0);
  EXPECT_EQ(AudioChannelSlideAttributes(0, 1000, -1, -101, 500), 0);
  EXPECT_EQ(AudioChannelIsSliding(0), 0);
}

TEST_F(AudioLibraryTest, InitTwiceIsRefusedUntilFreed) {
  Init();
  EXPECT_EQ(AudioInit(-1, kRate, 0, &device), 0);
  AudioFree();
  EXPECT_EQ(AudioInit(-1, kRate, 0, &device), 1);
}

TEST_F(AudioLibraryTest, Mp3IsAStreamAndNotAModule) {
  Init();
  const std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate / 2), kRate);
  EXPECT_NE(Stream(mp3), 0u);
  EXPECT_EQ(Module(mp3), 0u);
}

TEST_F(AudioLibraryTest, ModuleIsAModuleAndNotAStream) {
  Init();
  const std::vector<uint8_t> mod = MakeModule();
  EXPECT_EQ(Stream(mod), 0u);
  EXPECT_NE(Module(mod), 0u);
}

TEST_F(AudioLibraryTest, GarbageEmptyAndNullAreRefusedByBoth) {
  Init();
  for (uint32_t seed : {1u, 2u, 3u, 4u}) {
    const std::vector<uint8_t> junk = Garbage(20000, seed);
    EXPECT_EQ(Stream(junk), 0u) << seed;
    EXPECT_EQ(Module(junk), 0u) << seed;
  }
  const std::string text(5000, 'x');
  EXPECT_EQ(AudioStreamCreateMemory(text.data(), 0, static_cast<uint32_t>(text.size()), 0), 0u);
  EXPECT_EQ(AudioMusicLoadMemory(text.data(), 0, static_cast<uint32_t>(text.size()), 0), 0u);
  const std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate / 2), kRate);
  EXPECT_EQ(AudioStreamCreateMemory(mp3.data(), 0, 0, 0), 0u);
  EXPECT_EQ(AudioMusicLoadMemory(mp3.data(), 0, 0, 0), 0u);
  EXPECT_EQ(AudioStreamCreateMemory(nullptr, 0, 100, 0), 0u);
  // A stream cut to its first few hundred bytes holds no whole frame to decode.
  EXPECT_EQ(AudioStreamCreateMemory(mp3.data(), 0, 300, 0), 0u);
}

TEST_F(AudioLibraryTest, JunkWithStraySyncWordsIsNotAStream) {
  Init();
  // MPEG-1 layer III sync words every 417 bytes (the frame length at 128 kbit/s) in noise:
  // libmpg123 finds "frames" in such data, some in free format, some deep inside it.
  for (uint32_t seed = 1; seed <= 60; ++seed) {
    std::vector<uint8_t> junk = Garbage(5000 + 997 * seed, seed);
    for (size_t i = 0; i + 1 < junk.size(); i += 417) {
      junk[i] = 0xFF;
      junk[i + 1] = 0xFB;
    }
    EXPECT_EQ(Stream(junk), 0u) << "seed " << seed;
  }
}

TEST_F(AudioLibraryTest, Id3v2TagBeforeTheStreamIsSkipped) {
  Init();
  const std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate / 2), kRate);
  std::vector<uint8_t> tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 0x40, 0};  // 8192-byte body
  tagged.resize(10 + 8192, 0);
  tagged.insert(tagged.end(), mp3.begin(), mp3.end());
  EXPECT_NE(Stream(tagged), 0u);
  // The same bytes of padding without a tag to explain them are junk before the stream.
  tagged[0] = 'X';
  EXPECT_EQ(Stream(tagged), 0u);
}

TEST_F(AudioLibraryTest, TruncatedModuleIsRefusedOrPlaysWithoutReadingPastItsEnd) {
  Init();
  std::vector<uint8_t> mod = MakeModule();
  for (size_t size : {size_t{1}, size_t{20}, size_t{600}, size_t{1084}, mod.size() - 10}) {
    // Copy to a buffer of exactly that size so ASan sees any read past it.
    std::vector<uint8_t> cut(mod.begin(), mod.begin() + static_cast<long>(size));
    const uint32_t handle = Module(cut);
    if (handle) {
      AudioStart();
      AudioMusicPlay(handle);
      device.Render(kRate / 10);
    }
  }
  SUCCEED() << "no crash, no out-of-bounds read";
}

TEST_F(AudioLibraryTest, InvalidHandlesAnswerZero) {
  Init();
  EXPECT_EQ(AudioChannelIsSliding(0), 0);
  EXPECT_EQ(AudioChannelIsSliding(0xdeadbeef), 0);
  EXPECT_EQ(AudioChannelSlideAttributes(77, 1000, -1, -101, 500), 0);
  EXPECT_EQ(AudioStreamPlay(77, 0, 0), 0);
  EXPECT_EQ(AudioMusicPlay(0), 0);
  EXPECT_EQ(AudioChannelGetAttributes(77, nullptr, nullptr, nullptr), 0);
}

TEST_F(AudioLibraryTest, HandlesDieWithTheLibrary) {
  Init();
  const uint32_t module = Module(MakeModule());
  ASSERT_NE(module, 0u);
  ASSERT_EQ(AudioChannelSlideAttributes(module, 1000, -1, -101, 500), 1);
  EXPECT_EQ(AudioChannelIsSliding(module), 1);
  AudioFree();
  EXPECT_EQ(AudioChannelIsSliding(module), 0);
  Init();
  EXPECT_EQ(AudioChannelIsSliding(module), 0);  // a new library does not reuse old handles
}

TEST_F(AudioLibraryTest, NothingIsHeardBeforeStart) {
  Init();
  const uint32_t module = Module(MakeModule());
  ASSERT_EQ(AudioMusicPlay(module), 1);
  device.Render(kRate / 10);
  EXPECT_EQ(Rms(device.Samples(), 0, kRate / 10), 0.0);
  AudioStart();
  device.Render(kRate / 10);
  EXPECT_GT(Rms(device.Samples(), kRate / 10, kRate / 10), 0.01);
}

TEST_F(AudioLibraryTest, ShortStreamLoopsAtItsEnd) {
  Init();
  // 0.3 s of tone, played for 2 s: it must keep sounding, every 50 ms window of it.
  const std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate * 3 / 10), kRate);
  const uint32_t stream = Stream(mp3);
  ASSERT_NE(stream, 0u);
  AudioStart();
  ASSERT_EQ(AudioStreamPlay(stream, 0, AUDIO_LOOP), 1);
  device.Render(2 * kRate);
  for (int64_t at = 0; at + kRate / 20 <= 2 * kRate; at += kRate / 20) {
    EXPECT_GT(Rms(device.Samples(), at, kRate / 20), 0.2) << "silent window at frame " << at;
  }
  EXPECT_EQ(AudioChannelIsPlaying(stream), 1);
}

TEST_F(AudioLibraryTest, StreamWithoutLoopEndsInSilence) {
  Init();
  const std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate * 3 / 10), kRate);
  const uint32_t stream = Stream(mp3);
  ASSERT_NE(stream, 0u);
  AudioStart();
  AudioStreamPlay(stream, 0, 0);
  device.Render(kRate);
  EXPECT_GT(Rms(device.Samples(), kRate / 10, kRate / 10), 0.2);
  EXPECT_EQ(Rms(device.Samples(), kRate / 2, kRate / 2), 0.0);
  EXPECT_EQ(AudioChannelIsPlaying(stream), 0);
}

TEST_F(AudioLibraryTest, RateSlideWindsTheToneDownTo1000HzIn500Ms) {
  Init();
  const std::vector<uint8_t> mp3 = EncodeMp3(SineS16(441, kRate, kRate), kRate);
  const uint32_t stream = Stream(mp3);
  ASSERT_NE(stream, 0u);
  AudioStart();
  AudioStreamPlay(stream, 0, AUDIO_LOOP);
  device.Render(kRate / 10);
  ASSERT_EQ(AudioChannelSlideAttributes(stream, 1000, AUDIO_KEEP_VOLUME, AUDIO_KEEP_PAN, 500), 1);
  device.Render(kRate / 2 - 1);
  EXPECT_EQ(AudioChannelIsSliding(stream), 1);
  device.Render(1);
  EXPECT_EQ(AudioChannelIsSliding(stream), 0);
  float freq = 0, volume = 0, pan = 0;
  ASSERT_EQ(AudioChannelGetAttributes(stream, &freq, &volume, &pan), 1);
  EXPECT_EQ(freq, 1000.0f);
  EXPECT_EQ(volume, 100.0f);
  EXPECT_EQ(pan, 0.0f);
  // The tone's pitch falls with the rate: 441 Hz before; about 10 Hz once the rate is 1000.
  const std::vector<int16_t>& s = device.Samples();
  const int before = ZeroCrossings(s, 0, kRate / 10);
  const int first = ZeroCrossings(s, kRate / 10, kRate / 10);
  const int last = ZeroCrossings(s, kRate / 2, kRate / 10);
  EXPECT_NEAR(before, 2 * 44.1, 3);
  EXPECT_LT(last, first);
  device.Render(kRate);
  EXPECT_NEAR(ZeroCrossings(s, kRate * 6 / 10 + kRate / 10, kRate / 2), 2 * 5, 3);
}

TEST_F(AudioLibraryTest, FadeAndStopReachesSilenceAndStopsTheChannel) {
  Init();
  const uint32_t module = Module(MakeModule());
  ASSERT_NE(module, 0u);
  AudioStart();
  AudioMusicPlay(module);
  device.Render(kRate / 10);
  ASSERT_EQ(AudioChannelSlideAttributes(module, AUDIO_KEEP_RATE, AUDIO_FADE_AND_STOP, AUDIO_KEEP_PAN, 200), 1);
  EXPECT_EQ(AudioChannelIsPlaying(module), 1);
  device.Render(kRate / 5);
  EXPECT_EQ(AudioChannelIsSliding(module), 0);
  EXPECT_EQ(AudioChannelIsPlaying(module), 0);
  float volume = -1;
  AudioChannelGetAttributes(module, nullptr, &volume, nullptr);
  EXPECT_EQ(volume, 0.0f);
  device.Render(kRate / 10);
  const std::vector<int16_t>& s = device.Samples();
  EXPECT_GT(Rms(s, 0, kRate / 10), Rms(s, kRate / 10 + kRate / 10, kRate / 20));
  EXPECT_EQ(Rms(s, kRate / 10 + kRate / 5, kRate / 10), 0.0);
}

TEST_F(AudioLibraryTest, SlideArgumentsOutOfRangeAreClamped) {
  Init();
  const uint32_t module = Module(MakeModule());
  ASSERT_EQ(AudioChannelSlideAttributes(module, 5, 250, 300, 0), 1);
  float freq, volume, pan;
  AudioChannelGetAttributes(module, &freq, &volume, &pan);
  EXPECT_EQ(freq, AUDIO_MIN_RATE);
  EXPECT_EQ(volume, 100.0f);
  EXPECT_EQ(pan, 100.0f);
}

TEST_F(AudioLibraryTest, SleepRendersItsLengthOnTheOfflineDevice) {
  Init();
  AudioSleep(300, &device);
  EXPECT_EQ(device.FrameCount(), 13230);
  for (int i = 0; i < 10; ++i) AudioSleep(1, &device);  // 44.1 frames each, fractions carried
  EXPECT_EQ(device.FrameCount(), 13230 + 441);
}

void ExpectPlays(OfflineAudioDevice& device, uint32_t handle, const char* what) {
  ASSERT_NE(handle, 0u) << what;
  AudioStart();
  const int64_t at = device.FrameCount();
  device.Render(kRate);
  EXPECT_GT(Rms(device.Samples(), at, kRate), 0.001) << what << " is silent";
}

TEST_F(AudioLibraryTest, TestDataMp3PlaysAsAStream) {
  const std::vector<uint8_t> bytes = ReadFile(MusicTestData("MEANDR90.mp3"));
  if (bytes.empty()) GTEST_SKIP() << "no MEANDR90.mp3 in the test data";
  Init();
  EXPECT_EQ(Module(bytes), 0u);
  const uint32_t stream = Stream(bytes);
  ASSERT_NE(stream, 0u);
  AudioStreamPlay(stream, 0, AUDIO_LOOP);
  ExpectPlays(device, stream, "MEANDR90.mp3");
}

TEST_F(AudioLibraryTest, TestDataModulesPlayAsModules) {
  // test.mod sounds from its first row; test.xm's notes carry no instrument, so libopenmpt
  // renders it as silence: for it, playing means a channel that runs and keeps playing.
  struct Case {
    const char* name;
    bool audible;
  };
  for (const Case& c : {Case{"test.mod", true}, Case{"test.xm", false}}) {
    const std::vector<uint8_t> bytes = ReadFile(MusicTestData(c.name));
    if (bytes.empty()) GTEST_SKIP() << "no " << c.name << " in the test data";
    Init();
    EXPECT_EQ(Stream(bytes), 0u) << c.name;
    const uint32_t module = Module(bytes);
    ASSERT_NE(module, 0u) << c.name;
    EXPECT_EQ(AudioMusicPlay(module), 1);
    if (c.audible) {
      ExpectPlays(device, module, c.name);
    } else {
      AudioStart();
      device.Render(10 * kRate);  // past the module's end (6.9 s): it repeats
    }
    EXPECT_EQ(AudioChannelIsPlaying(module), 1) << c.name;
    AudioFree();
  }
}

// SDL's dummy driver runs the callback on its own thread in real time, as a sound card would.
TEST(AudioSdl, DummyDriverMixesAndSlidesOnItsOwnThread) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  SdlAudioDevice sdl;
  if (AudioInit(-1, kRate, 0, &sdl) == 0) {
    GTEST_SKIP() << "SDL's dummy audio driver is not available";
  }
  const std::vector<uint8_t> mod = MakeModule();
  const uint32_t module = AudioMusicLoadMemory(mod.data(), 0, static_cast<uint32_t>(mod.size()), AUDIO_LOOP);
  ASSERT_NE(module, 0u);
  AudioStart();
  AudioMusicPlay(module);
  ASSERT_EQ(AudioChannelSlideAttributes(module, 1000, AUDIO_FADE_AND_STOP, AUDIO_KEEP_PAN, 50), 1);
  // The slide ends by the callback's clock; give it up to 10 s of wall time.
  int polls = 0;
  while (AudioChannelIsSliding(module) && polls < 10000) {
    AudioSleep(1, &sdl);
    ++polls;
  }
  EXPECT_EQ(AudioChannelIsSliding(module), 0);
  EXPECT_EQ(AudioChannelIsPlaying(module), 0);
  AudioFree();
}

}  // namespace
