// Processor checks for the SIMD kernel paths. SSE2 is part of every x86-64 processor; AVX2 and
// AVX-512 are tested once at start-up (the checks include the system's support for the wider
// registers).
#pragma once

#if defined(__x86_64__) || defined(_M_X64)
#define VEXA_X86_SIMD 1
#include <immintrin.h>
#else
#define VEXA_X86_SIMD 0
#endif

namespace vexa {

inline bool SimdAvailable() {
  return VEXA_X86_SIMD != 0;
}

inline bool Avx2Available() {
#if VEXA_X86_SIMD
  static const bool kAvx2 = __builtin_cpu_supports("avx2");
  return kAvx2;
#else
  return false;
#endif
}

inline bool Avx512Available() {
#if VEXA_X86_SIMD
  static const bool kAvx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  return kAvx512;
#else
  return false;
#endif
}

}  // namespace vexa
