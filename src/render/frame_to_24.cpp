#include "render/frame_to_24.h"

#include <immintrin.h>

#include <cstring>

namespace vexa {

namespace {

void PackRowPlain(uint8_t* s, uint8_t* d, size_t n) {
  for (size_t x = 0; x < n; ++x, s += 4, d += 3) {
    d[0] = s[0];
    d[1] = s[1];
    d[2] = s[2];
    s[3] = 0;
  }
}

// Four pixels per step with one byte shuffle; each 16-byte store writes 12 bytes of pixels and
// 4 bytes that the next step overwrites, so the loop stops while at least 4 bytes of the row
// remain behind the store (the rest goes the plain way).
__attribute__((target("ssse3"))) void PackRowSsse3(uint8_t* s, uint8_t* d, size_t n) {
  const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  size_t x = 0;
  for (; x + 6 <= n; x += 4, s += 16, d += 12) {
    const __m128i p = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), colour);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(s), p);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_shuffle_epi8(p, pack));
  }
  PackRowPlain(s, d, n - x);
}

}  // namespace

void PackFrame24ClearAlpha(TABitmap& frame, TABitmap& frame24) {
  if (frame24.Width() != frame.Width() || frame24.Height() != frame.Height() ||
      frame24.BitsPerPixel() != 24) {
    frame24.SetSize(frame.Width(), frame.Height());
    frame24.Convert24Bit();  // zeroes the row padding, which the packing leaves alone
  }
  if (!HasArea(frame)) return;
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  const size_t w = static_cast<size_t>(frame.Width());
  for (int32_t row = 0; row < frame.Height(); ++row) {
    uint8_t* s = frame.Bits() + static_cast<size_t>(row) * frame.Stride();
    uint8_t* d = frame24.Bits() + static_cast<size_t>(row) * frame24.Stride();
    if (ssse3)
      PackRowSsse3(s, d, w);
    else
      PackRowPlain(s, d, w);
  }
}

}  // namespace vexa
