// A line of small text drawn straight into a frame: the player's overlay. A built-in 3x5
// pixel font, each pixel drawn as a 2x2 block, white on a dark box; digits, letters (shown
// as capitals), space, '.', ':', '-' and '%'; any other character is left blank.
#pragma once

#include "resource/texture.h"

// Width and height in pixels of text drawn by DrawOverlayText, box included.
int OverlayTextWidth(const char* text);
int OverlayTextHeight();

// Draws text with its box's top-left corner at (x, y); what falls outside the frame is cut.
void DrawOverlayText(const Texture& frame, int x, int y, const char* text);
