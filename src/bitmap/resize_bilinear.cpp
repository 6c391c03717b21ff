// ResizeBilinear: 7-bit bilinear sampling laid over the target's own pixels (see bilinear.h).
#include <cstring>

#include "bitmap/bilinear.h"
#include "bitmap/bilinear_geometry.h"
#include "bitmap/simd_support.h"

namespace vexa {
namespace {

// One output row from the source rows `up` and `low` with vertical fraction fy (0 ... 127).
void ResizeRow(const uint32_t* up, const uint32_t* low, uint32_t fy, int32_t srcWidth, int64_t xStep,
               uint32_t* dst, int32_t width) {
#if VEXA_X86_SIMD
  const __m128i zero = _mm_setzero_si128();
  const __m128i wy = _mm_set_epi16(fy, fy, fy, fy, 128 - fy, 128 - fy, 128 - fy, 128 - fy);
  int64_t ax = 0;
  for (int32_t j = 0; j < width; ++j, ax += xStep) {
    const int32_t sx = static_cast<int32_t>(ax >> 16);
    const int32_t sx1 = sx + 1 < srcWidth ? sx + 1 : srcWidth - 1;
    const int16_t fx = static_cast<int16_t>((ax >> 9) & 127);
    const __m128i wx = _mm_set_epi16(fx, fx, fx, fx, 128 - fx, 128 - fx, 128 - fx, 128 - fx);
    // Left and right neighbours side by side, one byte per 16-bit lane.
    const __m128i u = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(up[sx])),
                                                           _mm_cvtsi32_si128(static_cast<int>(up[sx1]))),
                                        zero);
    const __m128i l = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(low[sx])),
                                                           _mm_cvtsi32_si128(static_cast<int>(low[sx1]))),
                                        zero);
    // Products stay below 255 * 128, so 16-bit lanes never saturate (the 65535 cap is moot).
    const __m128i hu = _mm_mullo_epi16(u, wx), hl = _mm_mullo_epi16(l, wx);
    const __m128i rows =
        _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(hu, hl), _mm_unpackhi_epi64(hu, hl)), 7);
    const __m128i t = _mm_mullo_epi16(rows, wy);
    const __m128i v = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_si128(t, 8)), 7);
    const int c = (_mm_extract_epi16(v, 3) >> 1) + 1;
    const __m128i d = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(dst[j])), zero);
    const __m128i r =
        _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(v, _mm_set1_epi16(static_cast<int16_t>(128 - c))),
                                     _mm_mullo_epi16(d, _mm_set1_epi16(static_cast<int16_t>(c)))),
                       7);
    dst[j] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(r, zero)));
  }
#else
  int64_t ax = 0;
  for (int32_t j = 0; j < width; ++j, ax += xStep) {
    const int32_t sx = static_cast<int32_t>(ax >> 16);
    const int32_t sx1 = sx + 1 < srcWidth ? sx + 1 : srcWidth - 1;
    const uint32_t fx = static_cast<uint32_t>((ax >> 9) & 127);
    uint32_t v[4];
    for (int b = 0; b < 4; ++b) {
      const int s = 8 * b;
      const uint32_t hu = (((up[sx] >> s) & 255) * (128 - fx) + ((up[sx1] >> s) & 255) * fx) >> 7;
      const uint32_t hl = (((low[sx] >> s) & 255) * (128 - fx) + ((low[sx1] >> s) & 255) * fx) >> 7;
      v[b] = (hu * (128 - fy) + hl * fy) >> 7;
    }
    const uint32_t c = (v[3] >> 1) + 1;
    uint32_t out = 0;
    for (int b = 0; b < 4; ++b)
      out |= (((128 - c) * v[b] + c * ((dst[j] >> (8 * b)) & 255)) >> 7) << (8 * b);
    dst[j] = out;
  }
#endif
}

}  // namespace

void ResizeBilinear(const TABitmap& source, TABitmap& target) {
  if (!HasArea(source) || !HasArea(target) || source.BitsPerPixel() != 32 || target.BitsPerPixel() != 32)
    return;
  if (&source == &target) return;  // same size and laid over itself: nothing to rescale
  const int32_t w = source.Width(), h = source.Height(), w2 = target.Width(), h2 = target.Height();
  const bilinear::TGeometry g = bilinear::MakeGeometry(w, h, w2, h2);
  auto row = [&](int32_t y) { return reinterpret_cast<const uint32_t*>(source.ScanLine(y)); };
  int64_t ay = 0;
  for (int32_t i = 0; i < g.R0; ++i, ay += g.YStep) {
    const int32_t sy = bilinear::Inside(ay >> 16, h);
    ResizeRow(row(sy), row(bilinear::Inside(int64_t{sy} + 1, h)), static_cast<uint32_t>((ay >> 9) & 127), w,
              g.XStep, reinterpret_cast<uint32_t*>(target.ScanLine(i)), w2);
  }
  int64_t acc = int64_t{h - 1} * 65535;
  for (int32_t i = g.R0; i < h2; ++i, acc += g.YStep)
    ResizeRow(row(h - 1), row(bilinear::Inside(int64_t{h} - 2, h)), static_cast<uint32_t>((acc >> 9) & 127),
              w, g.XStep, reinterpret_cast<uint32_t*>(target.ScanLine(i)), w2);
}

}  // namespace vexa
