// The display device: what the display window needs of the platform.
//
// An exclusive display of width by height; a display mode request by bit depth that may
// fail; surfaces with a number of back buffers; a pixel format described by bit count and
// channel masks; lock (pointer and pitch), unlock, flip; a message pump that reports
// activation, Escape and close, the player's keys and the pointer in frame pixels; cursor
// hiding and the screen saver. One backend per file:
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
  kKeyComma,   // one frame back
  kKeyPeriod,  // one frame ahead
  kKeyHelp,    // H or ?
  // The pointer, at the frame position PointerPosition gives for the event just polled.
  kPointerMove,
  kPointerPress,    // the primary button (or a touch) goes down
  kPointerRelease,
  kWheelBack,       // the wheel turned towards the user
  kWheelAhead,
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
  // Whether the back buffer still holds, every row of it, what the last whole Lock and the
  // row locks since left there: false where the device never promises it (its pixels are
  // write-only) and after it lost them (a driver reset), until the next whole Lock.
  virtual bool KeepsRows() { return false; }
  // Locks rows [top, bottom) of the back buffer alone, every other row keeping what the last
  // Unlock left in it, and gives the address of row top. false where the device cannot keep
  // that promise (KeepsRows): the caller then locks it all.
  virtual bool LockRows(int top, int bottom, uint8_t** pixels, int* pitch) { return false; }
  virtual void Unlock() = 0;
  virtual void Flip() = 0;
  // Takes the next pending message; false when none is left.
  virtual bool PollEvent(DisplayEvent* event) = 0;
  virtual void HideCursor() = 0;
  virtual void SetScreenSaver(bool enabled) = 0;
  virtual void Destroy() = 0;
  // The window's title, where the device has one.
  virtual void SetTitle(const char* title) {}
  // Where the pointer event just taken by PollEvent happened, in frame pixels (the frame as
  // created, before the device scales it to the window); outside the frame when the pointer
  // is on a letterbox bar. Devices without a pointer never report pointer events.
  virtual void PointerPosition(int* x, int* y) {
    *x = -1;
    *y = -1;
  }
  // Shows or hides the pointer while the player's controls come and go; a window keeps its
  // pointer whatever this says.
  virtual void ShowPointer(bool shown) {}
  // Why the last call failed, for the user.
  virtual std::string LastError() = 0;
};
