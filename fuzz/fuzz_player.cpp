// The player over one loaded demo, driven as a window drives it: the input is a sequence of
// operations (seek to a second, play some frames, pause and resume, the seek and frame keys,
// the seek bar, reloads of the same data and of changed data put back, the overlay and help
// showing and hiding, the focus lost and regained, a display device reset, the clock switched
// between virtual time at the seek's rate and a clock at another rate, as real time is).
//
// After each operation two things must hold:
// - the frame the player holds is the frame a run from 0 draws at the same demo second. A
//   run from 0 is drawn once at start-up and kept as a checksum per frame, keyed by the demo
//   clock's bits: seeking and replaying sum the clock the same way, so equal clocks mean the
//   same frame. Every seek puts the clock on that grid, whatever clock the player runs on;
//   frames played on the other clock take it off until the next seek;
// - after a presented frame with nothing over it, the display's surface (a device that keeps
//   its rows between presents, as SDL's streaming texture does) is that frame, every row.
//
// The data is the build's own archive (autoexec.bat beside this program, or KRA_FUZZ_DATA).
// A difference is a finding: the target says which operation and second, and aborts.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unordered_map>

#include "demo/demo_state.h"
#include "demo/entry.h"
#include "demo/player.h"
#include "demo/timeline.h"
#include "display/display_window.h"
#include "display/seek_bar.h"
#include "fuzz_support.h"
#include "platform/counter.h"
#include "platform/display_device.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "resource/data_archive.h"
#include "resource/png_encode.h"

namespace {

constexpr int kFps = 60;
constexpr int kRealTimeFps = 7;  // the stand-in for a real clock: any rate but the seek's
constexpr int kMaxOperations = 24;
constexpr int kMaxReloads = 2;  // a reload reads and decodes the whole archive: keep runs quick

HeadlessDisplay* g_display = nullptr;
// The run's time: the grid's counter, or one of 7 frames a second standing in for real time;
// an operation switches between them, as a frame timer may meet either.
class SwitchedCounter final : public Counter {
 public:
  int64_t Read() override { return Current().Read(); }
  int64_t Frequency() override { return Current().Frequency(); }
  std::optional<int64_t> Standing() const override { return on_grid ? grid.Standing() : other.Standing(); }
  VirtualCounter& Current() { return on_grid ? grid : other; }

  VirtualCounter grid{kFps};
  VirtualCounter other{kRealTimeFps};
  bool on_grid = true;
};
SwitchedCounter* g_time = nullptr;
std::unordered_map<uint32_t, uint64_t> g_frames_from_zero;  // clock bits -> frame checksum

// Whether the clock stands on the seek's grid: every seek puts it there; frames played on
// the other clock take it off.
bool g_on_grid = true;
const bool g_trace = std::getenv("KRA_FUZZ_TRACE") != nullptr;

uint32_t ClockBits(float clock) {
  uint32_t bits;
  std::memcpy(&bits, &clock, sizeof bits);
  return bits;
}

// FNV-1a over the frame the parts draw into, two pixels at a time: a whole run's frames are
// hashed at start-up, under the sanitizers.
uint64_t FrameChecksum() {
  const Texture& frame = g_demo.frame_buffer.frame;
  const size_t pixels = static_cast<size_t>(frame.width) * frame.height;
  uint64_t hash = 1469598103934665603ull;
  for (size_t i = 0; i + 1 < pixels; i += 2) {
    hash = (hash ^ (uint64_t{frame.pixels[i]} << 32 | frame.pixels[i + 1])) * 1099511628211ull;
  }
  return hash;
}

std::filesystem::path DataArchive() {
  if (const char* path = std::getenv("KRA_FUZZ_DATA")) return path;
  char self[4096];
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return "autoexec.bat";
  self[length] = '\0';
  return std::filesystem::path(self).parent_path() / "autoexec.bat";
}

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_player: %s\n", what);
  std::abort();
}

[[noreturn]] void FailAfter(int operation, const char* what, const char* finding) {
  char text[200];
  std::snprintf(text, sizeof text, "after operation %d (%s) at %.6f s: %s", operation, what, g_demo.clock.seconds,
                finding);
  Fail(text);
}

// Every frame of a run from 0, then the player started at 0 for the inputs to drive.
void StartDemoOnce() {
  const std::filesystem::path archive = DataArchive();
  if (!std::filesystem::exists(archive)) Fail("no autoexec.bat beside the program (build kra_data) or in KRA_FUZZ_DATA");
  std::filesystem::current_path(ScratchFolder());
  std::filesystem::remove("autoexec.bat");
  std::filesystem::create_symlink(std::filesystem::absolute(archive), "autoexec.bat");
  std::filesystem::create_directories("data");
  HeadlessDisplayConfig config;
  config.accepted_bits = {32};  // the surface's pixels are the frame's, B, G, R, X
  g_display = new HeadlessDisplay(config);
  g_time = new SwitchedCounter;
  const Platform platform{.display = g_display, .counter = g_time, .audio = nullptr};
  if (GuardDemoRun([&] { StartDemoRun(platform, {.from_seconds = 0.0f, .seek_fps = kFps, .player = true}); })) {
    Fail("the demo did not start");
  }
  g_player.paused_wait_ms = 0;  // nothing to wait for on virtual time
  for (bool more = true; more;) {
    more = StepDemoFrame();
    g_frames_from_zero[ClockBits(g_demo.clock.seconds)] = FrameChecksum();
  }
  PlayerSeek(0.0f);
}

