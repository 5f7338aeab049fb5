// Mesh vertices four at a time in AVX: the double and float operations of TransformVertex in
// the same order on four lanes, so each lane rounds exactly as its scalar twin (AVX alone
// brings no fused multiply-add, so none can creep in). Each function is compiled for AVX by
// its own attribute, and TransformMeshVertices calls them only on a processor that has it.
#include "render/vertex_transform.h"

#include <cstddef>

#include "geometry/mesh.h"

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))

#include <immintrin.h>

#define KRA_AVX __attribute__((target("avx")))

namespace {

// A texture side for SphereCoordinate: the size as a float, and its integer half.
struct SphereSide {
  __m128 size;
  __m256d half;
};

KRA_AVX SphereSide SphereSideOf(int32_t size) { return {_mm_set1_ps((float)size), _mm256_set1_pd(size / 2)}; }

// The matrix, the projection's constants and the texture sizes, made into lanes once per mesh.
struct QuadConstants {
  __m256d m[16];
  __m256d focal, cx, cy, scale_x, scale_y;
  SphereSide texture_width, texture_height, lightmap_width, lightmap_height;
  __m128 lightmap_u, lightmap_v;  // lightmap width - 1 and height - 1
};

KRA_AVX QuadConstants QuadConstantsOf(const Matrix4& matrix, const VertexSetup& s) {
  QuadConstants c;
  c.texture_width = SphereSideOf(s.texture_width);
  c.texture_height = SphereSideOf(s.texture_height);
  c.lightmap_width = SphereSideOf(s.lightmap_width);
  c.lightmap_height = SphereSideOf(s.lightmap_height);
  c.lightmap_u = _mm_set1_ps((float)(s.lightmap_width - 1));
  c.lightmap_v = _mm_set1_ps((float)(s.lightmap_height - 1));
  for (int i = 0; i < 16; ++i) c.m[i] = _mm256_set1_pd(matrix.m[i]);
  c.focal = _mm256_set1_pd(g_render.focal_length);
  c.cx = _mm256_set1_pd(g_render.cx);
  c.cy = _mm256_set1_pd(g_render.cy);
  c.scale_x = _mm256_set1_pd(g_render.scale_x);
  c.scale_y = _mm256_set1_pd(g_render.scale_y);
  return c;
}

// Column c of the matrix applied to four points: ((x m[c] + y m[4 + c]) + z m[8 + c]) + m[12 + c].
KRA_AVX inline __m256d Through(const QuadConstants& k, int c, __m256d x, __m256d y, __m256d z) {
  __m256d r = _mm256_add_pd(_mm256_mul_pd(x, k.m[c]), _mm256_mul_pd(y, k.m[4 + c]));
  r = _mm256_add_pd(r, _mm256_mul_pd(z, k.m[8 + c]));
  return _mm256_add_pd(r, k.m[12 + c]);
}

// Rounded to float and widened back: the value a float variable would hold.
KRA_AVX inline __m256d AsFloat(__m256d v) { return _mm256_cvtps_pd(_mm256_cvtpd_ps(v)); }

// Each field of four vertices as four floats.
struct QuadFields {
  __m128 x, y, z, nx, ny, nz, lu, lv;
};

// A vertex is eight floats: four of them are a 4 x 8 block, turned on its side.
KRA_AVX inline QuadFields LoadQuad(const MeshVertex* v) {
  static_assert(sizeof(MeshVertex) == 8 * sizeof(float) && offsetof(MeshVertex, lv) == 7 * sizeof(float));
  const float* f = &v[0].x;
  const __m256 r0 = _mm256_loadu_ps(f), r1 = _mm256_loadu_ps(f + 8), r2 = _mm256_loadu_ps(f + 16),
               r3 = _mm256_loadu_ps(f + 24);
  const __m256 a = _mm256_unpacklo_ps(r0, r1), b = _mm256_unpackhi_ps(r0, r1);  // (x0 x1 y0 y1 | ny nz), (z nx | lu lv)
  const __m256 c = _mm256_unpacklo_ps(r2, r3), d = _mm256_unpackhi_ps(r2, r3);
  const __m256 xy = _mm256_shuffle_ps(a, c, 0x44), yz = _mm256_shuffle_ps(a, c, 0xEE);  // (x | ny), (y | nz)
  const __m256 zl = _mm256_shuffle_ps(b, d, 0x44), nl = _mm256_shuffle_ps(b, d, 0xEE);  // (z | lu), (nx | lv)
  return {_mm256_castps256_ps128(xy),     _mm256_castps256_ps128(yz),     _mm256_castps256_ps128(zl),
          _mm256_castps256_ps128(nl),     _mm256_extractf128_ps(xy, 1), _mm256_extractf128_ps(yz, 1),
          _mm256_extractf128_ps(zl, 1), _mm256_extractf128_ps(nl, 1)};
}

// x and y of the four unit normals, rounded to float.
KRA_AVX inline void UnitNormals(const QuadConstants& k, const QuadFields& f, __m128* nx_out, __m128* ny_out) {
  const __m256d hundred = _mm256_set1_pd(100.0);
  const __m256d nx0 = _mm256_mul_pd(_mm256_cvtps_pd(f.nx), hundred);
  const __m256d ny0 = _mm256_mul_pd(_mm256_cvtps_pd(f.ny), hundred);
  const __m256d nz0 = _mm256_mul_pd(_mm256_cvtps_pd(f.nz), hundred);
  __m256d nx = AsFloat(Through(k, 0, nx0, ny0, nz0));
  __m256d ny = AsFloat(Through(k, 1, nx0, ny0, nz0));
  const __m256d nz = AsFloat(Through(k, 2, nx0, ny0, nz0));
  const __m256d sum =
      _mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(nx, nx), _mm256_mul_pd(ny, ny)), _mm256_mul_pd(nz, nz));
  const __m256d length = _mm256_sqrt_pd(sum);
  const __m256d x = _mm256_div_pd(nx, length), y = _mm256_div_pd(ny, length);
  const __m256d positive = _mm256_cmp_pd(length, _mm256_setzero_pd(), _CMP_GT_OQ);
  if (_mm256_movemask_pd(positive) == 0xF) {  // the usual case: no lane keeps its unscaled normal
    *nx_out = _mm256_cvtpd_ps(x);
    *ny_out = _mm256_cvtpd_ps(y);
    return;
  }
  *nx_out = _mm256_cvtpd_ps(_mm256_blendv_pd(nx, x, positive));
  *ny_out = _mm256_cvtpd_ps(_mm256_blendv_pd(ny, y, positive));
}

