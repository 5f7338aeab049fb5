// Sutherland-Hodgman clipping of a convex polygon, one plane at a time.
#include "render/clip.h"

#include <cmath>

void BuildClipPlanes(int32_t w1, int32_t h1, float focal, float near_offset, ClipPlane planes[CLIP_PLANE_COUNT]) {
  // The 0.0001 radian margin turns each side plane slightly inwards, so clipped corners
  // project a pixel inside the frame edges.
  const double a1 = std::atan2((double)(w1 / 2), (double)focal) - 0.0001;
  const double a2 = std::atan2((double)(h1 / 2), (double)focal) - 0.0001;
  planes[CLIP_LEFT] = ClipPlane{std::cos(a1), 0.0, std::sin(a1), 0.0f};
  planes[CLIP_RIGHT] = ClipPlane{-std::cos(a1), 0.0, std::sin(a1), 0.0f};
  planes[CLIP_TOP] = ClipPlane{0.0, std::cos(a2), std::sin(a2), 0.0f};
  planes[CLIP_BOTTOM] = ClipPlane{0.0, -std::cos(a2), std::sin(a2), 0.0f};
  planes[CLIP_NEAR] = ClipPlane{0.0, 0.0, 1.0, near_offset};
}

// The point of edge a -> b where it crosses the plane. Only position and texture
// coordinates are carried; the screen position is projected afterwards.
static void Intersect(const RenderVertex& a, const RenderVertex& b, float d, RenderVertex* out) {
  const float t = (a.clip_distance - d) / (a.clip_distance - b.clip_distance);
  *out = RenderVertex{};
  out->x = a.x + (b.x - a.x) * t;
  out->y = a.y + (b.y - a.y) * t;
  out->z = a.z + (b.z - a.z) * t;
  out->u = a.u + (b.u - a.u) * t;
  out->v = a.v + (b.v - a.v) * t;
  out->u2 = a.u2 + (b.u2 - a.u2) * t;
  out->v2 = a.v2 + (b.v2 - a.v2) * t;
}

int32_t ClipPolygon(const ClipPlane& plane, RenderVertex* in, int32_t n, RenderVertex* out, int32_t* m) {
  for (int32_t i = 0; i < n; ++i) {
    RenderVertex& p = in[i];
    p.clip_distance = (float)(p.x * plane.nx + p.y * plane.ny + p.z * plane.nz);
  }
  const float d = plane.d;
  int32_t count = 0;
  for (int32_t i = 0; i < n && count < CLIP_POLYGON_SIZE; ++i) {
    const bool closing = i == n - 1;
    const RenderVertex& a = in[i];
    const RenderVertex& b = in[closing ? 0 : i + 1];
    const bool a_inside = a.clip_distance - d >= 0.0f;
    const bool b_inside = b.clip_distance - d >= 0.0f;
    if (a.clip_distance >= d) out[count++] = a;
    if (a_inside == b_inside || count >= CLIP_POLYGON_SIZE) continue;
    // The closing edge is interpolated from vertex 0 towards vertex n - 1.
    if (closing) {
      Intersect(b, a, d, &out[count++]);
    } else {
      Intersect(a, b, d, &out[count++]);
    }
  }
  *m = count;
  return count;
}
