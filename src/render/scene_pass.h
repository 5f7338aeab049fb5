// The scene render pass: objects into the pool, culling and depth keys, the back-to-front
// sort, clipping, fans, fills and outlines. There is no depth buffer: the sort is the only
// visibility rule.
#pragma once

#include <cstdint>

#include "render/clip.h"
#include "render/render_context.h"

struct Scene;

// Draws one frame of the scene over whatever the frame holds.
void RenderScene(const Scene* scene);

// The depth key of a triangle from its three camera depths: larger is farther. Mean depths
// past about 508 clamp at 65535 instead of wrapping round to near keys.
uint32_t DepthKey(double z0, double z1, double z2);

// The pass's verdict on the triangle of three pool vertices: its depth key when the corners
// run clockwise on the screen (y down) or are collinear, no corner is behind the eye, and at
// least one corner lies on the screen, with KEY_INSIDE_PLANES when no clipping is needed;
// CULLED_TRIANGLE otherwise. Read off the vertices' positions and flags.
uint32_t TriangleKey(const ScreenVertex* screen, const CameraVertex* camera, const int32_t vertex[3]);

// The three corners of pool triangle i, whole, as the clipper takes them.
void PooledCorners(int32_t i, RenderVertex corners[3]);
