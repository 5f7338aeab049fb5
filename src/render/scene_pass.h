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

// The pass's verdict on a projected triangle: its depth key when the corners run clockwise on
// the screen (y down) or are collinear, no corner is behind the eye, and at least one corner
// lies on the screen, with KEY_INSIDE_PLANES when no clipping is needed; CULLED_TRIANGLE
// otherwise. planes are g_render.clip_planes as lanes.
uint32_t TriangleKey(const ClipPlaneLanes& planes, const RenderVertex corners[3]);
