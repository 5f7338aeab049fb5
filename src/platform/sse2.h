// The SSE2 intrinsics every fast path is written in, on every processor kra builds for:
//   x86-64       the processor's own (<emmintrin.h>);
//   WebAssembly  emscripten's <emmintrin.h>, which maps them onto 128-bit WebAssembly SIMD;
//   ARM          SIMDe (Debian's libsimde-dev), which maps each onto NEON and computes what
//                x86 computes, bit for bit, where the two differ (rounding, saturation,
//                shifts past the lane width).
// One form of each loop, then, and the tests that hold it against its scalar reference hold
// it on each processor. The names stay Intel's, through SIMDe's aliases.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>
#if defined(__EMSCRIPTEN__)
#include <stdint.h>
#include <wasm_simd128.h>
// emscripten's float-to-int truncations go lane by lane through lrint, a library call each:
// in the page they took nearly half of a 3D frame. These give x86's results (toward zero;
// 0x80000000 for NaN and anything outside the int range) in a handful of SIMD instructions.
static inline __m128i KraTruncateLanes(__m128 a) {
  const v128_t in_range = wasm_f32x4_lt(wasm_f32x4_abs((v128_t)a), wasm_f32x4_splat(2147483648.0f));
  return wasm_v128_bitselect(wasm_i32x4_trunc_sat_f32x4((v128_t)a), wasm_i32x4_splat(INT32_MIN), in_range);
}
static inline int KraTruncateLow(__m128 a) {
  const float f = wasm_f32x4_extract_lane((v128_t)a, 0);
  return f > -2147483648.0f && f < 2147483648.0f ? (int)f : INT32_MIN;
}
#define _mm_cvttps_epi32 KraTruncateLanes
#define _mm_cvttss_si32 KraTruncateLow
#endif
#elif defined(__aarch64__) || defined(__ARM_NEON)
#define SIMDE_ENABLE_NATIVE_ALIASES
#include <simde/x86/sse2.h>
#else
#error "kra's fast paths need SSE2, WebAssembly SIMD (-msse2) or NEON"
#endif
