// The display window: opens an exclusive display mode of the frame's size, picks the row
// converter for its pixel format, and once per frame converts the display buffer into the
// back buffer and flips.
#pragma once

#include <cstdint>

#include "display/row_converter.h"

class DisplayDevice;
enum class DisplayEvent;

struct DisplayWindow {
  int32_t width;
  int32_t height;
  DisplayDevice* device;  // g_platform.display while open
  int32_t created;        // the device's window exists
  int32_t surfaces;       // the front surface (and its back buffer) exist
  int32_t active;         // frames are dropped while 0
  RowConverter converter;
  int32_t bytes_per_pixel;  // of the mode's format
  // Player keys seen by the message pump and not yet taken, oldest first; more than fit
  // in one frame are dropped.
  DisplayEvent keys[16];
  int32_t key_count;
};

extern DisplayWindow g_display_window;

// 1 on success, 0 on any failure (what was created stays in place).
int OpenDisplay(const char* title, int width, int height);

// 1 when the frame was presented or dropped because the window is inactive; 0 when the back
// buffer could not be locked. May end the process (Escape, close) through EndProcess.
int PresentFrame(const uint32_t* pixels);

void CloseDisplay();

// Handles one window message, as the message pump of PresentFrame delivers it.
void DisplayWindowProc(DisplayEvent event);

// Takes the oldest player key the pump has seen; false when none is waiting.
bool TakeDisplayKey(DisplayEvent* key);
