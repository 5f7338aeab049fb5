// View-volume clipping in camera space (Sutherland-Hodgman against one plane at a time).
#pragma once

#include <cstdint>

#include "render/render_context.h"

// The planes left, right, top, bottom, near, in that order of storage.
enum : int32_t { CLIP_LEFT = 0, CLIP_RIGHT = 1, CLIP_TOP = 2, CLIP_BOTTOM = 3, CLIP_NEAR = 4 };

void BuildClipPlanes(int32_t w1, int32_t h1, float focal, float near_offset, ClipPlane planes[CLIP_PLANE_COUNT]);

// Clips the n-vertex convex polygon in against one plane into out; returns and stores m.
// out holds CLIP_POLYGON_SIZE vertices (a convex polygon gives at most n + 1); a vertex that
// would not fit is not written. Each input vertex's clip_distance is set.
int32_t ClipPolygon(const ClipPlane& plane, RenderVertex* in, int32_t n, RenderVertex* out, int32_t* m);