// SphereCoordinate on four lanes: the float product, then x 0.5 and the integer half in
// double, rounded to float.
KRA_AVX inline __m128 Sphere(__m128 n, const SphereSide& side) {
  const __m256d product = _mm256_cvtps_pd(_mm_mul_ps(side.size, n));
  return _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(product, _mm256_set1_pd(0.5)), side.half));
}

// The low halves of four 64-bit lane masks: four 32-bit lane masks.
KRA_AVX inline __m128 Narrowed(__m256d mask) {
  const __m256 halves = _mm256_castpd_ps(mask);
  return _mm_shuffle_ps(_mm256_castps256_ps128(halves), _mm256_extractf128_ps(halves, 1), _MM_SHUFFLE(2, 0, 2, 0));
}

// VertexFlags on four lanes where the rectangle decides: one 32-bit flags word per lane.
KRA_AVX inline __m128i QuadFlags(const VertexSetup& s, __m256d z, __m128 sx, __m128 sy) {
  const InsideRectangle& r = s.inside;
  const __m128 zero = _mm_setzero_ps();
  const __m128 on = _mm_and_ps(_mm_and_ps(_mm_cmpge_ps(sx, zero), _mm_cmple_ps(sx, _mm_set1_ps(s.right))),
                               _mm_and_ps(_mm_cmpge_ps(sy, zero), _mm_cmple_ps(sy, _mm_set1_ps(s.bottom))));
  const __m128 in_x = _mm_and_ps(_mm_cmpge_ps(sx, _mm_set1_ps(r.left)), _mm_cmple_ps(sx, _mm_set1_ps(r.right)));
  const __m128 in_y = _mm_and_ps(_mm_cmpge_ps(sy, _mm_set1_ps(r.top)), _mm_cmple_ps(sy, _mm_set1_ps(r.bottom)));
  const __m128 in = _mm_and_ps(in_x, in_y);
  const __m128 behind = Narrowed(_mm256_cmp_pd(z, _mm256_setzero_pd(), _CMP_LT_OQ));
  const __m128 ahead = Narrowed(_mm256_cmp_pd(z, _mm256_setzero_pd(), _CMP_GT_OQ));
  const __m128 flags = _mm_or_ps(
      _mm_or_ps(_mm_and_ps(behind, _mm_castsi128_ps(_mm_set1_epi32(VERTEX_BEHIND_EYE))),
                _mm_and_ps(on, _mm_castsi128_ps(_mm_set1_epi32(VERTEX_ON_SCREEN)))),
      _mm_and_ps(_mm_and_ps(in, ahead), _mm_castsi128_ps(_mm_set1_epi32(VERTEX_INSIDE_PLANES))));
  return _mm_castps_si128(flags);
}

