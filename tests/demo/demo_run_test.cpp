// Whole runs of the demo body on the headless display and virtual time.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <vector>

#include "demo/demo_state.h"
#include "demo/demo_test_support.h"
#include "demo/entry.h"
#include "demo/music.h"
#include "display/display_window.h"
#include "audio/audio_library.h"
#include "audio/audio_offline.h"
#include "audio/audio_test_media.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"

namespace {

struct PresentedFrame {
  float clock;
  DemoPartId next_part;
};

class DemoRunTest : public ::testing::Test {
 protected:
  // A working directory of its own with the scene scripts and no images, so the intro shows
  // nothing and the scene parts only their small objects. The offline audio device turns the
  // fade-out's waits into rendered samples, not wall time.
  void SetUp() override {
    char dir[] = "/tmp/kra_run_XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    ASSERT_EQ(chdir(dir), 0);
    demo_test::WritePartScripts();
  }
  void TearDown() override { SetFramePresentedHook(nullptr, nullptr); }

  OfflineAudioDevice audio;

  int Run(HeadlessDisplay& display, Counter& counter) {
    display.SetFrameSink([this](const HeadlessFrame&) {
      frames.push_back({g_demo.clock.seconds, g_demo.clock.next_part});
    });
    return RunDemo({.display = &display, .counter = &counter, .audio = &audio});
  }

  std::vector<PresentedFrame> frames;
};

// Frames whose clock does not pass 116 s are presented; the one that does is not.
int64_t ExpectedFrames(int fps) {
  const double period = 1.0 / fps;
  float last = static_cast<float>(1 * period);  // StartTimer's second read
  float clock = 0.0f;
  int64_t presented = 0;
  for (int64_t read = 2;; ++read) {
    const float t = static_cast<float>(static_cast<double>(read) * period);
    clock += t - last;
    last = t;
    if (clock > 116.0f) return presented;
    ++presented;
  }
}

TEST_F(DemoRunTest, WholeRunAt60FpsPresentsEveryFrameAndReturnsZero) {
  HeadlessDisplay display;
  VirtualCounter counter(60);
  EXPECT_EQ(Run(display, counter), 0);

  EXPECT_EQ(static_cast<int64_t>(frames.size()), ExpectedFrames(60));
  EXPECT_NEAR(static_cast<double>(frames.size()), 116.0 * 60.0, 1.0);
  EXPECT_EQ(display.flips, static_cast<int64_t>(frames.size()));
  EXPECT_LE(frames.back().clock, 116.0f);
  EXPECT_GT(g_demo.clock.seconds, 116.0f);  // the last frame was drawn, not presented

  // Parts follow the clock, switching once each, in the timeline's order: strictly inside a
  // part's span the next frame is that part's.
  DemoPartId part = DemoPartId::kIntro;
  std::vector<DemoPartId> order = {part};
  for (const PresentedFrame& f : frames) {
    if (f.next_part != part) order.push_back(f.next_part);
    part = f.next_part;
    for (const TimelinePart& span : kTimeline) {
      if (f.clock > span.starts && f.clock < PartEnds(span.id)) EXPECT_EQ(f.next_part, span.id) << f.clock;
    }
  }
  EXPECT_EQ(order, (std::vector<DemoPartId>{DemoPartId::kIntro, DemoPartId::kMamma1, DemoPartId::kSwim,
                                           DemoPartId::kSwam}));
}

TEST_F(DemoRunTest, IntroFramesAreBlackWithoutImages) {
  HeadlessDisplay display;
  VirtualCounter counter(5);
  bool all_black = true;
  display.SetFrameSink([&](const HeadlessFrame& frame) {
    if (g_demo.clock.seconds > 20.0f) return;
    for (int y = 0; y < frame.height; ++y) {
      for (int x = 0; x < frame.width * 4; ++x) {
        if (frame.bytes[static_cast<size_t>(y) * frame.pitch + x] != 0) all_black = false;
      }
    }
  });
  ASSERT_EQ(RunDemo({.display = &display, .counter = &counter, .audio = &audio}), 0);
  EXPECT_TRUE(all_black);
  EXPECT_EQ(display.flips, 116 * 5);
}

TEST_F(DemoRunTest, ScriptShortOfMeshesEndsTheRunAtLoadWithStatusOne) {
  WriteBytes("swam.xml", demo_test::PartScript(2, 3));
  HeadlessDisplay display;
  VirtualCounter counter(60);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(display, counter), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("swam.xml: the part needs 3 meshes, the script defines 2\n"), std::string::npos) << err;
  EXPECT_TRUE(frames.empty());
  EXPECT_EQ(g_demo.frame_buffer.display, nullptr);
}

// A counter that jumps by the given amounts of seconds, one per read.
class JumpingCounter final : public Counter {
 public:
  explicit JumpingCounter(std::vector<double> steps) : steps_(std::move(steps)) {}
  int64_t Read() override {
    const double step = next_ < steps_.size() ? steps_[next_++] : 1.0;
    value_ += static_cast<int64_t>(step * 1000000.0);
    return value_;
  }
  int64_t Frequency() override { return 1000000; }

 private:
  std::vector<double> steps_;
  size_t next_ = 0;
  int64_t value_ = 0;
};

TEST_F(DemoRunTest, LongFirstFrameRunsIntroOnceThenPartTwo) {
  HeadlessDisplay display;
  // start, origin read, then a first frame of 21 s, then 1 s frames.
  JumpingCounter counter({0.0, 0.0, 21.0});
  ASSERT_EQ(Run(display, counter), 0);
  ASSERT_GE(frames.size(), 2u);
  EXPECT_FLOAT_EQ(frames[0].clock, 21.0f);
  EXPECT_EQ(frames[0].next_part, DemoPartId::kMamma1);
  EXPECT_EQ(frames[8].next_part, DemoPartId::kMamma1);  // exactly 29 s: no change yet
  EXPECT_EQ(frames[9].next_part, DemoPartId::kSwim);
}

