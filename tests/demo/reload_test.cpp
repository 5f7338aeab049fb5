// Reload (R) with the demo's own data, paused in swim: each kind of damage to a data file
// keeps the frame, the second and the parts as they were and names the damaged file in the
// title; the same reload with the file mended takes the data again at the same frame.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "audio/audio_library.h"
#include "audio/audio_offline.h"
#include "demo/demo_reload.h"
#include "demo/demo_state.h"
#include "demo/demo_test_support.h"
#include "demo/entry.h"
#include "demo/music.h"
#include "demo/player.h"
#include "platform/counter.h"
#include "platform/display_device.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "resource/data_archive.h"
#include "resource/resource_test_support.h"

namespace {

class ReloadTest : public demo_test::BuildArchiveTest {
 protected:
  static std::vector<uint32_t> Pixels() {
    const Texture& frame = g_demo.frame_buffer.frame;
    return std::vector<uint32_t>(frame.pixels, frame.pixels + static_cast<size_t>(frame.width) * frame.height);
  }

  // The demo with the player, from second, on the headless display and virtual time at 60
  // frames a second, its first frame presented.
  void StartPlayerAt(float second, bool watch = false) {
    StartDemoRun({.display = &display_, .counter = &counter_, .audio = &audio_},
                 {.from_seconds = second, .seek_fps = 60, .player = true, .watch = watch});
    ASSERT_TRUE(PlayFrame());
  }

  HeadlessDisplay display_;
  VirtualCounter counter_{60};
  OfflineAudioDevice audio_;

