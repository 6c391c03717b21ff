#include "media/yuv_convert.h"

#include <immintrin.h>

#include <algorithm>

namespace vexa {

namespace {

// Fixed point, 15 fraction bits. Every sample is (c1 * a + c2 * b + c3 * c + 256 * k) >> 15
// with k the offset (and the half for rounding) divided by 256, so that the fast path can
// form it with two 16-bit multiply-adds. Luma from one pixel; chroma from the sums of 2 x 2
// pixels, whose coefficients are therefore a quarter.
struct TCoefficients {
  int16_t YR, YG, YB, YK;
  int16_t UR, UG, UB, UK;
  int16_t VR, VG, VB, VK;
};

constexpr int16_t Fixed(double v) {
  return static_cast<int16_t>(v < 0 ? v - 0.5 : v + 0.5);
}

constexpr TCoefficients Make(double kr, double kb, bool studio) {
  const double kg = 1 - kr - kb;
  const double ys = studio ? 219.0 / 255.0 : 1.0, cs = studio ? 224.0 / 255.0 : 1.0;
  TCoefficients c{};
  c.YR = Fixed(kr * ys * 32768);
  c.YB = Fixed(kb * ys * 32768);
  c.YG = static_cast<int16_t>(static_cast<int>(ys * 32768 + 0.5) - c.YR - c.YB);  // white stays white
  c.YK = static_cast<int16_t>(((studio ? 16 : 0) * 32768 + 16384) / 256);
  c.UR = Fixed(-kr / (2 * (1 - kb)) * cs * 8192);
  c.UG = Fixed(-kg / (2 * (1 - kb)) * cs * 8192);
  c.UB = static_cast<int16_t>(-(c.UR + c.UG));  // greys have no colour
  c.VG = Fixed(-kg / (2 * (1 - kr)) * cs * 8192);
  c.VB = Fixed(-kb / (2 * (1 - kr)) * cs * 8192);
  c.VR = static_cast<int16_t>(-(c.VG + c.VB));
  c.UK = c.VK = static_cast<int16_t>((128 * 32768 + 16384) / 256);
  return c;
}

constexpr TCoefficients kBt709Studio = Make(0.2126, 0.0722, true);
constexpr TCoefficients kBt601Full = Make(0.299, 0.114, false);

const TCoefficients& CoefficientsOf(TYuvMatrix m) {
  return m == TYuvMatrix::Bt709Studio ? kBt709Studio : kBt601Full;
}

inline uint8_t Sample(int a, int b, int c, int16_t ca, int16_t cb, int16_t cc, int16_t k) {
  const int v = (ca * a + cb * b + cc * c + 256 * k) >> 15;
  return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

// Columns [x0, width) of one pair of rows, pixel by pixel.
void ConvertPairPlain(const uint8_t* top, const uint8_t* bottom, int bpp, int x0, int width, uint8_t* y0,
                      uint8_t* y1, uint8_t* u, uint8_t* v, const TCoefficients& c) {
  for (int x = x0; x < width; x += 2) {
    int sr = 0, sg = 0, sb = 0;
    for (int dx = 0; dx < 2; ++dx) {
      const uint8_t* p = top + (x + dx) * bpp;
      const uint8_t* q = bottom + (x + dx) * bpp;
      y0[x + dx] = Sample(p[2], p[1], p[0], c.YR, c.YG, c.YB, c.YK);
      y1[x + dx] = Sample(q[2], q[1], q[0], c.YR, c.YG, c.YB, c.YK);
      sr += p[2] + q[2];
      sg += p[1] + q[1];
      sb += p[0] + q[0];
    }
    u[x / 2] = Sample(sr, sg, sb, c.UR, c.UG, c.UB, c.UK);
    v[x / 2] = Sample(sr, sg, sb, c.VR, c.VG, c.VB, c.VK);
  }
}

// Eight pixels of a row as 16-bit blue, green and red lanes.
struct TLanes {
  __m128i B, G, R;
};

__attribute__((target("ssse3"))) inline TLanes Load8(const uint8_t* p, int bpp) {
  if (bpp == 4) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    const __m128i lo = _mm_setr_epi8(0, -1, 4, -1, 8, -1, 12, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    const __m128i hi = _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, 0, -1, 4, -1, 8, -1, 12, -1);
    const __m128i one = _mm_set1_epi8(1);
    // The masks moved on by one byte for green, two for red.
    const __m128i blue = _mm_or_si128(_mm_shuffle_epi8(a, lo), _mm_shuffle_epi8(b, hi));
    const __m128i lo1 = _mm_or_si128(_mm_add_epi8(lo, one), _mm_cmpeq_epi8(lo, _mm_set1_epi8(-1)));
    const __m128i hi1 = _mm_or_si128(_mm_add_epi8(hi, one), _mm_cmpeq_epi8(hi, _mm_set1_epi8(-1)));
    const __m128i green = _mm_or_si128(_mm_shuffle_epi8(a, lo1), _mm_shuffle_epi8(b, hi1));
    const __m128i lo2 = _mm_or_si128(_mm_add_epi8(lo1, one), _mm_cmpeq_epi8(lo, _mm_set1_epi8(-1)));
    const __m128i hi2 = _mm_or_si128(_mm_add_epi8(hi1, one), _mm_cmpeq_epi8(hi, _mm_set1_epi8(-1)));
    const __m128i red = _mm_or_si128(_mm_shuffle_epi8(a, lo2), _mm_shuffle_epi8(b, hi2));
    return {blue, green, red};
  }
  // 24 bytes: 16 from the start and 8 more, nothing read past the eighth pixel. Blue, green and
  // red of pixel i sit at bytes 3i, 3i + 1, 3i + 2.
  const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + 16));
  const __m128i blue =
      _mm_or_si128(_mm_shuffle_epi8(a, _mm_setr_epi8(0, -1, 3, -1, 6, -1, 9, -1, 12, -1, 15, -1, -1, -1, -1, -1)),
                   _mm_shuffle_epi8(b, _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 2, -1, 5, -1)));
  const __m128i green =
      _mm_or_si128(_mm_shuffle_epi8(a, _mm_setr_epi8(1, -1, 4, -1, 7, -1, 10, -1, 13, -1, -1, -1, -1, -1, -1, -1)),
                   _mm_shuffle_epi8(b, _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 0, -1, 3, -1, 6, -1)));
  const __m128i red =
      _mm_or_si128(_mm_shuffle_epi8(a, _mm_setr_epi8(2, -1, 5, -1, 8, -1, 11, -1, 14, -1, -1, -1, -1, -1, -1, -1)),
                   _mm_shuffle_epi8(b, _mm_setr_epi8(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, 1, -1, 4, -1, 7, -1)));
  return {blue, green, red};
}

