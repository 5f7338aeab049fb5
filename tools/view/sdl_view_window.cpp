#include "view_window.h"
#include "view_load.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/printable_text.h"
#include "resource/content_watch.h"
#include "resource/data_archive.h"
#include "resource/file_reads.h"
#include "view_frame.h"
#include "view_pose.h"

namespace {

constexpr int WINDOW_SCALE = 2;
constexpr uint32_t FRAME_MILLISECONDS = 16;  // the pace when the driver has no vsync
constexpr double LONGEST_STEP = 0.1;  // a window that stalled does not jump ahead

struct ViewWindow {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
};

struct ViewClock {
  double seconds = 0.0;
  bool paused = false;
};

// SDL quietly falls back to a driver that shows nothing when there is no X or Wayland
// server; a viewer that shows nothing is no viewer, unless the user asked for that driver.
bool IsInvisibleDriver(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

bool OpenViewWindow(ViewWindow* view, int width, int height, std::string* error) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    *error = SDL_GetError();
    return false;
  }
  if (IsInvisibleDriver(SDL_GetCurrentVideoDriver()) && !std::getenv("SDL_VIDEODRIVER")) {
    *error = "no X11 or Wayland display is available";
    return false;
  }
  view->window = SDL_CreateWindow("kra-view", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width * WINDOW_SCALE,
                                  height * WINDOW_SCALE, SDL_WINDOW_RESIZABLE);
  if (view->window) view->renderer = SDL_CreateRenderer(view->window, -1, SDL_RENDERER_PRESENTVSYNC);
  if (view->window && !view->renderer) view->renderer = SDL_CreateRenderer(view->window, -1, SDL_RENDERER_SOFTWARE);
  if (view->renderer) {
    // Resizing keeps the frame's aspect, with bars where the window is wider or taller.
    SDL_RenderSetLogicalSize(view->renderer, width, height);
    view->texture = SDL_CreateTexture(view->renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
  }
  if (!view->texture) {
    *error = SDL_GetError();
    return false;
  }
  return true;
}

void CloseViewWindow(ViewWindow* view) {
  if (view->texture) SDL_DestroyTexture(view->texture);
  if (view->renderer) SDL_DestroyRenderer(view->renderer);
  if (view->window) SDL_DestroyWindow(view->window);
  *view = ViewWindow{};
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
}

void ShowState(const ViewWindow& view, const ViewOptions& options, const ViewContent& content, const ViewClock& clock) {
  std::string title = "kra-view: " + PrintableText(options.file);
  if (!content.scene) title += " (does not load: R reloads)";
  if (clock.paused) title += " (paused)";
  if (options.env_map) title += " [env]";
  if (options.outline) title += " [outline]";
  SDL_SetWindowTitle(view.window, title.c_str());
}

// A script plays from 0 to its last key and starts again; an object turns for ever.
double Wrapped(const ViewContent& content, double seconds) {
  if (seconds < 0) seconds = 0;
  if (content.kind != ViewKind::SCRIPT) return seconds;
  if (content.loop_seconds <= 0) return 0.0;
  return std::fmod(seconds, content.loop_seconds);
}

void Reload(const ViewOptions& options, ViewContent* content) {
  FreeViewContent(content);
  if (LoadViewContent(options, content) != ViewLoad::OK) FreeViewContent(content);
}

// The files the last load read, followed when --watch asks for it. Those watched already
// keep their stamps from before the load, so a save made while it was reading is seen.
void WatchLoadedFiles(ContentWatch* watch) { RewatchContent(watch, FilesRead(), {g_data_archive.zip_path}, nullptr); }

// A change to a file the last load read, once it has settled, loads everything again.
void FollowFiles(const ViewWindow& view, const ViewOptions& options, ViewContent* content, const ViewClock& clock,
                 ContentWatch* watch, double elapsed) {
  if (!options.watch || !PollContentWatch(watch, static_cast<float>(elapsed)).parts) return;
  ClearFilesRead();
  Reload(options, content);
  WatchLoadedFiles(watch);
  std::fprintf(stderr, content->scene ? "kra-view: reloaded %s\n" : "kra-view: %s does not load\n",
               PrintableText(options.file).c_str());
  ShowState(view, options, *content, clock);
}

// Handles one key; false when it ends the viewer.
bool OnKey(SDL_Keycode key, ViewOptions* options, ViewContent* content, ViewClock* clock) {
  switch (key) {
    case SDLK_ESCAPE: return false;
    case SDLK_SPACE: clock->paused = !clock->paused; break;
    case SDLK_LEFT: clock->seconds = Wrapped(*content, clock->seconds - 1.0); break;
    case SDLK_RIGHT: clock->seconds = Wrapped(*content, clock->seconds + 1.0); break;
    case SDLK_r: Reload(*options, content); break;
    case SDLK_e:
      options->env_map = !options->env_map;
      SetMeshFlags(content, options->env_map, options->outline);
      break;
    case SDLK_o:
      options->outline = !options->outline;
      SetMeshFlags(content, options->env_map, options->outline);
      break;
    default: break;
  }
  return true;
}

// Takes every pending event; false once the viewer is to end.
bool PumpEvents(const ViewWindow& view, ViewOptions* options, ViewContent* content, ViewClock* clock) {
  SDL_Event event;
  bool running = true;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) running = false;
    if (event.type == SDL_KEYDOWN && !OnKey(event.key.keysym.sym, options, content, clock)) running = false;
    if (event.type == SDL_KEYDOWN) ShowState(view, *options, *content, *clock);
  }
  return running;
}

void Present(const ViewWindow& view, const Texture& frame) {
  SDL_UpdateTexture(view.texture, nullptr, frame.pixels, frame.width * 4);
  SDL_SetRenderDrawColor(view.renderer, 0, 0, 0, 255);
  SDL_RenderClear(view.renderer);
  SDL_RenderCopy(view.renderer, view.texture, nullptr, nullptr);
  SDL_RenderPresent(view.renderer);
}

}  // namespace

int RunViewWindow(ViewOptions options, ViewContent* content, Texture* frame) {
  ViewWindow view;
  std::string error;
  if (!OpenViewWindow(&view, frame->width, frame->height, &error)) {
    std::fprintf(stderr, "kra-view: cannot open a window: %s\n", error.c_str());
    CloseViewWindow(&view);
    return 1;
  }
  ViewClock clock;
  clock.seconds = Wrapped(*content, options.seconds);
  ContentWatch watch{};
  if (options.watch) WatchLoadedFiles(&watch);
  ShowState(view, options, *content, clock);
  uint64_t last = SDL_GetPerformanceCounter();
  const double ticks_per_second = static_cast<double>(SDL_GetPerformanceFrequency());
  while (PumpEvents(view, &options, content, &clock)) {
    const uint64_t now = SDL_GetPerformanceCounter();
    const double elapsed = static_cast<double>(now - last) / ticks_per_second;
    last = now;
    FollowFiles(view, options, content, clock, &watch, elapsed);
    if (!clock.paused) clock.seconds = Wrapped(*content, clock.seconds + (elapsed < LONGEST_STEP ? elapsed : LONGEST_STEP));
    PoseView(content, options, clock.seconds);
    DrawViewFrame(*content, frame);
    Present(view, *frame);
    const uint32_t spent = static_cast<uint32_t>((SDL_GetPerformanceCounter() - now) * 1000 / SDL_GetPerformanceFrequency());
    if (spent < FRAME_MILLISECONDS) SDL_Delay(FRAME_MILLISECONDS - spent);
  }
  CloseViewWindow(&view);
  return 0;
}
