// The lightmap batch's set-up on SSE2, four lanes a group; the groups are set up one after
// the other with nothing between, so their chains of divisions run side by side.
#include "platform/sse2.h"

#include "render/lightmap_setup.h"
#include "render/lightmap_lanes.h"

namespace {

struct Sse2Lanes {
  using F = __m128;
  using I = __m128i;
  static constexpr int32_t kWidth = 4;
  static F Load(const float* p) { return _mm_load_ps(p); }
  static void Store(uint32_t* p, I v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }
  static void Store(int32_t* p, I v) { _mm_store_si128(reinterpret_cast<__m128i*>(p), v); }
  static F Set(float f) { return _mm_set1_ps(f); }
  static I SetI(int32_t i) { return _mm_set1_epi32(i); }
  static F Add(F a, F b) { return _mm_add_ps(a, b); }
  static F Sub(F a, F b) { return _mm_sub_ps(a, b); }
  static F Mul(F a, F b) { return _mm_mul_ps(a, b); }
  static F Div(F a, F b) { return _mm_div_ps(a, b); }
  static F And(F a, F b) { return _mm_and_ps(a, b); }
  static F Or(F a, F b) { return _mm_or_ps(a, b); }
  static F AndNot(F a, F b) { return _mm_andnot_ps(a, b); }
  static F Lt(F a, F b) { return _mm_cmplt_ps(a, b); }
  static F Le(F a, F b) { return _mm_cmple_ps(a, b); }
  static I AddI(I a, I b) { return _mm_add_epi32(a, b); }
  static I SubI(I a, I b) { return _mm_sub_epi32(a, b); }
  static I AndI(I a, I b) { return _mm_and_si128(a, b); }
  static I OrI(I a, I b) { return _mm_or_si128(a, b); }
  static I XorI(I a, I b) { return _mm_xor_si128(a, b); }
  static I AndNotI(I a, I b) { return _mm_andnot_si128(a, b); }
  static I EqI(I a, I b) { return _mm_cmpeq_epi32(a, b); }
  static I LtI(I a, I b) { return _mm_cmplt_epi32(a, b); }
  static I Shift16(I a) { return _mm_srai_epi32(a, 16); }
  static F ToFloat(I a) { return _mm_cvtepi32_ps(a); }
  static I Truncate(F a) { return _mm_cvttps_epi32(a); }
  static F AsF(I a) { return _mm_castsi128_ps(a); }
  static I AsI(F a) { return _mm_castps_si128(a); }
};

}  // namespace

void SetUpLightmapBatchSse2(const LightmapBatch& batch, int32_t count, LightmapSetUp* out) {
  for (int32_t first = 0; first < count; first += Sse2Lanes::kWidth) {
    SetUpLanes<Sse2Lanes>(batch, first, out);
  }
}
