// One part of the demo at a time, as the player plays it: the demo loaded once from the
// build's "autoexec.bat" on the headless display and virtual time, sought to the part's
// first second, then every frame of the part drawn and presented. Made for profiling a part
// on its own (perf record ... ./bench_demo_parts --benchmark_filter=BM_DemoPart/3), and as
// each part's frames per second without the others around it.
//
// Its peer is the same number of bare clear-and-present frames. BM_PaintAt paints one frame
// of a part again and again: the drawing alone, for comparing changes to the renderer and
// the compositing.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "audio/audio_offline.h"
#include "demo/demo_parts.h"
#include "demo/demo_run.h"
#include "demo/entry.h"
#include "demo/demo_state.h"
#include "demo/frame_buffer.h"
#include "demo/player.h"
#include "demo/timeline.h"
#include "display/display_window.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "demo_bench_support.h"
#include "ratio_reporter.h"

namespace {

constexpr int kFps = 60;
void BM_DemoPart(benchmark::State& state) {
  const auto part = static_cast<DemoPartId>(state.range(0));
  if (!EnterArchiveFolder(state)) return;
  const HeadlessDemoRun run(state, {.from_seconds = 0.0f, .seek_fps = kFps, .player = true}, kFps);
  if (!run.started()) return;
  int64_t frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (PartStarts(part) > 0.0f) PlayerSeek(PartStarts(part));
    else SeekDemo(0.0f, kFps);
    state.ResumeTiming();
    while (g_demo.clock.seconds < PartEnds(part) && PlayFrame()) ++frames;
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
// The argument is the part's id (1 to 4: the names bench-compare has always matched).
BENCHMARK(BM_DemoPart)
    ->Arg(static_cast<int>(DemoPartId::kIntro))
    ->Arg(static_cast<int>(DemoPartId::kMamma1))
    ->Arg(static_cast<int>(DemoPartId::kSwim))
    ->Arg(static_cast<int>(DemoPartId::kSwam))
    ->Unit(benchmark::kMillisecond)->MinTime(2.0);

// One frame painted over and over: the demo sought to a second (the argument), then only the
// current part's paint (background, layers, the 3D scene), nothing stepped or presented. The
// same pixels every time, so it is a steady measure of the drawing alone.
void BM_PaintAt(benchmark::State& state) {
  if (!EnterArchiveFolder(state)) return;
  const float seconds = static_cast<float>(state.range(0));
  const HeadlessDemoRun run(state, {.from_seconds = seconds, .seek_fps = kFps, .player = false}, kFps);
  if (!run.started()) return;
  StepDemoFrame();
  for (auto _ : state) PaintDemoPart(g_parts, g_demo.painted_by, &g_demo.frame_buffer.frame);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintAt)->Arg(25)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

// The floor: clearing and presenting a frame with nothing drawn, a second's worth per pass.
void BM_ClearAndPresent(benchmark::State& state) {
  const int64_t frames = RunClearAndPresent(state, kFps);
  state.counters["fps"] = benchmark::Counter(static_cast<double>(frames), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ClearAndPresent)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
