#include "demo/player.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "demo/demo_parts.h"
#include "demo/demo_reload.h"
#include "demo/demo_run.h"
#include "demo/demo_state.h"
#include "demo/music.h"
#include "demo/timeline.h"
#include "display/display_window.h"
#include "display/overlay_text.h"
#include "display/seek_bar.h"
#include "platform/display_device.h"
#include "platform/executable_dir.h"
#include "platform/process.h"
#include "resource/archive_location.h"
#include "resource/data_archive.h"
#include "resource/file_reads.h"

PlayerState g_player;

namespace {

constexpr float kStepSeconds = 5.0f;
constexpr float kLeapSeconds = 20.0f;
constexpr float kFrameSeconds = 1.0f / PLAYER_SEEK_FPS;
constexpr float kFpsWindow = 0.5f;  // seconds of frames the overlay's rate is taken over
constexpr int32_t kPausedWaitMs = 10;
constexpr float kSeekSlack = kFrameSeconds / 100.0f;

// Where each part after the first starts: the bar's chapter marks.
constexpr std::array<float, kTimelineParts - 1> kChapters = [] {
  std::array<float, kTimelineParts - 1> starts{};
  for (int i = 1; i < kTimelineParts; ++i) starts[i - 1] = kTimeline[i].starts;
  return starts;
}();

const char* const kHelpLines[] = {
    "SPACE, CLICK       PAUSE / PLAY",
    "LEFT RIGHT, WHEEL  5 S BACK / AHEAD",
    "PGUP PGDN          20 S BACK / AHEAD",
    "HOME               THE START",
    "COMMA PERIOD       ONE FRAME (PAUSED)",
    "CLICK, DRAG BAR    SEEK",
    "R                  RELOAD THE DATA",
    "T                  SECOND, PART, FPS",
    "F11                FULL SCREEN",
    "ESC                QUIT",
    "H ?                THIS HELP",
};

size_t FramePixels() { return static_cast<size_t>(g_demo.frame_buffer.frame.width) * g_demo.frame_buffer.frame.height; }

void HoldFrame() {
  if (g_player.held) std::memcpy(g_player.held, g_demo.frame_buffer.frame.pixels, FramePixels() * sizeof(uint32_t));
}

void RestoreHeldFrame() {
  if (g_player.held) std::memcpy(g_demo.frame_buffer.frame.pixels, g_player.held, FramePixels() * sizeof(uint32_t));
}

void CountFrame(float delta) {
  g_player.fps_seconds += delta;
  ++g_player.fps_frames;
  if (g_player.fps_seconds < kFpsWindow) return;
  g_player.fps = static_cast<float>(g_player.fps_frames) / g_player.fps_seconds;
  g_player.fps_seconds = 0.0f;
  g_player.fps_frames = 0;
}

// The title says what the picture cannot: while paused, the second held, so the moment can
// be read off and named; after a reload that failed, the file to mend, until one succeeds.
void ShowTitle() {
  DisplayDevice* device = g_display_window.device;
  if (!device) return;
  std::string title = "kra";
  if (g_player.paused) {
    char paused[64];
    std::snprintf(paused, sizeof paused, " - paused at %.2f s (%s)", g_demo.clock.seconds,
                  DemoPartName(g_demo.painted_by));
    title += paused;
  }
  if (!g_player.reload_failure.empty()) title += " - reload failed: " + g_player.reload_failure;
  device->SetTitle(title.c_str());
}

void DrawOverlay() {
  char text[64];
  std::snprintf(text, sizeof text, "%6.2f s  %s  %3.0f fps%s", g_demo.clock.seconds, DemoPartName(g_demo.painted_by),
                g_player.fps, g_player.paused ? "  paused" : "");
  DrawOverlayText(g_demo.frame_buffer.frame, 4, 4, text);
}

void DrawHelp() {
  const Texture& frame = g_demo.frame_buffer.frame;
  const int count = static_cast<int>(sizeof kHelpLines / sizeof kHelpLines[0]);
  int width = 0;
  for (const char* line : kHelpLines) width = std::max(width, OverlayTextWidth(line));
  const int line_height = OverlayTextHeight() - 4;
  const int x = (frame.width - width) / 2;
  const int y = std::max(0, (kSeekBarTop - count * line_height) / 2);
  FillOverlayRect(frame, x - 6, y - 6, x + width + 6, y + count * line_height + 8, 0xFF202020u);
  for (int i = 0; i < count; ++i) DrawOverlayText(frame, x, y + i * line_height, kHelpLines[i]);
}

void DrawBar() {
  const float pointer_seconds = SeekBarTime(g_player.pointer_x, kDemoEnds);
  const SeekBarView view{g_demo.clock.seconds,
                         kDemoEnds,
                         kChapters.data(),
                         static_cast<int>(kChapters.size()),
                         g_player.paused,
                         g_player.pointer_x,
                         g_player.pointer_y,
                         DemoPartName(DemoPartAt(pointer_seconds))};
  DrawSeekBar(g_demo.frame_buffer.frame, view);
}

// The frame as the part drew it, with the bar and the overlays over it when on. The frame
// buffer keeps the part's own frame: under them it is put back from the held copy, which is
// taken only then or while paused (when it already holds that frame).
void Present() {
  const bool bar = PlayerBarShown();
  if (!g_player.overlay && !g_player.help && !bar) {
    PresentDemoFrame();
    return;
  }
  if (!g_player.paused) HoldFrame();
  if (g_player.overlay) DrawOverlay();
  if (g_player.help) DrawHelp();
  if (bar) DrawBar();
  FrameBuffer& buffer = g_demo.frame_buffer;
  MarkFrameChanged(&buffer, 0, buffer.frame.height);  // the overlays' rows, and then the part's again
  PresentDemoFrame();
  RestoreHeldFrame();
  MarkFrameChanged(&buffer, 0, buffer.frame.height);
}

void ShowPointerWithBar() {
  const bool shown = PlayerBarShown();
  DisplayDevice* device = g_display_window.device;
  if (shown == g_player.pointer_shown || !device) return;
  g_player.pointer_shown = shown;
  device->ShowPointer(shown);
}

// The archive the data comes from: the one open, else the one a load would try (it may be
// there but not open, being written).
std::string ArchiveInUse() {
  if (g_data_archive.is_open && g_data_archive.zip_path[0]) return g_data_archive.zip_path;
  return FindDemoArchive(ExecutableDir());
}

// After a load: a good one is what is watched from now on; after a failed one, what the last
// good load read is watched as well as what this one asked for, so the file to mend is
// among them whichever it is. Paths already watched keep their stamps from before the load.
void WatchAfterLoad(bool loaded) {
  std::vector<std::string> names = FilesRead();
  std::vector<std::string> archives = {ArchiveInUse()};
  if (loaded) {
    g_player.good_files = names;
    g_player.good_archive = archives.front();
  } else {
    names.insert(names.end(), g_player.good_files.begin(), g_player.good_files.end());
    archives.push_back(g_player.good_archive);
  }
  RewatchContent(&g_player.watch, names, archives, kMusicFile);
}

// R, or a change the watch saw: the data (and the music) read again, and the watch moved
// onto what was read.
void ReloadAndWatch(bool parts, bool music) {
  if (!parts) {
    g_player.reload_failure = ReloadMusic(g_demo.clock.seconds, g_player.paused);
    ShowTitle();
    return;
  }
  if (g_player.watching) ClearFilesRead();
  const bool loaded = PlayerReload(music);
  if (g_player.watching) WatchAfterLoad(loaded);
}

void PollWatch(float elapsed) {
  if (!g_player.watching) return;
  const WatchChange change = PollContentWatch(&g_player.watch, elapsed);
  if (change.parts || change.music) ReloadAndWatch(change.parts, change.music);
}

void TakeInputs() {
  DisplayInput input;
  while (TakeDisplayInput(&input)) {
    // Each ignores the other's events.
    HandlePlayerKey(input.event);
    HandlePlayerPointer(input.event, input.x, input.y);
  }
  // A drag seeks once a frame, to where the pointer is now: the frames follow the pointer.
  if (g_player.drag_pending) {
    g_player.drag_pending = false;
    PlayerSeek(g_player.drag_seconds);
  }
}

// Wall-clock seconds since the last call: the bar's and the watch's time, which run on while
// paused and never touch the platform counter (virtual in tests and captures, where a read
// moves it on).
float WallSecondsSinceLastFrame() {
  const auto now = std::chrono::steady_clock::now();
  const float elapsed = g_player.wall_started ? std::chrono::duration<float>(now - g_player.last_wall).count() : 0.0f;
  g_player.last_wall = now;
  g_player.wall_started = true;
  return elapsed;
}

// The new data at the same second: paused, the same frame of the new data is held; playing,
// the time the reload took is not counted as a frame.
void ShowReloaded() {
  // A clock a seek has put where no frame is drawn yet stays behind its picture.
  if (ReplayDemoFrame(PLAYER_SEEK_FPS)) g_player.frame_behind = false;
  if (g_player.paused) {
    HoldFrame();
  } else {
    ResumeDemoTimer();
  }
}

}  // namespace

