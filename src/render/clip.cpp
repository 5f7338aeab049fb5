// Sutherland-Hodgman clipping of a convex polygon, one plane at a time.
#include "render/clip.h"

#include <cmath>
#include <initializer_list>

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

// Side planes through the eye with a zero y (left, right) or x (top, bottom) component, the
// near plane facing straight down z with an offset of 0 or less.
static bool PlanesAsBuilt(const ClipPlane p[CLIP_PLANE_COUNT]) {
  const ClipPlane& n = p[CLIP_NEAR];
  return p[CLIP_LEFT].ny == 0.0 && p[CLIP_RIGHT].ny == 0.0 && p[CLIP_TOP].nx == 0.0 && p[CLIP_BOTTOM].nx == 0.0 &&
         p[CLIP_LEFT].d == 0.0f && p[CLIP_RIGHT].d == 0.0f && p[CLIP_TOP].d == 0.0f && p[CLIP_BOTTOM].d == 0.0f &&
         n.nx == 0.0 && n.ny == 0.0 && n.nz == 1.0 && n.d <= 0.0f;
}

// For z > 0: x nx + z nz >= 0 with nx > 0 is x / z >= -nz / nx, a column at least
// cx + focal (-nz / nx); with nx < 0 it is a column at most that. Rows likewise with ny.
InsideRectangle SurelyInsideRectangle(const ClipPlane p[CLIP_PLANE_COUNT], float focal, int32_t cx, int32_t cy,
                                      float scale_x, float scale_y) {
  const ClipPlane &left = p[CLIP_LEFT], &right = p[CLIP_RIGHT], &top = p[CLIP_TOP], &bottom = p[CLIP_BOTTOM];
  InsideRectangle r{};
  r.valid = PlanesAsBuilt(p) && scale_x == 1.0f && scale_y == 1.0f && focal > 0.0f && left.nx > 0.0 &&
            right.nx < 0.0 && top.ny > 0.0 && bottom.ny < 0.0;
  if (!r.valid) return r;
  r.left = (float)(cx - focal * (left.nz / left.nx) + SURELY_INSIDE_MARGIN);
  r.right = (float)(cx - focal * (right.nz / right.nx) - SURELY_INSIDE_MARGIN);
  r.top = (float)(cy - focal * (top.nz / top.ny) + SURELY_INSIDE_MARGIN);
  r.bottom = (float)(cy - focal * (bottom.nz / bottom.ny) - SURELY_INSIDE_MARGIN);
  return r;
}

// Lanes pair the planes two by two (left and right, top and bottom, near twice); offsets
// are floats, the way ClipPolygon compares its distances.
ClipPlaneLanes ClipPlanesAsLanes(const ClipPlane p[CLIP_PLANE_COUNT]) {
  const ClipPlane* pairs[3][2] = {{&p[CLIP_LEFT], &p[CLIP_RIGHT]}, {&p[CLIP_TOP], &p[CLIP_BOTTOM]},
                                  {&p[CLIP_NEAR], &p[CLIP_NEAR]}};
  ClipPlaneLanes lanes;
  for (int i = 0; i < 3; ++i) {
    lanes.nx[i] = _mm_setr_pd(pairs[i][0]->nx, pairs[i][1]->nx);
    lanes.ny[i] = _mm_setr_pd(pairs[i][0]->ny, pairs[i][1]->ny);
    lanes.nz[i] = _mm_setr_pd(pairs[i][0]->nz, pairs[i][1]->nz);
  }
  lanes.side_offsets = _mm_setr_ps(p[CLIP_LEFT].d, p[CLIP_RIGHT].d, p[CLIP_TOP].d, p[CLIP_BOTTOM].d);
  lanes.near_offset = _mm_set1_ps(p[CLIP_NEAR].d);
  lanes.as_built = PlanesAsBuilt(p);
  return lanes;
}

// (x nx + y ny) + z nz for two planes, rounded to float as ClipPolygon stores it.
static inline __m128 Distances(const ClipPlaneLanes& p, int pair, __m128d x, __m128d y, __m128d z) {
  const __m128d sum = _mm_add_pd(_mm_add_pd(_mm_mul_pd(x, p.nx[pair]), _mm_mul_pd(y, p.ny[pair])),
                                 _mm_mul_pd(z, p.nz[pair]));
  return _mm_cvtpd_ps(sum);
}

// Whether the distances of one point to the planes pass their offsets.
static inline bool SidesAndNearPass(const ClipPlaneLanes& p, __m128 sides, __m128 near) {
  return _mm_movemask_ps(_mm_cmpge_ps(sides, p.side_offsets)) == 0xF &&
         (_mm_movemask_ps(_mm_cmpge_ps(near, p.near_offset)) & 1) == 1;
}

// x and y finite (x - x is 0 only then).
static inline bool FiniteXY(__m128d xy) {
  return _mm_movemask_pd(_mm_cmpeq_pd(_mm_sub_pd(xy, xy), _mm_setzero_pd())) == 3;
}

// With the planes as built and the point's x and y finite, the zero terms of the distances
// only ever add a zero, which changes no sum but the sign of a zero, and a zero passes a
// test against an offset of 0 or -10 either way: the distances skip them.
bool VertexInsideClipPlanes(const ClipPlaneLanes& p, double x, double y, double z) {
  const __m128d zz = _mm_set1_pd(z);
  if (!p.as_built || !FiniteXY(_mm_setr_pd(x, y))) {
    const __m128d xx = _mm_set1_pd(x), yy = _mm_set1_pd(y);
    return SidesAndNearPass(p, _mm_movelh_ps(Distances(p, 0, xx, yy, zz), Distances(p, 1, xx, yy, zz)),
                            Distances(p, 2, xx, yy, zz));
  }
  const __m128d left_right = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(x), p.nx[0]), _mm_mul_pd(zz, p.nz[0]));
  const __m128d top_bottom = _mm_add_pd(_mm_mul_pd(_mm_set1_pd(y), p.ny[1]), _mm_mul_pd(zz, p.nz[1]));
  return SidesAndNearPass(p, _mm_movelh_ps(_mm_cvtpd_ps(left_right), _mm_cvtpd_ps(top_bottom)), _mm_cvtpd_ps(zz));
}

bool InsideClipPlanes(const ClipPlaneLanes& p, const RenderVertex corners[3]) {
  bool inside = true;
  for (int k = 0; k < 3; ++k) inside &= VertexInsideClipPlanes(p, corners[k].x, corners[k].y, corners[k].z);
  return inside;
}

bool InsideClipPlanesReference(const ClipPlane planes[CLIP_PLANE_COUNT], const RenderVertex corners[3]) {
  for (int32_t plane : {CLIP_NEAR, CLIP_RIGHT, CLIP_TOP, CLIP_BOTTOM, CLIP_LEFT}) {
    const ClipPlane& p = planes[plane];
    for (int k = 0; k < 3; ++k) {
      const RenderVertex& c = corners[k];
      if (!((float)(c.x * p.nx + c.y * p.ny + c.z * p.nz) >= p.d)) return false;
    }
  }
  return true;
}
