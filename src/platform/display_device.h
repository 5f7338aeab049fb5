// The display device: what the display window needs of the platform.
//
// An exclusive display of width by height; a display mode request by bit depth that may
// fail; surfaces with a number of back buffers; a pixel format described by bit count and
// channel masks; lock (pointer and pitch), unlock, flip; a message pump that reports
// activation, Escape and close; cursor hiding and the screen saver. One backend per file:
// sdl_display.cpp for real screens, headless_display.cpp for tests and capture.
#pragma once

#include <cstdint>
#include <string>

struct DisplayPixelFormat {
  int32_t rgb;  // 0 when the mode is not direct colour (palettized)
  int32_t bits;
  uint32_t red_mask;
  uint32_t green_mask;
  uint32_t blue_mask;
};

enum class DisplayEvent {
  kActivated,
  kDeactivated,
  kEscape,
  kOtherKey,
  kClose,
  kCursorOverWindow,
  // The player's keys, passed on as the keys they are; what they do is the player's.
  kKeySpace,
  kKeyLeft,
  kKeyRight,
  kKeyPageUp,
  kKeyPageDown,
  kKeyHome,
  kKeyR,
  kKeyT,
};

class DisplayDevice {
 public:
  virtual ~DisplayDevice() = default;

  // The device and its (not yet visible) window. false: no display can be had here.
  virtual bool Create(const char* title, int width, int height) = 0;
  virtual bool SetMode(int width, int height, int bits) = 0;
  // The front surface with the given number of back buffers (0: the front alone).
  virtual bool CreateSurfaces(int back_buffers) = 0;
  virtual bool HasBackBuffer() = 0;
  virtual bool GetPixelFormat(DisplayPixelFormat* format) = 0;
  virtual void Restore() = 0;
  virtual bool Lock(uint8_t** pixels, int* pitch) = 0;
  virtual void Unlock() = 0;
  virtual void Flip() = 0;
  // Takes the next pending message; false when none is left.
  virtual bool PollEvent(DisplayEvent* event) = 0;
  virtual void HideCursor() = 0;
  virtual void SetScreenSaver(bool enabled) = 0;
  virtual void Destroy() = 0;
  // The window's title, where the device has one.
  virtual void SetTitle(const char* title) {}
  // Why the last call failed, for the user.
  virtual std::string LastError() = 0;
};
