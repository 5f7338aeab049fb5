// The player's keys on the headless display and virtual time, with the demo's own data: what
// a paused picture, a seek and the overlay do to the frames presented and to demo time.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <vector>

#include "audio/audio_offline.h"
#include "demo/demo_test_support.h"
#include "demo/entry.h"
#include "demo/demo_state.h"
#include "demo/player.h"
#include "platform/counter.h"
#include "platform/display_device.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "resource/resource_test_support.h"

namespace {

struct Presented {
  float clock;
  bool paused;
  std::vector<uint8_t> pixels;
};

class PlayerTest : public demo_test::BuildArchiveTest {
 protected:
  void SetUp() override {
    BuildArchiveTest::SetUp();
    if (HasFatalFailure()) return;
    config.accepted_bits = {32};
    display = std::make_unique<HeadlessDisplay>(config);
    display->SetFrameSink([this](const HeadlessFrame& frame) {
      frames.push_back({g_demo.clock.seconds, g_player.paused,
                        std::vector<uint8_t>(frame.bytes, frame.bytes + static_cast<size_t>(frame.pitch) * frame.height)});
    });
  }
  // Plays from second 30 with the keys given for the pumps of chosen frames (from 1).
  void Play(int frame_count, const std::vector<std::pair<int64_t, DisplayEvent>>& keys) {
    for (const auto& [pump, key] : keys) display->ScheduleEvent(pump, key);
    StartDemoRun(Devices(counter), {.from_seconds = 30.0f, .seek_fps = 60, .player = true});
    for (int i = 0; i < frame_count; ++i) ASSERT_TRUE(PlayFrame());
    EndDemoRun(DemoEnd::kPlayedOut);
  }

  // The test's display and sound, with counter as the run's time.
  Platform Devices(Counter& time) { return {.display = display.get(), .counter = &time, .audio = &audio}; }

