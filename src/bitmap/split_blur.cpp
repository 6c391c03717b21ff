// Split blur: the picture overlaid with four copies displaced diagonally by (+-dx, +-dy). The
// pass works in place, rows from the top and pixels from the left, so a pixel may read rows
// (and, near the top edge, pixels of its own row) that this pass has already changed. The SSE2
// path takes 4 pixels at a time only where no read can see a pixel of the same row: rows whose
// two source rows differ from the row itself, columns whose neighbours are both inside.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "bitmap/colour_filters.h"
#include "bitmap/simd_support.h"

namespace vexa {
namespace {

// Round(extent / 510 * p), at least 1.
int32_t Displacement(int32_t extent, int64_t p) {
  const double n = std::nearbyint(static_cast<double>(extent) / 510.0 * static_cast<double>(p));
  return n <= 1 ? 1 : static_cast<int32_t>(n);
}

// Row or column of the far side: i + d, or extent - i past the edge. In a picture one pixel
// across, extent - i would lie outside; the pixel itself is used there.
inline int32_t Far(int32_t i, int32_t d, int32_t extent) {
  if (i + d < extent) return i + d;
  const int32_t mirrored = extent - i;
  return mirrored < extent ? mirrored : i;
}
inline int32_t Near(int32_t i, int32_t d) {
  return i - d < 0 ? i : i - d;
}

inline uint32_t AvgRounded(uint32_t a, uint32_t b) {
  // Per byte (a + b + 1) >> 1, the SSE pavgb rule.
  return (a | b) - (((a ^ b) >> 1) & 0x7F7F7F7Fu);
}

template <bool Rounded>
inline uint32_t Average4(uint32_t ul, uint32_t ll, uint32_t ur, uint32_t lr) {
  if constexpr (Rounded) {
    return AvgRounded(AvgRounded(ul, ll), AvgRounded(ur, lr));
  } else {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
      const uint32_t sum =
          ((ul >> shift) & 0xFF) + ((ll >> shift) & 0xFF) + ((ur >> shift) & 0xFF) + ((lr >> shift) & 0xFF);
      out |= (sum >> 2) << shift;
    }
    return out;
  }
}

template <bool Rounded>
void Pass(TABitmap& bitmap, int64_t power) {
  if (!HasArea(bitmap) || bitmap.BitsPerPixel() != 32) return;
  const int32_t w = bitmap.Width(), h = bitmap.Height();
  const int64_t p = std::clamp<int64_t>(power, 1, 255);
  const int32_t dx = Displacement(w, p), dy = Displacement(h, p);

  for (int32_t y = 0; y < h; ++y) {
    const int32_t upperRow = Near(y, dy), lowerRow = Far(y, dy, h);
    const uint32_t* upper = reinterpret_cast<const uint32_t*>(bitmap.ScanLine(upperRow));
    const uint32_t* lower = reinterpret_cast<const uint32_t*>(bitmap.ScanLine(lowerRow));
    uint32_t* line = reinterpret_cast<uint32_t*>(bitmap.ScanLine(y));
    int32_t x = 0;
    auto one = [&](int32_t i) {
      const int32_t l = Near(i, dx), r = Far(i, dx, w);
      const uint32_t colour = Average4<Rounded>(upper[l], lower[l], upper[r], lower[r]) & 0x00FFFFFFu;
      line[i] = (line[i] & 0xFF000000u) | colour;
    };
#if VEXA_X86_SIMD
    if constexpr (Rounded) {
      if (upperRow != y && lowerRow != y) {
        for (; x < dx && x < w; ++x)
          one(x);
        const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
        for (; x + 4 <= w - dx; x += 4) {
          const __m128i ul = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x - dx));
          const __m128i ll = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x - dx));
          const __m128i ur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + x + dx));
          const __m128i lr = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + x + dx));
          const __m128i avg = _mm_avg_epu8(_mm_avg_epu8(ul, ll), _mm_avg_epu8(ur, lr));
          __m128i* q = reinterpret_cast<__m128i*>(line + x);
          _mm_storeu_si128(
              q, _mm_or_si128(_mm_andnot_si128(alpha, avg), _mm_and_si128(alpha, _mm_loadu_si128(q))));
        }
      }
    }
#endif
    for (; x < w; ++x)
      one(x);
  }
}

}  // namespace

namespace split_blur {
void RoundedPass(TABitmap& bitmap, int64_t power) {
  Pass<true>(bitmap, power);
}
void TruncatedPass(TABitmap& bitmap, int64_t power) {
  Pass<false>(bitmap, power);
}
}  // namespace split_blur

void SplitBlurPass(TABitmap& bitmap, int64_t power) {
  if (SimdAvailable())
    split_blur::RoundedPass(bitmap, power);
  else
    split_blur::TruncatedPass(bitmap, power);
}

}  // namespace vexa
