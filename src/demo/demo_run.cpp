#include "demo/demo_run.h"

#include <cstdio>
#include <optional>
#include <string>

#include "demo/demo_parts.h"
#include "demo/demo_reload.h"
#include "demo/demo_state.h"
#include "demo/music.h"
#include "demo/timeline.h"
#include "display/display_window.h"
#include "platform/counter.h"
#include "platform/display_device.h"
#include "platform/executable_dir.h"
#include "platform/platform.h"
#include "platform/printable_text.h"
#include "platform/process.h"
#include "render/render_context.h"
#include "resource/archive_damage.h"
#include "resource/archive_location.h"
#include "resource/data_archive.h"

namespace {

// The intro's first image: with neither it nor an archive here, the data is elsewhere, and
// where the demo looked is said before every file's own complaint.
constexpr const char* kFirstDataFile = "presents.png";

// What the frame timer reads: the run's counter; real time when it was given none.
Counter& RunCounter() {
  static SystemCounter real_time;
  return g_demo.counter ? *g_demo.counter : real_time;
}

FramePresentedHook g_frame_hook = nullptr;
void* g_frame_hook_user = nullptr;

[[noreturn]] void EndNoDisplay(DisplayDevice* device) {
  std::string reason = device ? device->LastError() : "no display device";
  std::fprintf(stderr, "kra: cannot open a %dx%d display: %s\n", WIDTH, DISPLAY_HEIGHT, reason.c_str());
  EndProcess(1);
}

// Where a seek lands: how many frames come before the target one, and the part that the
// timeline has chosen by then.
struct SeekTarget {
  int64_t frames;
  DemoPartId part;
};

// The timeline alone, on a timer of its own over a virtual counter of fps: no part runs.
SeekTarget FindSeekTarget(float seconds, int fps) {
  VirtualCounter counter(fps);
  FrameTimer timer{};
  StartTimer(&timer, counter);
  DemoClock clock;
  int64_t frames = 0;
  for (;;) {
    TickTimer(&timer, counter);
    DemoClock next = clock;
    AdvanceDemoClock(&next, timer.delta);
    if (next.seconds >= seconds || TimelineEnded(next.seconds)) break;
    clock = next;
    ++frames;
  }
  return {frames, clock.next_part};
}

// The frame timer after a replay on replay_counter: the run's counter, when it stands on a
// grid of the same rate, carries on exactly where the replay's did; any other starts from now.
void ContinueTimer(const VirtualCounter& replay_counter) {
  Counter& counter = RunCounter();
  const std::optional<int64_t> standing = counter.Standing();
  if (standing && counter.Frequency() == replay_counter.Rate()) {
    // Both counts the timer keeps move from the replay's counter to the run's: a pause
    // taken out before the next tick (ResumeTimer) measures from the last one.
    const int64_t shift = *standing - replay_counter.Peek();
    g_demo.timer.start_count += shift;
    g_demo.timer.last_count += shift;
  } else {
    RestartDemoTimer();
  }
}

// Rows outside both the last paint's damage and this one's are the backdrop's in both frames:
// the others are all that may have changed. Without a record on either side, all may have.
void MarkPaintedRows(const BackdropDamage& before, const BackdropDamage& after) {
  FrameBuffer& buffer = g_demo.frame_buffer;
  if (!before.backdrop || before.backdrop != after.backdrop) {
    MarkFrameChanged(&buffer, 0, buffer.frame.height);
    return;
  }
  MarkFrameChanged(&buffer, before.top, before.bottom);
  MarkFrameChanged(&buffer, after.top, after.bottom);
}

// One frame of the part: its step, then its picture, the frame cleared to black first unless
// the part's first image covers every pixel of it. What another part left in the frame is
// not what this part's damage record describes.
void StepAndPaint(DemoPartId part, float delta) {
  StepDemoPart(&g_parts, part, delta);
  Texture& frame = g_demo.frame_buffer.frame;
  if (part != g_demo.painted_by) ForgetBackdropDamage(&frame);
  g_demo.painted_by = part;
  if (!PartCoversFrame(g_parts, part, frame.width, frame.height)) ClearFrameBuffer(&g_demo.frame_buffer);
  const BackdropDamage before = g_demo.frame_buffer.damage;
  PaintDemoPart(g_parts, part, &frame);
  MarkPaintedRows(before, g_demo.frame_buffer.damage);
}

void ReportDamagedArchive(const std::string& path) {
  const std::string damage = path.empty() ? "" : ArchiveDamage(path.c_str());
  if (!damage.empty()) {
    std::fprintf(stderr, "%s: the data archive is damaged: %s\n", PrintableText(path).c_str(), damage.c_str());
  }
}

void OpenDemoOutput(const Platform& platform) {
  ResetDemoState();
  g_demo.counter = platform.counter;
  // A display that cannot be opened is a failure, not a quiet success.
  if (!OpenDisplay(platform.display, "kra", WIDTH, DISPLAY_HEIGHT)) EndNoDisplay(platform.display);
  if (!CreateFrameBuffer(&g_demo.frame_buffer, WIDTH, HEIGHT, DISPLAY_HEIGHT)) EndProcess(1);
  InitRenderer(g_demo.frame_buffer.frame);
  ClearFrameBuffer(&g_demo.frame_buffer);
  // The working directory's autoexec.bat, else the one installed beside the program; without
  // either, files are still found on disk and in data/.
  // A damaged one is said once here, rather than left to a "not found" line for every file
  // it should have held.
  ReportDamagedArchive(FindDemoArchive(ExecutableDir()));
  if (OpenDemoArchive(&g_data_archive).empty() && !LooseDataFileThere(kFirstDataFile)) {
    std::fprintf(stderr, "kra: no data: %s\n", DescribeDataSearch(ExecutableDir()).c_str());
  }
}

void LoadDemoMusic(const Platform& platform) {
  RenderEnable(CAP_TEXTURE);
  RenderEnable(CAP_INERT_1002);
  // Missing or unplayable music leaves the demo running silent.
  ResetMusic(platform.audio);
  LoadMusic(LoadFile(kMusicFile));
}

// StepDemoStart's pieces: the output and archive, each part, then the music.
constexpr int kMusicPiece = 1 + kDemoPartLoaders;

}  // namespace