// (ca * a + cb * b + cc * c + 256 * k) >> 15 for eight 16-bit lanes, as 16-bit lanes.
__attribute__((target("ssse3"))) inline __m128i Combine(__m128i a, __m128i b, __m128i c, int16_t ca, int16_t cb,
                                                          int16_t cc, int16_t k) {
  const __m128i ab = _mm_setr_epi16(ca, cb, ca, cb, ca, cb, ca, cb);
  const __m128i ck = _mm_setr_epi16(cc, k, cc, k, cc, k, cc, k);
  const __m128i one = _mm_set1_epi16(256);
  const __m128i lo = _mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(a, b), ab),
                                   _mm_madd_epi16(_mm_unpacklo_epi16(c, one), ck));
  const __m128i hi = _mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(a, b), ab),
                                   _mm_madd_epi16(_mm_unpackhi_epi16(c, one), ck));
  return _mm_packs_epi32(_mm_srai_epi32(lo, 15), _mm_srai_epi32(hi, 15));
}

__attribute__((target("ssse3"))) int ConvertPairSsse3(const uint8_t* top, const uint8_t* bottom, int bpp,
                                                        int width, uint8_t* y0, uint8_t* y1, uint8_t* u, uint8_t* v,
                                                        const TCoefficients& c) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const TLanes t0 = Load8(top + x * bpp, bpp), t1 = Load8(top + (x + 8) * bpp, bpp);
    const TLanes b0 = Load8(bottom + x * bpp, bpp), b1 = Load8(bottom + (x + 8) * bpp, bpp);
    const __m128i lt0 = Combine(t0.R, t0.G, t0.B, c.YR, c.YG, c.YB, c.YK);
    const __m128i lt1 = Combine(t1.R, t1.G, t1.B, c.YR, c.YG, c.YB, c.YK);
    const __m128i lb0 = Combine(b0.R, b0.G, b0.B, c.YR, c.YG, c.YB, c.YK);
    const __m128i lb1 = Combine(b1.R, b1.G, b1.B, c.YR, c.YG, c.YB, c.YK);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y0 + x), _mm_packus_epi16(lt0, lt1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(y1 + x), _mm_packus_epi16(lb0, lb1));
    // Sums of 2 x 2 pixels: the rows added, then neighbours.
    const __m128i sr = _mm_hadd_epi16(_mm_add_epi16(t0.R, b0.R), _mm_add_epi16(t1.R, b1.R));
    const __m128i sg = _mm_hadd_epi16(_mm_add_epi16(t0.G, b0.G), _mm_add_epi16(t1.G, b1.G));
    const __m128i sb = _mm_hadd_epi16(_mm_add_epi16(t0.B, b0.B), _mm_add_epi16(t1.B, b1.B));
    const __m128i cu = Combine(sr, sg, sb, c.UR, c.UG, c.UB, c.UK);
    const __m128i cv = Combine(sr, sg, sb, c.VR, c.VG, c.VB, c.VK);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(u + x / 2), _mm_packus_epi16(cu, cu));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(v + x / 2), _mm_packus_epi16(cv, cv));
  }
  return x;
}

template <bool kFast>
void Convert(const uint8_t* rows, size_t stride, int bpp, int width, int height, const TYuvPlanes& out,
             TYuvMatrix matrix) {
  const TCoefficients& c = CoefficientsOf(matrix);
  for (int y = 0; y + 1 < height; y += 2) {
    // Row y from the top is row height - 1 - y of the bottom-up block.
    const uint8_t* top = rows + static_cast<size_t>(height - 1 - y) * stride;
    const uint8_t* bottom = top - stride;
    uint8_t* y0 = out.Y + y * out.YStride;
    uint8_t* y1 = y0 + out.YStride;
    uint8_t* u = out.U + (y / 2) * out.UStride;
    uint8_t* v = out.V + (y / 2) * out.VStride;
    const int done = kFast ? ConvertPairSsse3(top, bottom, bpp, width, y0, y1, u, v, c) : 0;
    ConvertPairPlain(top, bottom, bpp, done, width, y0, y1, u, v, c);
  }
}

}  // namespace

void ConvertToYuv420(const uint8_t* rows, size_t stride, int bytesPerPixel, int width, int height,
                     const TYuvPlanes& out, TYuvMatrix matrix) {
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3)
    Convert<true>(rows, stride, bytesPerPixel, width, height, out, matrix);
  else
    Convert<false>(rows, stride, bytesPerPixel, width, height, out, matrix);
}

void ConvertToYuv420Plain(const uint8_t* rows, size_t stride, int bytesPerPixel, int width, int height,
                          const TYuvPlanes& out, TYuvMatrix matrix) {
  Convert<false>(rows, stride, bytesPerPixel, width, height, out, matrix);
}

}  // namespace vexa
