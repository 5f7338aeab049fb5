// Mesh vertices into pool vertices, one at a time or two at a time in SSE2. The two forms do
// the same double and float operations in the same order, so they agree bit for bit (the
// compiler is not allowed to fuse multiplies and adds: -ffp-contract=off on every target).
#include "render/vertex_transform.h"

#include <cmath>

#include "geometry/mesh.h"
#include "render/projection.h"

#include "platform/sse2.h"

namespace {

// Sphere mapping: the unit normal's x, y spread over the texture round its (integer) centre.
float SphereCoordinate(int32_t size, float n) { return (float)(size * n * 0.5 + size / 2); }

// The coordinates that follow from the normalised normal and the vertex's lightmap
// coordinate.
void SetCoordinates(const VertexSetup& s, float nx, float ny, float lu, float lv, ScreenVertex* screen,
                    CameraVertex* camera) {
  camera->u = camera->v = 0.0f;
  if (s.envmap_base) {
    camera->u = SphereCoordinate(s.texture_width, nx);
    camera->v = SphereCoordinate(s.texture_height, ny);
  }
  if (s.envmap_layer2) {
    screen->u2 = SphereCoordinate(s.lightmap_width, nx);
    screen->v2 = SphereCoordinate(s.lightmap_height, ny);
  } else if (s.lightmap) {
    screen->u2 = (s.lightmap_width - 1) * lu;
    screen->v2 = (s.lightmap_height - 1) * lv;
  } else {
    screen->u2 = screen->v2 = 0.0f;
  }
}

// Only sphere mapping reads the normal; without it the square root and the divisions would
// be most of a vertex's cost for nothing.
inline bool NeedsNormal(const VertexSetup& s) { return s.envmap_base || s.envmap_layer2; }

}  // namespace

uint32_t VertexFlags(const VertexSetup& s, double x, double y, double z, float sx, float sy) {
  uint32_t flags = 0;
  if (z < 0.0) flags |= VERTEX_BEHIND_EYE;
  if (sx >= 0.0f && sx <= s.right && sy >= 0.0f && sy <= s.bottom) flags |= VERTEX_ON_SCREEN;
  const InsideRectangle& r = s.inside;
  const bool inside = r.valid ? z > 0.0 && sx >= r.left && sx <= r.right && sy >= r.top && sy <= r.bottom
                              : VertexInsideClipPlanes(s.planes, x, y, z);
  if (inside) flags |= VERTEX_INSIDE_PLANES;
  return flags;
}

// GCC 12's SLP vectorizer pairs the normal's x and y here and drops their rounding to float
// before the length and the division (the normal comes out up to an ulp off, and differs from
// the packed form). Keeping it off this one function keeps the float steps.
#if defined(__GNUC__) && !defined(__clang__)
#define KRA_KEEP_FLOAT_ROUNDING __attribute__((optimize("no-tree-slp-vectorize")))
#else
#define KRA_KEEP_FLOAT_ROUNDING
#endif

// The normal goes through the whole matrix, translation included, so its direction depends
// on where the object lies; the sphere-mapped pictures were made that way. The vertex is
// projected here, once, rather than per corner in the scene pass: the same position gives
// the same screen position. Sphere mapping reads x and y of the unit normal alone, so z is
// only needed for the length.
KRA_KEEP_FLOAT_ROUNDING void TransformVertex(const Matrix4& m, const VertexSetup& s, const double position[3],
                                             double normal[3], float lu, float lv, ScreenVertex* screen,
                                             CameraVertex* camera) {
  double p[3];
  TransformPoint(m, position[0], position[1], position[2], p);
  camera->x = p[0];
  camera->y = p[1];
  camera->z = p[2];
  normal[0] *= 100.0;
  normal[1] *= 100.0;
  normal[2] *= 100.0;
  float nx = 0.0f, ny = 0.0f;
  if (NeedsNormal(s)) {
    double n[3];
    TransformPoint(m, normal[0], normal[1], normal[2], n);
    nx = (float)n[0], ny = (float)n[1];
    const float nz = (float)n[2];
    const double length = std::sqrt((double)nx * nx + (double)ny * ny + (double)nz * nz);
    if (length > 0.0) {  // a zero normal stays zero rather than turning into NaN coordinates
      nx = (float)(nx / length);
      ny = (float)(ny / length);
    }
  }
  SetCoordinates(s, nx, ny, lu, lv, screen, camera);
  ProjectPoint(p[0], p[1], p[2], &screen->sx, &screen->sy);
  camera->flags = VertexFlags(s, p[0], p[1], p[2], screen->sx, screen->sy);
}

