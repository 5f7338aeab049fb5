// kra in a web page: the driver of the demo's frame calls on the browser's frame loop.
//
// The page (web/index.html) fetches the data archive into the file system, then runs main
// with its mode:
//   (none)       the player: main tells the page it is ready (the page shows its title card,
//                poster.webp, the frame a run shows first at the card's second); the
//                page's start button calls kra_start (sound may start only from a click),
//                then one demo frame per animation frame on real time; after Play the
//                page runs the start-up a piece a task (kra_prepare); the page's controls
//                and keys reach the player through kra_key, kra_seek and kra_toggle_pause
//   --at S       the same, with the frame at second S drawn first as the poster (a link's #t=S)
//   --still S    the frame at demo second S on virtual time at 60 frames a second (the first
//                frame `kra-capture --fps 60 --from S` keeps), presented once, no sound; the
//                title then reads "kra still S", or "kra still S failed: why"
// A damaged data archive is said to the page (onDamaged) before any mode runs.
//   --bench      the whole demo on virtual time at 60 frames a second at start-up, drawn but
//                not presented; "N frames in X s, R x real time" goes to the page
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "audio/audio_offline.h"
#include "demo/demo_run.h"
#include "demo/demo_state.h"
#include "demo/entry.h"
#include "demo/music.h"
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
#include "resource/archive_damage.h"
#include "resource/archive_location.h"