// The frame the player holds now against the run from 0.
void CheckFrame(int operation, const char* what) {
  const auto match = g_frames_from_zero.find(ClockBits(g_demo.clock.seconds));
  if (match == g_frames_from_zero.end()) {
    if (!g_on_grid) return;  // played on the other clock (and maybe paused there): no run to hold it to
    FailAfter(operation, what, "the clock stands where no run from 0 has a frame");
  }
  if (match->second != FrameChecksum()) FailAfter(operation, what, "the frame differs from a run from 0");
}

// The display's surface after a present with nothing over the frame: the frame, every row.
void CheckSurface(int operation, const char* what) {
  if (!g_display_window.active || g_player.overlay || g_player.help || PlayerBarShown()) return;
  const FrameBuffer& buffer = g_demo.frame_buffer;
  const size_t pixels = static_cast<size_t>(buffer.frame.width) * DISPLAY_HEIGHT;
  const auto* surface = reinterpret_cast<const uint32_t*>(g_display->Surface().data());
  if (g_display->Pitch() != buffer.frame.width * 4) Fail("the surface has padding: the check compares rows whole");
  for (size_t i = 0; i < pixels; ++i) {
    if ((surface[i] ^ buffer.display[i]) & 0xFFFFFFu) {
      char finding[96];
      std::snprintf(finding, sizeof finding, "the window shows another picture (row %zu first differs)",
                    i / buffer.frame.width);
      FailAfter(operation, what, finding);
    }
  }
}

struct Input {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t Next() { return at < size ? data[at++] : 0; }
  bool Done() const { return at >= size; }
};

constexpr DisplayEvent kSeekKeys[] = {DisplayEvent::kKeyLeft,     DisplayEvent::kKeyRight, DisplayEvent::kKeyPageUp,
                                      DisplayEvent::kKeyPageDown, DisplayEvent::kKeyHome,  DisplayEvent::kKeyComma,
                                      DisplayEvent::kKeyPeriod};

// What an operation leaves to check: a frame drawn (false after a seek while playing: nothing
// is drawn until the next frame), and a frame presented last.
struct Done {
  bool drawn;
  bool presented;
};

// Plays frames; at the end of the demo starts over, as a viewer would with Home.
Done Play(int frames) {
  for (int i = 0; i < frames; ++i) {
    if (!g_player.paused && !g_time->on_grid) g_on_grid = false;
    if (!PlayFrame()) {
      PlayerSeek(0.0f);
      g_on_grid = true;
      return {g_player.paused, false};
    }
  }
  return {true, true};
}

Done Seeked() {
  g_on_grid = true;
  return {g_player.paused, false};
}

// A file of the data changed on disk and read, then put back and read again: what shows
// after is the data as it was. Valid new content takes over in between; damaged content
// fails, and what played goes on.
void ReloadChangedAndRestored(uint8_t how) {
  const char* path = how % 2 ? "data/swim.xml" : "data/bg_sky.png";
  if (how % 2) {
    WriteFile(path, reinterpret_cast<const uint8_t*>("<demo><scene><object name="), 26);
  } else {
    std::vector<uint8_t> rgb(static_cast<size_t>(WIDTH) * HEIGHT * 3, how);
    const std::vector<uint8_t> png = EncodePngRows(rgb.data(), WIDTH, HEIGHT, 3, WIDTH * 3, 1);
    WriteFile(path, png.data(), png.size());
  }
  HandlePlayerKey(DisplayEvent::kKeyR);
  std::filesystem::remove(path);
  HandlePlayerKey(DisplayEvent::kKeyR);
}

enum Operation : uint8_t {
  kSeek,
  kPlay,
  kPause,
  kSeekKey,
  kOverlay,
  kReload,
  kBoundary,
  kHelp,
  kBar,
  kFocus,
  kDeviceReset,
  kClock,
  kReloadChanged,
  kOperationCount
};