void TransformMeshVerticesScalar(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                 ScreenVertex* screen, CameraVertex* camera) {
  for (int32_t i = 0; i < count; ++i) {
    const MeshVertex& v = vertices[i];
    const double position[3] = {v.x, v.y, v.z};
    double normal[3] = {v.nx, v.ny, v.nz};
    TransformVertex(m, s, position, normal, v.lu, v.lv, &screen[i], &camera[i]);
  }
}

namespace {

// What every pair of a mesh multiplies by, widened to double lanes once per mesh: the
// matrix, and the projection's constants. (Read through the matrix itself, every entry would
// be loaded and widened again after each store of a pair, which the compiler cannot tell
// apart from the matrix's floats.)
struct PairConstants {
  __m128d m[16];
  __m128d focal, cx, cy, scale_x, scale_y;
};

PairConstants ConstantsOf(const Matrix4& matrix) {
  PairConstants c;
  for (int i = 0; i < 16; ++i) c.m[i] = _mm_set1_pd(matrix.m[i]);
  c.focal = _mm_set1_pd(g_render.focal_length);
  c.cx = _mm_set1_pd(g_render.cx);
  c.cy = _mm_set1_pd(g_render.cy);
  c.scale_x = _mm_set1_pd(g_render.scale_x);
  c.scale_y = _mm_set1_pd(g_render.scale_y);
  return c;
}

// Column c of the matrix applied to two points: ((x m[c] + y m[4 + c]) + z m[8 + c]) + m[12 + c].
inline __m128d Through(const PairConstants& k, int c, __m128d x, __m128d y, __m128d z) {
  __m128d r = _mm_add_pd(_mm_mul_pd(x, k.m[c]), _mm_mul_pd(y, k.m[4 + c]));
  r = _mm_add_pd(r, _mm_mul_pd(z, k.m[8 + c]));
  return _mm_add_pd(r, k.m[12 + c]);
}

inline __m128d Select(__m128d mask, __m128d yes, __m128d no) {
  return _mm_or_pd(_mm_and_pd(mask, yes), _mm_andnot_pd(mask, no));
}

// Rounded to float and widened back: the value a float variable would hold.
inline __m128d AsFloat(__m128d v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

// x and y of the unit normals of two vertices, rounded to float: (x a, x b, y a, y b).
__m128 UnitNormals(const PairConstants& m, const MeshVertex& a, const MeshVertex& b) {
  const __m128d hundred = _mm_set1_pd(100.0);
  const __m128d nx0 = _mm_mul_pd(_mm_set_pd(b.nx, a.nx), hundred);
  const __m128d ny0 = _mm_mul_pd(_mm_set_pd(b.ny, a.ny), hundred);
  const __m128d nz0 = _mm_mul_pd(_mm_set_pd(b.nz, a.nz), hundred);
  __m128d nx = AsFloat(Through(m, 0, nx0, ny0, nz0));
  __m128d ny = AsFloat(Through(m, 1, nx0, ny0, nz0));
  const __m128d nz = AsFloat(Through(m, 2, nx0, ny0, nz0));
  const __m128d sum = _mm_add_pd(_mm_add_pd(_mm_mul_pd(nx, nx), _mm_mul_pd(ny, ny)), _mm_mul_pd(nz, nz));
  const __m128d length = _mm_sqrt_pd(sum);
  const __m128d positive = _mm_cmpgt_pd(length, _mm_setzero_pd());
  if (_mm_movemask_pd(positive) == 3) {  // the usual case: no lane keeps its unscaled normal
    nx = _mm_div_pd(nx, length);
    ny = _mm_div_pd(ny, length);
  } else {
    nx = Select(positive, _mm_div_pd(nx, length), nx);
    ny = Select(positive, _mm_div_pd(ny, length), ny);
  }
  return _mm_movelh_ps(_mm_cvtpd_ps(nx), _mm_cvtpd_ps(ny));
}

// SphereCoordinate on four lanes n = (x a, x b, y a, y b) over a texture of width w and
// height h: the float product, then x 0.5 and the integer half in double, rounded to float.
inline __m128 SphereLanes(__m128 n, int32_t w, int32_t h) {
  const __m128 product = _mm_mul_ps(_mm_setr_ps((float)w, (float)w, (float)h, (float)h), n);
  const __m128d half = _mm_set1_pd(0.5);
  const __m128d x = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(product), half), _mm_set1_pd(w / 2));
  const __m128d y = _mm_add_pd(_mm_mul_pd(_mm_cvtps_pd(_mm_movehl_ps(product, product)), half), _mm_set1_pd(h / 2));
  return _mm_movelh_ps(_mm_cvtpd_ps(x), _mm_cvtpd_ps(y));
}