namespace {

constexpr int kVirtualFps = 60;

struct WebOptions {
  double at_seconds = -1.0;  // none: the page shows its own title card (poster.webp)
  bool bench = false;
  bool still = false;
  double still_seconds = 0.0;
  std::string still_text;
};

// The page's one platform, alive as long as the page.
WebDisplay g_display;
SystemCounter g_real_time;
WebAudioDevice g_audio;
// The player's: the canvas, real time, the page's sound.
const Platform kPlayer{.display = &g_display, .counter = &g_real_time, .audio = &g_audio};
bool g_playing = false;
// The player's start-up, begun by kra_prepare (platform set) and finished by kra_start.
DemoStart g_start;

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
  g_start = {};
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

// The keys the native player gets; Escape stays the browser's (it leaves full screen), and
// the keys of the page's own controls (M, H, ?, F) are the page's.
DisplayEvent PlayerKey(const char* code) {
  static constexpr struct {
    const char* code;
    DisplayEvent event;
  } kKeys[] = {{"Space", DisplayEvent::kKeySpace},       {"ArrowLeft", DisplayEvent::kKeyLeft},
               {"ArrowRight", DisplayEvent::kKeyRight},  {"PageUp", DisplayEvent::kKeyPageUp},
               {"PageDown", DisplayEvent::kKeyPageDown}, {"Home", DisplayEvent::kKeyHome},
               {"KeyT", DisplayEvent::kKeyT},            {"Comma", DisplayEvent::kKeyComma},
               {"Period", DisplayEvent::kKeyPeriod}};
  for (const auto& key : kKeys) {
    if (std::strcmp(code, key.code) == 0) return key.event;
  }
  return DisplayEvent::kOtherKey;
}

// The page calls in between animation frames, when no frame is being drawn: what it asks
// goes straight to the player, with no queue of its own.
void Control(const std::function<void()>& body) {
  if (!g_playing) return;
  if (const std::optional<int> early = GuardDemoRun(body)) EndPlay(*early);
}

// --- the test and measuring modes

// Presents the frame at demo second seconds as a run from the start on virtual time at 60
// frames a second shows it, silently: nothing, or the status of a run that could not get
// there.
std::optional<int> ShowFrameAt(double seconds) {
  VirtualCounter virtual_time(kVirtualFps);  // from 0, as a capture's
  const Platform silent{.display = &g_display, .counter = &virtual_time, .audio = nullptr};
  // A frame a thousandth of a frame before the second is at it, as a capture's window counts.
  const float from = static_cast<float>(seconds - 0.001 / kVirtualFps);
  return GuardDemoRun([&] {
    StartDemoRun(silent, {.from_seconds = from, .seek_fps = kVirtualFps, .player = false});
    while (StepDemoFrame() && g_demo.clock.seconds < from) {
    }
    PresentDemoFrame();
    EndDemoRun(DemoEnd::kPlayedOut);
  });
}

void ShowStill(const WebOptions& options) {
  if (const std::optional<int> early = ShowFrameAt(options.still_seconds)) {
    const std::string why = "the demo ended early (status " + std::to_string(*early) + ")";
    std::fprintf(stderr, "kra: no frame at second %s: %s\n", options.still_text.c_str(), why.c_str());
    SetPageTitle(("kra still " + options.still_text + " failed: " + why).c_str());
    return;
  }
  SetPageTitle(("kra still " + options.still_text).c_str());
}

// Says a damaged archive to the page in the mode's own way; true when it was damaged.
bool TellDamage(const WebOptions& options, const std::string& damage) {
  if (damage.empty()) return false;
  std::fprintf(stderr, "kra: %s\n", damage.c_str());
  if (options.still) SetPageTitle(("kra still " + options.still_text + " failed: " + damage).c_str());
  if (options.bench) TellPage("onResult", ("kra: " + damage).c_str());
  TellPage("onDamaged", damage.c_str());
  return true;
}

void RunBench() {
  OfflineAudioDevice audio;
  VirtualCounter virtual_time(kVirtualFps);
  const Platform offline{.display = &g_display, .counter = &virtual_time, .audio = &audio};
  int64_t frames = 0;
  double seconds = 0.0;
  const std::optional<int> early = GuardDemoRun([&] {
    StartDemoRun(offline, {.from_seconds = 0.0f, .seek_fps = kVirtualFps, .player = false});
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
  enum { kBench = 1, kStill, kAt };
  static constexpr CommandOption kOptions[] = {{"bench", false, kBench}, {"still", true, kStill}, {"at", true, kAt}};
  std::vector<std::string> rest;
  return ParseCommandLine(
      argc, argv, kOptions,
      [&](int id, const char* value, std::string* why) {
        if (id == kBench) {
          options->bench = true;
          return true;
        }
        if (id == kAt) return ParseNumberOption("at", value, 0.0, kDemoEnds, &options->at_seconds, why);
        options->still = true;
        options->still_text = value;
        return ParseNumberOption("still", value, 0.0, kDemoEnds, &options->still_seconds, why);
      },
      &rest, error);
}

}  // namespace

// The page's start button: a run of the player from seconds (the start, or a link's moment),
// sound and all; what kra_prepare has not run of the start-up runs first.
extern "C" EMSCRIPTEN_KEEPALIVE void kra_start(double seconds) {
  if (g_playing) return;
  const auto from = static_cast<float>(seconds);
  if (!g_start.platform) g_start = {.platform = &kPlayer};
  const std::optional<int> early = GuardDemoRun([=] {
    while (StepDemoStart(&g_start)) {
    }
    FinishDemoStart({.from_seconds = from, .seek_fps = PLAYER_SEEK_FPS, .player = true});
  });
  g_start = {};
  if (early) {
    TellPage("onEnded", std::to_string(*early).c_str());
    return;
  }
  g_playing = true;
  emscripten_set_main_loop(PlayAnimationFrame, 0, false);
}

// The start button's click: the page's sound made while the click lasts (the start-up then
// runs over several tasks, kra_prepare's pieces and kra_start).
extern "C" EMSCRIPTEN_KEEPALIVE void kra_make_sound_in_click() { WebAudioDevice::MakeContextInClick(kMusicOutputRate); }

// One piece of the player's start-up (loading a part, say), run by the page in a task of its
// own after Play was pressed, so that the page never freezes for the whole start-up at once:
// 1 while pieces are left before the music's, which kra_start runs. A piece that ends the run
// early (a damaged file) tells the page as a run's end does.
extern "C" EMSCRIPTEN_KEEPALIVE int kra_prepare() {
  if (g_playing) return 0;
  if (!g_start.platform) g_start = {.platform = &kPlayer};
  if (NextDemoStartIsMusic(g_start)) return 0;
  bool more = false;
  if (const std::optional<int> early = GuardDemoRun([&] { more = StepDemoStart(&g_start); })) {
    g_start = {};
    TellPage("onEnded", std::to_string(*early).c_str());
    return 0;
  }
  return more && !NextDemoStartIsMusic(g_start) ? 1 : 0;
}

// A key from the page (KeyboardEvent.code): 1 when it is the player's.
extern "C" EMSCRIPTEN_KEEPALIVE int kra_key(const char* code) {
  const DisplayEvent key = PlayerKey(code);
  if (key == DisplayEvent::kOtherKey || !g_playing) return 0;
  Control([=] { HandlePlayerKey(key); });
  return 1;
}

// The page's seek bar and its click on the picture.
extern "C" EMSCRIPTEN_KEEPALIVE void kra_seek(double seconds) {
  Control([=] { PlayerSeek(static_cast<float>(seconds)); });
}
extern "C" EMSCRIPTEN_KEEPALIVE void kra_toggle_pause() { Control([] { PlayerTogglePause(); }); }
extern "C" EMSCRIPTEN_KEEPALIVE int kra_paused() { return g_player.paused ? 1 : 0; }

// What is wrong with the data archive the page has put in the program's file system, as the
// native start-up checks it, in words for the page's visitor; "" when it is whole.
extern "C" EMSCRIPTEN_KEEPALIVE const char* kra_archive_damage() {
  static std::string said;
  const std::string damage = ArchiveDamage(DEMO_ARCHIVE_NAME);
  said = damage.empty() ? "" : std::string("the demo's data (") + DEMO_ARCHIVE_NAME + ") is damaged: " + damage;
  return said.c_str();
}

// Blocks of sound the page's audio output has played: grows once the music runs.
extern "C" EMSCRIPTEN_KEEPALIVE double kra_audio_blocks() { return static_cast<double>(g_audio.Blocks()); }

// Frames shown in the canvas so far, and the demo second of the last one.
extern "C" EMSCRIPTEN_KEEPALIVE double kra_frames_shown() { return static_cast<double>(g_display.Flips()); }
extern "C" EMSCRIPTEN_KEEPALIVE double kra_demo_seconds() { return g_demo.clock.seconds; }

// The timeline's parts, for the page's chapter marks and labels: how many, and each one's
// start (seconds) and name ("" and 0 past the last).
extern "C" EMSCRIPTEN_KEEPALIVE int kra_part_count() { return kTimelineParts; }
extern "C" EMSCRIPTEN_KEEPALIVE double kra_part_start(int part) {
  return part >= 0 && part < kTimelineParts ? kTimeline[part].starts : 0.0;
}
extern "C" EMSCRIPTEN_KEEPALIVE const char* kra_part_name(int part) {
  return part >= 0 && part < kTimelineParts ? kTimeline[part].name : "";
}

int main(int argc, char** argv) {
  WebOptions options;
  std::string error;
  if (!ParseWebOptions(argc, argv, &options, &error)) {
    std::fprintf(stderr, "kra: %s\n", error.c_str());
    TellPage("onResult", ("kra: " + error).c_str());
    return 2;
  }
  // A damaged archive would play as a black screen, if at all: the page says why instead.
  if (TellDamage(options, kra_archive_damage())) return 0;
  if (options.still) {
    ShowStill(options);
  } else if (options.bench) {
    RunBench();
  } else {
    // A link's moment waits behind the start button, drawn here; the title card is the
    // page's own picture of the same pixels, so nothing is loaded twice before Play.
    if (options.at_seconds >= 0.0) ShowFrameAt(options.at_seconds);
    TellPage("onReady", "");
  }
  return 0;
}
