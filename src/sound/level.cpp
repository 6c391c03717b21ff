#include "sound/level.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {

uint32_t PeakLevel(const int16_t* block, size_t bytes) {
  const size_t n = bytes / 2;
  if (block == nullptr) return 0;
  int hi = 0, lo = 0;  // largest and smallest sample seen
  size_t i = 0;
#if defined(__SSE2__)
  if (n >= 8) {
    __m128i vmax = _mm_setzero_si128();
    __m128i vmin = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
      vmax = _mm_max_epi16(vmax, v);
      vmin = _mm_min_epi16(vmin, v);
    }
    alignas(16) int16_t a[8], b[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(a), vmax);
    _mm_store_si128(reinterpret_cast<__m128i*>(b), vmin);
    for (int k = 0; k < 8; ++k) {
      hi = std::max(hi, static_cast<int>(a[k]));
      lo = std::min(lo, static_cast<int>(b[k]));
    }
  }
#endif
  for (; i < n; ++i) {
    hi = std::max(hi, static_cast<int>(block[i]));
    lo = std::min(lo, static_cast<int>(block[i]));
  }
  return static_cast<uint32_t>(std::max(hi, -lo));
}

void DoubleLevel(int16_t* block, size_t bytes) {
  const size_t n = bytes / 2;
  if (block == nullptr) return;
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= n; i += 8) {
    __m128i* p = reinterpret_cast<__m128i*>(block + i);
    __m128i v = _mm_loadu_si128(p);
    _mm_storeu_si128(p, _mm_adds_epi16(v, v));
  }
#endif
  for (; i < n; ++i)
    block[i] = static_cast<int16_t>(std::clamp(2 * static_cast<int>(block[i]), -32768, 32767));
}

}  // namespace vexa
