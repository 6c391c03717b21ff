// SSE2 rows: blocks of 8 pixels as two groups of 4, then the rest one by one.
#include <cstring>

#include "bitmap/blend_rows.h"
#include "bitmap/simd_support.h"

namespace vexa::blend_rows {

#if VEXA_X86_SIMD
namespace {

inline __m128i Load(const uint8_t* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void Store(uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline void Prefetch(const uint8_t* p) {
  _mm_prefetch(reinterpret_cast<const char*>(p), _MM_HINT_NTA);
}

// Alpha byte of each 16-bit pixel lane broadcast over its four lanes.
inline __m128i BroadcastAlpha(__m128i px16) {
  return _mm_shufflehi_epi16(_mm_shufflelo_epi16(px16, 0xFF), 0xFF);
}

inline __m128i AlphaGroup(__m128i s, __m128i d) {
  const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255), one = _mm_set1_epi16(1);
  const __m128i sl = _mm_unpacklo_epi8(s, zero), sh = _mm_unpackhi_epi8(s, zero);
  const __m128i dl = _mm_unpacklo_epi8(d, zero), dh = _mm_unpackhi_epi8(d, zero);
  const __m128i tl = BroadcastAlpha(sl), th = BroadcastAlpha(sh);
  // S*(255-t) + D*(t+1) <= 255*256 fits in 16 bits.
  const __m128i rl = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(sl, _mm_sub_epi16(c255, tl)),
                                                  _mm_mullo_epi16(dl, _mm_add_epi16(tl, one))),
                                    8);
  const __m128i rh = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(sh, _mm_sub_epi16(c255, th)),
                                                  _mm_mullo_epi16(dh, _mm_add_epi16(th, one))),
                                    8);
  return _mm_packus_epi16(rl, rh);
}

inline __m128i AlphaOpacityGroup(__m128i s, __m128i d, __m128i o16) {
  const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255);
  const __m128i sl = _mm_unpacklo_epi8(s, zero), sh = _mm_unpackhi_epi8(s, zero);
  const __m128i dl = _mm_unpacklo_epi8(d, zero), dh = _mm_unpackhi_epi8(d, zero);
  const __m128i kl = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(c255, BroadcastAlpha(sl)), o16), 8);
  const __m128i kh = _mm_srli_epi16(_mm_mullo_epi16(_mm_sub_epi16(c255, BroadcastAlpha(sh)), o16), 8);
  const __m128i rl =
      _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(sl, kl), _mm_mullo_epi16(dl, _mm_sub_epi16(c255, kl))), 8);
  const __m128i rh =
      _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(sh, kh), _mm_mullo_epi16(dh, _mm_sub_epi16(c255, kh))), 8);
  return _mm_packus_epi16(rl, rh);
}

// (S * O) >> 8 for every byte of a group.
inline __m128i ScaledGroup(__m128i s, __m128i o16) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i l = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), o16), 8);
  const __m128i h = _mm_srli_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), o16), 8);
  return _mm_packus_epi16(l, h);
}

const __m128i kAlphaBytes = _mm_set1_epi32(static_cast<int>(0xFF000000u));

void CopyRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t, size_t) {
  std::memmove(d, s, static_cast<size_t>(w) * 4);
}

// Copy with non-temporal stores for rectangles too large for the caches; the caller issues
// the store fence once at the end.
void CopyRowStream(const uint8_t* s, uint8_t* d, int32_t w, uint32_t, size_t prefetch) {
  int32_t x = 0;
  while (x < w && (reinterpret_cast<uintptr_t>(d) & 15) != 0) {
    std::memcpy(d, s, 4);
    ++x, s += 4, d += 4;
  }
  for (; x + 8 <= w; x += 8, s += 32, d += 32) {
    Prefetch(s + prefetch);
    _mm_stream_si128(reinterpret_cast<__m128i*>(d), Load(s));
    _mm_stream_si128(reinterpret_cast<__m128i*>(d + 16), Load(s + 16));
  }
  std::memcpy(d, s, static_cast<size_t>(w - x) * 4);
}

