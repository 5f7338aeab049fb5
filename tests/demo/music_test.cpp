// The demo's music: which files give a channel, the silent paths, and the fade-out measured
// in rendered samples on the offline device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "demo/music.h"
#include "audio/audio_library.h"
#include "audio/audio_offline.h"
#include "audio/audio_test_media.h"

namespace {

using namespace audio_test;

constexpr int kRate = 44100;

// A chunk as LoadFile makes one: its own new[] copy of the bytes, which the music frees.
MemChunk ChunkOf(const std::vector<uint8_t>& bytes) {
  MemChunk chunk{};
  std::snprintf(chunk.name, sizeof chunk.name, "zibo.mp3");
  chunk.data = new uint8_t[bytes.size() + 1];
  std::copy(bytes.begin(), bytes.end(), chunk.data);
  chunk.size = static_cast<int32_t>(bytes.size());
  return chunk;
}

class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetMusic(&device); }
  void TearDown() override {
    AudioFree();
    FreeChunk(&g_music.chunk);
    ResetMusic(nullptr);
  }

  // Plays for the given seconds, then fades out; returns the frames the fade-out took.
  int64_t PlayThenFade(double seconds) {
    PlayMusic();
    device.Render(static_cast<int64_t>(seconds * kRate));
    const int64_t before = device.FrameCount();
    FadeOutMusic();
    return device.FrameCount() - before;
  }

  OfflineAudioDevice device;
};

TEST_F(MusicTest, Mp3BecomesALoopingStream) {
  std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate / 4), kRate);
  EXPECT_EQ(LoadMusic(ChunkOf(mp3)), 1);
  EXPECT_NE(g_music.stream, 0u);
  EXPECT_EQ(g_music.module, 0u);
  EXPECT_EQ(g_music.chunk.size, static_cast<int32_t>(mp3.size()));
  PlayMusic();
  device.Render(kRate);  // four times the file's length
  EXPECT_GT(Rms(device.Samples(), kRate * 9 / 10, kRate / 10), 0.2);
}

TEST_F(MusicTest, ModuleIsTheFallbackWhenTheDataIsNotAStream) {
  std::vector<uint8_t> mod = MakeModule();
  EXPECT_EQ(LoadMusic(ChunkOf(mod)), 1);
  EXPECT_EQ(g_music.stream, 0u);
  EXPECT_NE(g_music.module, 0u);
  PlayMusic();
  device.Render(kRate / 2);
  EXPECT_GT(Rms(device.Samples(), 0, kRate / 2), 0.01);
}

TEST_F(MusicTest, MissingFileIsSilentAndTouchesNoDevice) {
  MemChunk missing{};
  EXPECT_EQ(LoadMusic(missing), 0);
  EXPECT_FALSE(device.IsOpen());
  // The fade-out still waits its 300 ms, on the device's clock, and ends.
  EXPECT_EQ(PlayThenFade(0.1) , 13230);
  EXPECT_EQ(Rms(device.Samples(), 0, device.FrameCount()), 0.0);
}

TEST_F(MusicTest, DataThatIsNeitherStreamNorModuleIsSilent) {
  std::vector<uint8_t> junk = Garbage(30000);
  EXPECT_EQ(LoadMusic(ChunkOf(junk)), 0);
  EXPECT_EQ(g_music.stream, 0u);
  EXPECT_EQ(g_music.module, 0u);
  EXPECT_EQ(PlayThenFade(1.0), 13230);  // 300 ms
  EXPECT_EQ(Rms(device.Samples(), 0, device.FrameCount()), 0.0);
  EXPECT_FALSE(device.IsOpen());  // freed
}

TEST_F(MusicTest, NoAudioDeviceIsSilentAndTheFadeOutStillReturns) {
  ResetMusic(nullptr);
  std::vector<uint8_t> mp3 = EncodeMp3(SineS16(440, kRate, kRate / 4), kRate);
  EXPECT_EQ(LoadMusic(ChunkOf(mp3)), 0);
  PlayMusic();
  FadeOutMusic();  // sleeps 300 ms of wall time, then returns
  EXPECT_EQ(g_music.stream, 0u);
  EXPECT_EQ(AudioChannelIsSliding(0), 0);
}

