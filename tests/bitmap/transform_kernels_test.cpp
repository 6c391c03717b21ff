// The transform kernels against plain scalar versions of their formulas, written here
// independently of the library's loops, on random pictures of awkward sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>

#include "bitmap/bilinear.h"
#include "bitmap/crop_bitmap.h"
#include "bitmap/mirror_bitmap.h"
#include "bitmap/rotate_bitmap.h"
#include "bitmap/tile_bitmap.h"

namespace vexa {
namespace {

TABitmap Random(int32_t w, int32_t h, std::mt19937& rng) {
  TABitmap b;
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, static_cast<uint32_t>(rng()));
  return b;
}

TABitmap Copy(const TABitmap& b) {
  TABitmap c;
  c.Assign(b);
  return c;
}

bool Same(const TABitmap& a, const TABitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

uint32_t Byte(uint32_t p, int b) {
  return (p >> (8 * b)) & 255;
}

// --- scalar references -------------------------------------------------------------------

struct RefGeometry {
  int64_t xStep, yStep, r0, c0;
};
RefGeometry Geometry(int32_t w, int32_t h, int32_t w2, int32_t h2) {
  RefGeometry g;
  g.xStep = static_cast<int64_t>(std::trunc(w * 65535.0 / w2));
  g.yStep = static_cast<int64_t>(std::trunc(h * 65535.0 / h2));
  g.r0 = static_cast<int64_t>(std::trunc((h - 1) * std::trunc(h2 * 65535.0 / h) / 65535.0));
  g.c0 = (static_cast<int64_t>(w - 1) * static_cast<int64_t>(std::trunc(w2 * 65535.0 / w))) >> 16;
  return g;
}

// Rows sampled for output row i: (upper, lower, accumulator).
void RowOf(int64_t i, const RefGeometry& g, int32_t h, int64_t bottomStart, int32_t& up, int32_t& low,
           int64_t& acc) {
  if (i < g.r0) {
    acc = i * g.yStep;
    up = static_cast<int32_t>(acc >> 16);
    low = std::min(up + 1, h - 1);
  } else {
    acc = bottomStart + (i - g.r0) * g.yStep;
    up = h - 1;
    low = std::max(h - 2, 0);
  }
}

void RefResize(const TABitmap& s, TABitmap& t) {
  const int32_t w = s.Width(), h = s.Height();
  const RefGeometry g = Geometry(w, h, t.Width(), t.Height());
  for (int32_t i = 0; i < t.Height(); ++i) {
    int32_t up, low;
    int64_t ay;
    RowOf(i, g, h, int64_t{h - 1} * 65535, up, low, ay);
    const uint32_t fy = (ay >> 9) & 127;
    for (int32_t j = 0; j < t.Width(); ++j) {
      const int64_t ax = j * g.xStep;
      const int32_t sx = static_cast<int32_t>(ax >> 16), sx1 = std::min(sx + 1, w - 1);
      const uint32_t fx = (ax >> 9) & 127;
      uint32_t v[4];
      for (int b = 0; b < 4; ++b) {
        const uint32_t u = std::min<uint32_t>(65535, Byte(s.Pixel(sx, up), b) * (128 - fx) +
                                                         Byte(s.Pixel(sx1, up), b) * fx) >>
                           7;
        const uint32_t l = std::min<uint32_t>(65535, Byte(s.Pixel(sx, low), b) * (128 - fx) +
                                                         Byte(s.Pixel(sx1, low), b) * fx) >>
                           7;
        v[b] = std::min<uint32_t>(255, std::min<uint32_t>(65535, u * (128 - fy) + l * fy) >> 7);
      }
      const uint32_t c = (v[3] >> 1) + 1, old = t.Pixel(j, i);
      uint32_t out = 0;
      for (int b = 0; b < 4; ++b)
        out |= std::min<uint32_t>(255, ((128 - c) * v[b] + c * Byte(old, b)) >> 7) << (8 * b);
      t.SetPixel(j, i, out);
    }
  }
}

void RefScale(const TABitmap& s, TABitmap& t) {
  const int32_t w = s.Width(), h = s.Height();
  const RefGeometry g = Geometry(w, h, t.Width(), t.Height());
  for (int32_t i = 0; i < t.Height(); ++i) {
    int32_t up, low;
    int64_t ay;
    RowOf(i, g, h, int64_t{h - 1} * 65536, up, low, ay);
    const uint32_t fy = (ay >> 8) & 255;
    for (int32_t j = 0; j < t.Width(); ++j) {
      // Columns from C0 on sample one step behind; the first column never before the source.
      const int64_t ax = std::max<int64_t>(0, (j >= g.c0 ? j - 1 : j) * g.xStep);
      const int32_t sx = static_cast<int32_t>(ax >> 16), sx1 = std::min(sx + 1, w - 1);
      const uint32_t fx = (ax >> 8) & 255;
      uint32_t out = 0;
      for (int b = 0; b < 4; ++b) {
        const uint32_t u = std::min<uint32_t>(65535, Byte(s.Pixel(sx, up), b) * (255 - fx) +
                                                         Byte(s.Pixel(sx1, up), b) * fx) >>
                           8;
        const uint32_t l = std::min<uint32_t>(65535, Byte(s.Pixel(sx, low), b) * (255 - fx) +
                                                         Byte(s.Pixel(sx1, low), b) * fx) >>
                           8;
        out |= std::min<uint32_t>(255, std::min<uint32_t>(65535, u * (255 - fy) + l * fy) >> 8) << (8 * b);
      }
      t.SetPixel(j, i, out);
    }
  }
}

TRotateOffset RefRotate(const TABitmap& s, TABitmap& t, int32_t ox, int32_t oy, int32_t angle) {
  const int32_t g = ((angle % 1000) + 1000) % 1000;
  if (g == 0) {
    t.Assign(s);
    return {};
  }
  const double th = g * 0.36 * 0.017453292519943295769;
  const int32_t c = static_cast<int32_t>(std::nearbyint(std::cos(th) * 1024));
  const int32_t sn = static_cast<int32_t>(std::nearbyint(std::sin(-th) * 1024));
  const int32_t w = s.Width(), h = s.Height();
  const int32_t w2 = (std::abs(c * w) + std::abs(sn * h)) >> 10,
                h2 = (std::abs(sn * w) + std::abs(c * h)) >> 10;
  const int32_t hw = w / 2, hh = h / 2, nw = w2 >> 1, nh = h2 >> 1;
  const int32_t ex =
      static_cast<int32_t>(std::trunc(std::cos(th) * (ox - hw) - std::sin(th) * (oy - hh) + nw));
  const int32_t ey =
      static_cast<int32_t>(std::trunc(std::sin(th) * (ox - hw) + std::cos(th) * (oy - hh) + nh));
  t.Clear();
  t.SetSize(w2, h2);
  for (int32_t i = 0; i < h2; ++i)
    for (int32_t j = 0; j < w2; ++j) {
      const int32_t dx = j - nw, dy = i - nh;
      const int32_t sx = hw * 1024 + c * dx - sn * dy, sy = hh * 1024 + sn * dx + c * dy;
      const bool in = sx >= 0 && sy >= 0 && (sx >> 10) < w && (sy >> 10) < h;
      t.SetPixel(j, i, in ? s.Pixel(sx >> 10, sy >> 10) : 0xFF000000u);
    }
  return {ox - ex, oy - ey};
}

// Source widths and heights worth trying: 1, 2, odd and even, smaller and larger than targets.
constexpr int32_t kSizes[] = {1, 2, 3, 7, 16, 33};

TEST(ResizeBilinear, MatchesTheFormulasOverFreshAndUsedPaper) {
  std::mt19937 rng(7);
  for (int32_t w : kSizes)
    for (int32_t h : kSizes)
      for (int32_t w2 : {1, 2, 5, 31, 64, 300})
        for (int32_t h2 : {1, 3, 17, 40}) {
          const TABitmap src = Random(w, h, rng);
          // Fresh paper as the size effect makes it, and a target with random pixels.
          for (bool fresh : {true, false}) {
            TABitmap t;
            if (fresh)
              t.SetSize(w2, h2);
            else
              t = Random(w2, h2, rng);
            TABitmap expected = Copy(t);
            RefResize(src, expected);
            const uint8_t* block = t.Bits();
            ResizeBilinear(src, t);
            ASSERT_TRUE(Same(t, expected))
                << w << "x" << h << " -> " << w2 << "x" << h2 << " fresh " << fresh;
            EXPECT_EQ(t.Bits(), block);  // written in place, nothing allocated
          }
        }
}

TEST(ResizeBilinear, TransparentPicturesLeaveThePaperAndOpaqueOnesReplaceIt) {
  TABitmap src;
  src.SetSize(9, 5);
  src.Fill(0xFF123456);  // fully transparent
  TABitmap t;
  t.SetSize(20, 11);
  ResizeBilinear(src, t);
  for (int32_t y = 0; y < 11; ++y)
    for (int32_t x = 0; x < 20; ++x)
      ASSERT_EQ(t.Pixel(x, y), 0xFFFFFFFFu);
  src.Fill(0x00C8C8C8);  // opaque grey 200: (127 * 200 + 255) >> 7 = 200, alpha (0 + 255) >> 7 = 1
  ResizeBilinear(src, t);
  EXPECT_EQ(t.Pixel(0, 0), 0x01C8C8C8u);
  EXPECT_EQ(t.Pixel(19, 10), 0x01C8C8C8u);
}

TEST(ScaleBilinear, MatchesTheFormulas) {
  std::mt19937 rng(11);
  for (int32_t w : kSizes)
    for (int32_t h : kSizes)
      for (int32_t w2 : {1, 2, 5, 31, 64, 300})
        for (int32_t h2 : {1, 3, 17, 40}) {
          const TABitmap src = Random(w, h, rng);
          TABitmap t = Random(w2, h2, rng);
          TABitmap expected = Copy(t);
          RefScale(src, expected);
          ScaleBilinear(src, t);
          ASSERT_TRUE(Same(t, expected)) << w << "x" << h << " -> " << w2 << "x" << h2;
        }
}

TEST(ScaleBilinear, WhiteComesOutAs253AndTwoColumnsStayInside) {
  TABitmap src;
  src.SetSize(6, 4);
  src.Fill(0xFFFFFFFF);
  TABitmap t;
  t.SetSize(13, 9);
  ScaleBilinear(src, t);
  EXPECT_EQ(t.Pixel(0, 0), 0xFDFDFDFDu);
  EXPECT_EQ(t.Pixel(12, 8), 0xFDFDFDFDu);
  // Two columns onto two columns: C0 is 0, and column 0 samples the source's first column.
  TABitmap two;
  two.SetSize(2, 3);
  two.Fill(0);
  two.SetPixel(0, 0, 0x000000FF);
  TABitmap t2;
  t2.SetSize(2, 5);
  ScaleBilinear(two, t2);
  EXPECT_EQ(t2.Pixel(0, 0) & 0xFF, (((255u * 255) >> 8) * 255) >> 8);
}

TEST(RotateBitmap, MatchesTheFormulas) {
  std::mt19937 rng(3);
  for (int32_t w : kSizes)
    for (int32_t h : {1, 2, 5, 20})
      for (int32_t angle : {1, 37, 125, 250, 333, 500, 750, 999, -1, -250, 1250, 2100000000}) {
        const TABitmap src = Random(w, h, rng);
        const int32_t ox = static_cast<int32_t>(rng() % (w + 1)), oy = static_cast<int32_t>(rng() % (h + 1));
        TABitmap expected;
        const TRotateOffset eo = RefRotate(src, expected, ox, oy, angle);
        TABitmap t = Random(3, 3, rng);
        const TRotateOffset o = RotateBitmap(src, t, ox, oy, angle);
        ASSERT_TRUE(Same(t, expected)) << w << "x" << h << " angle " << angle;
        EXPECT_EQ(o.X, eo.X);
        EXPECT_EQ(o.Y, eo.Y);
      }
}

TEST(RotateBitmap, QuarterTurnTurnsClockwiseAndKeepsTheOriginInPlace) {
  TABitmap src;
  src.SetSize(100, 50);
  src.Fill(0);
  // The top-left 2 x 2 corner (at exactly 90 degrees the nearest-neighbour mapping drops the
  // source's first row, so a single corner pixel would not show).
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 2; ++x)
      src.SetPixel(x, y, 0x00ABCDEF);
  TABitmap t;
  const TRotateOffset o = RotateBitmap(src, t, 0, 0, 250);
  ASSERT_EQ(t.Width(), 50);
  ASSERT_EQ(t.Height(), 100);
  // Turned clockwise, the top-left corner lands at the top-right.
  int32_t fx = -1, fy = -1;
  for (int32_t y = 0; y < t.Height(); ++y)
    for (int32_t x = 0; x < t.Width(); ++x)
      if (t.Pixel(x, y) == 0x00ABCDEFu && fx < 0) fx = x, fy = y;
  EXPECT_GE(fx, 47);
  EXPECT_LE(fy, 2);
  // Placed at the offset, the corner stays where the picture's corner was.
  EXPECT_LE(std::abs(o.X + fx), 2);
  EXPECT_LE(std::abs(o.Y + fy), 2);
}

TEST(RotateBitmap, WholeTurnsCopyThePicture) {
  std::mt19937 rng(5);
  const TABitmap src = Random(7, 3, rng);
  for (int32_t angle : {0, 1000, -1000, 5000}) {
    TABitmap t;
    const TRotateOffset o = RotateBitmap(src, t, 3, 1, angle);
    EXPECT_TRUE(Same(t, src));
    EXPECT_EQ(o.X, 0);
    EXPECT_EQ(o.Y, 0);
  }
}

TEST(CropBitmap, CopiesTheRectangleAndRefusesRectanglesOutside) {
  std::mt19937 rng(9);
  const TABitmap src = Random(31, 17, rng);
  TABitmap t;
  CropBitmap(5, 3, 20, 9, t, src);
  ASSERT_EQ(t.Width(), 20);
  ASSERT_EQ(t.Height(), 9);
  for (int32_t y = 0; y < 9; ++y)
    for (int32_t x = 0; x < 20; ++x)
      ASSERT_EQ(t.Pixel(x, y), src.Pixel(x + 5, y + 3));
  CropBitmap(0, 0, 31, 17, t, src);
  EXPECT_TRUE(Same(t, src));

  const TABitmap before = Copy(t);
  CropBitmap(12, 0, 20, 5, t, src);  // one column past the right edge
  CropBitmap(0, 1, 5, 17, t, src);   // one row past the bottom
  CropBitmap(0, 0, 0, 5, t, src);
  CropBitmap(0, 0, 5, -1, t, src);
  EXPECT_TRUE(Same(t, before));

  CropBitmap(-2, 0, 10, 4, t, src);  // a negative edge copies nothing onto fresh paper
  ASSERT_EQ(t.Width(), 10);
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 10; ++x)
      ASSERT_EQ(t.Pixel(x, y), 0xFFFFFFFFu);
}

