#include "sound/mix_into.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {

void MixInto(int16_t* mix, const int16_t* block, size_t bytes) {
  const size_t n = bytes / 2;
  if (mix == nullptr || block == nullptr) return;
  size_t i = 0;
#if defined(__SSE2__)
  for (; i + 8 <= n; i += 8) {
    __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(mix + i));
    __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + i));
    __m128i s = _mm_adds_epi16(_mm_srai_epi16(d, 1), _mm_srai_epi16(b, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(mix + i), s);
  }
#endif
  for (; i < n; ++i)
    mix[i] = static_cast<int16_t>((mix[i] >> 1) + (block[i] >> 1));
}

}  // namespace vexa