// The lightmap coordinates of two vertices, (u2 a, u2 b, v2 a, v2 b), as SetCoordinates gives them.
inline __m128 LightmapLanes(const VertexSetup& s, const MeshVertex& a, const MeshVertex& b, __m128 normal) {
  if (s.envmap_layer2) return SphereLanes(normal, s.lightmap_width, s.lightmap_height);
  if (!s.lightmap) return _mm_setzero_ps();
  const float w = (float)(s.lightmap_width - 1), h = (float)(s.lightmap_height - 1);
  return _mm_mul_ps(_mm_setr_ps(w, w, h, h), _mm_setr_ps(a.lu, b.lu, a.lv, b.lv));
}

// The VERTEX_* flags of two vertices from their lanes, as VertexFlags gives them one at a
// time; projected is (sx a, sx b, sy a, sy b).
inline void PairFlags(const VertexSetup& s, __m128d x, __m128d y, __m128d z, __m128 projected, uint32_t flags[2]) {
  const InsideRectangle& r = s.inside;
  if (!r.valid) {
    alignas(16) double xs[2], ys[2], zs[2];
    alignas(16) float screen[4];
    _mm_store_pd(xs, x), _mm_store_pd(ys, y), _mm_store_pd(zs, z), _mm_store_ps(screen, projected);
    for (int i = 0; i < 2; ++i) flags[i] = VertexFlags(s, xs[i], ys[i], zs[i], screen[i], screen[2 + i]);
    return;
  }
  // Bit i: vertex i; bit 2 + i: its y.
  const __m128 frame_end = _mm_setr_ps(s.right, s.right, s.bottom, s.bottom);
  const __m128 rectangle_start = _mm_setr_ps(r.left, r.left, r.top, r.top);
  const __m128 rectangle_end = _mm_setr_ps(r.right, r.right, r.bottom, r.bottom);
  const int on =
      _mm_movemask_ps(_mm_and_ps(_mm_cmpge_ps(projected, _mm_setzero_ps()), _mm_cmple_ps(projected, frame_end)));
  const int in =
      _mm_movemask_ps(_mm_and_ps(_mm_cmpge_ps(projected, rectangle_start), _mm_cmple_ps(projected, rectangle_end)));
  const int behind = _mm_movemask_pd(_mm_cmplt_pd(z, _mm_setzero_pd()));
  const int ahead = _mm_movemask_pd(_mm_cmpgt_pd(z, _mm_setzero_pd()));
  const int on_both = on & on >> 2, inside = in & in >> 2 & ahead;
  for (int i = 0; i < 2; ++i) {
    flags[i] = (behind >> i & 1) * VERTEX_BEHIND_EYE | (on_both >> i & 1) * VERTEX_ON_SCREEN |
               (inside >> i & 1) * VERTEX_INSIDE_PLANES;
  }
}