void StartDemo(const Platform& platform) {
  DemoStart start{.platform = &platform};
  while (StepDemoStart(&start)) {
  }
}

bool NextDemoStartIsMusic(const DemoStart& start) { return start.next == kMusicPiece; }

bool StepDemoStart(DemoStart* start) {
  const int piece = start->next++;
  if (piece == 0) {
    OpenDemoOutput(*start->platform);
  } else if (piece < kMusicPiece) {
    LoadDemoPart(&g_parts, piece - 1);
  } else if (piece == kMusicPiece) {
    LoadDemoMusic(*start->platform);
  }
  return piece < kMusicPiece;
}

void StartDemoClock(float from_seconds, int seek_fps) {
  StartTimer(&g_demo.timer, RunCounter());
  if (from_seconds > 0.0f) SeekDemo(from_seconds, seek_fps);
  PlayMusic();
}

bool StepDemoFrame() {
  TickTimer(&g_demo.timer, RunCounter());
  const DemoPartId part = AdvanceDemoClock(&g_demo.clock, g_demo.timer.delta);
  StepAndPaint(part, g_demo.timer.delta);
  return !TimelineEnded(g_demo.clock.seconds);
}

void PresentDemoFrame() {
  ShowFrameBuffer(&g_demo.frame_buffer);
  if (g_frame_hook) g_frame_hook(g_frame_hook_user);
}

namespace {

// SeekDemo's replay on counter, which then stands where the frame before the target was read.
void ReplayToSeekTarget(float seconds, int fps, VirtualCounter& counter) {
  const SeekTarget target = FindSeekTarget(seconds, fps);
  RewindDemoParts(&g_parts);
  StartTimer(&g_demo.timer, counter);
  g_demo.clock = DemoClock{};
  for (int64_t frame = 0; frame < target.frames; ++frame) {
    TickTimer(&g_demo.timer, counter);
    const DemoPartId part = AdvanceDemoClock(&g_demo.clock, g_demo.timer.delta);
    if (part == target.part) StepDemoPart(&g_parts, part, g_demo.timer.delta);
  }
}

}  // namespace

void SeekDemo(float seconds, int fps) {
  VirtualCounter counter(fps);
  ReplayToSeekTarget(seconds, fps, counter);
  ContinueTimer(counter);
  SeekMusic(g_demo.clock.seconds);
}

bool SeekDemoFrame(float seconds, int fps) {
  VirtualCounter counter(fps);
  ReplayToSeekTarget(seconds, fps, counter);
  TickTimer(&g_demo.timer, counter);
  StepAndPaint(AdvanceDemoClock(&g_demo.clock, g_demo.timer.delta), g_demo.timer.delta);
  ContinueTimer(counter);
  SeekMusic(g_demo.clock.seconds);
  return !TimelineEnded(g_demo.clock.seconds);
}

bool ReplayDemoFrame(int fps) {
  const DemoClock clock = g_demo.clock;
  const FrameTimer timer = g_demo.timer;
  VirtualCounter counter(fps);
  ReplayToSeekTarget(clock.seconds, fps, counter);
  // The replay stops at the frame before. A clock on its grid (every paused picture, and any
  // frame of a run at fps) is reached by the grid's next frame, stepped with that frame's own
  // delta as the run stepped it; off the grid (real time), the parts are stepped with the
  // delta that brings them to the clock itself.
  TickTimer(&g_demo.timer, counter);
  float delta = g_demo.timer.delta;
  if (g_demo.clock.seconds + delta != clock.seconds) delta = clock.seconds - g_demo.clock.seconds;
  const bool drawn = delta > 0.0f;
  if (drawn) {
    DemoClock step = g_demo.clock;
    StepAndPaint(AdvanceDemoClock(&step, delta), delta);
  }
  g_demo.clock = clock;
  g_demo.timer = timer;
  SeekMusic(clock.seconds);
  return drawn;
}

void RestartDemoTimer() { StartTimer(&g_demo.timer, RunCounter()); }

void ResumeDemoTimer() { ResumeTimer(&g_demo.timer, RunCounter()); }

void ReleaseDemo(DemoEnd end) {
  if (end == DemoEnd::kPlayedOut) {
    FadeOutMusic();
  } else {
    ReleaseMusic();
    // An early end leaves nothing on the screen: the driver's devices may outlive the run.
    CloseDisplay();
  }
  ReleaseRenderer();
  ReleaseDemoParts(&g_parts);
  FreeFrameBuffer(&g_demo.frame_buffer);
  CloseArchive(&g_data_archive);
}

void SetFramePresentedHook(FramePresentedHook hook, void* user) {
  g_frame_hook = hook;
  g_frame_hook_user = user;
}