TEST(Mirror, ReversesColumnsOrRowsOfEverySize) {
  std::mt19937 rng(13);
  for (int32_t w : kSizes)
    for (int32_t h : kSizes) {
      const TABitmap src = Random(w, h, rng);
      TABitmap hor, ver;
      MirrorHorizontal(src, hor);
      MirrorVertical(src, ver);
      ASSERT_EQ(hor.Width(), w);
      ASSERT_EQ(ver.Height(), h);
      for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
          ASSERT_EQ(hor.Pixel(w - 1 - x, y), src.Pixel(x, y));
          ASSERT_EQ(ver.Pixel(x, h - 1 - y), src.Pixel(x, y));
        }
    }
}

TEST(Mirror, ReusesATargetOfTheSameSizeAndWorksInPlace) {
  std::mt19937 rng(15);
  TABitmap src = Random(9, 4, rng);
  TABitmap t = Random(9, 4, rng);
  const uint8_t* block = t.Bits();
  MirrorVertical(src, t);
  EXPECT_EQ(t.Bits(), block);
  MirrorVertical(t, t);  // the same picture as source and target
  EXPECT_TRUE(Same(t, src));
  MirrorHorizontal(src, src);
  MirrorHorizontal(src, src);
  EXPECT_TRUE(Same(t, src));
}