void TransformPair(const PairConstants& m, const VertexSetup& s, const MeshVertex& a, const MeshVertex& b,
                   ScreenVertex* screen, CameraVertex* camera) {
  const __m128d px = _mm_set_pd(b.x, a.x), py = _mm_set_pd(b.y, a.y), pz = _mm_set_pd(b.z, a.z);
  const __m128d x = Through(m, 0, px, py, pz);
  const __m128d y = Through(m, 1, px, py, pz);
  const __m128d z = Through(m, 2, px, py, pz);
  const __m128 normal = NeedsNormal(s) ? UnitNormals(m, a, b) : _mm_setzero_ps();
  // The projection, with a depth of exactly 0 taken as -1.
  const __m128d depth = Select(_mm_cmpeq_pd(z, _mm_setzero_pd()), _mm_set1_pd(-1.0), z);
  const __m128d k = _mm_div_pd(m.focal, depth);
  const __m128d sx = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(k, x), m.cx), m.scale_x);
  const __m128d sy = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(k, y), m.cy), m.scale_y);
  // (sx, sy, u2, v2) of each vertex from lanes (a, b, a, b).
  const __m128 projected = _mm_movelh_ps(_mm_cvtpd_ps(sx), _mm_cvtpd_ps(sy));
  const __m128 position = _mm_shuffle_ps(projected, projected, _MM_SHUFFLE(3, 1, 2, 0));
  const __m128 lightmap = LightmapLanes(s, a, b, normal);
  const __m128 second = _mm_shuffle_ps(lightmap, lightmap, _MM_SHUFFLE(3, 1, 2, 0));
  _mm_storeu_ps(&screen[0].sx, _mm_movelh_ps(position, second));
  _mm_storeu_ps(&screen[1].sx, _mm_movehl_ps(second, position));
  _mm_storel_pd(&camera[0].x, x);
  _mm_storeh_pd(&camera[1].x, x);
  _mm_storel_pd(&camera[0].y, y);
  _mm_storeh_pd(&camera[1].y, y);
  _mm_storel_pd(&camera[0].z, z);
  _mm_storeh_pd(&camera[1].z, z);
  alignas(16) float base[4] = {};  // (u a, u b, v a, v b)
  if (s.envmap_base) _mm_store_ps(base, SphereLanes(normal, s.texture_width, s.texture_height));
  uint32_t flags[2];
  PairFlags(s, x, y, z, projected, flags);
  for (int i = 0; i < 2; ++i) {
    camera[i].u = base[i];
    camera[i].v = base[2 + i];
    camera[i].flags = flags[i];
  }
}

}  // namespace

void TransformMeshVerticesPairs(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                ScreenVertex* screen, CameraVertex* camera) {
  const PairConstants constants = ConstantsOf(m);
  int32_t i = 0;
  for (; i + 1 < count; i += 2) {
    __builtin_prefetch(&vertices[i + 16]);  // a little past the end is never read
    TransformPair(constants, s, vertices[i], vertices[i + 1], &screen[i], &camera[i]);
  }
  if (i < count) TransformMeshVerticesScalar(m, s, vertices + i, 1, screen + i, camera + i);
}


void TransformMeshVertices(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                           ScreenVertex* screen, CameraVertex* camera) {
  const int32_t done = TransformMeshVerticesQuads(m, s, vertices, count, screen, camera);
  TransformMeshVerticesPairs(m, s, vertices + done, count - done, screen + done, camera + done);
}
