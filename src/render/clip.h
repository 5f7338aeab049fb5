// View-volume clipping in camera space (Sutherland-Hodgman against one plane at a time).
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "render/render_context.h"

// The planes left, right, top, bottom, near, in that order of storage.
enum : int32_t { CLIP_LEFT = 0, CLIP_RIGHT = 1, CLIP_TOP = 2, CLIP_BOTTOM = 3, CLIP_NEAR = 4 };

void BuildClipPlanes(int32_t w1, int32_t h1, float focal, float near_offset, ClipPlane planes[CLIP_PLANE_COUNT]);

// Clips the n-vertex convex polygon in against one plane into out; returns and stores m.
// out holds CLIP_POLYGON_SIZE vertices (a convex polygon gives at most n + 1); a vertex that
// would not fit is not written. Each input vertex's clip_distance is set.
int32_t ClipPolygon(const ClipPlane& plane, RenderVertex* in, int32_t n, RenderVertex* out, int32_t* m);

// The planes as lanes for InsideClipPlanes, made once per frame.
struct ClipPlaneLanes {
  __m128d nx[3], ny[3], nz[3];  // (left, right), (top, bottom), (near, near)
  __m128 side_offsets, near_offset;
  // The planes as BuildClipPlanes makes them: side planes through the eye with a zero y
  // (left, right) or x (top, bottom) component, the near plane facing straight down z with
  // an offset of 0 or less.
  bool as_built;
};
ClipPlaneLanes ClipPlanesAsLanes(const ClipPlane planes[CLIP_PLANE_COUNT]);

// Whether all three corners are inside all five planes, decided on the very float distances
// ClipPolygon computes (NaN is outside): such a triangle comes out of the five passes as it
// went in. The reference form tests plane by plane, corner by corner.
bool InsideClipPlanes(const ClipPlaneLanes& planes, const RenderVertex corners[3]);
bool InsideClipPlanesReference(const ClipPlane planes[CLIP_PLANE_COUNT], const RenderVertex corners[3]);
