// What the benchmarks of the whole demo share: the build's data archive found, and the demo
// started on the headless display, offline audio and virtual time.
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <system_error>

#include "audio/audio_offline.h"
#include "demo/entry.h"
#include "demo/frame_buffer.h"
#include "display/display_window.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"

// Moves to the folder of the data archive: the working directory's "autoexec.bat", else the
// one beside the benchmark program (where the build writes it). Without one the benchmark is
// skipped, saying why, and the answer is false.
inline bool EnterArchiveFolder(benchmark::State& state) {
  std::filesystem::path archive = "autoexec.bat";
  std::error_code ignored;
  if (std::filesystem::exists(archive)) {
    archive = std::filesystem::absolute(archive);
  } else {
    archive = std::filesystem::read_symlink("/proc/self/exe", ignored).parent_path() / "autoexec.bat";
  }
  if (!std::filesystem::exists(archive)) {
    state.SkipWithError("autoexec.bat not found: build the target kra_data and run from the build folder");
    return false;
  }
  std::filesystem::current_path(archive.parent_path());
  return true;
}

// The demo started for one benchmark on a platform of its own (headless display, offline
// audio, a virtual counter at fps), ended when it goes.
class HeadlessDemoRun {
 public:
  HeadlessDemoRun(benchmark::State& state, const DemoOptions& options, int fps)
      : counter_{fps} {
    const Platform platform{.display = &display_, .counter = &counter_, .audio = &audio_};
    started_ = !GuardDemoRun([&] { StartDemoRun(platform, options); });
    if (!started_) state.SkipWithError("the demo did not start");
  }
  ~HeadlessDemoRun() {
    if (started_) EndDemoRun(DemoEnd::kPlayedOut);
  }
  HeadlessDemoRun(const HeadlessDemoRun&) = delete;
  HeadlessDemoRun& operator=(const HeadlessDemoRun&) = delete;
  bool started() const { return started_; }

 private:
  HeadlessDisplay display_;
  OfflineAudioDevice audio_;
  VirtualCounter counter_;
  bool started_ = false;
};

// The floor under any demo frame: the frame buffer cleared and presented on a headless
// display with nothing drawn, frames_per_pass times a pass. Returns the frames presented.
inline int64_t RunClearAndPresent(benchmark::State& state, int frames_per_pass) {
  HeadlessDisplay display;
  OpenDisplay(&display, "kra", WIDTH, DISPLAY_HEIGHT);
  FrameBuffer buffer{};
  CreateFrameBuffer(&buffer, WIDTH, HEIGHT, DISPLAY_HEIGHT);
  int64_t frames = 0;
  for (auto _ : state) {
    for (int i = 0; i < frames_per_pass; ++i, ++frames) {
      ClearFrameBuffer(&buffer);
      ShowFrameBuffer(&buffer);
    }
  }
  FreeFrameBuffer(&buffer);
  CloseDisplay();
  return frames;
}
