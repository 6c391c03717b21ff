#include "bitmap/rule_blend.h"

#include <algorithm>

#include "bitmap/simd_support.h"

namespace vexa {
namespace {

#if VEXA_X86_SIMD
// Four pixels at a time. The three cases fold into one blend: d clamped to 0 ... l gives Old
// exactly for c > m (d = 0) and New exactly for d > l (d = l). New * d + Old * (l - d) is at
// most 255 * 256, so the sums fit unsigned 16-bit lanes.
int32_t BlendRowSse2(const uint32_t* src, const uint8_t* levels, uint32_t* dst, int32_t w, uint32_t m,
                     uint32_t l, int32_t width) {
  const __m128i zero = _mm_setzero_si128(), low = _mm_set1_epi32(0xFF);
  const __m128i m16 = _mm_set1_epi16(static_cast<short>(m)), l16 = _mm_set1_epi16(static_cast<short>(l));
  const __m128i shift = _mm_cvtsi32_si128(width);
  int32_t x = 0;
  for (; x + 4 <= w; x += 4) {
    const __m128i c32 = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(levels + 4 * x)), low);
    const __m128i c16 = _mm_packs_epi32(c32, c32);
    const __m128i d = _mm_min_epi16(_mm_max_epi16(_mm_sub_epi16(m16, c16), zero), l16);
    const __m128i dd = _mm_unpacklo_epi16(d, d);
    const __m128i dLo = _mm_unpacklo_epi32(dd, dd), dHi = _mm_unpackhi_epi32(dd, dd);
    const __m128i n = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x));
    __m128i* q = reinterpret_cast<__m128i*>(dst + x);
    const __m128i o = _mm_loadu_si128(q);
    auto half = [&](__m128i n16, __m128i o16, __m128i d16) {
      const __m128i sum =
          _mm_add_epi16(_mm_mullo_epi16(n16, d16), _mm_mullo_epi16(o16, _mm_sub_epi16(l16, d16)));
      return _mm_srl_epi16(sum, shift);
    };
    const __m128i lo = half(_mm_unpacklo_epi8(n, zero), _mm_unpacklo_epi8(o, zero), dLo);
    const __m128i hi = half(_mm_unpackhi_epi8(n, zero), _mm_unpackhi_epi8(o, zero), dHi);
    _mm_storeu_si128(q, _mm_packus_epi16(lo, hi));
  }
  return x;
}
#endif

}  // namespace

void RuleBlend(const TABitmap& newPicture, TABitmap& oldPicture, const TABitmap& rule, int32_t width,
               int64_t power) {
  for (const TABitmap* b : {&newPicture, static_cast<const TABitmap*>(&oldPicture), &rule})
    if (!HasArea(*b) || b->BitsPerPixel() != 32) return;
  width = std::clamp(width, 1, 8);
  const uint32_t l = 1u << width;
  const uint32_t m = static_cast<uint32_t>(std::clamp<int64_t>(power, 0, 255)) * (l + 256) >> 8;
  const int32_t w = std::min({newPicture.Width(), oldPicture.Width(), rule.Width()});
  const int32_t h = std::min({newPicture.Height(), oldPicture.Height(), rule.Height()});

  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(newPicture.ScanLine(y));
    const uint8_t* levels = rule.ScanLine(y);
    uint32_t* dst = reinterpret_cast<uint32_t*>(oldPicture.ScanLine(y));
    int32_t x = 0;
#if VEXA_X86_SIMD
    x = BlendRowSse2(src, levels, dst, w, m, l, width);
#endif
    for (; x < w; ++x) {
      const uint32_t c = levels[4 * x];
      if (c > m) continue;
      const uint32_t d = m - c;
      if (d > l) {
        dst[x] = src[x];
        continue;
      }
      const uint32_t s = src[x], o = dst[x];
      uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8)
        out |= (((s >> shift) & 0xFF) * d + ((o >> shift) & 0xFF) * (l - d)) >> width << shift;
      dst[x] = out;
    }
  }
}

}  // namespace vexa