  // The archive's member, as the demo reads it.
  static std::string Member(const char* name) {
    MemChunk chunk = LoadFile(name);
    std::string bytes(reinterpret_cast<const char*>(chunk.data), static_cast<size_t>(chunk.size));
    FreeChunk(&chunk);
    return bytes;
  }
};

// At 60 frames a second the clock stands on the grid that seeks replay on, and a reload of
// the same data shows the same frame byte for byte; at 7 it stands off it, as under real
// time, and the reload keeps the second all the same.
TEST_F(ReloadTest, DamageKeepsTheFrameAndNamesTheFileMendedDataReloadsAtTheSameSecond) {
  const struct {
    const char* file;
    size_t keep;        // the member's first bytes written to data/
    const char* failure;  // what the title says after the paused second, from its start
  } rows[] = {
      {"swim.xml", 1000, " - reload failed: swim.xml: Parse error at line 15: unclosed token"},
      {"mamma1.xml", 600, " - reload failed: mamma1.xml: Parse error at line "},
      {"swam.xml", 2000, " - reload failed: swam.xml: Parse error at line "},
      {"texture.png", 5000, " - reload failed: texture.png: libpng error: "},
      {"bg_sky.png", 0, " - reload failed: bg_sky.png: empty"},
      {"zibo2.mot", 1000, " - reload failed: zibo2.mot: Motion file zibo2.mot is truncated"},
      {"zibo.lwo", 3000, " - reload failed: zibo.lwo: "},
  };
  for (int rate : {60, 7}) {
    SCOPED_TRACE(std::to_string(rate) + " frames a second");
    HeadlessDisplay display;
    VirtualCounter counter(rate);
    OfflineAudioDevice audio;
    StartDemoRun({.display = &display, .counter = &counter, .audio = &audio}, {.from_seconds = 48.0f, .seek_fps = 60, .player = true});
    ASSERT_TRUE(PlayFrame());
    HandlePlayerKey(DisplayEvent::kKeySpace);
    const std::vector<uint32_t> first = Pixels();
    const float second = g_demo.clock.seconds;
    const std::string paused = display.title;
    ASSERT_EQ(paused.rfind("kra - paused at 48.", 0), 0u) << paused;
    for (const auto& row : rows) {
      SCOPED_TRACE(row.file);
      const std::vector<uint32_t> shown = Pixels();
      const std::string path = std::string("data/") + row.file;
      WriteBytes(path, Member(row.file).substr(0, row.keep));
      HandlePlayerKey(DisplayEvent::kKeyR);
      EXPECT_EQ(display.title.rfind(paused + row.failure, 0), 0u) << display.title;
      EXPECT_EQ(display.title.find('\n'), std::string::npos) << display.title;
      EXPECT_TRUE(Pixels() == shown);
      EXPECT_EQ(g_demo.clock.seconds, second);
      EXPECT_TRUE(g_player.paused);

      std::filesystem::remove(path);
      HandlePlayerKey(DisplayEvent::kKeyR);
      EXPECT_EQ(display.title, paused) << "a reload while paused keeps the paused title";
      EXPECT_EQ(g_demo.clock.seconds, second);
      if (rate == 60) {
        EXPECT_TRUE(Pixels() == first);
      }
    }
    EndDemoRun(DemoEnd::kPlayedOut);
  }
}

// A reload while playing, right after a seek that has drawn nothing yet: the time the reload
// took is taken out of the frame timer, and the next frame follows the second it was at.
TEST_F(ReloadTest, AReloadRightAfterASeekWhilePlayingGoesOnFromThere) {
  StartPlayerAt(20.0f);
  HandlePlayerKey(DisplayEvent::kKeyRight);
  const float second = g_demo.clock.seconds;
  HandlePlayerKey(DisplayEvent::kKeyR);
  EXPECT_EQ(display_.title, "kra");
  EXPECT_EQ(g_demo.clock.seconds, second);
  ASSERT_TRUE(PlayFrame());
  EXPECT_NEAR(g_demo.clock.seconds, second + 1.0f / 60, 1e-4f);
  EndDemoRun(DemoEnd::kPlayedOut);
}

// Music that does not play is not taken: what played goes on (the same channel, the same
// bytes, still playing), and the title names the file until a good one is read.
TEST_F(ReloadTest, BrokenMusicKeepsTheMusicThatPlayedAndIsNamed) {
  StartPlayerAt(30.0f);
  const uint32_t stream = g_music.stream;
  const uint8_t* bytes = g_music.chunk.data;
  ASSERT_NE(stream, 0u);
  const std::string mp3 = Member("zibo.mp3");
  std::string noise(50000, '\0');
  for (size_t i = 0; i < noise.size(); ++i) noise[i] = static_cast<char>((i * 2654435761u) >> 13);
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"random bytes", noise},
      {"cut to 1,000 bytes", mp3.substr(0, 1000)},
      {"a PNG", Member("presents.png")},
  };
  std::filesystem::create_directory("data");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    WriteBytes("data/zibo.mp3", row.bytes);
    HandlePlayerKey(DisplayEvent::kKeyR);
    EXPECT_EQ(display_.title, "kra - reload failed: zibo.mp3: neither an MP3 stream nor a tracker module");
    EXPECT_EQ(g_music.stream, stream);
    EXPECT_EQ(g_music.chunk.data, bytes);
    EXPECT_EQ(AudioChannelIsPlaying(stream), 1);
  }
  std::filesystem::remove("data/zibo.mp3");
  HandlePlayerKey(DisplayEvent::kKeyR);
  EXPECT_EQ(display_.title, "kra");
  EXPECT_NE(g_music.stream, 0u);
  EndDemoRun(DemoEnd::kPlayedOut);
}

// --watch on an archive that is cut while being saved: the reload fails and names the
// archive, and the watch goes on following it, so the finished save is taken by itself.
TEST_F(ReloadTest, WatchNamesACutArchiveAndTakesItOnceWhole) {
  const std::string whole = ReadBytes("autoexec.bat");
  std::filesystem::remove("autoexec.bat");
  WriteBytes("autoexec.bat", whole);  // a file of its own, to cut
  StartPlayerAt(43.0f, true);
  HandlePlayerKey(DisplayEvent::kKeySpace);
  const std::string paused = display_.title;
  // Paused frames wait on the wall clock, which the watch polls by.
  auto play_until = [&](const std::function<bool()>& done) {
    for (int frame = 0; frame < 500 && !done(); ++frame) PlayFrame();
    return done();
  };
  WriteBytes("autoexec.bat", whole.substr(0, 100000));
  EXPECT_TRUE(play_until([&] { return display_.title != paused; }));
  EXPECT_EQ(display_.title.rfind(paused + " - reload failed: autoexec.bat: ", 0), 0u) << display_.title;
  WriteBytes("autoexec.bat.new", whole);
  std::filesystem::rename("autoexec.bat.new", "autoexec.bat");
  EXPECT_TRUE(play_until([&] { return display_.title == paused; })) << display_.title;
  EndDemoRun(DemoEnd::kPlayedOut);
}

}  // namespace
