#include "demo/player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "demo/demo_parts.h"
#include "demo/demo_reload.h"
#include "demo/demo_run.h"
#include "demo/demo_state.h"
#include "demo/music.h"
#include "demo/timeline.h"
#include "display/display_window.h"
#include "display/overlay_text.h"
#include "platform/display_device.h"
#include "platform/process.h"

PlayerState g_player;

namespace {

constexpr float kStepSeconds = 5.0f;
constexpr float kLeapSeconds = 20.0f;
constexpr float kFpsWindow = 0.5f;  // seconds of frames the overlay's rate is taken over
constexpr int32_t kPausedWaitMs = 10;

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

void DrawOverlay() {
  char text[64];
  std::snprintf(text, sizeof text, "%6.2f s  %s  %3.0f fps%s", g_demo.clock.seconds, DemoPartName(g_demo.clock.part),
                g_player.fps, g_player.paused ? "  paused" : "");
  DrawOverlayText(g_demo.frame_buffer.frame, 4, 4, text);
}

// The frame as the part drew it, with the overlay over it when on. The frame buffer keeps the
// part's own frame: under the overlay it is put back from the held copy, which is taken only
// then or while paused (when it already holds that frame).
void Present() {
  if (!g_player.overlay) {
    PresentDemoFrame();
    return;
  }
  if (!g_player.paused) HoldFrame();
  DrawOverlay();
  PresentDemoFrame();
  RestoreHeldFrame();
}

void TogglePause() {
  g_player.paused = !g_player.paused;
  if (g_player.paused) {
    // A seek since the last frame has moved the clock on from the picture: the frame at the
    // new second is the one to hold, as a seek while paused shows it.
    if (g_player.frame_behind) StepDemoFrame();
    g_player.frame_behind = false;
    HoldFrame();
    PauseMusic();
  } else {
    ResumeDemoTimer();
    ResumeMusic();
  }
}

}  // namespace

void StartPlayer() {
  ReleasePlayer();
  g_player.held = new uint32_t[FramePixels()]();
}

void ReleasePlayer() {
  delete[] g_player.held;
  g_player = PlayerState{};
}

bool PlayFrame() {
  if (g_player.paused) {
    Present();
    SleepMs(kPausedWaitMs);
  } else {
    if (!StepDemoFrame()) return false;
    g_player.frame_behind = false;
    CountFrame(g_demo.timer.delta);
    Present();
  }
  DisplayEvent key;
  while (TakeDisplayKey(&key)) HandlePlayerKey(key);
  return true;
}

void PlayerSeek(float seconds) {
  seconds = std::clamp(seconds, 0.0f, kDemoEnds);
  SeekDemo(seconds, PLAYER_SEEK_FPS);
  if (!g_player.paused) {
    g_player.frame_behind = true;
    return;
  }
  // Paused, the frame at the new second is drawn once and held; the music stays where the
  // seek put it.
  StepDemoFrame();
  HoldFrame();
}

void HandlePlayerKey(DisplayEvent key) {
  const float now = g_demo.clock.seconds;
  switch (key) {
    case DisplayEvent::kKeySpace: TogglePause(); break;
    case DisplayEvent::kKeyLeft: PlayerSeek(now - kStepSeconds); break;
    case DisplayEvent::kKeyRight: PlayerSeek(now + kStepSeconds); break;
    case DisplayEvent::kKeyPageUp: PlayerSeek(now - kLeapSeconds); break;
    case DisplayEvent::kKeyPageDown: PlayerSeek(now + kLeapSeconds); break;
    case DisplayEvent::kKeyHome: PlayerSeek(0.0f); break;
    case DisplayEvent::kKeyR:
      if (ReloadDemo()) PlayerSeek(now);
      break;
    case DisplayEvent::kKeyT: g_player.overlay = !g_player.overlay; break;
    default: break;
  }
}
