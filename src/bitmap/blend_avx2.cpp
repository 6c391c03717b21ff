// AVX2 rows: each block of 8 pixels is one register whose two 128-bit halves are the SSE2
// path's two groups of 4, so the group shortcuts apply per half and the results are exactly
// those of the SSE2 rows.
#include <cstring>

#include "bitmap/blend_rows.h"
#include "bitmap/simd_support.h"

namespace vexa::blend_rows {

#if VEXA_X86_SIMD
// Only these functions may use AVX2; the rest of the program must run on any x86-64.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace {

inline __m256i Load(const uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void Store(uint8_t* p, __m256i v) {
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
inline void Prefetch(const uint8_t* p) {
  _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_NTA);
}

inline __m256i AlphaBytes() {
  return _mm256_set1_epi32(static_cast<int>(0xFF000000u));
}

// Bit mask (32 bits, 4 per pixel byte lane) of the pixels whose alpha byte equals `alpha`.
inline uint32_t AlphaIs(__m256i s, __m256i alpha) {
  return static_cast<uint32_t>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(s, AlphaBytes()), alpha)));
}

// Byte shuffles that spread each pixel's alpha byte over the 16-bit lanes of the pixel pairs
// that unpacklo (pixels 0, 1 of each half) and unpackhi (pixels 2, 3) produce.
inline __m256i AlphaSpreadLo() {
  return _mm256_setr_epi8(3, -1, 3, -1, 3, -1, 3, -1, 7, -1, 7, -1, 7, -1, 7, -1, 3, -1, 3, -1, 3, -1, 3, -1,
                          7, -1, 7, -1, 7, -1, 7, -1);
}
inline __m256i AlphaSpreadHi() {
  return _mm256_setr_epi8(11, -1, 11, -1, 11, -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1, 11, -1, 11, -1, 11,
                          -1, 11, -1, 15, -1, 15, -1, 15, -1, 15, -1);
}

// S * (255 - t) + D * (t + 1) == S * 256 + (D - S) * (t + 1): one multiply per lane, and the
// sum (at most 255 * 256) is exact in 16-bit arithmetic.
inline __m256i AlphaHalf(__m256i s16, __m256i d16, __m256i t16) {
  const __m256i prod =
      _mm256_mullo_epi16(_mm256_sub_epi16(d16, s16), _mm256_add_epi16(t16, _mm256_set1_epi16(1)));
  return _mm256_srli_epi16(_mm256_add_epi16(_mm256_slli_epi16(s16, 8), prod), 8);
}

// One block of 8 pixels; the two 128-bit halves are the two groups of 4.
inline void AlphaBlock(const uint8_t* s, uint8_t* d, __m256i spreadLo, __m256i spreadHi) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i sv = Load(s);
  const uint32_t opaque = AlphaIs(sv, zero);
  if (opaque == 0xFFFFFFFFu) {  // both groups opaque: copied as they are
    Store(d, sv);
    return;
  }
  const __m256i dv = Load(d);
  const __m256i rl = AlphaHalf(_mm256_unpacklo_epi8(sv, zero), _mm256_unpacklo_epi8(dv, zero),
                               _mm256_shuffle_epi8(sv, spreadLo));
  const __m256i rh = AlphaHalf(_mm256_unpackhi_epi8(sv, zero), _mm256_unpackhi_epi8(dv, zero),
                               _mm256_shuffle_epi8(sv, spreadHi));
  __m256i r = _mm256_packus_epi16(rl, rh);
  if ((opaque & 0xFFFFu) == 0xFFFFu) r = _mm256_blend_epi32(r, sv, 0x0F);
  if ((opaque >> 16) == 0xFFFFu) r = _mm256_blend_epi32(r, sv, 0xF0);
  Store(d, r);
}

void AlphaRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t, size_t prefetch) {
  const __m256i spreadLo = AlphaSpreadLo(), spreadHi = AlphaSpreadHi();
  int32_t x = 0;
  // Two blocks per step: independent work for the processor to overlap.
  for (; x + 16 <= w; x += 16, s += 64, d += 64) {
    Prefetch(s + prefetch);
    AlphaBlock(s, d, spreadLo, spreadHi);
    AlphaBlock(s + 32, d + 32, spreadLo, spreadHi);
  }
  for (; x + 8 <= w; x += 8, s += 32, d += 32)
    AlphaBlock(s, d, spreadLo, spreadHi);
  for (; x < w; ++x, s += 4, d += 4)
    AlphaPixel(s, d);
}

