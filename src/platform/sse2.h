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
#elif defined(__aarch64__) || defined(__ARM_NEON)
#define SIMDE_ENABLE_NATIVE_ALIASES
#include <simde/x86/sse2.h>
#else
#error "kra's fast paths need SSE2, WebAssembly SIMD (-msse2) or NEON"
#endif