Done Operate(Input* input, int* reloads, const char** what) {
  switch (input->Next() % kOperationCount) {
    case kSeek: {
      *what = "seek";
      const float seconds = (input->Next() * 256 + input->Next()) * (kDemoEnds / 65535.0f);
      PlayerSeek(seconds);
      return Seeked();
    }
    case kPlay:
      *what = "play";
      // Paused, a frame waits on the real clock: one is enough to show the held picture.
      return Play(g_player.paused ? 1 : 1 + input->Next() % 40);
    case kPause:
      *what = "pause";
      HandlePlayerKey(DisplayEvent::kKeySpace);
      return {g_player.paused, false};
    case kSeekKey: {
      *what = "seek key";
      const DisplayEvent key = kSeekKeys[input->Next() % (sizeof kSeekKeys / sizeof kSeekKeys[0])];
      // One frame back or ahead is for a paused picture; playing, the keys do nothing.
      const bool seeks = g_player.paused || (key != DisplayEvent::kKeyComma && key != DisplayEvent::kKeyPeriod);
      HandlePlayerKey(key);
      return seeks ? Seeked() : Done{false, false};
    }
    case kOverlay:
      *what = "overlay";
      HandlePlayerKey(DisplayEvent::kKeyT);
      return {false, false};
    case kReload:
      *what = "reload";
      if (*reloads >= kMaxReloads) return {false, false};
      ++*reloads;
      HandlePlayerKey(DisplayEvent::kKeyR);
      return {g_player.paused, false};
    case kBoundary:
      *what = "seek to a part boundary";
      // The start of mamma1 (every other time), swim or swam: the seeds' bytes keep their meaning.
      PlayerSeek(PartStarts(input->Next() % 2 ? DemoPartId::kMamma1 : input->Next() % 2 ? DemoPartId::kSwim : DemoPartId::kSwam));
      return Seeked();
    case kHelp:
      *what = "help";
      HandlePlayerKey(DisplayEvent::kKeyHelp);
      return {false, false};
    case kBar: {
      *what = "the seek bar";
      const uint8_t how = input->Next();
      const int x = kSeekTrackLeft + input->Next() % (kSeekTrackRight - kSeekTrackLeft);
      const int y = kSeekBarTop + 16;
      switch (how % 3) {
        case 0:  // the pointer moves: the bar shows
          HandlePlayerPointer(DisplayEvent::kPointerMove, x, 100);
          HandlePlayerPointer(DisplayEvent::kPointerMove, x + 1, 101);
          return {false, false};
        case 1:  // a click on the track, then a drag, one frame each
          HandlePlayerPointer(DisplayEvent::kPointerPress, x, y);
          Play(1);
          HandlePlayerPointer(DisplayEvent::kPointerMove, x + (how >> 2), y);
          Play(1);
          HandlePlayerPointer(DisplayEvent::kPointerRelease, x + (how >> 2), y);
          g_on_grid = true;
          return {g_player.paused, false};
        default:  // the pointer rests for longer than the bar stays: gone from the next frame
          g_player.last_wall -= std::chrono::seconds(3);
          return Play(2);
      }
    }
    case kFocus: {
      *what = "focus lost and regained";
      const int frames = 1 + input->Next() % 4;
      g_display->ScheduleEvent(g_display->pumps + 1, DisplayEvent::kDeactivated);
      g_display->ScheduleEvent(g_display->pumps + 1 + frames, DisplayEvent::kActivated);
      return Play(frames + 1);
    }
    case kDeviceReset:
      *what = "device reset";
      g_display->LoseSurface(0xCD);
      return Play(1);
    case kClock:
      *what = "the other clock";
      // As a frame timer does when it starts on a clock: the frames go on from the second
      // they were at, measured on the new one.
      g_time->on_grid = !g_time->on_grid;
      RestartDemoTimer();
      // A timer started anew sums other deltas than a run's, whichever the clock: the frames
      // played from here are off the grid until a seek puts them back.
      g_on_grid = false;
      return {false, false};
    default:
      *what = "reload of changed data, then of the data put back";
      if (*reloads + 2 > kMaxReloads) return {false, false};
      *reloads += 2;
      ReloadChangedAndRestored(input->Next());
      return {g_player.paused, false};
  }
}

// Back to a player at 0, playing on the grid's clock, with nothing over the frame.
void ResetPlayer() {
  if (!g_time->on_grid) {
    g_time->on_grid = true;
    RestartDemoTimer();
  }
  if (g_player.paused) HandlePlayerKey(DisplayEvent::kKeySpace);
  g_player.overlay = g_player.help = g_player.dragging = false;
  g_player.still_seconds = kPlayerBarSeconds;
  PlayerSeek(0.0f);
  g_on_grid = true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  QuietEngine();
  g_data_archive.search_mode = SEARCH_DISK_THEN_ARCHIVE;  // the demo's own lookup, archive and all
  StartDemoOnce();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Input input{data, size};
  int reloads = 0;
  for (int operation = 1; operation <= kMaxOperations && !input.Done(); ++operation) {
    const char* what = "";
    Done done{false, false};
    RunLoader([&] { done = Operate(&input, &reloads, &what); });
    // KRA_FUZZ_TRACE=1 says each operation as it ends, for reading a finding.
    if (g_trace) {
      std::fprintf(stderr, "fuzz_player: %d %s: %.6f s%s%s\n", operation, what, g_demo.clock.seconds,
                   g_player.paused ? ", paused" : "", g_on_grid ? ", on the grid" : "");
    }
    if (done.drawn) CheckFrame(operation, what);
    if (done.presented) CheckSurface(operation, what);
  }
  ResetPlayer();
  return 0;
}
