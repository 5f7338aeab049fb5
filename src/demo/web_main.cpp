// kra in a web page: the driver of the demo's frame calls on the browser's frame loop.
//
// The page (web/index.html) fetches the data archive into the file system, then runs main
// with its mode:
//   (none)       the player: main sets up and tells the page it is ready; the page's start
//                button calls kra_start (sound may start only from a click), then one demo
//                frame per animation frame on real time, with the player's keys
//   --still S    the frame at demo second S on virtual time at 60 frames a second (the first
//                frame `kra-capture --fps 60 --from S` keeps), presented once, no sound; the
//                title then reads "kra still S"
//   --bench      the whole demo on virtual time at 60 frames a second at start-up, drawn but
//                not presented; "N frames in X s, R x real time" goes to the page
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_offline.h"
#include "demo/demo_run.h"
#include "demo/demo_state.h"
#include "demo/entry.h"
#include "demo/player.h"
#include "demo/timeline.h"
#include "platform/command_line.h"
#include "platform/counter.h"
#include "platform/display_device.h"
#include "platform/fatal.h"
#include "platform/platform.h"
#include "platform/process.h"
#include "platform/web_audio.h"
#include "platform/web_display.h"

namespace {

constexpr int kVirtualFps = 60;
constexpr double kPosterSeconds = 7.0;

struct WebOptions {
  bool bench = false;
  bool still = false;
  double still_seconds = 0.0;
  std::string still_text;
};

// The page's one platform, alive as long as the page.
WebDisplay g_display;
SystemCounter g_real_time;
WebAudioDevice g_audio;
bool g_playing = false;

// Hands a line of text to a function of the page's Module (onReady, onEnded, onResult).
EM_JS(void, TellPage, (const char* handler_name, const char* text), {
  const handler = Module[UTF8ToString(handler_name)];
  if (handler) handler(UTF8ToString(text));
});

EM_JS(void, SetPageTitle, (const char* title), { document.title = UTF8ToString(title); });


// --- the player

void EndPlay(int status) {
  emscripten_cancel_main_loop();
  g_playing = false;
  TellPage("onEnded", std::to_string(status).c_str());
}

void PlayAnimationFrame() {
  bool ended = false;
  const std::optional<int> early = GuardDemoRun([&] {
    if (PlayFrame()) return;
    ended = true;
    EndDemoRun(DemoEnd::kPlayedOut);
  });
  if (early) {
    EndPlay(*early);
  } else if (ended) {
    EndPlay(0);
  }
}

// The keys the native player gets; Escape stays the browser's (it leaves full screen).
DisplayEvent PlayerKey(const char* code) {
  static constexpr struct {
    const char* code;
    DisplayEvent event;
  } kKeys[] = {{"Space", DisplayEvent::kKeySpace},       {"ArrowLeft", DisplayEvent::kKeyLeft},
               {"ArrowRight", DisplayEvent::kKeyRight},  {"PageUp", DisplayEvent::kKeyPageUp},
               {"PageDown", DisplayEvent::kKeyPageDown}, {"Home", DisplayEvent::kKeyHome},
               {"KeyT", DisplayEvent::kKeyT}};
  for (const auto& key : kKeys) {
    if (std::strcmp(code, key.code) == 0) return key.event;
  }
  return DisplayEvent::kOtherKey;
}

// The browser hands keys over between animation frames, when no frame is being drawn: they
// go straight to the player, with no queue of their own.
EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
  if (!g_playing) return EM_FALSE;
  const DisplayEvent key = PlayerKey(event->code);
  if (key == DisplayEvent::kOtherKey) return EM_FALSE;
  if (const std::optional<int> early = GuardDemoRun([&] { HandlePlayerKey(key); })) EndPlay(*early);
  return EM_TRUE;  // no scrolling or paging of the page itself
}

// --- the test and measuring modes

// Presents the frame at demo second seconds as a run from the start on virtual time at 60
// frames a second shows it, silently: nothing, or the status of a run that could not get
// there.
std::optional<int> ShowFrameAt(double seconds) {
  VirtualCounter virtual_time(kVirtualFps);  // from 0, as a capture's
  const ScopedPlatform silent({.display = &g_display, .counter = &virtual_time, .audio = nullptr});
  return GuardDemoRun([&] {
    StartDemoRun({.from_seconds = static_cast<float>(seconds), .seek_fps = kVirtualFps, .player = false});
    while (StepDemoFrame() && g_demo.clock.seconds < seconds) {
    }
    PresentDemoFrame();
    EndDemoRun(DemoEnd::kPlayedOut);
  });
}