TEST_F(DemoRunTest, ClockOnExactly116IsPresentedAndTheNextFrameEnds) {
  HeadlessDisplay display;
  JumpingCounter counter({0.0, 0.0, 116.0, 0.5});
  ASSERT_EQ(Run(display, counter), 0);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_FLOAT_EQ(frames[0].clock, 116.0f);
  EXPECT_EQ(frames[0].next_part, DemoPartId::kIntro);  // 116 is in no window: the intro part stays
}

TEST_F(DemoRunTest, NoDisplayIsAFailureWithAReason) {
  HeadlessDisplayConfig config;
  config.fail_create = true;
  HeadlessDisplay display(config);
  VirtualCounter counter(60);
  testing::internal::CaptureStderr();
  EXPECT_EQ(Run(display, counter), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("kra: cannot open a 512x384 display: the headless display was told to fail"),
            std::string::npos)
      << err;
  EXPECT_TRUE(frames.empty());
}

TEST_F(DemoRunTest, EscapeEndsTheRunWithZeroInThatFrame) {
  HeadlessDisplay display;
  VirtualCounter counter(60);
  display.ScheduleEvent(100, DisplayEvent::kEscape);
  EXPECT_EQ(Run(display, counter), 0);
  // The 100th pump ends the process before that frame is converted.
  EXPECT_EQ(display.flips, 99);
  EXPECT_TRUE(display.destroyed);
  EXPECT_TRUE(display.screen_saver_enabled);
}

TEST_F(DemoRunTest, EscapeDuringTheMusicGivesBackTheAudioDevice) {
  const std::vector<uint8_t> mp3 = audio_test::EncodeMp3(audio_test::SineS16(440, 44100, 44100), 44100);
  std::ofstream("zibo.mp3", std::ios::binary).write(reinterpret_cast<const char*>(mp3.data()),
                                                     static_cast<std::streamsize>(mp3.size()));
  HeadlessDisplay display;
  VirtualCounter counter(60);
  display.ScheduleEvent(10, DisplayEvent::kEscape);
  EXPECT_EQ(Run(display, counter), 0);
  EXPECT_EQ(g_music.stream, 0u);
  EXPECT_EQ(g_music.chunk.data, nullptr);
  EXPECT_EQ(g_demo.frame_buffer.display, nullptr);
  // A run that follows in the same process opens the audio afresh.
  EXPECT_EQ(AudioInit(-1, 44100, 0, &audio), 1);
  AudioFree();
}

// Whatever is thrown in the middle of a run (memory running out, a library's exception) ends
// it through the same release as Escape: said on stderr, status 1, the sound and the display
// given back, so a run that follows opens them again.
TEST_F(DemoRunTest, AnyExceptionEndsTheRunThroughTheReleaseAndSaysSo) {
  const std::vector<uint8_t> mp3 = audio_test::EncodeMp3(audio_test::SineS16(440, 44100, 44100), 44100);
  std::ofstream("zibo.mp3", std::ios::binary).write(reinterpret_cast<const char*>(mp3.data()),
                                                     static_cast<std::streamsize>(mp3.size()));
  struct Case {
    void (*raise)();
    const char* said;
  };
  const Case cases[] = {{[] { throw std::bad_alloc(); }, "kra stopped on an internal error: std::bad_alloc\n"},
                        {[] { throw 7; }, "kra stopped on an internal error: an exception of no known type\n"}};
  for (const Case& c : cases) {
    HeadlessDisplay display;
    VirtualCounter counter(60);
    int presented = 0;
    auto hook = [](void* user) {
      auto* state = static_cast<std::pair<int*, void (*)()>*>(user);
      if (++*state->first == 5) state->second();
    };
    std::pair<int*, void (*)()> state{&presented, c.raise};
    SetFramePresentedHook(hook, &state);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(display, counter), 1);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find(c.said), std::string::npos) << err;
    EXPECT_EQ(presented, 5);
    EXPECT_TRUE(display.destroyed);
    EXPECT_EQ(g_music.chunk.data, nullptr);
    EXPECT_FALSE(audio.IsOpen());
    EXPECT_EQ(g_demo.frame_buffer.display, nullptr);
    EXPECT_EQ(AudioInit(-1, 44100, 0, &audio), 1);
    AudioFree();
  }
}

TEST_F(DemoRunTest, CloseRequestEndsTheRunWithZero) {
  HeadlessDisplay display;
  VirtualCounter counter(60);
  display.ScheduleEvent(3, DisplayEvent::kClose);
  EXPECT_EQ(Run(display, counter), 0);
  EXPECT_EQ(display.flips, 2);
}

TEST_F(DemoRunTest, InactiveWindowDropsFramesButKeepsTime) {
  HeadlessDisplay display;
  VirtualCounter counter(60);
  display.ScheduleEvent(10, DisplayEvent::kDeactivated);
  display.ScheduleEvent(70, DisplayEvent::kActivated);
  ASSERT_EQ(Run(display, counter), 0);
  // Pumps 10..69 drop their frames: 60 frames fewer presented than pumps.
  EXPECT_EQ(display.pumps - display.flips, 60);
  EXPECT_EQ(static_cast<int64_t>(frames.size()), ExpectedFrames(60) - 60);
}

}  // namespace
