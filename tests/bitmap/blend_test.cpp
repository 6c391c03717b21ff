#include "bitmap/blend.h"

#include <gtest/gtest.h>

#include "bitmap/simd_support.h"

#include <functional>
#include <random>

namespace vexa {
namespace {

enum class Kernel { Copy, Alpha, AlphaOpacity, Add, Sub };

// The formulas, written out pixel by pixel, with the SIMD path's two group shortcuts when
// `groups` is set. Independent of the library's row code.
void Reference(Kernel k, bool groups, const TABitmap& src, TABitmap& dst, int32_t dx, int32_t dy, int32_t w,
               int32_t h, int32_t sx, int32_t sy, uint32_t o) {
  if (!HasArea(src) || !HasArea(dst)) return;
  if (k == Kernel::Copy) {
    if (w <= 0 || h <= 0 || sx < 0 || sy < 0 || dx < 0 || dy < 0 || sx + w > src.Width() ||
        sy + h > src.Height() || dx + w > dst.Width() || dy + h > dst.Height())
      return;
  } else if (!ClipBlendRect(sx, sy, w, h, dx, dy, dst.Width(), dst.Height())) {
    return;
  }
  for (int32_t y = 0; y < h; ++y) {
    const int32_t full = w - w % 8;  // pixels handled in groups of 4
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t sp = src.Pixel(sx + x, sy + y);
      uint32_t dp = dst.Pixel(dx + x, dy + y);
      if (groups && x < full) {
        const int32_t g = x - x % 4;
        bool allZero = true, allFull = true;
        for (int i = 0; i < 4; ++i) {
          const uint32_t a = src.Pixel(sx + g + i, sy + y) >> 24;
          allZero &= a == 0;
          allFull &= a == 255;
        }
        if (k == Kernel::Alpha && allZero) {
          dst.SetPixel(dx + x, dy + y, sp);
          continue;
        }
        if (k == Kernel::AlphaOpacity && allFull) continue;
      }
      const uint32_t t = sp >> 24;
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c) {
        const uint32_t S = (sp >> (8 * c)) & 255, D = (dp >> (8 * c)) & 255;
        uint32_t r = D;
        switch (k) {
          case Kernel::Copy:
            r = S;
            break;
          case Kernel::Alpha:
            r = (S * (255 - t) + D * (t + 1)) >> 8;
            break;
          case Kernel::AlphaOpacity: {
            const uint32_t kk = ((255 - t) * o) >> 8;
            r = (S * kk + D * (255 - kk)) >> 8;
            break;
          }
          case Kernel::Add:
            if (c < 3) r = std::min<uint32_t>(255, D + ((S * o) >> 8));
            break;
          case Kernel::Sub:
            if (c < 3) r = D > ((S * o) >> 8) ? D - ((S * o) >> 8) : 0;
            break;
        }
        out |= r << (8 * c);
      }
      dst.SetPixel(dx + x, dy + y, out);
    }
  }
}

using Run = std::function<void(Kernel, const TABitmap&, TABitmap&, int32_t, int32_t, int32_t, int32_t,
                               int32_t, int32_t, uint16_t)>;

template <int Path>
void RunPath(Kernel k, const TABitmap& s, TABitmap& d, int32_t dx, int32_t dy, int32_t w, int32_t h,
             int32_t sx, int32_t sy, uint16_t o) {
#define VEXA_CALL(NS)                                       \
  switch (k) {                                              \
    case Kernel::Copy:                                      \
      NS::BlendCopy(sx, sy, w, h, dx, dy, s, d);            \
      break;                                                \
    case Kernel::Alpha:                                     \
      NS::BlendAlpha(s, dx, dy, w, h, sx, sy, d);           \
      break;                                                \
    case Kernel::AlphaOpacity:                              \
      NS::BlendAlphaOpacity(s, dx, dy, w, h, sx, sy, d, o); \
      break;                                                \
    case Kernel::Add:                                       \
      NS::BlendAdd(s, dx, dy, w, h, sx, sy, d, o);          \
      break;                                                \
    case Kernel::Sub:                                       \
      NS::BlendSub(s, dx, dy, w, h, sx, sy, d, o);          \
      break;                                                \
  }
  if constexpr (Path == 0) {
    VEXA_CALL(plain)
  } else if constexpr (Path == 1) {
    VEXA_CALL(sse2)
  } else if constexpr (Path == 2) {
    VEXA_CALL(simd)
  } else if constexpr (Path == 3) {
    VEXA_CALL(avx2)
  } else {
    VEXA_CALL(avx512)
  }
#undef VEXA_CALL
}

