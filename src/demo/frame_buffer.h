// The frame buffer: the display buffer that is presented, and the frame inside it that the
// demo parts draw into.
#pragma once

#include <cstdint>

#include "resource/texture.h"

constexpr int WIDTH = 512;           // frame, display buffer and display mode width
constexpr int HEIGHT = 384;          // rows the demo parts draw
constexpr int DISPLAY_HEIGHT = 384;  // rows of the display buffer and the display mode

// The frame as drawing operations address it: the Texture layout, has_alpha always 0.
using FrameDescriptor = Texture;

// What the frame holds as the last scene paint into it left it: its backdrop, except in rows
// [top, bottom). The next paint over the same backdrop (the same image, by its serial) puts
// back only those rows. Backdrop 0: nothing is known, and the next paint puts back the whole. Whatever else
// writes into the frame (a clear, another part) forgets it; the player's overlays are drawn
// over a held copy and taken off again, so they leave it true.
struct BackdropDamage {
  uint64_t backdrop;  // the serial of the image the rows were drawn over; 0: nothing known
  int32_t top, bottom;
};

struct FrameBuffer {
  uint32_t* display;      // DISPLAY_HEIGHT rows of WIDTH pixels, 0xAARRGGBB
  FrameDescriptor frame;  // WIDTH x HEIGHT, starting (DISPLAY_HEIGHT - HEIGHT) / 2 rows down
  BackdropDamage damage;
  // Frame rows [changed_top, changed_bottom) hold every pixel that differs from the frame
  // last shown: all that ShowFrameBuffer has to present.
  int32_t changed_top, changed_bottom;
};

// Allocates and zeroes the display buffer and sets up the frame descriptor. Returns 0 (and
// allocates nothing) when the configured sizes are 0.
int CreateFrameBuffer(FrameBuffer* buffer, int width, int height, int display_height);
void ClearFrameBuffer(FrameBuffer* buffer);
// Adds rows [top, bottom) of the frame to those changed since it was last shown.
void MarkFrameChanged(FrameBuffer* buffer, int32_t top, int32_t bottom);
// Presents the rows changed since the last time, and then none is.
void ShowFrameBuffer(FrameBuffer* buffer);
void FreeFrameBuffer(FrameBuffer* buffer);
