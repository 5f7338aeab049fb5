#include "platform/sdl_display.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

// The SDL pixel format that realises a display mode of the given depth. For 24 bits the
// format whose bytes in memory are B, G, R.
uint32_t SdlFormatForDepth(int bits) {
  switch (bits) {
    case 32: return SDL_PIXELFORMAT_ARGB8888;
    case 24: return SDL_PIXELFORMAT_BGR24;
    case 16: return SDL_PIXELFORMAT_RGB565;
    default: return SDL_PIXELFORMAT_UNKNOWN;
  }
}

// With no X or Wayland server SDL quietly falls back to a driver that shows nothing; the
// demo would then play invisibly. Those count as no display unless the user asked for them.
bool IsInvisibleDriver(const char* driver) {
  return driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0);
}

// The window's first size when the player asks for one: the frame at twice its size.
constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;

bool IsFullScreenToggle(const SDL_KeyboardEvent& key) {
  return key.keysym.sym == SDLK_F11 || (key.keysym.sym == SDLK_RETURN && (key.keysym.mod & KMOD_ALT));
}

DisplayEvent PlayerKeyEvent(const SDL_Keysym& keysym) {
  // '?' is Shift and '/' on most layouts; SDL names the key, not the character.
  if (keysym.sym == SDLK_SLASH && (keysym.mod & KMOD_SHIFT)) return DisplayEvent::kKeyHelp;
  switch (keysym.sym) {
    case SDLK_ESCAPE: return DisplayEvent::kEscape;
    case SDLK_SPACE: return DisplayEvent::kKeySpace;
    case SDLK_LEFT: return DisplayEvent::kKeyLeft;
    case SDLK_RIGHT: return DisplayEvent::kKeyRight;
    case SDLK_PAGEUP: return DisplayEvent::kKeyPageUp;
    case SDLK_PAGEDOWN: return DisplayEvent::kKeyPageDown;
    case SDLK_HOME: return DisplayEvent::kKeyHome;
    case SDLK_r: return DisplayEvent::kKeyR;
    case SDLK_t: return DisplayEvent::kKeyT;
    case SDLK_COMMA: return DisplayEvent::kKeyComma;
    case SDLK_PERIOD: return DisplayEvent::kKeyPeriod;
    case SDLK_h:
    case SDLK_QUESTION: return DisplayEvent::kKeyHelp;
    default: return DisplayEvent::kOtherKey;
  }
}

}  // namespace

SdlDisplay::~SdlDisplay() { Destroy(); }

bool SdlDisplay::Fail(const std::string& what) {
  error_ = what;
  return false;
}

bool SdlDisplay::Create(const char* title, int width, int height) {
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
  // The programs have their own main (SDL_MAIN_HANDLED where SDL would take it over).
  SDL_SetMainReady();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return Fail(SDL_GetError());
  video_started_ = true;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (IsInvisibleDriver(driver) && !std::getenv("SDL_VIDEODRIVER")) {
    return Fail(std::string("no X11 or Wayland display is available (SDL fell back to its \"") +
                driver + "\" driver)");
  }
  // Full screen is created at the desktop's size: on an X server without a window manager
  // nobody resizes a full-screen window, and a frame-sized one would show a corner of the
  // scaled picture.
  SDL_DisplayMode desktop{};
  int window_width = kWindowWidth, window_height = kWindowHeight;
  uint32_t flags = SDL_WINDOW_RESIZABLE;
  if (!windowed_) {
    flags = SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS;
    window_width = width;
    window_height = height;
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
      window_width = desktop.w;
      window_height = desktop.h;
    }
  }
  window_ = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                             window_width, window_height, flags);
  if (!window_) return Fail(SDL_GetError());
  renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) return Fail(SDL_GetError());
  // Keeps the frame's aspect: scaled to fit, black bars on the sides or top and bottom.
  SDL_RenderSetLogicalSize(renderer_, width, height);
  HideCursor();
  return true;
}

bool SdlDisplay::SetMode(int width, int height, int bits) {
  const uint32_t format = SdlFormatForDepth(bits);
  if (format == SDL_PIXELFORMAT_UNKNOWN) return Fail("unsupported depth");
  SDL_Texture* texture = SDL_CreateTexture(renderer_, format, SDL_TEXTUREACCESS_STREAMING, width, height);
  if (!texture) return Fail(SDL_GetError());
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = texture;
  texture_format_ = format;
  texture_width_ = width;
  texture_height_ = height;
  texture_kept_ = false;
  return true;
}

// The streaming texture is the back buffer and the renderer's target the front; SDL keeps
// whatever swap chain the driver has, so every request succeeds.
bool SdlDisplay::CreateSurfaces(int back_buffers) { return texture_ != nullptr; }
bool SdlDisplay::HasBackBuffer() { return texture_ != nullptr; }

bool SdlDisplay::GetPixelFormat(DisplayPixelFormat* format) {
  int bpp = 0;
  Uint32 r = 0, g = 0, b = 0, a = 0;
  if (!SDL_PixelFormatEnumToMasks(texture_format_, &bpp, &r, &g, &b, &a)) return Fail(SDL_GetError());
  *format = DisplayPixelFormat{1, bpp, r, g, b};
  return true;
}

void SdlDisplay::Restore() {}

bool SdlDisplay::Lock(uint8_t** pixels, int* pitch) {
  void* memory = nullptr;
  if (SDL_LockTexture(texture_, nullptr, &memory, pitch) != 0) return Fail(SDL_GetError());
  *pixels = static_cast<uint8_t*>(memory);
  texture_kept_ = true;
  return true;
}