void ShowStill(const WebOptions& options) {
  if (const std::optional<int> early = ShowFrameAt(options.still_seconds)) {
    std::fprintf(stderr, "kra: no frame at second %s (status %d)\n", options.still_text.c_str(), *early);
    return;
  }
  SetPageTitle(("kra still " + options.still_text).c_str());
}

void RunBench() {
  OfflineAudioDevice audio;
  VirtualCounter virtual_time(kVirtualFps);
  const ScopedPlatform offline({.display = &g_display, .counter = &virtual_time, .audio = &audio});
  int64_t frames = 0;
  double seconds = 0.0;
  const std::optional<int> early = GuardDemoRun([&] {
    StartDemoRun({.from_seconds = 0.0f, .seek_fps = kVirtualFps, .player = false});
    const double started = emscripten_get_now();
    while (StepDemoFrame()) ++frames;
    seconds = (emscripten_get_now() - started) / 1000.0;
    EndDemoRun(DemoEnd::kPlayedOut);
  });
  char text[128];
  if (early) {
    std::snprintf(text, sizeof text, "the demo ended early (status %d)", *early);
  } else {
    const double demo_seconds = static_cast<double>(frames) / kVirtualFps;
    std::snprintf(text, sizeof text, "%lld frames in %.2f s, %.1f x real time", static_cast<long long>(frames), seconds,
                  seconds > 0.0 ? demo_seconds / seconds : 0.0);
  }
  TellPage("onResult", text);
}

bool ParseWebOptions(int argc, char** argv, WebOptions* options, std::string* error) {
  enum { kBench = 1, kStill };
  static constexpr CommandOption kOptions[] = {{"bench", false, kBench}, {"still", true, kStill}};
  std::vector<std::string> rest;
  return ParseCommandLine(
      argc, argv, kOptions,
      [&](int id, const char* value, std::string* why) {
        if (id == kBench) {
          options->bench = true;
          return true;
        }
        options->still = true;
        options->still_text = value;
        return ParseNumberOption("still", value, 0.0, kDemoEnds, &options->still_seconds, why);
      },
      &rest, error);
}

}  // namespace

// The page's start button: a run of the player from the start, sound and all.
extern "C" EMSCRIPTEN_KEEPALIVE void kra_start() {
  if (g_playing) return;
  const std::optional<int> early =
      GuardDemoRun([] { StartDemoRun({.from_seconds = 0.0f, .seek_fps = PLAYER_SEEK_FPS, .player = true}); });
  if (early) {
    TellPage("onEnded", std::to_string(*early).c_str());
    return;
  }
  g_playing = true;
  emscripten_set_main_loop(PlayAnimationFrame, 0, false);
}

// Blocks of sound the page's audio output has played: grows once the music runs.
extern "C" EMSCRIPTEN_KEEPALIVE double kra_audio_blocks() { return static_cast<double>(g_audio.Blocks()); }

// Frames shown in the canvas so far, and the demo second of the last one.
extern "C" EMSCRIPTEN_KEEPALIVE double kra_frames_shown() { return static_cast<double>(g_display.Flips()); }
extern "C" EMSCRIPTEN_KEEPALIVE double kra_demo_seconds() { return g_demo.clock.seconds; }

int main(int argc, char** argv) {
  WebOptions options;
  std::string error;
  if (!ParseWebOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "kra: %s\n", error.c_str());
    TellPage("onResult", ("kra: " + error).c_str());
    return 2;
  }
  g_platform.display = &g_display;
  g_platform.counter = &g_real_time;
  g_platform.audio = &g_audio;
  if (options.still) {
    ShowStill(options);
  } else if (options.bench) {
    RunBench();
  } else {
    // The title card waits behind the start button.
    ShowFrameAt(kPosterSeconds);
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, OnKeyDown);
    TellPage("onReady", "");
  }
  return 0;
}