KRA_AVX void TransformQuad(const QuadConstants& k, const VertexSetup& s, const MeshVertex* vertices,
                           ScreenVertex* screen, CameraVertex* camera) {
  const QuadFields f = LoadQuad(vertices);
  const __m256d px = _mm256_cvtps_pd(f.x), py = _mm256_cvtps_pd(f.y), pz = _mm256_cvtps_pd(f.z);
  const __m256d x = Through(k, 0, px, py, pz);
  const __m256d y = Through(k, 1, px, py, pz);
  const __m256d z = Through(k, 2, px, py, pz);
  __m128 nx = _mm_setzero_ps(), ny = _mm_setzero_ps();
  if (s.envmap_base || s.envmap_layer2) UnitNormals(k, f, &nx, &ny);
  // The projection, with a depth of exactly 0 taken as -1.
  const __m256d depth = _mm256_blendv_pd(z, _mm256_set1_pd(-1.0), _mm256_cmp_pd(z, _mm256_setzero_pd(), _CMP_EQ_OQ));
  const __m256d scale = _mm256_div_pd(k.focal, depth);
  __m128 sx = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_add_pd(_mm256_mul_pd(scale, x), k.cx), k.scale_x));
  __m128 sy = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_add_pd(_mm256_mul_pd(scale, y), k.cy), k.scale_y));
  __m128 u2 = _mm_setzero_ps(), v2 = _mm_setzero_ps();
  if (s.envmap_layer2) {
    u2 = Sphere(nx, k.lightmap_width);
    v2 = Sphere(ny, k.lightmap_height);
  } else if (s.lightmap) {
    u2 = _mm_mul_ps(k.lightmap_u, f.lu);
    v2 = _mm_mul_ps(k.lightmap_v, f.lv);
  }
  __m128 u = _mm_setzero_ps(), v = _mm_setzero_ps();
  if (s.envmap_base) {
    u = Sphere(nx, k.texture_width);
    v = Sphere(ny, k.texture_height);
  }
  alignas(16) uint32_t flags[4];
  if (s.inside.valid) {
    _mm_store_si128(reinterpret_cast<__m128i*>(flags), QuadFlags(s, z, sx, sy));
  } else {
    alignas(32) double xs[4], ys[4], zs[4];
    alignas(16) float sxs[4], sys[4];
    _mm256_store_pd(xs, x), _mm256_store_pd(ys, y), _mm256_store_pd(zs, z);
    _mm_store_ps(sxs, sx), _mm_store_ps(sys, sy);
    for (int i = 0; i < 4; ++i) flags[i] = VertexFlags(s, xs[i], ys[i], zs[i], sxs[i], sys[i]);
  }
  _MM_TRANSPOSE4_PS(sx, sy, u2, v2);  // now each holds one vertex's (sx, sy, u2, v2)
  _mm_storeu_ps(&screen[0].sx, sx);
  _mm_storeu_ps(&screen[1].sx, sy);
  _mm_storeu_ps(&screen[2].sx, u2);
  _mm_storeu_ps(&screen[3].sx, v2);
  // A camera vertex is (x, y) and (z, u and v) in two 16-byte stores, then its flags.
  static_assert(offsetof(CameraVertex, u) == 3 * sizeof(double) &&
                offsetof(CameraVertex, v) == offsetof(CameraVertex, u) + 4);
  // (x0 y0 | x2 y2) and (x1 y1 | x3 y3)
  const __m256d xy_low = _mm256_unpacklo_pd(x, y), xy_high = _mm256_unpackhi_pd(x, y);
  const __m128d uv01 = _mm_castps_pd(_mm_unpacklo_ps(u, v)), uv23 = _mm_castps_pd(_mm_unpackhi_ps(u, v));
  const __m128d z01 = _mm256_castpd256_pd128(z), z23 = _mm256_extractf128_pd(z, 1);
  const __m128d xy[4] = {_mm256_castpd256_pd128(xy_low), _mm256_castpd256_pd128(xy_high),
                         _mm256_extractf128_pd(xy_low, 1), _mm256_extractf128_pd(xy_high, 1)};
  const __m128d zuv[4] = {_mm_unpacklo_pd(z01, uv01), _mm_unpackhi_pd(z01, uv01), _mm_unpacklo_pd(z23, uv23),
                          _mm_unpackhi_pd(z23, uv23)};
  for (int i = 0; i < 4; ++i) {
    _mm_storeu_pd(&camera[i].x, xy[i]);
    _mm_storeu_pd(&camera[i].z, zuv[i]);
    camera[i].flags = flags[i];
  }
}

KRA_AVX int32_t TransformQuads(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                               ScreenVertex* screen, CameraVertex* camera) {
  const QuadConstants constants = QuadConstantsOf(m, s);
  int32_t i = 0;
  for (; i + 3 < count; i += 4) {
    __builtin_prefetch(&vertices[i + 16]);  // a little past the end is never read
    TransformQuad(constants, s, vertices + i, screen + i, camera + i);
  }
  return i;
}

}  // namespace

int32_t TransformMeshVerticesQuads(const Matrix4& m, const VertexSetup& s, const MeshVertex* vertices, int32_t count,
                                   ScreenVertex* screen, CameraVertex* camera) {
  static const bool has_avx = __builtin_cpu_supports("avx");
  return has_avx ? TransformQuads(m, s, vertices, count, screen, camera) : 0;
}

#else

int32_t TransformMeshVerticesQuads(const Matrix4&, const VertexSetup&, const MeshVertex*, int32_t, ScreenVertex*,
                                   CameraVertex*) {
  return 0;
}

#endif
