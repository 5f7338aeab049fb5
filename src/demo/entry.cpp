#include "demo/entry.h"

#include <cstdio>
#include <string>

#include "demo/demo_parts.h"
#include "demo/demo_state.h"
#include "demo/music.h"
#include "demo/timeline.h"
#include "display/display_window.h"
#include "audio/audio_library.h"
#include "platform/display_device.h"
#include "platform/fatal.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "render/render_context.h"
#include "resource/archive_damage.h"
#include "resource/data_archive.h"

namespace {

FramePresentedHook g_frame_hook = nullptr;
void* g_frame_hook_user = nullptr;

int ReportNoDisplay() {
  std::string reason = g_platform.display ? g_platform.display->LastError() : "no display device";
  std::fprintf(stderr, "kra: cannot open a %dx%d display: %s\n", WIDTH, DISPLAY_HEIGHT, reason.c_str());
  return 1;
}

void ReportDamagedArchive(const char* path) {
  const std::string damage = ArchiveDamage(path);
  if (!damage.empty()) std::fprintf(stderr, "%s: the data archive is damaged: %s\n", path, damage.c_str());
}

void RunFrameLoop() {
  for (;;) {
    TickTimer(&g_demo.timer);
    g_demo.demo_clock += g_demo.timer.delta;
    ClearFrameBuffer(&g_demo.frame_buffer);
    DrawDemoPart(g_demo.current_part);
    g_demo.current_part = ChoosePart(g_demo.demo_clock, g_demo.current_part);
    if (TimelineEnded(g_demo.demo_clock)) break;
    ShowFrameBuffer(g_demo.frame_buffer);
    if (g_frame_hook) g_frame_hook(g_frame_hook_user);
  }
}

int RunDemoBody() {
  ResetDemoState();
  // A display that cannot be opened is a failure, not a quiet success.
  if (!OpenDisplay("kra", WIDTH, DISPLAY_HEIGHT)) return ReportNoDisplay();
  if (!CreateFrameBuffer(&g_demo.frame_buffer, WIDTH, HEIGHT, DISPLAY_HEIGHT)) return 1;
  InitRenderer(g_demo.frame_buffer.frame);
  ClearFrameBuffer(&g_demo.frame_buffer);
  // Without the archive, files are still found on disk and in data/. A damaged one is said
  // once here, rather than left to a "not found" line for every file it should have held.
  OpenArchive(&g_data_archive, "autoexec.bat");
  ReportDamagedArchive("autoexec.bat");
  LoadDemoParts();
  RenderEnable(CAP_TEXTURE);
  RenderEnable(CAP_UNUSED_1002);
  // Missing or unplayable music leaves the demo running silent.
  ResetMusic();
  LoadMusic(LoadFile("zibo.mp3"));
  StartTimer(&g_demo.timer);
  PlayMusic();
  RunFrameLoop();
  FadeOutMusic();
  ReleaseRenderer();
  ReleaseDemoParts();
  FreeFrameBuffer(&g_demo.frame_buffer);
  CloseArchive(&g_data_archive);
  return 0;
}

// A run ended early (Escape, a close request, a fatal data error) leaves by an exception. A
// process ends right after that, but tests and kra-capture run the demo in-process: they get
// back the frame buffer, the renderer and its textures, the archive and the audio device, so
// nothing leaks and the next run can open the audio again.
void ReleaseEndedRun() {
  AudioFree();
  FreeChunk(&g_music.chunk);
  ResetMusic();
  ReleaseRenderer();
  ReleaseDemoParts();
  FreeFrameBuffer(&g_demo.frame_buffer);
  CloseArchive(&g_data_archive);
}

}  // namespace

void SetFramePresentedHook(FramePresentedHook hook, void* user) {
  g_frame_hook = hook;
  g_frame_hook_user = user;
}

int RunDemo() {
  try {
    return RunDemoBody();
  } catch (const ProcessExit& exit) {
    ReleaseEndedRun();
    return exit.status;
  } catch (const FatalError& error) {
    ReportFatal(error);
    ReleaseEndedRun();
    return error.status;
  }
}
