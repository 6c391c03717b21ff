// ScaleBilinear: 8-bit bilinear sampling written straight into the target (see bilinear.h).
#include "bitmap/bilinear.h"
#include "bitmap/bilinear_geometry.h"
#include "bitmap/simd_support.h"

namespace vexa {
namespace {

inline uint32_t Blend8(const uint32_t* up, const uint32_t* low, int32_t sx, int32_t sx1, uint32_t fx,
                       uint32_t fy) {
#if VEXA_X86_SIMD
  const __m128i zero = _mm_setzero_si128();
  const int16_t a = static_cast<int16_t>(255 - fx), b = static_cast<int16_t>(fx);
  const __m128i wx = _mm_set_epi16(b, b, b, b, a, a, a, a);
  const int16_t c = static_cast<int16_t>(255 - fy), d = static_cast<int16_t>(fy);
  const __m128i wy = _mm_set_epi16(d, d, d, d, c, c, c, c);
  const __m128i u = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(up[sx])),
                                                         _mm_cvtsi32_si128(static_cast<int>(up[sx1]))),
                                      zero);
  const __m128i l = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(low[sx])),
                                                         _mm_cvtsi32_si128(static_cast<int>(low[sx1]))),
                                      zero);
  // Sums stay at or below 255 * 255 = 65025: unsigned 16-bit lanes hold them (the 65535 cap
  // never applies) and the logical shift reads them as unsigned.
  const __m128i hu = _mm_mullo_epi16(u, wx), hl = _mm_mullo_epi16(l, wx);
  const __m128i rows =
      _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(hu, hl), _mm_unpackhi_epi64(hu, hl)), 8);
  const __m128i t = _mm_mullo_epi16(rows, wy);
  const __m128i v = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_si128(t, 8)), 8);
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, zero)));
#else
  uint32_t out = 0;
  for (int b = 0; b < 4; ++b) {
    const int s = 8 * b;
    const uint32_t hu = (((up[sx] >> s) & 255) * (255 - fx) + ((up[sx1] >> s) & 255) * fx) >> 8;
    const uint32_t hl = (((low[sx] >> s) & 255) * (255 - fx) + ((low[sx1] >> s) & 255) * fx) >> 8;
    out |= ((hu * (255 - fy) + hl * fy) >> 8) << s;
  }
  return out;
#endif
}

void ScaleRow(const uint32_t* up, const uint32_t* low, uint32_t fy, int32_t srcWidth,
              const bilinear::TGeometry& g, uint32_t* dst, int32_t width) {
  for (int32_t j = 0; j < width; ++j) {
    // From C0 on, one step behind; never before the first column.
    int64_t ax = (j < g.C0 ? int64_t{j} : int64_t{j} - 1) * g.XStep;
    if (ax < 0) ax = 0;
    const int32_t sx = bilinear::Inside(ax >> 16, srcWidth);
    const int32_t sx1 = sx + 1 < srcWidth ? sx + 1 : srcWidth - 1;
    dst[j] = Blend8(up, low, sx, sx1, static_cast<uint32_t>((ax >> 8) & 255), fy);
  }
}

}  // namespace

void ScaleBilinear(const TABitmap& source, TABitmap& target) {
  if (!HasArea(source) || !HasArea(target) || source.BitsPerPixel() != 32 || target.BitsPerPixel() != 32)
    return;
  if (&source == &target) return;
  const int32_t w = source.Width(), h = source.Height(), w2 = target.Width(), h2 = target.Height();
  const bilinear::TGeometry g = bilinear::MakeGeometry(w, h, w2, h2);
  auto row = [&](int32_t y) { return reinterpret_cast<const uint32_t*>(source.ScanLine(y)); };
  int64_t ay = 0;
  for (int32_t i = 0; i < g.R0; ++i, ay += g.YStep) {
    const int32_t sy = bilinear::Inside(ay >> 16, h);
    ScaleRow(row(sy), row(bilinear::Inside(int64_t{sy} + 1, h)), static_cast<uint32_t>((ay >> 8) & 255), w, g,
             reinterpret_cast<uint32_t*>(target.ScanLine(i)), w2);
  }
  int64_t acc = int64_t{h - 1} * 65536;
  for (int32_t i = g.R0; i < h2; ++i, acc += g.YStep)
    ScaleRow(row(h - 1), row(bilinear::Inside(int64_t{h} - 2, h)), static_cast<uint32_t>((acc >> 8) & 255), w,
             g, reinterpret_cast<uint32_t*>(target.ScanLine(i)), w2);
}

}  // namespace vexa
