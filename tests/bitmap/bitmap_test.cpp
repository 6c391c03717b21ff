#include "bitmap/bitmap.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "bitmap/fill_kernels.h"

namespace vexa {
namespace {

TEST(TABitmap, EmptyBitmapOwnsNothingAndIgnoresFillAndAlpha) {
  TABitmap b;
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.BitsPerPixel(), 32);
  EXPECT_FALSE(HasArea(b));
  b.Fill(0x12345678);
  b.SetAlpha(7);
  EXPECT_EQ(b.Bits(), nullptr);
  b.SetSize(5, 0);
  EXPECT_FALSE(HasArea(b));
  EXPECT_EQ(b.Bits(), nullptr);
}

TEST(TABitmap, RowsAreBottomUpAndContiguous) {
  TABitmap b;
  b.SetSize(3, 4);
  EXPECT_EQ(b.Stride(), 12u);
  EXPECT_EQ(b.ScanLine(3), b.Bits());
  EXPECT_EQ(b.ScanLine(0) + 3 * 4, b.Bits() + b.ByteSize());
  EXPECT_EQ(b.ScanLine(1), b.ScanLine(2) + 12);
  b.SetPixel(2, 0, 0xAABBCCDD);  // top right pixel is the last word of the block
  EXPECT_EQ(b.Pixels()[11], 0xAABBCCDDu);
  const uint8_t* last = b.Bits() + 44;
  EXPECT_EQ(last[0], 0xDD);  // blue first
  EXPECT_EQ(last[3], 0xAA);  // alpha last
}

TEST(TABitmap, SetSizeGivesWhiteTransparentPaperAndKeepsTheCommonTopLeft) {
  TABitmap b;
  b.SetSize(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(b.Pixel(x, y), 0xFFFFFFFFu);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      b.SetPixel(x, y, static_cast<uint32_t>(y * 10 + x));
  b.SetSize(6, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(b.Pixel(x, y), x < 4 ? static_cast<uint32_t>(y * 10 + x) : 0xFFFFFFFFu);
  b.SetSize(2, 5);
  EXPECT_EQ(b.Pixel(1, 1), 11u);
  EXPECT_EQ(b.Pixel(1, 2), 0xFFFFFFFFu);
  b.Clear();
  b.SetSize(1, 1);
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFFFFFFu);
}

TEST(TABitmap, AbsurdSizesAreRefused) {
  TABitmap b;
  b.SetSize(2, 2);
  EXPECT_THROW(b.SetSize(100000, 100000), TBitmapError);
  EXPECT_THROW(b.SetSize(30000, 30000), TBitmapError);
  EXPECT_EQ(b.Width(), 2);  // unchanged
  b.SetSize(-5, 3);
  EXPECT_FALSE(HasArea(b));
}

TEST(TABitmap, Force32BitAnd24BitState) {
  TABitmap b;
  b.SetSize(5, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x)
      b.SetPixel(x, y, 0x7F000000u | static_cast<uint32_t>(x * 0x010203 + y));
  TABitmap copy;
  copy.Assign(b);
  copy.Force32Bit();  // no change at 32 bits
  for (int x = 0; x < 5; ++x)
    EXPECT_EQ(copy.Pixel(x, 1), b.Pixel(x, 1));
  b.Convert24Bit();
  EXPECT_EQ(b.BitsPerPixel(), 24);
  EXPECT_EQ(b.Stride(), 16u);                  // 15 rounded up to 4
  EXPECT_EQ(b.ScanLine(1)[3 * 2], 2 * 3 + 1);  // blue of pixel (2, 1)
  TABitmap from24;
  from24.Assign(b);  // a 24-bit source gives alpha 0
  b.Force32Bit();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 5; ++x) {
      const uint32_t want = static_cast<uint32_t>(x * 0x010203 + y) & 0xFFFFFF;
      EXPECT_EQ(b.Pixel(x, y), want);
      EXPECT_EQ(from24.Pixel(x, y), want);
    }
}

TEST(TABitmap, FillAndSetAlphaCoverOddPixelCounts) {
  for (int w : {1, 3, 7, 9, 17}) {
    TABitmap b;
    b.SetSize(w, 3);
    b.Fill(0);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(b.Pixel(x, y), 0u);  // black, opaque
    b.Fill(0x80112233);
    b.SetAlpha(0x05);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(b.Pixel(x, y), 0x05112233u);
  }
}

TEST(TABitmap, FillKernelsAgreeOnUnalignedRuns) {
  std::mt19937 rng(5);
  std::vector<uint32_t> a(300), b(300);
  for (size_t start = 0; start < 5; ++start)
    for (size_t n : {0, 1, 7, 8, 9, 31, 33, 250}) {
      for (size_t i = 0; i < a.size(); ++i)
        a[i] = b[i] = rng();
      plain::SetAlphaPixels(a.data() + start, n, 0x9C);
      simd::SetAlphaPixels(b.data() + start, n, 0x9C);
      ASSERT_EQ(a, b);
      plain::FillPixels(a.data() + start, n, 0xDEADBEEF);
      simd::FillPixels(b.data() + start, n, 0xDEADBEEF);
      ASSERT_EQ(a, b);
      for (size_t i = 0; i < a.size(); ++i)
        ASSERT_EQ(a[i] == 0xDEADBEEF, i >= start && i < start + n) << i;
    }
}

TEST(TABitmap, AssignCopiesAndSwapExchanges) {
  TABitmap a, b;
  a.SetSize(2, 2);
  a.Fill(0xFE010203);
  b.Assign(a);
  EXPECT_EQ(b.Pixel(1, 1), 0xFE010203u);
  a.Fill(0);
  EXPECT_EQ(b.Pixel(1, 1), 0xFE010203u);
  TABitmap c;
  c.Swap(b);
  EXPECT_FALSE(HasArea(b));
  EXPECT_EQ(c.Pixel(0, 0), 0xFE010203u);
  TABitmap empty;
  c.Assign(empty);
  EXPECT_FALSE(HasArea(c));
}

TEST(TABitmap, MergeAlphaMaskReadsTheMaskBlueByteAsTransparency) {
  TABitmap colour, mask, dest;
  colour.SetSize(3, 2);
  mask.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      colour.SetPixel(x, y, 0x55000000u | static_cast<uint32_t>(0x102030 * (x + 1) + y));
      mask.SetPixel(x, y, 0x00AABB00u | static_cast<uint32_t>(x * 100 + y));
    }
  MergeAlphaMask(colour, mask, dest);
  EXPECT_EQ(mask.BitsPerPixel(), 24);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(dest.Pixel(x, y), (static_cast<uint32_t>(x * 100 + y) << 24) |
                                      (static_cast<uint32_t>(0x102030 * (x + 1) + y) & 0xFFFFFF));
  mask.Force32Bit();
  mask.Fill(0x000000FF);
  MergeAlphaMask(colour, mask, dest);
  EXPECT_EQ(dest.Pixel(2, 1) >> 24, 255u);
  EXPECT_EQ(dest.Pixel(2, 1) & 0xFFFFFF, colour.Pixel(2, 1) & 0xFFFFFF);
  TABitmap small;
  small.SetSize(2, 2);
  EXPECT_THROW(MergeAlphaMask(colour, small, dest), TBitmapError);
}

TEST(TABitmap, ColorToPixelSwapsRedAndBlue) {
  EXPECT_EQ(ColorToPixel(0x0000FF), 0x00FF0000u);  // red
  EXPECT_EQ(ColorToPixel(0xFF0000), 0x000000FFu);  // blue
  EXPECT_EQ(ColorToPixel(0x123456), 0x00563412u);
  EXPECT_EQ(ColorToPixel(0xFF123456), 0x00563412u);  // the high byte is no colour
}

}  // namespace
}  // namespace vexa