TEST(TileBitmap, RepeatsThePictureFromTheTopLeftAndCutsTheLastCopies) {
  std::mt19937 rng(17);
  const TABitmap src = Random(30, 20, rng);
  TABitmap t;
  TileBitmap(100, 50, src, t);
  ASSERT_EQ(t.Width(), 100);
  ASSERT_EQ(t.Height(), 50);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 100; ++x)
      ASSERT_EQ(t.Pixel(x, y), src.Pixel(x % 30, y % 20));
  TileBitmap(7, 3, src, t);  // smaller than the picture: its top-left part
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 7; ++x)
      ASSERT_EQ(t.Pixel(x, y), src.Pixel(x, y));
  const TABitmap before = Copy(t);
  TileBitmap(0, 5, src, t);
  TileBitmap(5, -1, src, t);
  EXPECT_TRUE(Same(t, before));
}

TEST(TransformKernels, EmptyPicturesLeaveEverythingUntouched) {
  std::mt19937 rng(19);
  const TABitmap empty;
  TABitmap zeroWide;
  zeroWide.SetSize(0, 5);
  for (const TABitmap* e : {&empty, static_cast<const TABitmap*>(&zeroWide)}) {
    TABitmap t = Random(4, 3, rng);
    const TABitmap before = Copy(t);
    const uint8_t* block = t.Bits();
    ResizeBilinear(*e, t);
    ScaleBilinear(*e, t);
    const TRotateOffset o = RotateBitmap(*e, t, 1, 1, 100);
    CropBitmap(0, 0, 1, 1, t, *e);
    MirrorHorizontal(*e, t);
    MirrorVertical(*e, t);
    TileBitmap(5, 5, *e, t);
    EXPECT_TRUE(Same(t, before));
    EXPECT_EQ(t.Bits(), block);
    EXPECT_EQ(o.X, 0);
    EXPECT_EQ(o.Y, 0);
  }
  // An empty target of the resamplers stays empty.
  const TABitmap src = Random(4, 3, rng);
  TABitmap t;
  ResizeBilinear(src, t);
  ScaleBilinear(src, t);
  EXPECT_FALSE(HasArea(t));
}

TEST(TransformKernels, AbsurdSizesAreRefusedWithoutTouchingTheTarget) {
  TABitmap src;
  src.SetSize(2, 2);
  TABitmap t;
  t.SetSize(3, 3);
  EXPECT_THROW(TileBitmap(kMaxBitmapSide + 1, 2, src, t), TBitmapError);
  EXPECT_EQ(t.Width(), 3);
}

}  // namespace
}  // namespace vexa
