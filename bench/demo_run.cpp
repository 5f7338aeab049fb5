// The whole demo as a product: 116 s at 60 frames a second from the build's "autoexec.bat",
// on the headless display and virtual time, with no frame written anywhere. Reports frames
// per second overall and per part, the slowest frame, the start-up (from the entry to the
// first frame's clock read: archive, images, scripts, meshes, textures, music), and how many
// allocations the frame loop makes (counted by this program's own operator new).
//
// Its peer is the frame loop's floor: clearing and presenting the same number of frames
// with nothing drawn. Run it from the build folder (or anywhere: it looks next to itself).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "demo/demo_state.h"
#include "demo/demo_run.h"
#include "demo/entry.h"
#include "demo/frame_buffer.h"
#include "display/display_window.h"
#include "audio/audio_offline.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "demo_bench_support.h"
#include "ratio_reporter.h"

namespace {

std::atomic<int64_t> g_allocations{0};

}  // namespace

// Replacing the global pair: GCC takes free() on what this operator new returns for a mismatch.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

// Frames are timed in this thread's CPU time: the machine is shared, and a frame's cost on
// one core is what the goals are about, not the time other programs take from it.
double ThreadSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

constexpr int kFps = 60;
constexpr double kDemoSeconds = 116.0;
constexpr size_t kFrameCapacity = 8000;  // more than 116 s at 60 frames a second

// Virtual time for the demo, and a stopwatch on each frame. StartTimer reads the counter
// twice (the first read ends the start-up); after that TickTimer reads it once at the start
// of every frame, when the current part is the one that frame draws.
// The row of the timeline's table the part is on; -1 for none.
int TimelineRow(DemoPartId part) {
  for (int row = 0; row < kTimelineParts; ++row) {
    if (kTimeline[row].id == part) return row;
  }
  return -1;
}

struct FrameClock final : public Counter {
  VirtualCounter virtual_time{kFps};
  double run_started = 0, last_read = 0;
  int64_t reads = 0;
  int part_drawn = -1;  // the timeline row of the frame that began at the last read; -1 before the first
  double startup_seconds = 0, slowest = 0;
  float slowest_clock = 0;  // the demo clock of the slowest frame
  double part_seconds[kTimelineParts] = {};
  int64_t part_frames[kTimelineParts] = {};
  int64_t allocations_at_first_frame = 0, allocations_at_last_present = 0;
  // Every frame's time, in storage made before the run so the loop's count stays its own.
  std::vector<double> frame_seconds = std::vector<double>(kFrameCapacity);
  size_t frames_timed = 0;

  // The time that all but the given share of frames stay under.
  double Percentile(double share) {
    std::sort(frame_seconds.begin(), frame_seconds.begin() + frames_timed);
    return frames_timed ? frame_seconds[static_cast<size_t>(share * (frames_timed - 1))] : 0.0;
  }

  int64_t Frequency() override { return virtual_time.Frequency(); }
  int64_t Read() override {
    const double now = ThreadSeconds();
    ++reads;
    if (reads == 1) startup_seconds = now - run_started;
    if (reads == 3) allocations_at_first_frame = g_allocations.load();
    if (part_drawn >= 0) {
      const double seconds = now - last_read;
      if (seconds > slowest) {
        slowest = seconds;
        slowest_clock = g_demo.clock.seconds;
      }
      part_seconds[part_drawn] += seconds;
      if (frames_timed < frame_seconds.size()) frame_seconds[frames_timed++] = seconds;
      part_frames[part_drawn]++;
    }
    part_drawn = reads >= 3 ? TimelineRow(g_demo.clock.next_part) : -1;
    last_read = now;
    return virtual_time.Read();
  }
};

void OnPresented(void* user) { static_cast<FrameClock*>(user)->allocations_at_last_present = g_allocations.load(); }

