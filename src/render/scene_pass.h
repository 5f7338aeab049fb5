// The scene render pass: objects into the pool, culling and depth keys, the back-to-front
// sort, clipping, fans, fills and outlines. There is no depth buffer: the sort is the only
// visibility rule.
#pragma once

#include <cstdint>

#include "render/render_context.h"

struct Scene;

// Draws one frame of the scene over whatever the frame holds.
void RenderScene(const Scene* scene);

// The depth key of a triangle from its three camera depths: larger is farther. Mean depths
// past about 508 clamp at 65535 instead of wrapping round to near keys.
uint32_t DepthKey(double z0, double z1, double z2);