void Fence() {
  _mm_sfence();
}

void AlphaRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t, size_t prefetch) {
  const __m128i zero = _mm_setzero_si128();
  int32_t x = 0;
  for (; x + 8 <= w; x += 8, s += 32, d += 32) {
    Prefetch(s + prefetch);
    for (int g = 0; g < 32; g += 16) {
      const __m128i sv = Load(s + g);
      // All four alpha bytes 0: the group is copied as it is.
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, kAlphaBytes), zero)) == 0xFFFF) {
        Store(d + g, sv);
        continue;
      }
      Store(d + g, AlphaGroup(sv, Load(d + g)));
    }
  }
  for (; x < w; ++x, s += 4, d += 4)
    AlphaPixel(s, d);
}

void AlphaOpacityRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t o, size_t prefetch) {
  const __m128i o16 = _mm_set1_epi16(static_cast<short>(o));
  int32_t x = 0;
  for (; x + 8 <= w; x += 8, s += 32, d += 32) {
    Prefetch(s + prefetch);
    for (int g = 0; g < 32; g += 16) {
      const __m128i sv = Load(s + g);
      // All four alpha bytes 255: the destination stays as it is.
      if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(sv, kAlphaBytes), kAlphaBytes)) == 0xFFFF) continue;
      Store(d + g, AlphaOpacityGroup(sv, Load(d + g), o16));
    }
  }
  for (; x < w; ++x, s += 4, d += 4)
    AlphaOpacityPixel(s, d, o);
}

inline __m128i AddSaturated(__m128i d, __m128i v) {
  return _mm_adds_epu8(d, v);
}
inline __m128i SubSaturated(__m128i d, __m128i v) {
  return _mm_subs_epu8(d, v);
}

// BlendAdd and BlendSub: the colour bytes change by (S * O) >> 8, the alpha byte stays.
template <__m128i (*Op)(__m128i, __m128i), void (*Pixel)(const uint8_t*, uint8_t*, uint32_t)>
void AddSubRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t o, size_t prefetch) {
  const __m128i o16 = _mm_set1_epi16(static_cast<short>(o));
  int32_t x = 0;
  for (; x + 8 <= w; x += 8, s += 32, d += 32) {
    Prefetch(s + prefetch);
    for (int g = 0; g < 32; g += 16) {
      const __m128i dv = Load(d + g);
      const __m128i r = Op(dv, ScaledGroup(Load(s + g), o16));
      Store(d + g, _mm_or_si128(_mm_andnot_si128(kAlphaBytes, r), _mm_and_si128(kAlphaBytes, dv)));
    }
  }
  for (; x < w; ++x, s += 4, d += 4)
    Pixel(s, d, o);
}

}  // namespace

const TRowSet& Sse2Rows() {
  static const TRowSet kRows{CopyRow,
                             CopyRowStream,
                             Fence,
                             AlphaRow,
                             AlphaOpacityRow,
                             AddSubRow<AddSaturated, AddPixel>,
                             AddSubRow<SubSaturated, SubPixel>};
  return kRows;
}

TRowSet WithSse2Copies(TRowFn alpha, TRowFn alphaOpacity, TRowFn add, TRowFn sub) {
  return TRowSet{CopyRow, CopyRowStream, Fence, alpha, alphaOpacity, add, sub};
}

#else

const TRowSet& Sse2Rows() {
  return PlainRows();
}

TRowSet WithSse2Copies(TRowFn alpha, TRowFn alphaOpacity, TRowFn add, TRowFn sub) {
  const TRowSet& plain = PlainRows();
  return TRowSet{plain.Copy, plain.CopyLarge, plain.Fence, alpha, alphaOpacity, add, sub};
}

#endif

}  // namespace vexa::blend_rows
