// A line of small text drawn straight into a frame: the player's overlay. A built-in 3x5
// pixel font, each pixel drawn as a 2x2 block, white on a dark box; digits, letters (shown
// as capitals), space and . : - % / , ? + < > ( ); any other character is left blank.
#pragma once

#include "resource/texture.h"

// Width and height in pixels of text drawn by DrawOverlayText, box included.
int OverlayTextWidth(const char* text);
int OverlayTextHeight();

// Draws text with its box's top-left corner at (x, y); what falls outside the frame is cut.
void DrawOverlayText(const Texture& frame, int x, int y, const char* text);

// Fills the rectangle [x0, x1) x [y0, y1) with colour, cut to the frame.
void FillOverlayRect(const Texture& frame, int x0, int y0, int x1, int y1, uint32_t colour);