void BM_WholeDemo60Fps(benchmark::State& state) {
  if (!EnterArchiveFolder(state)) return;
  for (auto _ : state) {
    HeadlessDisplay display;
    OfflineAudioDevice audio;
    FrameClock clock;
    SetFramePresentedHook(OnPresented, &clock);
    clock.run_started = ThreadSeconds();
    if (RunDemo({.display = &display, .counter = &clock, .audio = &audio}) != 0) state.SkipWithError("the demo did not end with status 0");
    SetFramePresentedHook(nullptr, nullptr);

    double loop_seconds = 0;
    int64_t frames = 0;
    for (int p = 0; p < kTimelineParts; ++p) {
      loop_seconds += clock.part_seconds[p];
      frames += clock.part_frames[p];
    }
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["fps"] = frames / loop_seconds;
    state.counters["x_real_time"] = kDemoSeconds / loop_seconds;
    state.counters["slowest_ms"] = clock.slowest * 1e3;
    const double p999 = clock.Percentile(0.999);
    state.counters["p99.9_ms"] = p999 * 1e3;
    state.counters["startup_ms"] = clock.startup_seconds * 1e3;
    state.counters["loop_allocs"] = static_cast<double>(clock.allocations_at_last_present - clock.allocations_at_first_frame);
    for (int p = 0; p < kTimelineParts; ++p) {
      if (clock.part_frames[p]) {
        state.counters[std::string("fps_") + kTimeline[p].name] = clock.part_frames[p] / clock.part_seconds[p];
      }
    }
    std::fprintf(stderr, "whole demo: %lld frames in %.3f s of CPU, %.1fx real time; slowest frame %.3f ms (at %.2f s), 99.9%% under %.3f ms; start-up %.1f ms; "
                 "%lld allocations in the frame loop\n",
                 static_cast<long long>(frames), loop_seconds, kDemoSeconds / loop_seconds, clock.slowest * 1e3,
                 clock.slowest_clock, p999 * 1e3, clock.startup_seconds * 1e3,
                 static_cast<long long>(clock.allocations_at_last_present - clock.allocations_at_first_frame));
  }
}
BENCHMARK(BM_WholeDemo60Fps)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

// The floor under any frame: clear and present, 116 s worth of frames, nothing drawn.
void BM_ClearAndPresentOnly(benchmark::State& state) {
  RunClearAndPresent(state, static_cast<int>(kDemoSeconds * kFps));
}
BENCHMARK(BM_ClearAndPresentOnly)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

// Seeking to a second (the argument, in tenths): the clock summed from 0 and the part that
// second falls in replayed from its start at 60 frames a second, nothing drawn.
void BM_SeekTo(benchmark::State& state) {
  if (!EnterArchiveFolder(state)) return;
  const HeadlessDemoRun demo(state, {.from_seconds = 0.0f, .seek_fps = kFps, .player = false}, kFps);
  if (!demo.started()) return;
  const float seconds = static_cast<float>(state.range(0)) / 10.0f;
  for (auto _ : state) SeekDemo(seconds, kFps);
  std::fprintf(stderr, "seek to %.1f s: the demo clock there is %.4f s\n", seconds, g_demo.clock.seconds);
}
BENCHMARK(BM_SeekTo)->Arg(200)->Arg(600)->Arg(1000)->Arg(1159)->Unit(benchmark::kMillisecond);

// Its peer: getting to the same second by playing every frame there, drawn.
void BM_PlayTo(benchmark::State& state) {
  if (!EnterArchiveFolder(state)) return;
  const HeadlessDemoRun demo(state, {.from_seconds = 0.0f, .seek_fps = kFps, .player = false}, kFps);
  if (!demo.started()) return;
  const float seconds = static_cast<float>(state.range(0)) / 10.0f;
  for (auto _ : state) {
    SeekDemo(0.0f, kFps);
    while (g_demo.clock.seconds < seconds && StepDemoFrame()) {
    }
  }
}
BENCHMARK(BM_PlayTo)->Arg(200)->Arg(600)->Arg(1000)->Arg(1159)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

// The ratios tell how many bare clear-and-present loops one demo run costs, and how much
// cheaper a seek is than playing up to the same second.
KRA_BENCHMARK_MAIN_WITH_RATIOS({{"BM_ClearAndPresentOnly/iterations:1", "BM_WholeDemo60Fps/iterations:1"},
                                {"BM_SeekTo/200", "BM_PlayTo/200/iterations:1"},
                                {"BM_SeekTo/600", "BM_PlayTo/600/iterations:1"},
                                {"BM_SeekTo/1000", "BM_PlayTo/1000/iterations:1"},
                                {"BM_SeekTo/1159", "BM_PlayTo/1159/iterations:1"}})
