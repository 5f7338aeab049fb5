// kra: plays the demo. With no options it takes the screen and plays from the start to the
// end; --window and --from make it a player in a window or from any second.
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
#include "platform/printable_text.h"
#include "platform/sdl_display.h"
#include "platform/time_text.h"

namespace {

const char* const kUsage =
    "usage: kra [options]\n"
    "Plays the demo: full screen, from the start, with its music.\n"
    "\n"
    "  --window       a resizable window instead of the full screen\n"
    "  --from T       start at demo time T (0 to 116 s: 97, 1m37s or 1:37), the music at\n"
    "                 the same point\n"
    "  --watch        reload by itself when a data file it read changes (for content makers)\n"
    "  --version      the version, then exit\n"
    "  --help         this text\n"
    "\n"
    "Keys: Space pause, Left/Right 5 s back/ahead, Page Up/Page Down 20 s, Home the start,\n"
    ", and . one frame back/ahead while paused, R reload the data, T overlay, H or ? the\n"
    "keys, F11 or Alt+Enter window/full screen, Escape quit. The mouse shows a seek bar: click\n"
    "or drag on it to seek, click the picture to pause, the wheel seeks 5 s.\n";

enum Option { kWindow = 1, kFrom, kWatch, kVersion, kHelp };

constexpr CommandOption kOptions[] = {
    {"window", false, kWindow}, {"from", true, kFrom},  {"watch", false, kWatch},
    {"version", false, kVersion}, {"help", false, kHelp}};

struct KraOptions {
  bool window = false;
  bool watch = false;
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
          case kWatch: options.watch = true; return true;
          case kVersion: options.version = true; return true;
          case kHelp: options.help = true; return true;
          case kFrom: return ParseMomentOption("from", value, 0.0, kDemoEnds, &options.from, why);
        }
        return false;
      },
      &rest, &error);
  if (parsed && !rest.empty()) error = "unexpected argument '" + rest.front() + "'";
  if (!parsed || !rest.empty()) {
    std::fprintf(stderr, "kra: %s\n%s", PrintableText(error).c_str(), kUsage);
    return 2;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (options.version) {
    std::printf("kra %s\n%s\n", KRA_VERSION, KRA_LICENCE_LINE);
    return 0;
  }

  SdlDisplay display(options.window);
  SystemCounter counter;
  SdlAudioDevice audio;
  SetMessageBoxesEnabled(true);

  DemoOptions demo;
  demo.from_seconds = static_cast<float>(options.from);
  demo.seek_fps = PLAYER_SEEK_FPS;
  demo.watch = options.watch;
  // The devices close themselves (the sound first, then the window) as they go out of scope.
  return RunDemo({.display = &display, .counter = &counter, .audio = &audio}, demo);
}
