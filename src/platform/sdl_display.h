// The display device on a real screen, through SDL2: a full-screen desktop window (or, when
// asked, a resizable 1024x768 one), the 512x384 frame scaled up with nearest-neighbour and
// letterboxed, presented with vsync. Pointer events come in frame pixels: the renderer's
// logical size maps window positions back onto the frame. F11 and Alt+Enter switch between
// window and full screen. A display mode is a streaming texture in the SDL format of that
// depth. A window that loses the focus plays on (it is one of many on the desktop); full
// screen, it is inactive until it has the focus again.
#pragma once

#include "platform/display_device.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

class SdlDisplay final : public DisplayDevice {
 public:
  explicit SdlDisplay(bool windowed = false) : windowed_(windowed) {}
  ~SdlDisplay() override;
  bool Create(const char* title, int width, int height) override;
  bool SetMode(int width, int height, int bits) override;
  bool CreateSurfaces(int back_buffers) override;
  bool HasBackBuffer() override;
  bool GetPixelFormat(DisplayPixelFormat* format) override;
  void Restore() override;
  bool Lock(uint8_t** pixels, int* pitch) override;
  bool KeepsRows() override { return texture_kept_; }
  bool LockRows(int top, int bottom, uint8_t** pixels, int* pitch) override;
  void Unlock() override;
  void Flip() override;
  bool PollEvent(DisplayEvent* event) override;
  void HideCursor() override;
  void SetScreenSaver(bool enabled) override;
  void Destroy() override;
  void SetTitle(const char* title) override;
  void PointerPosition(int* x, int* y) override;
  void ShowPointer(bool shown) override;
  std::string LastError() override { return error_; }

 private:
  bool Fail(const std::string& what);
  void ToggleFullScreen();
  void SetPointer(int x, int y);
  void RecreateTexture();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  uint32_t texture_format_ = 0;
  int texture_width_ = 0;
  int texture_height_ = 0;
  bool texture_kept_ = false;  // the texture holds the last frame written into it whole
  bool video_started_ = false;
  bool windowed_;
  int pointer_x_ = -1;
  int pointer_y_ = -1;
  std::string error_;
};
