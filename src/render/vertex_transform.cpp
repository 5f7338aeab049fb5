// Mesh vertices into projected camera-space corners, one at a time or two at a time in SSE2.
// The two forms do the same double and float operations in the same order, so they agree
// bit for bit (the compiler is not allowed to fuse multiplies and adds on this target).
#include "render/vertex_transform.h"

#include <cmath>

#include "geometry/mesh.h"
#include "render/mesh_emit.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Sphere mapping: the unit normal's x, y spread over the texture round its (integer) centre.
float SphereCoordinate(int32_t size, float n) { return (float)(size * n * 0.5 + size / 2); }

// The coordinates that follow from the normalised normal and the vertex's lightmap
// coordinate.
void SetCoordinates(const VertexSetup& s, float nx, float ny, float lu, float lv, RenderVertex* out) {
  out->u = out->v = 0.0f;
  if (s.envmap_base) {
    out->u = SphereCoordinate(s.texture_width, nx);
    out->v = SphereCoordinate(s.texture_height, ny);
  }
  if (s.envmap_layer2) {
    out->u2 = SphereCoordinate(s.lightmap_width, nx);
    out->v2 = SphereCoordinate(s.lightmap_height, ny);
  } else if (s.lightmap) {
    out->u2 = (s.lightmap_width - 1) * lu;
    out->v2 = (s.lightmap_height - 1) * lv;
  } else {
    out->u2 = out->v2 = 0.0f;
  }
  out->clip_distance = 0.0f;
}

// Only sphere mapping reads the normal; without it the square root and the three divisions
// would be most of a vertex's cost for nothing.
inline bool NeedsNormal(const VertexSetup& s) { return s.envmap_base || s.envmap_layer2; }

}  // namespace

// GCC 12's SLP vectorizer pairs the normal's x and y here and drops their rounding to float
// before the length and the division (the normal comes out up to an ulp off, and differs from
// the packed form). Keeping it off this one function keeps the float steps.
#if defined(__GNUC__) && !defined(__clang__)
#define KRA_KEEP_FLOAT_ROUNDING __attribute__((optimize("no-tree-slp-vectorize")))
#else
#define KRA_KEEP_FLOAT_ROUNDING
#endif

// The normal goes through the whole matrix, translation included, so its direction depends
// on where the object lies; the sphere-mapped pictures were made that way. The corner is
// projected here, once per vertex, rather than per corner in the scene pass: the same
// position gives the same screen position.
KRA_KEEP_FLOAT_ROUNDING void TransformVertex(const Matrix4& m, const VertexSetup& s, const double position[3],
                                             double normal[3], float lu, float lv, RenderVertex* out) {
  double p[3];
  TransformPoint(m, position[0], position[1], position[2], p);
  out->x = p[0];
  out->y = p[1];
  out->z = p[2];
  normal[0] *= 100.0;
  normal[1] *= 100.0;
  normal[2] *= 100.0;
  float nx = 0.0f, ny = 0.0f, nz = 0.0f;
  if (NeedsNormal(s)) {
    double n[3];
    TransformPoint(m, normal[0], normal[1], normal[2], n);
    nx = (float)n[0], ny = (float)n[1], nz = (float)n[2];
    const double length = std::sqrt((double)nx * nx + (double)ny * ny + (double)nz * nz);
    if (length > 0.0) {  // a zero normal stays zero rather than turning into NaN coordinates
      nx = (float)(nx / length);
      ny = (float)(ny / length);
      nz = (float)(nz / length);
    }
  }
  out->nx = nx;
  out->ny = ny;
  out->nz = nz;
  SetCoordinates(s, nx, ny, lu, lv, out);
  ProjectVertex(out);
}

void TransformMeshVerticesScalar(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                 RenderVertex* out) {
  for (int32_t i = 0; i < count; ++i) {
    const MeshVertex& v = vertices[i];
    const double position[3] = {v.x, v.y, v.z};
    double normal[3] = {v.nx, v.ny, v.nz};
    TransformVertex(m, s, position, normal, v.lu, v.lv, &out[i]);
  }
}

#if defined(__SSE2__)

