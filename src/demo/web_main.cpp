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

// Runs a piece of a demo run, turning an early end into its exit status: -1 when it
// finished normally.
template <typename Body>
int Guarded(Body body) {
  return GuardDemoRun([&] {
    body();
    return -1;
  });
}

// --- the player

void EndPlay(int status) {
  emscripten_cancel_main_loop();
  g_playing = false;
  TellPage("onEnded", std::to_string(status).c_str());
}

void PlayAnimationFrame() {
  bool ended = false;
  const int status = Guarded([&] {
    if (PlayFrame()) return;
    ended = true;
    ReleasePlayer();
    FinishDemo();
  });
  if (status >= 0) {
    EndPlay(status);
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

EM_BOOL OnKeyDown(int, const EmscriptenKeyboardEvent* event, void*) {
  if (!g_playing) return EM_FALSE;
  const DisplayEvent key = PlayerKey(event->code);
  if (key == DisplayEvent::kOtherKey) return EM_FALSE;
  g_display.Post(key);
  return EM_TRUE;  // no scrolling or paging of the page itself
}

// --- the test and measuring modes

// Presents the frame at demo second seconds as a run from the start on virtual time at 60
// frames a second shows it, silently: -1, or the status of a run that could not get there.
int ShowFrameAt(double seconds) {
  Counter* counter = g_platform.counter;
  AudioDevice* audio = g_platform.audio;
  VirtualCounter virtual_time(kVirtualFps);  // from 0, as a capture's
  g_platform.counter = &virtual_time;
  g_platform.audio = nullptr;
  const int status = Guarded([&] {
    const int started = StartDemo();
    if (started != DEMO_READY) throw ProcessExit{started};
    StartDemoClock(static_cast<float>(seconds), kVirtualFps);
    while (StepDemoFrame() && g_demo.demo_clock < seconds) {
    }
    PresentDemoFrame();
    FinishDemo();
  });
  g_platform.counter = counter;
  g_platform.audio = audio;
  return status;
}

void ShowStill(const WebOptions& options) {
  const int status = ShowFrameAt(options.still_seconds);
  if (status >= 0) {
    std::fprintf(stderr, "kra: no frame at second %s (status %d)\n", options.still_text.c_str(), status);
    return;
  }
  SetPageTitle(("kra still " + options.still_text).c_str());
}

void RunBench() {
  OfflineAudioDevice audio;
  VirtualCounter virtual_time(kVirtualFps);
  g_platform.counter = &virtual_time;
  g_platform.audio = &audio;
  int64_t frames = 0;
  double seconds = 0.0;
  const int status = Guarded([&] {
    const int started_demo = StartDemo();
    if (started_demo != DEMO_READY) throw ProcessExit{started_demo};
    StartDemoClock(0.0f, kVirtualFps);
    const double started = emscripten_get_now();
    while (StepDemoFrame()) ++frames;
    seconds = (emscripten_get_now() - started) / 1000.0;
    FinishDemo();
  });
  g_platform.counter = &g_real_time;
  g_platform.audio = &g_audio;
  char text[128];
  if (status >= 0) {
    std::snprintf(text, sizeof text, "the demo ended early (status %d)", status);
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
  const int status = Guarded([] {
    const int started = StartDemo();
    if (started != DEMO_READY) throw ProcessExit{started};
    StartPlayer();
    StartDemoClock(0.0f, PLAYER_SEEK_FPS);
  });
  if (status >= 0) {
    TellPage("onEnded", std::to_string(status).c_str());
    return;
  }
  g_playing = true;
  emscripten_set_main_loop(PlayAnimationFrame, 0, false);
}

// Blocks of sound the page's audio output has played: grows once the music runs.
extern "C" EMSCRIPTEN_KEEPALIVE double kra_audio_blocks() { return static_cast<double>(g_audio.Blocks()); }

// Frames shown in the canvas so far, and the demo second of the last one.
extern "C" EMSCRIPTEN_KEEPALIVE double kra_frames_shown() { return static_cast<double>(g_display.Flips()); }
extern "C" EMSCRIPTEN_KEEPALIVE double kra_demo_seconds() { return g_demo.demo_clock; }

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
