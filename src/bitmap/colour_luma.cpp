// The filters driven by each pixel's luma: monochrome, tone change and fade to grey.
// SSE2 takes 4 pixels per step (one 16-bit lane per byte); the last Width x Height mod 4
// pixels go through the same formulas one by one.
#include <cstddef>

#include "bitmap/colour_filters.h"
#include "bitmap/simd_support.h"

namespace vexa {
namespace {

bool Usable(const TABitmap& b) {
  return HasArea(b) && b.BitsPerPixel() == 32;
}

inline uint32_t LumaSum(uint32_t p) {
  return 77 * ((p >> 16) & 0xFF) + 150 * ((p >> 8) & 0xFF) + 29 * (p & 0xFF);
}

inline uint32_t Colours(uint32_t b, uint32_t g, uint32_t r, uint32_t keepAlphaOf) {
  return (keepAlphaOf & 0xFF000000u) | (r << 16) | (g << 8) | b;
}

#if VEXA_X86_SIMD
// 77 R + 150 G + 29 B of each pixel in all four 16-bit lanes of that pixel (at most 65280, so
// the unsigned 16-bit sums never wrap).
inline __m128i LumaSums(__m128i px16, __m128i weights) {
  const __m128i w = _mm_mullo_epi16(px16, weights);
  const __m128i pairs = _mm_add_epi16(w, _mm_shufflehi_epi16(_mm_shufflelo_epi16(w, 0xB1), 0xB1));
  return _mm_add_epi16(pairs, _mm_shufflehi_epi16(_mm_shufflelo_epi16(pairs, 0x4E), 0x4E));
}

inline __m128i Load(const uint32_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint32_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline void Prefetch(const uint32_t* p) {
  _mm_prefetch(reinterpret_cast<const char*>(p) + 1024, _MM_HINT_NTA);
}

// Runs Group(lo16, hi16) -> (lo16, hi16) over blocks of 4 pixels and keeps the alpha bytes.
template <class Group>
size_t SimdRun(uint32_t* p, size_t count, Group group) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  size_t i = 0;
  for (; i + 4 <= count; i += 4) {
    if ((i & 15) == 0) Prefetch(p + i);
    const __m128i v = Load(p + i);
    __m128i lo = _mm_unpacklo_epi8(v, zero), hi = _mm_unpackhi_epi8(v, zero);
    group(lo, hi);
    const __m128i out = _mm_packus_epi16(lo, hi);
    Store(p + i, _mm_or_si128(_mm_andnot_si128(alphaMask, out), _mm_and_si128(alphaMask, v)));
  }
  return i;
}
#endif

}  // namespace

void ToMonochrome(TABitmap& bitmap) {
  if (!Usable(bitmap)) return;
  uint32_t* p = bitmap.Pixels();
  const size_t count = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height());
  size_t i = 0;
#if VEXA_X86_SIMD
  const __m128i weights = _mm_setr_epi16(29, 150, 77, 0, 29, 150, 77, 0);
  i = SimdRun(p, count, [&](__m128i& lo, __m128i& hi) {
    lo = _mm_srli_epi16(LumaSums(lo, weights), 8);
    hi = _mm_srli_epi16(LumaSums(hi, weights), 8);
  });
#endif
  for (; i < count; ++i) {
    const uint32_t y = LumaSum(p[i]) >> 8;
    p[i] = Colours(y, y, y, p[i]);
  }
}

void ToneChange(TABitmap& bitmap, uint8_t r, uint8_t g, uint8_t b) {
  if (!Usable(bitmap)) return;
  uint32_t* p = bitmap.Pixels();
  const size_t count = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height());
  size_t i = 0;
#if VEXA_X86_SIMD
  const __m128i weights = _mm_setr_epi16(29, 150, 77, 0, 29, 150, 77, 0);
  const __m128i target = _mm_setr_epi16(b, g, r, 0, b, g, r, 0);
  const __m128i one = _mm_set1_epi16(1);
  // (c * (Y + 1)) <= 255 * 256 fits in an unsigned 16-bit lane.
  i = SimdRun(p, count, [&](__m128i& lo, __m128i& hi) {
    const __m128i kl = _mm_add_epi16(_mm_srli_epi16(LumaSums(lo, weights), 8), one);
    const __m128i kh = _mm_add_epi16(_mm_srli_epi16(LumaSums(hi, weights), 8), one);
    lo = _mm_srli_epi16(_mm_mullo_epi16(kl, target), 8);
    hi = _mm_srli_epi16(_mm_mullo_epi16(kh, target), 8);
  });
#endif
  for (; i < count; ++i) {
    const uint32_t k = (LumaSum(p[i]) >> 8) + 1;
    p[i] = Colours((b * k) >> 8, (g * k) >> 8, (r * k) >> 8, p[i]);
  }
}

void FadeToGray(TABitmap& bitmap, uint8_t strength) {
  if (!Usable(bitmap)) return;
  uint32_t* p = bitmap.Pixels();
  const size_t count = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height());
  const uint32_t s = strength, keep = 255 - s;
  size_t i = 0;
#if VEXA_X86_SIMD
  const __m128i weights = _mm_setr_epi16(29, 150, 77, 0, 29, 150, 77, 0);
  const __m128i s16 = _mm_set1_epi16(static_cast<short>(s));
  const __m128i keep16 = _mm_set1_epi16(static_cast<short>(keep));
  // The luma sum times s, shifted by 16, is exactly the high half of the unsigned product.
  i = SimdRun(p, count, [&](__m128i& lo, __m128i& hi) {
    const __m128i gl = _mm_mulhi_epu16(LumaSums(lo, weights), s16);
    const __m128i gh = _mm_mulhi_epu16(LumaSums(hi, weights), s16);
    lo = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(lo, keep16), 8), gl);
    hi = _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(hi, keep16), 8), gh);
  });
#endif
  for (; i < count; ++i) {
    const uint32_t px = p[i];
    const uint32_t g = (LumaSum(px) * s) >> 16;
    p[i] = Colours(((px & 0xFF) * keep >> 8) + g, (((px >> 8) & 0xFF) * keep >> 8) + g,
                   (((px >> 16) & 0xFF) * keep >> 8) + g, px);
  }
}

}  // namespace vexa