uint32_t RandomPixel(std::mt19937& rng) {
  uint32_t p = rng() & 0xFFFFFF;
  switch (rng() % 4) {
    case 0:
      return p;  // opaque
    case 1:
      return p | 0xFF000000u;  // transparent
    default:
      return p | (rng() & 0xFF000000u);  // anything
  }
}

// Pictures with runs of equal alpha so that whole groups take the shortcuts.
void RandomPicture(std::mt19937& rng, TABitmap& b, int32_t w, int32_t h) {
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w;) {
      const uint32_t alpha = RandomPixel(rng) & 0xFF000000u;
      const int32_t run = 1 + static_cast<int32_t>(rng() % 9);
      for (int32_t i = 0; i < run && x < w; ++i, ++x)
        b.SetPixel(x, y, (rng() & 0xFFFFFF) | alpha);
    }
}

class BlendPaths : public testing::TestWithParam<int> {};

TEST_P(BlendPaths, MatchTheFormulasOnRandomRectangles) {
  const int path = GetParam();
  if ((path == 1 && !SimdAvailable()) || (path == 3 && !Avx2Available()) || (path == 4 && !Avx512Available()))
    GTEST_SKIP() << "the processor lacks this path";
  std::mt19937 rng(42 + path);
  // Widths up to 73 give several 16-pixel blocks followed by every possible rest.
  for (int round = 0; round < 600; ++round) {
    TABitmap src, dst;
    RandomPicture(rng, src, 1 + static_cast<int32_t>(rng() % 73), 1 + static_cast<int32_t>(rng() % 7));
    RandomPicture(rng, dst, 1 + static_cast<int32_t>(rng() % 77), 1 + static_cast<int32_t>(rng() % 7));
    const int32_t w = 1 + static_cast<int32_t>(rng() % src.Width()),
                  h = 1 + static_cast<int32_t>(rng() % src.Height());
    const int32_t sx = static_cast<int32_t>(rng() % (src.Width() - w + 1));
    const int32_t sy = static_cast<int32_t>(rng() % (src.Height() - h + 1));
    const int32_t dx = static_cast<int32_t>(rng() % (dst.Width() + 10)) - 5;
    const int32_t dy = static_cast<int32_t>(rng() % (dst.Height() + 4)) - 2;
    const uint16_t o = static_cast<uint16_t>(rng() % 256);
    for (Kernel k : {Kernel::Copy, Kernel::Alpha, Kernel::AlphaOpacity, Kernel::Add, Kernel::Sub}) {
      TABitmap want, got;
      want.Assign(dst);
      got.Assign(dst);
      Reference(k, path != 0, src, want, dx, dy, w, h, sx, sy, o);
      if (path == 0) RunPath<0>(k, src, got, dx, dy, w, h, sx, sy, o);
      if (path == 1) RunPath<1>(k, src, got, dx, dy, w, h, sx, sy, o);
      if (path == 2) RunPath<2>(k, src, got, dx, dy, w, h, sx, sy, o);
      if (path == 3) RunPath<3>(k, src, got, dx, dy, w, h, sx, sy, o);
      if (path == 4) RunPath<4>(k, src, got, dx, dy, w, h, sx, sy, o);
      for (int32_t y = 0; y < dst.Height(); ++y)
        for (int32_t x = 0; x < dst.Width(); ++x)
          ASSERT_EQ(got.Pixel(x, y), want.Pixel(x, y))
              << "kernel " << static_cast<int>(k) << " round " << round << " at " << x << "," << y;
    }
  }
}

std::string PathName(const testing::TestParamInfo<int>& i) {
  static const char* const kNames[] = {"Plain", "Sse2", "Simd", "Avx2", "Avx512"};
  return kNames[i.param];
}

INSTANTIATE_TEST_SUITE_P(Paths, BlendPaths, testing::Values(0, 1, 2, 3, 4), PathName);

