// The lightmap batch's set-up on AVX2, eight lanes at once, for processors that have it; the
// build for other processors (WebAssembly) falls back to SSE2 alone.
#include "render/lightmap_setup.h"

#if defined(__x86_64__) || defined(__i386__)

#include <immintrin.h>

// Only what follows is built for AVX2: the lane operations and the set-up template, all of
// internal linkage, so no function built here can serve an SSE2 caller.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "render/lightmap_lanes.h"

namespace {

struct Avx2Lanes {
  using F = __m256;
  using I = __m256i;
  static constexpr int32_t kWidth = 8;
  static F Load(const float* p) { return _mm256_load_ps(p); }
  static void Store(uint32_t* p, I v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
  static void Store(int32_t* p, I v) { _mm256_store_si256(reinterpret_cast<__m256i*>(p), v); }
  static F Set(float f) { return _mm256_set1_ps(f); }
  static I SetI(int32_t i) { return _mm256_set1_epi32(i); }
  static F Add(F a, F b) { return _mm256_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm256_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm256_mul_ps(a, b); }
  static F Div(F a, F b) { return _mm256_div_ps(a, b); }
  static F And(F a, F b) { return _mm256_and_ps(a, b); }
  static F Or(F a, F b) { return _mm256_or_ps(a, b); }
  static F AndNot(F a, F b) { return _mm256_andnot_ps(a, b); }
  // The predicates of SSE's cmpltps and cmpleps: false for NaN.
  static F Lt(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LT_OS); }
  static F Le(F a, F b) { return _mm256_cmp_ps(a, b, _CMP_LE_OS); }
  static I AddI(I a, I b) { return _mm256_add_epi32(a, b); }
  static I SubI(I a, I b) { return _mm256_sub_epi32(a, b); }
  static I AndI(I a, I b) { return _mm256_and_si256(a, b); }
  static I OrI(I a, I b) { return _mm256_or_si256(a, b); }
  static I XorI(I a, I b) { return _mm256_xor_si256(a, b); }
  static I AndNotI(I a, I b) { return _mm256_andnot_si256(a, b); }
  static I EqI(I a, I b) { return _mm256_cmpeq_epi32(a, b); }
  static I LtI(I a, I b) { return _mm256_cmpgt_epi32(b, a); }
  static I Shift16(I a) { return _mm256_srai_epi32(a, 16); }
  static F ToFloat(I a) { return _mm256_cvtepi32_ps(a); }
  static I Truncate(F a) { return _mm256_cvttps_epi32(a); }
  static F AsF(I a) { return _mm256_castsi256_ps(a); }
  static I AsI(F a) { return _mm256_castps_si256(a); }
};

}  // namespace

void SetUpLightmapBatchAvx2(const LightmapBatch& batch, int32_t count, LightmapSetUp* out) {
  for (int32_t first = 0; first < count; first += Avx2Lanes::kWidth) SetUpLanes<Avx2Lanes>(batch, first, out);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

bool HasAvx2SetUp() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}

#else

void SetUpLightmapBatchAvx2(const LightmapBatch& batch, int32_t count, LightmapSetUp* out) {
  SetUpLightmapBatchSse2(batch, count, out);
}
bool HasAvx2SetUp() { return false; }

#endif