  HeadlessDisplayConfig config;
  std::unique_ptr<HeadlessDisplay> display;
  VirtualCounter counter{60};
  OfflineAudioDevice audio;
  std::vector<Presented> frames;
};

TEST_F(PlayerTest, PauseHoldsThePictureSeeksStayPausedAndTheOverlayLeavesTheFrame) {
  Play(14, {{3, DisplayEvent::kKeySpace},
            {6, DisplayEvent::kKeyRight},
            {8, DisplayEvent::kKeyT},
            {10, DisplayEvent::kKeyT},
            {11, DisplayEvent::kKeySpace}});
  ASSERT_EQ(frames.size(), 14u);
  // Frames 1-3 play; the Space of pump 3 holds frame 3's picture and clock.
  EXPECT_LT(frames[0].clock, frames[2].clock);
  for (int i = 3; i < 6; ++i) {
    EXPECT_TRUE(frames[i].paused) << i;
    EXPECT_EQ(frames[i].clock, frames[2].clock) << i;
    EXPECT_EQ(frames[i].pixels, frames[2].pixels) << i;
  }
  // Right while paused: five seconds on, a new picture, still paused and held.
  EXPECT_NEAR(frames[6].clock, frames[2].clock + 5.0f, 0.05f);
  EXPECT_TRUE(frames[6].paused);
  EXPECT_NE(frames[6].pixels, frames[2].pixels);
  EXPECT_EQ(frames[7].pixels, frames[6].pixels);
  // The overlay is drawn over the presented picture only: off again, the held one is back.
  EXPECT_NE(frames[8].pixels, frames[6].pixels);
  EXPECT_EQ(frames[10].pixels, frames[6].pixels);
  // Space again: time runs on from where it stood.
  EXPECT_GT(frames[11].clock, frames[6].clock);
  EXPECT_FALSE(frames[11].paused);
}

// Reload shows what changed on disk, and a reload that fails leaves the picture as it was;
// the seek keys land on the second they name. All while paused, one key at a time.
TEST_F(PlayerTest, ReloadAndSeekKeysWhilePausedShowTheirFrames) {
  StartDemoRun(Devices(counter), {.from_seconds = 25.0f, .seek_fps = 60, .player = true});
  ASSERT_TRUE(PlayFrame());
  HandlePlayerKey(DisplayEvent::kKeySpace);
  const Texture& frame = g_demo.frame_buffer.frame;
  auto pixels = [&] { return std::vector<uint32_t>(frame.pixels, frame.pixels + frame.width * frame.height); };
  const float second = g_demo.clock.seconds;

  // mamma1's sky, changed in data/: on screen after R, at the same second.
  std::filesystem::create_directory("data");
  demo_test::WriteSolidPng("data/bg_sky.png", WIDTH, HEIGHT, 255, 0, 0);
  HandlePlayerKey(DisplayEvent::kKeyR);
  EXPECT_EQ(frame.pixels[2 * frame.width + 2] & 0xFFFFFFu, 0xFF0000u);
  EXPECT_NEAR(g_demo.clock.seconds, second, 1.0f / 60);
  const std::vector<uint32_t> reloaded = pixels();

  // A damaged script: the reload fails and the frame stays byte for byte.
  WriteBytes("data/swim.xml", "<demo><scene><object name=");
  HandlePlayerKey(DisplayEvent::kKeyR);
  EXPECT_EQ(pixels(), reloaded);
  EXPECT_TRUE(g_player.paused);

  struct Case {
    DisplayEvent key;
    float second;  // where the key lands, from the second before it
  } cases[] = {{DisplayEvent::kKeyPageDown, second + 20.0f},
               {DisplayEvent::kKeyPageUp, second},
               {DisplayEvent::kKeyHome, 0.0f}};
  for (const Case& c : cases) {
    HandlePlayerKey(c.key);
    EXPECT_GE(g_demo.clock.seconds, c.second - 1.0f / 60) << static_cast<int>(c.key);
    EXPECT_LE(g_demo.clock.seconds, c.second + 1.5f / 60) << static_cast<int>(c.key);
    EXPECT_TRUE(g_player.paused);
  }
  EndDemoRun(DemoEnd::kPlayedOut);
}

// A paused seek in a window runs on real time, not on the seek's own step: the picture must
// still be the one a run at 60 frames a second draws at the second the title names, and a
// reload of the same data must keep it and the title. A virtual counter of 7 frames a
// second stands in for the real clock.
TEST_F(PlayerTest, APausedSeekOnRealTimeShowsTheFrameARunShowsThere) {
  const Texture& frame = g_demo.frame_buffer.frame;
  auto pixels = [&] { return std::vector<uint32_t>(frame.pixels, frame.pixels + frame.width * frame.height); };
  using K = DisplayEvent;
  const std::vector<std::vector<K>> cases = {
      {K::kKeyHome, K::kKeyPageDown, K::kKeyPageDown},                                        // swim, 40 s
      {K::kKeyHome, K::kKeyPageDown, K::kKeyPageDown, K::kKeyPageDown, K::kKeyPageDown},      // swam, 80 s
      {K::kKeyHome, K::kKeyPageDown, K::kKeyPeriod},                                          // mamma1's first
      {K::kKeyRight, K::kKeyRight, K::kKeyComma, K::kKeyComma, K::kKeyPeriod},                // swim's waves
      {K::kKeyHome},                                                                          // the first frame
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE("case " + std::to_string(i));
    VirtualCounter real_time(7);
    StartDemoRun(Devices(real_time), {.from_seconds = 42.0f, .seek_fps = 60, .player = true});
    ASSERT_TRUE(PlayFrame());
    HandlePlayerKey(K::kKeySpace);
    for (const K key : cases[i]) HandlePlayerKey(key);
    const float second = g_demo.clock.seconds;
    const std::vector<uint32_t> shown = pixels();
    const std::string title = display->title;
    HandlePlayerKey(K::kKeyR);
    EXPECT_TRUE(pixels() == shown) << "a reload of the same data moved the picture";
    EXPECT_EQ(display->title, title);
    EndDemoRun(DemoEnd::kPlayedOut);

    // 60 frames a second: the frame a run draws there.
    StartDemoRun(Devices(counter), {.from_seconds = second, .seek_fps = 60, .player = false});
    ASSERT_TRUE(StepDemoFrame());
    EXPECT_EQ(g_demo.clock.seconds, second) << title;
    EXPECT_TRUE(pixels() == shown) << title;
    EndDemoRun(DemoEnd::kPlayedOut);
  }
}

}  // namespace