TEST(Blend, DocumentedValues) {
  TABitmap s, d;
  s.SetSize(1, 1);
  d.SetSize(1, 1);
  s.Fill(0x00C8C8C8);  // 200, opaque
  d.Fill(0x00646464);  // 100
  plain::BlendAdd(s, 0, 0, 1, 1, 0, 0, d, 255);
  EXPECT_EQ(d.Pixel(0, 0), 0x00FFFFFFu);
  d.Fill(0x7F646464);
  plain::BlendSub(s, 0, 0, 1, 1, 0, 0, d, 255);
  EXPECT_EQ(d.Pixel(0, 0), 0x7F000000u);  // 200 * 255 >> 8 = 199 > 100; alpha kept
  s.Fill(0xFF102030);                     // fully transparent
  d.Fill(0x11223344);
  plain::BlendAlpha(s, 0, 0, 1, 1, 0, 0, d);
  EXPECT_EQ(d.Pixel(0, 0), 0x11223344u);
  s.Fill(0x00FFFFFF);
  d.Fill(0);
  plain::BlendAlpha(s, 0, 0, 1, 1, 0, 0, d);
  EXPECT_EQ(d.Pixel(0, 0), 0x00FEFEFEu);  // (255 * 255 + 0) >> 8
}

TEST(Blend, OpaqueGroupsCopyButLonePixelsFollowTheFormula) {
  TABitmap s, d;
  // At every register width: the whole groups of a row land unchanged, the last Width mod 8
  // pixels follow the formula.
  using Kernel = void (*)(const TABitmap&, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t, TABitmap&);
  for (Kernel blend : {Kernel{sse2::BlendAlpha}, Kernel{avx2::BlendAlpha}, Kernel{avx512::BlendAlpha}})
    for (int32_t width : {9, 25, 31, 47}) {
      s.SetSize(width, 1);
      d.SetSize(width, 1);
      s.Fill(0x00FFFFFF);
      d.Fill(0x00000000);
      blend(s, 0, 0, width, 1, 0, 0, d);
      for (int x = 0; x < width; ++x)
        EXPECT_EQ(d.Pixel(x, 0), x < width - width % 8 ? 0x00FFFFFFu : 0x00FEFEFEu) << width << " at " << x;
    }
  s.SetSize(9, 1);
  d.SetSize(9, 1);
  s.Fill(0x00FFFFFF);
  d.Fill(0x00000000);
  plain::BlendAlpha(s, 0, 0, 9, 1, 0, 0, d);
  EXPECT_EQ(d.Pixel(0, 0), 0x00FEFEFEu);
}

TEST(Blend, ClipBlendRect) {
  int32_t sx = 3, sy = 0, w = 1000, h = 10, dx = -10, dy = 5;
  ASSERT_TRUE(ClipBlendRect(sx, sy, w, h, dx, dy, 640, 480));
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(sx, 13);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 10);
  sx = 0, sy = 0, w = 10, h = 10, dx = 0, dy = -4;
  ASSERT_TRUE(ClipBlendRect(sx, sy, w, h, dx, dy, 640, 8));
  EXPECT_EQ(sy, 4);
  EXPECT_EQ(h, 6);
  w = 10, h = 10, dx = -10, dy = 0;
  EXPECT_FALSE(ClipBlendRect(sx, sy, w, h, dx, dy, 640, 480));  // ends exactly at the left edge
  w = 10, h = 10, dx = 640, dy = 0;
  EXPECT_FALSE(ClipBlendRect(sx, sy, w, h, dx, dy, 640, 480));
  w = 10, h = 10, dx = 0, dy = 480;
  EXPECT_FALSE(ClipBlendRect(sx, sy, w, h, dx, dy, 640, 480));
}

TEST(Blend, RectanglesOutsideThePicturesDrawNothing) {
  TABitmap s, d, empty;
  s.SetSize(4, 4);
  s.Fill(0x00123456);
  d.SetSize(4, 4);
  d.Fill(0x00ABCDEF);
  simd::BlendCopy(1, 0, 4, 4, 0, 0, s, d);   // source rectangle sticks out
  simd::BlendCopy(0, 0, 4, 4, 1, 0, s, d);   // destination rectangle sticks out
  simd::BlendCopy(0, 0, 0, 4, 0, 0, s, d);   // no width
  simd::BlendAlpha(s, 0, 0, 4, 4, 2, 0, d);  // source rectangle beyond the source
  simd::BlendAlpha(empty, 0, 0, 4, 4, 0, 0, d);
  simd::BlendAlpha(s, 0, 0, 4, 4, 0, 0, empty);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(d.Pixel(x, y), 0x00ABCDEFu);
  simd::BlendCopy(0, 0, 4, 4, 0, 0, s, d);
  EXPECT_EQ(d.Pixel(3, 3), 0x00123456u);
}

}  // namespace
}  // namespace vexa
