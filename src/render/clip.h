// View-volume clipping in camera space (Sutherland-Hodgman against one plane at a time).
#pragma once

#include "platform/sse2.h"

#include <cstdint>

#include "render/render_vertex.h"

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

// Whether a camera-space point is inside all five planes, decided on the very float
// distances ClipPolygon computes (NaN is outside). A triangle whose three corners are comes
// out of the five passes as it went in. The reference form tests plane by plane, corner by
// corner.
bool VertexInsideClipPlanes(const ClipPlaneLanes& planes, double x, double y, double z);
bool InsideClipPlanes(const ClipPlaneLanes& planes, const RenderVertex corners[3]);  // all three
bool InsideClipPlanesReference(const ClipPlane planes[CLIP_PLANE_COUNT], const RenderVertex corners[3]);

// A screen rectangle whose points are surely inside all five planes when their camera z is
// above 0: side planes through the eye bound x / z and y / z, which the projection turns into
// screen columns and rows. The bounds sit SURELY_INSIDE_MARGIN pixels inside the planes' own,
// far more than the rounding of a screen position to float (3e-5 pixels at 512), so a point
// the rectangle holds passes the plane tests too. Points near the planes it leaves out go
// through the clipper, which gives a triangle that is inside back unchanged. Only for planes
// as BuildClipPlanes makes them and a projection without scaling; valid is false otherwise.
constexpr double SURELY_INSIDE_MARGIN = 1.0 / 1024;
struct InsideRectangle {
  bool valid;
  float left, right, top, bottom;
};
InsideRectangle SurelyInsideRectangle(const ClipPlane planes[CLIP_PLANE_COUNT], float focal, int32_t cx, int32_t cy,
                                      float scale_x, float scale_y);
