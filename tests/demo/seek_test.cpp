// Seeking: a run that starts at second S shows, frame for frame, what a run from the start
// shows from S on, with the demo's own data, at the frame steps captures use.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "audio/audio_offline.h"
#include "demo/demo_test_support.h"
#include "demo/demo_reload.h"
#include "demo/demo_state.h"
#include "demo/demo_parts.h"
#include "demo/demo_run.h"
#include "demo/entry.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "resource/texture_table.h"
#include "resource/resource_test_support.h"
#include "program_command.h"

namespace {

// Window starts: the intro, mamma1, inside swim's 7.5 s loops (day and night), its morph
// window, swam's loop, its morph back, the ending and the last frames.
const float kStarts[] = {7.3f, 21.2f, 44.2f, 52.6f, 64.4f, 85.1f, 103.3f, 110.0f, 115.9f};
constexpr float kWindow = 0.4f;  // seconds of frames compared from each start

uint64_t Checksum(const HeadlessFrame& frame) {
  uint64_t sum = 14695981039346656037ull;
  for (int y = 0; y < frame.height; ++y) {
    const uint64_t* row = reinterpret_cast<const uint64_t*>(frame.bytes + static_cast<size_t>(y) * frame.pitch);
    for (int x = 0; x < frame.width / 2; ++x) sum = (sum ^ row[x]) * 1099511628211ull;
  }
  return sum;
}

bool InAnyWindow(float clock) {
  for (float start : kStarts) {
    if (clock >= start && clock <= start + kWindow) return true;
  }
  return false;
}

uint32_t Bits(float clock) {
  uint32_t bits;
  std::memcpy(&bits, &clock, sizeof bits);
  return bits;
}

class SeekTest : public demo_test::BuildArchiveTest {
 protected:
  // Frames (clock bits -> checksum) of a run from `from` on fps virtual time: those in the
  // windows for a run from 0, else the first window's worth, after which the run ends.
  std::map<uint32_t, uint64_t> Run(int fps, float from) {
    std::map<uint32_t, uint64_t> frames;
    HeadlessDisplayConfig config;
    config.accepted_bits = {32};
    HeadlessDisplay display(config);
    VirtualCounter counter(fps);
    OfflineAudioDevice audio;
    display.SetFrameSink([&](const HeadlessFrame& frame) {
      const float clock = g_demo.clock.seconds;
      if (from == 0.0f ? InAnyWindow(clock) : clock <= from + kWindow) frames[Bits(clock)] = Checksum(frame);
      if (from > 0.0f && clock > from + kWindow) EndProcess(0);
    });
    DemoOptions options;
    options.from_seconds = from;
    options.seek_fps = fps;
    options.player = false;
    EXPECT_EQ(RunDemo({.display = &display, .counter = &counter, .audio = &audio}, options), 0);
    return frames;
  }
};

TEST_F(SeekTest, FramesFromASeekAreThoseOfARunFromTheStart) {
  for (int fps : {10, 60}) {
    const std::map<uint32_t, uint64_t> whole = Run(fps, 0.0f);
    for (float start : kStarts) {
      const std::map<uint32_t, uint64_t> sought = Run(fps, start);
      ASSERT_FALSE(sought.empty()) << fps << " fps from " << start;
      float first;
      std::memcpy(&first, &sought.begin()->first, sizeof first);
      EXPECT_GE(first, start) << fps << " fps: a frame before the start was shown";
      EXPECT_LT(first, start + 1.5f / fps) << fps << " fps: the first frame at or after " << start << " is missing";
      for (const auto& [bits, checksum] : sought) {
        auto match = whole.find(bits);
        float clock;
        std::memcpy(&clock, &bits, sizeof clock);
        ASSERT_NE(match, whole.end()) << fps << " fps from " << start << ": no frame at " << clock << " from 0";
        EXPECT_EQ(match->second, checksum) << fps << " fps from " << start << ": frame at " << clock << " differs";
      }
    }
  }
}

// Twenty reloads of the whole demo's data, one of them failing on a damaged script that a
// content maker left in the working directory: the failed one keeps every part as it was,
// the others replace them, and (under ASan) nothing leaks across them.
// The page runs the start-up a piece at a time between its own events: the run it then
// plays is the run a whole start plays.
TEST_F(SeekTest, AStartInPiecesPlaysTheFramesOfAWholeStart) {
  constexpr float kFrom = 21.2f;
  std::map<uint32_t, uint64_t> pieced;
  HeadlessDisplayConfig config;
  config.accepted_bits = {32};
  HeadlessDisplay display(config);
  VirtualCounter counter(60);
  OfflineAudioDevice audio;
  display.SetFrameSink([&](const HeadlessFrame& frame) { pieced[Bits(g_demo.clock.seconds)] = Checksum(frame); });
  const Platform platform{.display = &display, .counter = &counter, .audio = &audio};
  DemoStart start{.platform = &platform};
  int pieces = 0;
  const std::optional<int> early = GuardDemoRun([&] {
    for (; !NextDemoStartIsMusic(start) && pieces < 20; ++pieces) EXPECT_TRUE(StepDemoStart(&start));
    EXPECT_FALSE(StepDemoStart(&start));  // the music's is the last
    EXPECT_FALSE(StepDemoStart(&start));  // and nothing is run twice
    FinishDemoStart({.from_seconds = kFrom, .seek_fps = 60, .player = false});
    while (StepDemoFrame() && g_demo.clock.seconds <= kFrom + kWindow) PresentDemoFrame();
    EndDemoRun(DemoEnd::kPlayedOut);
  });
  EXPECT_FALSE(early.has_value());
  EXPECT_EQ(pieces, 1 + kDemoPartLoaders);  // display and archive, then each part
  EXPECT_FALSE(pieced.empty());
  EXPECT_EQ(pieced, Run(60, kFrom));
}

TEST_F(SeekTest, ReloadsReplaceTheDataOrKeepItWhenAFileFails) {
  HeadlessDisplay display;
  VirtualCounter counter(60);
  OfflineAudioDevice audio;
  StartDemoRun({.display = &display, .counter = &counter, .audio = &audio}, {.from_seconds = 0.0f, .seek_fps = 60, .player = false});
  const int32_t textures = g_texture_table.count;
  const int32_t meshes = g_parts.swam.scene.mesh_count;
  ASSERT_GT(meshes, 0);
  for (int i = 0; i < 20; ++i) {
    const bool damaged = i == 7;
    if (damaged) WriteBytes("swam.xml", "<demo><scene><object name=");
    EXPECT_EQ(ReloadDemo(), !damaged) << "reload " << i;
    if (damaged) std::filesystem::remove("swam.xml");
    EXPECT_EQ(g_texture_table.count, textures) << "reload " << i;
    EXPECT_EQ(g_parts.swam.scene.mesh_count, meshes) << "reload " << i;
    SeekDemo(100.0f, 60);
    EXPECT_TRUE(StepDemoFrame()) << "reload " << i;
  }
  EndDemoRun(DemoEnd::kPlayedOut);
}

// Values outside the timeline, or not numbers at all, are refused before anything opens.
TEST(KraOptions, BadValuesAreRefusedWithStatus2) {
  const char* const kBad[] = {"--from -1", "--from 200", "--from nan", "--from inf", "--from", "--bogus", "extra"};
  for (const char* args : kBad) {
    const std::string command = ProgramCommand("kra") + " " + args + " 2>/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << args;
    EXPECT_EQ(WEXITSTATUS(status), 2) << args;
  }
}

}  // namespace