namespace {

// Column c of the matrix applied to two points: ((x m[c] + y m[4 + c]) + z m[8 + c]) + m[12 + c].
inline __m128d Through(const Matrix4& m, int c, __m128d x, __m128d y, __m128d z) {
  __m128d r = _mm_add_pd(_mm_mul_pd(x, _mm_set1_pd(m.m[c])), _mm_mul_pd(y, _mm_set1_pd(m.m[4 + c])));
  r = _mm_add_pd(r, _mm_mul_pd(z, _mm_set1_pd(m.m[8 + c])));
  return _mm_add_pd(r, _mm_set1_pd(m.m[12 + c]));
}

inline __m128d Select(__m128d mask, __m128d yes, __m128d no) {
  return _mm_or_pd(_mm_and_pd(mask, yes), _mm_andnot_pd(mask, no));
}

// Rounded to float and widened back: the value a float variable would hold.
inline __m128d AsFloat(__m128d v) { return _mm_cvtps_pd(_mm_cvtpd_ps(v)); }

// The normals of two vertices through the matrix, rounded to float and normalised.
void UnitNormals(const Matrix4& m, const MeshVertex& a, const MeshVertex& b, __m128d* nx_out, __m128d* ny_out,
                 __m128d* nz_out) {
  const __m128d hundred = _mm_set1_pd(100.0);
  const __m128d nx0 = _mm_mul_pd(_mm_set_pd(b.nx, a.nx), hundred);
  const __m128d ny0 = _mm_mul_pd(_mm_set_pd(b.ny, a.ny), hundred);
  const __m128d nz0 = _mm_mul_pd(_mm_set_pd(b.nz, a.nz), hundred);
  __m128d nx = AsFloat(Through(m, 0, nx0, ny0, nz0));
  __m128d ny = AsFloat(Through(m, 1, nx0, ny0, nz0));
  __m128d nz = AsFloat(Through(m, 2, nx0, ny0, nz0));
  const __m128d sum = _mm_add_pd(_mm_add_pd(_mm_mul_pd(nx, nx), _mm_mul_pd(ny, ny)), _mm_mul_pd(nz, nz));
  const __m128d length = _mm_sqrt_pd(sum);
  const __m128d positive = _mm_cmpgt_pd(length, _mm_setzero_pd());
  if (_mm_movemask_pd(positive) == 3) {  // the usual case: no lane keeps its unscaled normal
    nx = _mm_div_pd(nx, length);
    ny = _mm_div_pd(ny, length);
    nz = _mm_div_pd(nz, length);
  } else {
    nx = Select(positive, _mm_div_pd(nx, length), nx);
    ny = Select(positive, _mm_div_pd(ny, length), ny);
    nz = Select(positive, _mm_div_pd(nz, length), nz);
  }
  *nx_out = nx;
  *ny_out = ny;
  *nz_out = nz;
}

// Two lanes of normals and screen positions into their corners' floats; each lane rounds as a
// scalar cast does.
inline void StoreFloats(const VertexSetup& s, const MeshVertex& a, const MeshVertex& b, __m128d nx, __m128d ny,
                        __m128d nz, __m128d sx, __m128d sy, RenderVertex* out) {
  alignas(16) float normal_xy[4], normal_z[4], screen[4];  // (a, b, a, b): x then y
  _mm_store_ps(normal_xy, _mm_movelh_ps(_mm_cvtpd_ps(nx), _mm_cvtpd_ps(ny)));
  _mm_store_ps(normal_z, _mm_cvtpd_ps(nz));
  _mm_store_ps(screen, _mm_movelh_ps(_mm_cvtpd_ps(sx), _mm_cvtpd_ps(sy)));
  const MeshVertex* source[2] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    RenderVertex* o = &out[i];
    o->nx = normal_xy[i];
    o->ny = normal_xy[2 + i];
    o->nz = normal_z[i];
    SetCoordinates(s, o->nx, o->ny, source[i]->lu, source[i]->lv, o);
    o->sx = screen[i];
    o->sy = screen[2 + i];
  }
}

void TransformPair(const Matrix4& m, const VertexSetup& s, const MeshVertex& a, const MeshVertex& b,
                   RenderVertex* out) {
  const __m128d px = _mm_set_pd(b.x, a.x), py = _mm_set_pd(b.y, a.y), pz = _mm_set_pd(b.z, a.z);
  const __m128d x = Through(m, 0, px, py, pz);
  const __m128d y = Through(m, 1, px, py, pz);
  const __m128d z = Through(m, 2, px, py, pz);
  __m128d nx = _mm_setzero_pd(), ny = _mm_setzero_pd(), nz = _mm_setzero_pd();
  if (NeedsNormal(s)) UnitNormals(m, a, b, &nx, &ny, &nz);
  // The projection, with a depth of exactly 0 taken as -1.
  const __m128d depth = Select(_mm_cmpeq_pd(z, _mm_setzero_pd()), _mm_set1_pd(-1.0), z);
  const __m128d k = _mm_div_pd(_mm_set1_pd(g_render.focal_length), depth);
  const __m128d sx = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(k, x), _mm_set1_pd(g_render.cx)), _mm_set1_pd(g_render.scale_x));
  const __m128d sy = _mm_mul_pd(_mm_add_pd(_mm_mul_pd(k, y), _mm_set1_pd(g_render.cy)), _mm_set1_pd(g_render.scale_y));
  _mm_storel_pd(&out[0].x, x);
  _mm_storeh_pd(&out[1].x, x);
  _mm_storel_pd(&out[0].y, y);
  _mm_storeh_pd(&out[1].y, y);
  _mm_storel_pd(&out[0].z, z);
  _mm_storeh_pd(&out[1].z, z);
  StoreFloats(s, a, b, nx, ny, nz, sx, sy, out);
}

}  // namespace

void TransformMeshVertices(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                           RenderVertex* out) {
  int32_t i = 0;
  for (; i + 1 < count; i += 2) TransformPair(m, s, vertices[i], vertices[i + 1], &out[i]);
  if (i < count) TransformMeshVerticesScalar(m, s, vertices + i, 1, out + i);
}

#else

void TransformMeshVertices(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                           RenderVertex* out) {
  TransformMeshVerticesScalar(m, s, vertices, count, out);
}

#endif
