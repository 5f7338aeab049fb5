// kra: plays the demo. With no options it takes the screen and plays from the start to the
// end; --window and --from make it a player in a window or from any second.
#include <SDL.h>

#include <cstdio>
#include <string>
#include <vector>

#include "demo/entry.h"
#include "demo/player.h"
#include "demo/timeline.h"
#include "kra_version.h"
#include "platform/sdl_audio.h"
#include "platform/command_line.h"
#include "platform/counter.h"
#include "platform/message_box.h"
#include "platform/platform.h"
#include "platform/sdl_display.h"

namespace {

const char* const kUsage =
    "usage: kra [options]\n"
    "Plays the demo: full screen, from the start, with its music.\n"
    "\n"
    "  --window       a resizable window instead of the full screen\n"
    "  --from S       start at demo second S (0 to 116), the music at the same point\n"
    "  --version      the version, then exit\n"
    "  --help         this text\n"
    "\n"
    "Keys: Space pause, Left/Right 5 s back/ahead, Page Up/Page Down 20 s, Home the start,\n"
    "R reload the data, T overlay, F11 or Alt+Enter window/full screen, Escape quit.\n";

enum Option { kWindow = 1, kFrom, kVersion, kHelp };

constexpr CommandOption kOptions[] = {
    {"window", false, kWindow}, {"from", true, kFrom}, {"version", false, kVersion}, {"help", false, kHelp}};

struct KraOptions {
  bool window = false;
  bool version = false;
  bool help = false;
  double from = 0.0;
};

}  // namespace

int main(int argc, char** argv) {
  KraOptions options;
  std::vector<std::string> rest;
  std::string error;
  const bool parsed = ParseCommandLine(
      argc, argv, kOptions,
      [&](int id, const char* value, std::string* why) {
        switch (id) {
          case kWindow: options.window = true; return true;
          case kVersion: options.version = true; return true;
          case kHelp: options.help = true; return true;
          case kFrom: return ParseNumberOption("from", value, 0.0, kDemoEnds, &options.from, why);
        }
        return false;
      },
      &rest, &error);
  if (parsed && !rest.empty()) error = "unexpected argument '" + rest.front() + "'";
  if (!parsed || !rest.empty()) {
    std::fprintf(stderr, "kra: %s\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("kra %s\n", KRA_VERSION);
    return 0;
  }

  SdlDisplay display(options.window);
  SystemCounter counter;
  g_platform.display = &display;
  g_platform.counter = &counter;
  SdlAudioDevice audio;
  g_platform.audio = &audio;
  SetMessageBoxesEnabled(true);

  DemoOptions demo;
  demo.from_seconds = static_cast<float>(options.from);
  demo.seek_fps = PLAYER_SEEK_FPS;
  const int status = RunDemo(demo);

  display.Destroy();
  SDL_Quit();
  return status;
}