void StartPlayer(bool watch) {
  ReleasePlayer();
  g_player.held = new uint32_t[FramePixels()]();
  g_player.still_seconds = kPlayerBarSeconds;
  g_player.paused_wait_ms = kPausedWaitMs;
  g_player.pointer_x = g_player.pointer_y = -1;
  g_player.watching = watch;
  if (!watch) return;
  g_player.good_files = FilesRead();
  g_player.good_archive = ArchiveInUse();
  StartContentWatch(&g_player.watch, g_player.good_files, g_player.good_archive, kMusicFile);
}

void ReleasePlayer() {
  delete[] g_player.held;
  g_player = PlayerState{};
}

bool PlayerBarShown() { return g_player.dragging || g_player.still_seconds < kPlayerBarSeconds; }

bool PlayFrame() {
  if (g_player.paused) {
    Present();
    SleepMs(g_player.paused_wait_ms);
  } else {
    if (!StepDemoFrame()) return false;
    g_player.frame_behind = false;
    CountFrame(g_demo.timer.delta);
    Present();
  }
  const float elapsed = WallSecondsSinceLastFrame();
  g_player.still_seconds = std::min(g_player.still_seconds + elapsed, kPlayerBarSeconds);
  TakeInputs();
  ShowPointerWithBar();
  PollWatch(elapsed);
  return true;
}

