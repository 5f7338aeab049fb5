// The player over one loaded demo at 60 frames a second on virtual time: the input is a
// sequence of operations (seek to a second, play some frames, pause and resume, the player's
// seek keys, reload the same data, toggle the overlay), and after each one the frame the
// player holds must be the frame that a run from 0 draws at the same demo second. A run from
// 0 is drawn once at start-up and kept as a checksum per frame, keyed by the demo clock's
// bits: seeking and replaying sum the clock the same way, so equal clocks mean the same frame.
//
// The data is the build's own archive (autoexec.bat beside this program, or KRA_FUZZ_DATA).
// A frame that differs is a finding: the target says which operation and second, and aborts.
#include <unistd.h>

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
#include "fuzz_support.h"
#include "platform/counter.h"
#include "platform/display_device.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "resource/data_archive.h"

namespace {

constexpr int kFps = 60;
constexpr int kMaxOperations = 24;
constexpr int kMaxReloads = 1;  // a reload reads and decodes the whole archive: keep runs quick

HeadlessDisplay* g_display = nullptr;
VirtualCounter* g_counter = nullptr;
std::unordered_map<uint32_t, uint64_t> g_frames_from_zero;  // clock bits -> frame checksum

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

// Every frame of a run from 0, then the player started at 0 for the inputs to drive.
void StartDemoOnce() {
  const std::filesystem::path archive = DataArchive();
  if (!std::filesystem::exists(archive)) Fail("no autoexec.bat beside the program (build kra_data) or in KRA_FUZZ_DATA");
  std::filesystem::current_path(ScratchFolder());
  std::filesystem::remove("autoexec.bat");
  std::filesystem::create_symlink(std::filesystem::absolute(archive), "autoexec.bat");
  g_display = new HeadlessDisplay();
  g_counter = new VirtualCounter(kFps);
  g_platform = {.display = g_display, .counter = g_counter, .audio = nullptr};
  if (GuardDemoRun([] { StartDemoRun({.from_seconds = 0.0f, .seek_fps = kFps, .player = true}); })) {
    Fail("the demo did not start");
  }
  for (bool more = true; more;) {
    more = StepDemoFrame();
    g_frames_from_zero[ClockBits(g_demo.clock.seconds)] = FrameChecksum();
  }
  PlayerSeek(0.0f);
}

// The frame the player holds now against the run from 0.
void CheckFrame(int operation, const char* what) {
  const auto match = g_frames_from_zero.find(ClockBits(g_demo.clock.seconds));
  char text[160];
  if (match == g_frames_from_zero.end()) {
    std::snprintf(text, sizeof text, "after operation %d (%s) the clock is at %.6f s, where no run from 0 has a frame",
                  operation, what, g_demo.clock.seconds);
    Fail(text);
  }
  if (match->second != FrameChecksum()) {
    std::snprintf(text, sizeof text, "after operation %d (%s) the frame at %.6f s differs from a run from 0",
                  operation, what, g_demo.clock.seconds);
    Fail(text);
  }
}

// Back to a player at 0, playing, without the overlay.
void ResetPlayer() {
  if (g_player.paused) HandlePlayerKey(DisplayEvent::kKeySpace);
  g_player.overlay = false;
  PlayerSeek(0.0f);
}

struct Input {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  uint8_t Next() { return at < size ? data[at++] : 0; }
  bool Done() const { return at >= size; }
};

constexpr DisplayEvent kSeekKeys[] = {DisplayEvent::kKeyLeft, DisplayEvent::kKeyRight, DisplayEvent::kKeyPageUp,
                                      DisplayEvent::kKeyPageDown, DisplayEvent::kKeyHome};

// One operation; true when the frame buffer then holds a frame to check (after a seek while
// playing, nothing is drawn until the next frame).
bool Operate(Input* input, int* reloads, const char** what) {
  const uint8_t op = input->Next();
  switch (op % 7) {
    case 0: {
      *what = "seek";
      const float seconds = (input->Next() * 256 + input->Next()) * (kDemoEnds / 65535.0f);
      PlayerSeek(seconds);
      return g_player.paused;
    }
    case 1: {
      *what = "play";
      // Paused, a frame waits on the real clock: one is enough to show the held picture.
      const int frames = g_player.paused ? 1 : 1 + input->Next() % 40;
      for (int i = 0; i < frames; ++i) {
        if (!PlayFrame()) {
          PlayerSeek(0.0f);  // the end: start over, as a viewer would with Home
          return g_player.paused;
        }
      }
      return true;
    }
    case 2:
      *what = "pause";
      HandlePlayerKey(DisplayEvent::kKeySpace);
      return g_player.paused;
    case 3:
      *what = "seek key";
      HandlePlayerKey(kSeekKeys[input->Next() % (sizeof kSeekKeys / sizeof kSeekKeys[0])]);
      return g_player.paused;
    case 4:
      *what = "overlay";
      HandlePlayerKey(DisplayEvent::kKeyT);
      return false;
    case 5:
      *what = "reload";
      if (*reloads >= kMaxReloads) return false;
      ++*reloads;
      HandlePlayerKey(DisplayEvent::kKeyR);
      return g_player.paused;
    default:
      *what = "seek to a part boundary";
      PlayerSeek(input->Next() % 2 ? kIntroEnds : input->Next() % 2 ? kMammaEnds : kSwimEnds);
      return g_player.paused;
  }
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
    bool drawn = false;
    RunLoader([&] { drawn = Operate(&input, &reloads, &what); });
    if (drawn) CheckFrame(operation, what);
  }
  ResetPlayer();
  return 0;
}