// S * k + D * (255 - k) == D * 256 - D + (S - D) * k, exact in 16-bit arithmetic.
inline __m256i AlphaOpacityHalf(__m256i s16, __m256i d16, __m256i inv16, __m256i o16) {
  const __m256i k = _mm256_srli_epi16(_mm256_mullo_epi16(inv16, o16), 8);
  const __m256i sum = _mm256_add_epi16(_mm256_sub_epi16(_mm256_slli_epi16(d16, 8), d16),
                                       _mm256_mullo_epi16(_mm256_sub_epi16(s16, d16), k));
  return _mm256_srli_epi16(sum, 8);
}

inline void AlphaOpacityBlock(const uint8_t* s, uint8_t* d, __m256i spreadLo, __m256i spreadHi, __m256i o16) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i sv = Load(s);
  const uint32_t clear = AlphaIs(sv, AlphaBytes());
  if (clear == 0xFFFFFFFFu) return;  // both groups fully transparent: nothing changes
  const __m256i dv = Load(d);
  const __m256i inv = _mm256_xor_si256(sv, _mm256_set1_epi32(-1));  // alpha byte 255 - t
  const __m256i rl = AlphaOpacityHalf(_mm256_unpacklo_epi8(sv, zero), _mm256_unpacklo_epi8(dv, zero),
                                      _mm256_shuffle_epi8(inv, spreadLo), o16);
  const __m256i rh = AlphaOpacityHalf(_mm256_unpackhi_epi8(sv, zero), _mm256_unpackhi_epi8(dv, zero),
                                      _mm256_shuffle_epi8(inv, spreadHi), o16);
  __m256i r = _mm256_packus_epi16(rl, rh);
  if ((clear & 0xFFFFu) == 0xFFFFu) r = _mm256_blend_epi32(r, dv, 0x0F);
  if ((clear >> 16) == 0xFFFFu) r = _mm256_blend_epi32(r, dv, 0xF0);
  Store(d, r);
}

void AlphaOpacityRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t o, size_t prefetch) {
  const __m256i spreadLo = AlphaSpreadLo(), spreadHi = AlphaSpreadHi();
  const __m256i o16 = _mm256_set1_epi16(static_cast<short>(o));
  int32_t x = 0;
  for (; x + 16 <= w; x += 16, s += 64, d += 64) {
    Prefetch(s + prefetch);
    AlphaOpacityBlock(s, d, spreadLo, spreadHi, o16);
    AlphaOpacityBlock(s + 32, d + 32, spreadLo, spreadHi, o16);
  }
  for (; x + 8 <= w; x += 8, s += 32, d += 32)
    AlphaOpacityBlock(s, d, spreadLo, spreadHi, o16);
  for (; x < w; ++x, s += 4, d += 4)
    AlphaOpacityPixel(s, d, o);
}

inline __m256i Scaled(__m256i s, __m256i o16) {
  const __m256i zero = _mm256_setzero_si256();
  const __m256i l = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpacklo_epi8(s, zero), o16), 8);
  const __m256i h = _mm256_srli_epi16(_mm256_mullo_epi16(_mm256_unpackhi_epi8(s, zero), o16), 8);
  return _mm256_packus_epi16(l, h);
}

inline __m256i AddSaturated(__m256i d, __m256i v) {
  return _mm256_adds_epu8(d, v);
}
inline __m256i SubSaturated(__m256i d, __m256i v) {
  return _mm256_subs_epu8(d, v);
}

// BlendAdd and BlendSub: the colour bytes change by (S * O) >> 8, the alpha byte stays.
template <__m256i (*Op)(__m256i, __m256i), void (*Pixel)(const uint8_t*, uint8_t*, uint32_t)>
void AddSubRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t o, size_t prefetch) {
  const __m256i o16 = _mm256_set1_epi16(static_cast<short>(o));
  int32_t x = 0;
  for (; x + 8 <= w; x += 8, s += 32, d += 32) {
    Prefetch(s + prefetch);
    const __m256i dv = Load(d);
    Store(d, _mm256_blendv_epi8(Op(dv, Scaled(Load(s), o16)), dv, AlphaBytes()));
  }
  for (; x < w; ++x, s += 4, d += 4)
    Pixel(s, d, o);
}

}  // namespace
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

const TRowSet& Avx2Rows() {
  if (!Avx2Available()) return Sse2Rows();
  // Copies stay with the SSE2 rows (memmove and streaming stores are as fast either way).
  static const TRowSet kRows{Sse2Rows().Copy,
                             Sse2Rows().CopyLarge,
                             Sse2Rows().Fence,
                             AlphaRow,
                             AlphaOpacityRow,
                             AddSubRow<AddSaturated, AddPixel>,
                             AddSubRow<SubSaturated, SubPixel>};
  return kRows;
}

#else

const TRowSet& Avx2Rows() {
  return Sse2Rows();
}

#endif

}  // namespace vexa::blend_rows
