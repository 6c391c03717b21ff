#include "bitmap/smooth2x2.h"

#include <cstring>

#include "bitmap/simd_support.h"

namespace vexa {
namespace {

inline uint32_t Byte(uint32_t p, int i) {
  return (p >> (8 * i)) & 0xFF;
}

// Colour bytes from f(i), alpha from `keep`.
template <class F>
inline uint32_t Colours(uint32_t keep, F f) {
  return (keep & 0xFF000000u) | f(0) | (f(1) << 8) | (f(2) << 16);
}

inline uint32_t Avg(uint32_t a, uint32_t b) {
  return (a + b + 1) >> 1;
}

// The bottom row, shared by both variants.
void BottomRow(uint32_t* row, int32_t w) {
  for (int32_t x = 0; x + 1 < w; ++x) {
    const uint32_t a = row[x], b = row[x + 1];
    row[x] = Colours(a, [&](int i) { return (Byte(a, i) + Byte(b, i)) >> 1; });
  }
  if (w >= 2) row[w - 1] = (row[w - 1] & 0xFF000000u) | (row[w - 2] & 0x00FFFFFFu);
}

inline uint32_t PlainLast(uint32_t p, uint32_t below) {
  return Colours(p, [&](int i) { return (Byte(p, i) + Byte(below, i)) >> 1; });
}

}  // namespace

namespace plain {

void Smooth2x2(TABitmap& bitmap) {
  if (!HasArea(bitmap) || bitmap.BitsPerPixel() != 32) return;
  const int32_t w = bitmap.Width(), h = bitmap.Height();
  for (int32_t y = 0; y + 1 < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(bitmap.ScanLine(y));
    const uint32_t* below = reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y + 1));
    for (int32_t x = 0; x + 1 < w; ++x) {
      const uint32_t a = row[x], b = row[x + 1], c = below[x], d = below[x + 1];
      row[x] = Colours(a, [&](int i) { return (Byte(a, i) + Byte(b, i) + Byte(c, i) + Byte(d, i)) >> 2; });
    }
    row[w - 1] = PlainLast(row[w - 1], below[w - 1]);
  }
  BottomRow(reinterpret_cast<uint32_t*>(bitmap.ScanLine(h - 1)), w);
}

}  // namespace plain

namespace simd {

void Smooth2x2(TABitmap& bitmap) {
  if (!HasArea(bitmap) || bitmap.BitsPerPixel() != 32) return;
  const int32_t w = bitmap.Width(), h = bitmap.Height();
  for (int32_t y = 0; y + 1 < h; ++y) {
    uint32_t* row = reinterpret_cast<uint32_t*>(bitmap.ScanLine(y));
    const uint32_t* below = reinterpret_cast<const uint32_t*>(bitmap.ScanLine(y + 1));
    if (w == 1) {
      row[0] = PlainLast(row[0], below[0]);
      continue;
    }
    int32_t x = 0;
#if VEXA_X86_SIMD
    // Four pixels per step; their right neighbours are loaded before the step stores, and the
    // next step's pixels are still unwritten.
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; x + 4 < w; x += 4) {
      const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
      const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x + 1));
      const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + x));
      const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(below + x + 1));
      const __m128i r = _mm_avg_epu8(_mm_avg_epu8(a, b), _mm_avg_epu8(c, d));
      const __m128i out = _mm_or_si128(_mm_and_si128(a, alphaMask), _mm_andnot_si128(alphaMask, r));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + x), out);
    }
#endif
    for (; x + 1 < w; ++x) {
      const uint32_t a = row[x], b = row[x + 1], c = below[x], d = below[x + 1];
      row[x] =
          Colours(a, [&](int i) { return Avg(Avg(Byte(a, i), Byte(b, i)), Avg(Byte(c, i), Byte(d, i))); });
    }
    const uint32_t p = row[w - 1], q = below[w - 1], left = row[w - 2];
    row[w - 1] = Colours(p, [&](int i) { return Avg(Byte(left, i), Avg(Byte(q, i), Byte(p, i))); });
  }
  BottomRow(reinterpret_cast<uint32_t*>(bitmap.ScanLine(h - 1)), w);
}

}  // namespace simd

void Smooth2x2(TABitmap& bitmap) {
  if (SimdAvailable())
    simd::Smooth2x2(bitmap);
  else
    plain::Smooth2x2(bitmap);
}

}  // namespace vexa
