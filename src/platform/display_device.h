// The display device: what the display window (display/display_window.h) needs of the
// platform, in the calls of an exclusive-mode display API: create, set a mode by bit depth,
// make surfaces, describe the pixel format, lock, unlock, flip, pump messages. Three
// backends, one chosen by each driver:
//
//   SdlDisplay (sdl_display.cpp)  kra's window or full screen. A mode is a streaming
//       texture of that depth (16, 24 or 32 bits), scaled to the window with letterbox bars;
//       the texture is the back buffer, so surfaces of any count succeed once it exists, and
//       Restore has nothing to do (a lost texture, SDL's device reset, is made again in the
//       pump and the next frame goes up whole). Keeps rows, and locks a band of them, while the
//       texture lives. Reports activation (focus matters in full screen only), Escape, close,
//       the player's keys and the pointer; hides the pointer until the player shows it.
//   WebDisplay (web_display.cpp)  the page's canvas: 32 bits only (R, G, B, A bytes, as
//       ImageData holds them); the flip puts the pixels into the canvas. No Escape or close
//       (the browser owns them); keys and pointer come through the page's calls instead.
//   HeadlessDisplay (headless_display.cpp)  captures and tests: a surface in memory of any
//       depth the test allows, with scripted events, failures and lost surfaces, and a sink
//       that sees every flipped frame.
//
// Calls a backend has nothing to do for (Restore; HideCursor and SetScreenSaver on the web)
// return at once.
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
  // The front surface with the given number of back buffers (0: the front alone); a device
  // with a single drawing surface (SDL's texture, the canvas) takes any count.
  virtual bool CreateSurfaces(int back_buffers) = 0;
  virtual bool HasBackBuffer() = 0;
  virtual bool GetPixelFormat(DisplayPixelFormat* format) = 0;
  // Brings lost surfaces back before a frame is drawn into them; nothing to do where the
  // backend remakes them itself (SDL) or cannot lose them.
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