void PlayerSeek(float seconds) {
  // A seek lands on the first frame at or after the second asked for, taken a hair under it:
  // a second reached by adding to a frame's own (Page Down, one frame on) then lands on the
  // frame that far away, not on the next because the sums of the clock rounded differently.
  seconds = std::clamp(seconds - kSeekSlack, 0.0f, kDemoEnds);
  if (!g_player.paused) {
    SeekDemo(seconds, PLAYER_SEEK_FPS);
    g_player.frame_behind = true;
    g_player.seek_seconds = seconds;
    return;
  }
  // Paused, the frame a run draws at the new second is drawn once and held; the music stays
  // where the seek put it.
  SeekDemoFrame(seconds, PLAYER_SEEK_FPS);
  HoldFrame();
  ShowTitle();
}

void PlayerTogglePause() {
  g_player.paused = !g_player.paused;
  if (g_player.paused) {
    // A seek since the last frame has moved the clock on from the picture: the frame at the
    // new second is the one to hold, as a seek while paused shows it.
    if (g_player.frame_behind) SeekDemoFrame(g_player.seek_seconds, PLAYER_SEEK_FPS);
    g_player.frame_behind = false;
    HoldFrame();
    PauseMusic();
  } else {
    ResumeDemoTimer();
    ResumeMusic();
  }
  ShowTitle();
}

bool PlayerReload(bool music) {
  const float now = g_demo.clock.seconds;
  const bool loaded = ReloadDemo();
  g_player.reload_failure = LastReloadFailure();
  if (loaded) {
    if (music) g_player.reload_failure = ReloadMusic(now, g_player.paused);
    ShowReloaded();
  }
  ShowTitle();
  return loaded;
}

void HandlePlayerKey(DisplayEvent key) {
  const float now = g_demo.clock.seconds;
  switch (key) {
    case DisplayEvent::kKeySpace: PlayerTogglePause(); break;
    case DisplayEvent::kKeyLeft: PlayerSeek(now - kStepSeconds); break;
    case DisplayEvent::kKeyRight: PlayerSeek(now + kStepSeconds); break;
    case DisplayEvent::kKeyPageUp: PlayerSeek(now - kLeapSeconds); break;
    case DisplayEvent::kKeyPageDown: PlayerSeek(now + kLeapSeconds); break;
    case DisplayEvent::kKeyHome: PlayerSeek(0.0f); break;
    case DisplayEvent::kKeyComma:
      if (g_player.paused) PlayerSeek(now - kFrameSeconds);
      break;
    case DisplayEvent::kKeyPeriod:
      if (g_player.paused) PlayerSeek(now + kFrameSeconds);
      break;
    case DisplayEvent::kKeyR: ReloadAndWatch(true, true); break;
    case DisplayEvent::kKeyT: g_player.overlay = !g_player.overlay; break;
    case DisplayEvent::kKeyHelp: g_player.help = !g_player.help; break;
    default: break;
  }
}

void HandlePlayerPointer(DisplayEvent event, int x, int y) {
  const float now = g_demo.clock.seconds;
  switch (event) {
    case DisplayEvent::kPointerMove:
      // The first report only says where the pointer is (a window opening under a pointer
      // that stands still hears of it): the bar comes when it moves from there.
      if (g_player.pointer_known && (x != g_player.pointer_x || y != g_player.pointer_y)) g_player.still_seconds = 0.0f;
      g_player.pointer_known = true;
      g_player.pointer_x = x;
      g_player.pointer_y = y;
      if (g_player.dragging) {
        g_player.drag_pending = true;
        g_player.drag_seconds = SeekBarTime(x, kDemoEnds);
      }
      break;
    case DisplayEvent::kPointerPress:
      g_player.pointer_known = true;
      g_player.pointer_x = x;
      g_player.pointer_y = y;
      g_player.still_seconds = 0.0f;
      switch (HitSeekBar(x, y)) {
        case SeekBarPart::kTrack:
          g_player.dragging = true;
          g_player.drag_pending = true;
          g_player.drag_seconds = SeekBarTime(x, kDemoEnds);
          break;
        case SeekBarPart::kPicture:
        case SeekBarPart::kPlayMark: PlayerTogglePause(); break;
        case SeekBarPart::kBand: break;
      }
      break;
    case DisplayEvent::kPointerRelease: g_player.dragging = false; break;
    case DisplayEvent::kWheelBack: PlayerSeek(now - kStepSeconds); break;
    case DisplayEvent::kWheelAhead: PlayerSeek(now + kStepSeconds); break;
    default: break;
  }
}
