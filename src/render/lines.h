// Pixels and lines into the frame.
#pragma once

#include <cstdint>

#include "render/render_context.h"
#include "resource/texture.h"

// (a << 24) | (r << 16) | (g << 8) | b, each argument taken as its low 8 bits.
uint32_t PackColor(int32_t r, int32_t g, int32_t b, int32_t a);

// Stores colour at (x, y) when inside the descriptor; nothing otherwise.
void PutPixel(const Texture* frame, int32_t x, int32_t y, uint32_t colour);
void PutPixel(const FrameView* frame, int32_t x, int32_t y, uint32_t colour);

// Bresenham line into g_render.frame, both end points included.
void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t colour);
// Three lines between the corners' screen positions, truncated toward zero.
void DrawOutline(const RenderVertex triangle[3], uint32_t colour);
