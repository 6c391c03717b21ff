// ScaleBilinear: 8-bit bilinear sampling written straight into the target (see bilinear.h).
#include "bitmap/bilinear.h"
#include "bitmap/bilinear_geometry.h"
#include "bitmap/simd_support.h"

namespace vexa {
namespace {

// Output columns in strips whose sampling positions are worked out once per strip (on the
// stack: the kernel allocates nothing) and reused for every row.
constexpr int32_t kStrip = 256;

struct TColumn {
  int32_t Left, Right;  // source columns
  uint32_t Fraction;    // 0 ... 255
};

void Columns(const bilinear::TGeometry& g, int32_t srcWidth, int32_t j0, int32_t n, TColumn* cols) {
  for (int32_t k = 0; k < n; ++k) {
    const int64_t j = int64_t{j0} + k;
    // From C0 on, one step behind; never before the first column.
    int64_t ax = (j < g.C0 ? j : j - 1) * g.XStep;
    if (ax < 0) ax = 0;
    const int32_t sx = bilinear::Inside(ax >> 16, srcWidth);
    cols[k] = {sx, sx + 1 < srcWidth ? sx + 1 : srcWidth - 1, static_cast<uint32_t>((ax >> 8) & 255)};
  }
}

void ScaleStrip(const uint32_t* up, const uint32_t* low, uint32_t fy, const TColumn* cols, int32_t n,
                uint32_t* dst) {
#if VEXA_X86_SIMD
  const __m128i zero = _mm_setzero_si128(), c255 = _mm_set1_epi16(255);
  const __m128i fy16 = _mm_set1_epi16(static_cast<int16_t>(fy));
  const __m128i wy = _mm_unpacklo_epi64(_mm_sub_epi16(c255, fy16), fy16);
  for (int32_t k = 0; k < n; ++k) {
    const TColumn& c = cols[k];
    const __m128i fx16 = _mm_set1_epi16(static_cast<int16_t>(c.Fraction));
    const __m128i wx = _mm_unpacklo_epi64(_mm_sub_epi16(c255, fx16), fx16);
    const __m128i u = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(up[c.Left])),
                                                           _mm_cvtsi32_si128(static_cast<int>(up[c.Right]))),
                                        zero);
    const __m128i l = _mm_unpacklo_epi8(_mm_unpacklo_epi32(_mm_cvtsi32_si128(static_cast<int>(low[c.Left])),
                                                           _mm_cvtsi32_si128(static_cast<int>(low[c.Right]))),
                                        zero);
    // Sums stay at or below 255 * 255 = 65025: unsigned 16-bit lanes hold them (the 65535 cap
    // never applies) and the logical shift reads them as unsigned.
    const __m128i hu = _mm_mullo_epi16(u, wx), hl = _mm_mullo_epi16(l, wx);
    const __m128i rows =
        _mm_srli_epi16(_mm_add_epi16(_mm_unpacklo_epi64(hu, hl), _mm_unpackhi_epi64(hu, hl)), 8);
    const __m128i t = _mm_mullo_epi16(rows, wy);
    const __m128i v = _mm_srli_epi16(_mm_add_epi16(t, _mm_srli_si128(t, 8)), 8);
    dst[k] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(v, zero)));
  }
#else
  for (int32_t k = 0; k < n; ++k) {
    const TColumn& c = cols[k];
    const uint32_t fx = c.Fraction;
    uint32_t out = 0;
    for (int b = 0; b < 4; ++b) {
      const int s = 8 * b;
      const uint32_t hu = (((up[c.Left] >> s) & 255) * (255 - fx) + ((up[c.Right] >> s) & 255) * fx) >> 8;
      const uint32_t hl = (((low[c.Left] >> s) & 255) * (255 - fx) + ((low[c.Right] >> s) & 255) * fx) >> 8;
      out |= ((hu * (255 - fy) + hl * fy) >> 8) << s;
    }
    dst[k] = out;
  }
#endif
}

}  // namespace

void ScaleBilinear(const TABitmap& source, TABitmap& target) {
  if (!HasArea(source) || !HasArea(target) || source.BitsPerPixel() != 32 || target.BitsPerPixel() != 32)
    return;
  if (&source == &target) return;
  const int32_t w = source.Width(), h = source.Height(), w2 = target.Width(), h2 = target.Height();
  const bilinear::TGeometry g = bilinear::MakeGeometry(w, h, w2, h2);
  auto row = [&](int32_t y) { return reinterpret_cast<const uint32_t*>(source.ScanLine(y)); };
  TColumn cols[kStrip];
  for (int32_t j0 = 0; j0 < w2; j0 += kStrip) {
    const int32_t n = w2 - j0 < kStrip ? w2 - j0 : kStrip;
    Columns(g, w, j0, n, cols);
    for (int32_t i = 0; i < h2; ++i) {
      uint32_t* dst = reinterpret_cast<uint32_t*>(target.ScanLine(i)) + j0;
      if (i < g.R0) {
        const int64_t ay = int64_t{i} * g.YStep;
        const int32_t sy = bilinear::Inside(ay >> 16, h);
        ScaleStrip(row(sy), row(bilinear::Inside(int64_t{sy} + 1, h)), static_cast<uint32_t>((ay >> 8) & 255),
                   cols, n, dst);
      } else {
        // The bottom rows: row H - 1 over row H - 2.
        const int64_t acc = int64_t{h - 1} * 65536 + int64_t{i - g.R0} * g.YStep;
        ScaleStrip(row(h - 1), row(bilinear::Inside(int64_t{h} - 2, h)),
                   static_cast<uint32_t>((acc >> 8) & 255), cols, n, dst);
      }
    }
  }
}

}  // namespace vexa
