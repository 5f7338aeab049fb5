// Throwaway web driver: still and bench over RunDemo, until the step function lands.
#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "audio/audio_offline.h"
#include "demo/demo_state.h"
#include "demo/entry.h"
#include "platform/counter.h"
#include "platform/headless_display.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "platform/web_display.h"

namespace {
float g_still = -1;
void StopAtStill(void*) {
  if (g_demo.demo_clock >= g_still) EndProcess(0);
}
}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE void kra_start() {}

int main(int argc, char** argv) {
  VirtualCounter counter(60);
  g_platform.counter = &counter;
  if (argc > 2 && std::strcmp(argv[1], "--still") == 0) {
    g_still = std::strtof(argv[2], nullptr);
    static WebDisplay display;
    g_platform.display = &display;
    SetFramePresentedHook(StopAtStill, nullptr);
    double start = emscripten_get_now();
    int status = RunDemo();
    std::printf("still %g status %d clock %f in %.1f ms\n", g_still, status, g_demo.demo_clock, emscripten_get_now() - start);
    EM_ASM({ document.title = "kra still " + UTF8ToString($0); }, argv[2]);
    return 0;
  }
  HeadlessDisplay display;
  OfflineAudioDevice audio;
  g_platform.display = &display;
  g_platform.audio = &audio;
  double start = emscripten_get_now();
  int status = RunDemo();
  double seconds = (emscripten_get_now() - start) / 1000;
  char text[200];
  std::snprintf(text, sizeof text, "%lld frames in %.2f s, %.2f x real time", (long long)display.flips, seconds, 116.0 / seconds);
  std::printf("status %d %s\n", status, text);
  EM_ASM({ Module.onResult(UTF8ToString($0)); }, text);
  return 0;
}