TEST_F(MusicTest, FadeOutWithMusicTakesHalfASecondAndEndsSilent) {
  std::vector<uint8_t> mp3 = EncodeMp3(SineS16(441, kRate, kRate), kRate);
  ASSERT_EQ(LoadMusic(ChunkOf(mp3)), 1);
  const int64_t fade = PlayThenFade(0.5);
  EXPECT_GE(fade, kRate / 2);        // the rate slide's 500 ms
  EXPECT_LE(fade, kRate / 2 + 45);   // and at most one 1 ms poll more
  EXPECT_FALSE(device.IsOpen());
  EXPECT_EQ(g_music.chunk.data, nullptr);  // the bytes went with the library

  const std::vector<int16_t>& s = device.Samples();
  const int64_t start = kRate / 2;
  // Loud before the fade; the pitch falls through it; silent from its end on.
  EXPECT_GT(Rms(s, 0, start), 0.3);
  const int early = ZeroCrossings(s, start, kRate / 10);
  const int late = ZeroCrossings(s, start + kRate * 3 / 10, kRate / 10);
  EXPECT_GT(early, 2 * late);
  EXPECT_LT(Rms(s, start + kRate * 4 / 10, kRate / 10), Rms(s, start + kRate * 2 / 10, kRate / 10));
  device.Render(kRate / 10);
  EXPECT_EQ(Rms(s, start + fade, kRate / 10), 0.0);
}

TEST_F(MusicTest, ModuleFadesOutTheSameWay) {
  std::vector<uint8_t> mod = MakeModule();
  ASSERT_EQ(LoadMusic(ChunkOf(mod)), 1);
  const int64_t fade = PlayThenFade(0.5);
  EXPECT_GE(fade, kRate / 2);
  EXPECT_LE(fade, kRate / 2 + 45);
  const std::vector<int16_t>& s = device.Samples();
  EXPECT_GT(ZeroCrossings(s, kRate / 2, kRate / 10), 2 * ZeroCrossings(s, kRate / 2 + kRate * 3 / 10, kRate / 10));
}

TEST_F(MusicTest, TheSameRunGivesTheSameSamples) {
  std::vector<uint8_t> mp3 = EncodeMp3(SineS16(330, kRate, kRate / 3), kRate);
  std::vector<int16_t> runs[2];
  for (auto& run : runs) {
    OfflineAudioDevice fresh;
    ResetMusic(&fresh);
    ASSERT_EQ(LoadMusic(ChunkOf(mp3)), 1);
    PlayMusic();
    for (int frame = 1; frame <= 30; ++frame) fresh.RenderUntil(frame * kRate / 30);  // a second at 30 fps
    FadeOutMusic();
    run = fresh.Samples();
  }
  EXPECT_EQ(runs[0].size(), static_cast<size_t>(2 * (kRate + kRate / 2)));
  EXPECT_TRUE(runs[0] == runs[1]);
}

TEST_F(MusicTest, TestDataFilesLoadThroughTheirPaths) {
  struct Case {
    const char* name;
    bool stream;
  };
  for (const Case& c : {Case{"MEANDR90.mp3", true}, Case{"test.mod", false}, Case{"test.xm", false}}) {
    std::vector<uint8_t> bytes = ReadFile(MusicTestData(c.name));
    if (bytes.empty()) GTEST_SKIP() << "no " << c.name << " in the test data";
    ResetMusic(&device);
    ASSERT_EQ(LoadMusic(ChunkOf(bytes)), 1) << c.name;
    EXPECT_EQ(g_music.stream != 0, c.stream) << c.name;
    EXPECT_EQ(g_music.module != 0, !c.stream) << c.name;
    const int64_t fade = PlayThenFade(1.0);
    EXPECT_GE(fade, kRate / 2) << c.name;
    EXPECT_LE(fade, kRate / 2 + 45) << c.name;
  }
}

}  // namespace
