#include "sound/gain_ramp.h"

#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexa {
namespace {

constexpr float kMin = -32768.0f;
constexpr float kMax = 32767.0f;

// Clamping before rounding equals rounding before saturating, as the bounds are integers.
// A NaN product ends at the lower bound, as the vector path's max/min do.
inline int16_t Scale(int16_t s, float gain) {
  float p = static_cast<float>(s) * gain;
  p = p > kMin ? p : kMin;
  p = p < kMax ? p : kMax;
  return static_cast<int16_t>(std::nearbyint(p));
}

// Frames [from, to) with one gain per channel.
void ScaleFrames(int16_t* block, size_t from, size_t to, float left, float right) {
  size_t f = from;
#if defined(__SSE2__)
  const __m128 gains = _mm_setr_ps(left, right, left, right);
  const __m128 lo = _mm_set1_ps(kMin);
  const __m128 hi = _mm_set1_ps(kMax);
  for (; f + 8 <= to; f += 8) {
    __m128i* p = reinterpret_cast<__m128i*>(block + 2 * f);
    for (int half = 0; half < 2; ++half) {
      __m128i v = _mm_loadu_si128(p + half);
      // Sign-extend the eight samples into two groups of four.
      __m128i a = _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
      __m128i b = _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
      __m128 fa = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_cvtepi32_ps(a), gains), lo), hi);
      __m128 fb = _mm_min_ps(_mm_max_ps(_mm_mul_ps(_mm_cvtepi32_ps(b), gains), lo), hi);
      // cvtps rounds to nearest, ties to even, under the default rounding mode.
      _mm_storeu_si128(p + half, _mm_packs_epi32(_mm_cvtps_epi32(fa), _mm_cvtps_epi32(fb)));
    }
  }
#endif
  for (; f < to; ++f) {
    block[2 * f] = Scale(block[2 * f], left);
    block[2 * f + 1] = Scale(block[2 * f + 1], right);
  }
}

}  // namespace

void ApplyGainRamp(int16_t* block, size_t bytes, float leftStart, float leftEnd, float rightStart,
                   float rightEnd) {
  const size_t n = bytes / 4;
  if (block == nullptr || n == 0) return;
  const size_t stretches = n / kGainStretchFrames;
  const size_t tailFrom = n - n % 8;  // the last (n mod 8) frames take the end values

  size_t f = 0;
  if (stretches > 0) {
    const float leftDelta = leftEnd - leftStart;
    const float rightDelta = rightEnd - rightStart;
    const float steps = static_cast<float>(stretches - 1);
    for (size_t k = 0; k < stretches; ++k) {
      float left = leftStart, right = rightStart;
      if (stretches > 1) {
        left = leftStart + static_cast<float>(k) * leftDelta / steps;
        right = rightStart + static_cast<float>(k) * rightDelta / steps;
      }
      const size_t to = f + kGainStretchFrames;
      ScaleFrames(block, f, to < tailFrom ? to : tailFrom, left, right);
      f = to;
    }
    ScaleFrames(block, f < tailFrom ? f : tailFrom, tailFrom, leftEnd, rightEnd);
  } else {
    ScaleFrames(block, 0, tailFrom, leftStart, rightStart);
  }
  ScaleFrames(block, tailFrom, n, leftEnd, rightEnd);
}

}  // namespace vexa
