// The display window: opens an exclusive display mode of the frame's size, picks the row
// converter for its pixel format, and once per frame converts the display buffer into the
// back buffer and flips.
#pragma once

#include <cstdint>

#include "display/row_converter.h"

class DisplayDevice;
enum class DisplayEvent;

// A key or pointer event for the player; x and y are the pointer's frame position (pointer
// events only).
struct DisplayInput {
  DisplayEvent event;
  int32_t x;
  int32_t y;
};

struct DisplayWindow {
  int32_t width;
  int32_t height;
  DisplayDevice* device;  // the device OpenDisplay was given, while open
  int32_t created;        // the device's window exists
  int32_t surfaces;       // the front surface (and its back buffer) exist
  int32_t active;         // frames are dropped while 0
  int32_t shown;          // the back buffer holds the last frame presented, every row of it
  RowConverter converter;
  int32_t bytes_per_pixel;  // of the mode's format
  // Player keys and pointer events seen by the message pump and not yet taken, oldest
  // first; more than fit in one frame are dropped, except that a pointer move replaces a
  // move still waiting at the end.
  DisplayInput inputs[32];
  int32_t input_count;
};

extern DisplayWindow g_display_window;

// Opens device as the window: 1 on success, 0 on any failure, a null device among them
// (what was created stays in place).
int OpenDisplay(DisplayDevice* device, const char* title, int width, int height);

// 1 when the frame was presented or dropped because the window is inactive; 0 when the back
// buffer could not be locked. May end the process (Escape, close) through EndProcess.
int PresentFrame(const uint32_t* pixels);

// PresentFrame of a frame that differs from the last one presented only in rows [top,
// bottom): where the device keeps the back buffer's other rows (KeepsRows, LockRows), only
// those are converted, and with none of them the buffer is flipped as it is. Everything is
// converted for the first frame, after a failure or a change of activation, after the device
// lost its pixels, and on devices that do not keep them.
int PresentFrameRows(const uint32_t* pixels, int32_t top, int32_t bottom);

// Gives the screen saver back and destroys the device's window; nothing when none is open.
void CloseDisplay();

// Handles one window message, as the message pump of PresentFrame delivers it.
void DisplayWindowProc(DisplayEvent event);

// Takes the oldest player input the pump has seen; false when none is waiting.
bool TakeDisplayInput(DisplayInput* input);