// A streaming texture keeps the rows outside a locked rectangle (SDL uploads only that
// rectangle on unlock), until the renderer's device is reset and its textures lost.
bool SdlDisplay::LockRows(int top, int bottom, uint8_t** pixels, int* pitch) {
  if (!texture_kept_ || top < 0 || top >= bottom || bottom > texture_height_) return false;
  const SDL_Rect rows{0, top, texture_width_, bottom - top};
  void* memory = nullptr;
  if (SDL_LockTexture(texture_, &rows, &memory, pitch) != 0) return false;
  *pixels = static_cast<uint8_t*>(memory);
  return true;
}

void SdlDisplay::Unlock() { SDL_UnlockTexture(texture_); }

void SdlDisplay::RecreateTexture() {
  texture_kept_ = false;
  if (!renderer_ || !texture_format_) return;
  SDL_Texture* texture =
      SDL_CreateTexture(renderer_, texture_format_, SDL_TEXTUREACCESS_STREAMING, texture_width_, texture_height_);
  if (!texture) return;  // the old one may still serve; a lock that fails drops the frame
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = texture;
}

void SdlDisplay::Flip() {
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  SDL_RenderPresent(renderer_);
}

bool SdlDisplay::PollEvent(DisplayEvent* event) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT:
        *event = DisplayEvent::kClose;
        return true;
      // A reset of the targets leaves a streaming texture's pixels in doubt; a reset of the
      // device takes the texture itself, which is made again. Either way the next frame is
      // converted whole.
      case SDL_RENDER_TARGETS_RESET:
        texture_kept_ = false;
        break;
      case SDL_RENDER_DEVICE_RESET:
        RecreateTexture();
        break;
      // With a logical size set, SDL's renderer has already moved these positions from the
      // window onto the frame, letterbox included.
      case SDL_MOUSEMOTION:
        SetPointer(e.motion.x, e.motion.y);
        *event = DisplayEvent::kPointerMove;
        return true;
      case SDL_MOUSEBUTTONDOWN:
      case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT) break;
        SetPointer(e.button.x, e.button.y);
        *event = e.type == SDL_MOUSEBUTTONDOWN ? DisplayEvent::kPointerPress : DisplayEvent::kPointerRelease;
        return true;
      case SDL_MOUSEWHEEL: {
        const int turn = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        if (turn == 0) break;
        *event = turn > 0 ? DisplayEvent::kWheelAhead : DisplayEvent::kWheelBack;
        return true;
      }
      case SDL_KEYDOWN:
        if (IsFullScreenToggle(e.key)) {
          if (!e.key.repeat) ToggleFullScreen();
          break;
        }
        *event = PlayerKeyEvent(e.key.keysym);
        return true;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE:
            *event = DisplayEvent::kClose;
            return true;
          // Shown counts as active: an X server without a window manager never hands out
          // focus, and the demo must not wait for it there.
          case SDL_WINDOWEVENT_SHOWN:
          case SDL_WINDOWEVENT_FOCUS_GAINED:
          case SDL_WINDOWEVENT_RESTORED:
            *event = DisplayEvent::kActivated;
            return true;
          case SDL_WINDOWEVENT_FOCUS_LOST:
            if (!(SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP)) break;
            *event = DisplayEvent::kDeactivated;
            return true;
          case SDL_WINDOWEVENT_MINIMIZED:
          case SDL_WINDOWEVENT_HIDDEN:
            *event = DisplayEvent::kDeactivated;
            return true;
          case SDL_WINDOWEVENT_ENTER:
            *event = DisplayEvent::kCursorOverWindow;
            return true;
          default:
            break;
        }
        break;
      default:
        break;
    }
  }
  return false;
}

void SdlDisplay::ToggleFullScreen() {
  if (!window_) return;
  const bool full = (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  SDL_SetWindowFullscreen(window_, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
  if (full) {
    SDL_SetWindowBordered(window_, SDL_TRUE);
    SDL_SetWindowResizable(window_, SDL_TRUE);
    SDL_SetWindowSize(window_, kWindowWidth, kWindowHeight);
    SDL_ShowCursor(SDL_ENABLE);
  } else {
    SDL_ShowCursor(SDL_DISABLE);
  }
}

void SdlDisplay::SetPointer(int x, int y) {
  pointer_x_ = x;
  pointer_y_ = y;
}

void SdlDisplay::PointerPosition(int* x, int* y) {
  *x = pointer_x_;
  *y = pointer_y_;
}

void SdlDisplay::ShowPointer(bool shown) {
  if (window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP)) {
    SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
  }
}

void SdlDisplay::SetTitle(const char* title) {
  if (window_) SDL_SetWindowTitle(window_, title);
}

// A window keeps its pointer: it is one of many on the desktop.
void SdlDisplay::HideCursor() {
  if (window_ && (SDL_GetWindowFlags(window_) & SDL_WINDOW_FULLSCREEN_DESKTOP)) SDL_ShowCursor(SDL_DISABLE);
}

void SdlDisplay::SetScreenSaver(bool enabled) {
  if (enabled) {
    SDL_EnableScreenSaver();
  } else {
    SDL_DisableScreenSaver();
  }
}

void SdlDisplay::Destroy() {
  if (texture_) SDL_DestroyTexture(texture_);
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
  if (video_started_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  video_started_ = false;
}
