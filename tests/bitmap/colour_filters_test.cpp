// The colour filters against straightforward per-pixel references of their formulas, on random
// pictures of awkward sizes, plus the worked examples.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "bitmap/colour_filters.h"

namespace vexa {
namespace {

struct TSize {
  int32_t W, H;
};
// Odd widths (so the 4-pixel blocks leave a tail), a single pixel, single rows and columns.
constexpr TSize kSizes[] = {{1, 1}, {2, 1}, {1, 3}, {3, 5}, {7, 7}, {13, 4}, {33, 9}, {64, 3}, {101, 17}};

TABitmap RandomPicture(int32_t w, int32_t h, uint32_t seed) {
  TABitmap b;
  b.SetSize(w, h);
  std::mt19937 rng(seed);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, static_cast<uint32_t>(rng()));
  return b;
}

std::vector<uint32_t> PixelsOf(const TABitmap& b) {
  return std::vector<uint32_t>(b.Pixels(), b.Pixels() + size_t(b.Width()) * size_t(b.Height()));
}

uint32_t Ch(uint32_t p, int c) {
  return (p >> (8 * c)) & 0xFF;
}  // 0 blue, 1 green, 2 red, 3 alpha
uint32_t Make(uint32_t b, uint32_t g, uint32_t r, uint32_t a) {
  return a << 24 | r << 16 | g << 8 | b;
}
uint32_t Luma(uint32_t p) {
  return (77 * Ch(p, 2) + 150 * Ch(p, 1) + 29 * Ch(p, 0)) >> 8;
}

// Runs the kernel on random pictures of every size and compares each pixel with ref(pixel).
void CheckPerPixel(const std::function<void(TABitmap&)>& kernel,
                   const std::function<uint32_t(uint32_t)>& ref) {
  uint32_t seed = 1;
  for (TSize s : kSizes) {
    TABitmap b = RandomPicture(s.W, s.H, seed++);
    const std::vector<uint32_t> before = PixelsOf(b);
    kernel(b);
    const std::vector<uint32_t> after = PixelsOf(b);
    for (size_t i = 0; i < before.size(); ++i) {
      ASSERT_EQ(after[i], ref(before[i]))
          << s.W << "x" << s.H << " pixel " << i << " from " << std::hex << before[i];
      ASSERT_EQ(Ch(after[i], 3), Ch(before[i], 3));
    }
  }
}

TEST(ColourFilters, EmptyPicturesAreLeftAlone) {
  TABitmap empty;
  ToMonochrome(empty);
  ToneChange(empty, 1, 2, 3);
  AdjustBrightness(empty, 100);
  AdjustChannels(1, 2, 3, empty);
  FadeToGray(empty, 100);
  std::mt19937 rng(1);
  AddBrightnessNoise(empty, 255, TRandomDraw(rng));
  AddColorNoise(empty, 255, TRandomDraw(rng));
  InvertColors(empty);
  Pixelate(0, 0, 0, 0, empty, 255);
  SplitBlurPass(empty, 255);
  EXPECT_EQ(empty.Width(), 0);
  EXPECT_EQ(empty.Bits(), nullptr);
}

TEST(ColourFilters, MonochromeMatchesReference) {
  CheckPerPixel([](TABitmap& b) { ToMonochrome(b); },
                [](uint32_t p) { return Make(Luma(p), Luma(p), Luma(p), Ch(p, 3)); });
  TABitmap b;
  b.SetSize(2, 1);
  b.SetPixel(0, 0, Make(0, 0, 255, 7));  // pure red
  b.SetPixel(1, 0, Make(255, 0, 0, 0));  // pure blue
  ToMonochrome(b);
  EXPECT_EQ(b.Pixel(0, 0), Make(76, 76, 76, 7));
  EXPECT_EQ(b.Pixel(1, 0), Make(28, 28, 28, 0));
}

TEST(ColourFilters, ToneChangeMatchesReference) {
  for (std::array<uint32_t, 3> t : {std::array<uint32_t, 3>{235, 200, 135}, {255, 255, 255}, {0, 17, 254}}) {
    CheckPerPixel([&](TABitmap& b) { ToneChange(b, uint8_t(t[0]), uint8_t(t[1]), uint8_t(t[2])); },
                  [&](uint32_t p) {
                    const uint32_t k = Luma(p) + 1;
                    return Make((t[2] * k) >> 8, (t[1] * k) >> 8, (t[0] * k) >> 8, Ch(p, 3));
                  });
  }
  TABitmap b;
  b.SetSize(2, 1);
  b.SetPixel(0, 0, 0x00FFFFFF);
  b.SetPixel(1, 0, 0x80000000);
  ToneChange(b, 235, 200, 135);
  EXPECT_EQ(b.Pixel(0, 0), Make(135, 200, 235, 0));
  EXPECT_EQ(b.Pixel(1, 0), 0x80000000u);
}

uint32_t SaturatedAdd(uint32_t p, int db, int dg, int dr) {
  auto f = [](uint32_t c, int d) { return uint32_t(std::clamp(int(c) + d, 0, 255)); };
  return Make(f(Ch(p, 0), db), f(Ch(p, 1), dg), f(Ch(p, 2), dr), Ch(p, 3));
}

TEST(ColourFilters, BrightnessMatchesReferenceAndClamps) {
  for (int v : {-255, -100, -1, 0, 1, 77, 255}) {
    CheckPerPixel([&](TABitmap& b) { AdjustBrightness(b, v); },
                  [&](uint32_t p) { return SaturatedAdd(p, v, v, v); });
  }
  TABitmap b = RandomPicture(9, 3, 42);
  AdjustBrightness(b, 300);
  for (uint32_t p : PixelsOf(b))
    EXPECT_EQ(p & 0xFFFFFF, 0xFFFFFFu);
  AdjustBrightness(b, -1000);
  for (uint32_t p : PixelsOf(b))
    EXPECT_EQ(p & 0xFFFFFF, 0u);
}

TEST(ColourFilters, ChannelsMatchReference) {
  const int cases[][3] = {{100, 0, -100}, {-255, 255, 3}, {400, -400, 0}, {0, 0, 0}};
  for (const auto& c : cases) {
    const int r = std::clamp(c[0], -255, 255), g = std::clamp(c[1], -255, 255),
              bl = std::clamp(c[2], -255, 255);
    CheckPerPixel([&](TABitmap& b) { AdjustChannels(c[0], c[1], c[2], b); },
                  [&](uint32_t p) { return SaturatedAdd(p, bl, g, r); });
  }
  TABitmap b;
  b.SetSize(1, 1);
  b.SetPixel(0, 0, Make(50, 100, 200, 9));
  AdjustChannels(100, 0, -100, b);
  EXPECT_EQ(b.Pixel(0, 0), Make(0, 100, 255, 9));
}

TEST(ColourFilters, FadeToGrayMatchesReference) {
  for (uint32_t s : {0u, 1u, 128u, 254u, 255u}) {
    CheckPerPixel([&](TABitmap& b) { FadeToGray(b, uint8_t(s)); },
                  [&](uint32_t p) {
                    const uint32_t g = ((77 * Ch(p, 2) + 150 * Ch(p, 1) + 29 * Ch(p, 0)) * s) >> 16;
                    auto f = [&](int c) { return ((Ch(p, c) * (255 - s)) >> 8) + g; };
                    return Make(f(0), f(1), f(2), Ch(p, 3));
                  });
  }
  TABitmap b;
  b.SetSize(1, 1);
  b.SetPixel(0, 0, Make(0, 0, 255, 0));
  FadeToGray(b, 255);
  EXPECT_EQ(b.Pixel(0, 0), Make(76, 76, 76, 0));
}

TEST(ColourFilters, InvertMatchesReferenceAndTwiceRestores) {
  CheckPerPixel([](TABitmap& b) { InvertColors(b); }, [](uint32_t p) { return p ^ 0x00FFFFFFu; });
  TABitmap b = RandomPicture(11, 5, 3);
  const std::vector<uint32_t> before = PixelsOf(b);
  InvertColors(b);
  InvertColors(b);
  EXPECT_EQ(PixelsOf(b), before);
}

// The noise walk written out plainly: the table is drawn from the same numbers.
std::vector<uint32_t> NoiseReference(const std::vector<uint32_t>& px, uint16_t power, bool colour,
                                     uint32_t seed) {
  std::mt19937 rng(seed);
  const uint32_t m = std::min<uint32_t>(power, 255) + 1;
  uint32_t add[256][3];
  uint32_t jump[256];
  for (int i = 0; i < 256; ++i) {
    if (colour) {
      const uint32_t d = uint32_t(rng());
      for (int c = 0; c < 3; ++c)
        add[i][c] = ((d >> (8 * c)) & 0xFF) % m;
    } else {
      const uint32_t r = uint32_t(rng()) % m;
      add[i][0] = add[i][1] = add[i][2] = r;
    }
    jump[i] = uint32_t(rng()) & 0x7F;
  }
  std::vector<uint32_t> out = px;
  uint32_t idx = 0, j = 1;
  for (size_t pair = 0; pair < px.size() / 2; ++pair) {
    for (size_t k = 2 * pair; k < 2 * pair + 2; ++k)
      out[k] = SaturatedAdd(px[k], int(add[idx][0]), int(add[idx][1]), int(add[idx][2]));
    if (++idx == 256) {
      idx = jump[j % 256];
      ++j;
    }
  }
  return out;
}

TEST(ColourFilters, NoiseMatchesReferenceWithFixedSeed) {
  // 700 x 3 pixels: 1050 pairs, several restarts through the jump table.
  const TSize sizes[] = {{1, 1}, {3, 1}, {7, 5}, {700, 3}, {1025, 1}};
  for (bool colour : {false, true}) {
    for (uint16_t power : {uint16_t(0), uint16_t(1), uint16_t(100), uint16_t(255), uint16_t(65535)}) {
      uint32_t seed = 10;
      for (TSize s : sizes) {
        TABitmap b = RandomPicture(s.W, s.H, seed);
        const std::vector<uint32_t> expected = NoiseReference(PixelsOf(b), power, colour, seed + 1000);
        std::mt19937 rng(seed + 1000);
        if (colour)
          AddColorNoise(b, power, TRandomDraw(rng));
        else
          AddBrightnessNoise(b, power, TRandomDraw(rng));
        ASSERT_EQ(PixelsOf(b), expected) << "colour " << colour << " power " << power << " size " << s.W;
        ++seed;
      }
    }
  }
}

TEST(ColourFilters, NoiseOnlyBrightensWithinPowerAndLeavesTheOddPixel) {
  TABitmap b;
  b.SetSize(5, 1);
  b.Fill(0x40101010);
  std::mt19937 rng(7);
  AddBrightnessNoise(b, 0, TRandomDraw(rng));  // P = 1: every addend is 0
  for (uint32_t p : PixelsOf(b))
    EXPECT_EQ(p, 0x40101010u);
  AddBrightnessNoise(b, 20, TRandomDraw(rng));
  for (int x = 0; x < 4; ++x) {
    const uint32_t p = b.Pixel(x, 0);
    EXPECT_EQ(Ch(p, 0), Ch(p, 1));
    EXPECT_GE(Ch(p, 0), 0x10u);
    EXPECT_LE(Ch(p, 0), 0x10u + 20);
    EXPECT_EQ(Ch(p, 3), 0x40u);
  }
  EXPECT_EQ(b.Pixel(0, 0), b.Pixel(1, 0));  // a pair shares its entry
  EXPECT_EQ(b.Pixel(4, 0), 0x40101010u);    // the odd last pixel is not touched
}

TEST(ColourFilters, NoiseDrawsFreshNumbersEachRun) {
  TABitmap a, b;
  a.SetSize(64, 8);
  a.Fill(0);
  b.SetSize(64, 8);
  b.Fill(0);
  std::mt19937 rng(99);
  AddColorNoise(a, 255, TRandomDraw(rng));
  AddColorNoise(b, 255, TRandomDraw(rng));
  EXPECT_NE(PixelsOf(a), PixelsOf(b));
}

// Pixelate written from the description: block (i, j) of the rectangle's grid takes the pixel at
// the leftmost column of the block and the lowest row of the band.
std::vector<uint32_t> PixelateReference(const TABitmap& src, int32_t x, int32_t y, int32_t w, int32_t h,
                                        int64_t s) {
  std::vector<uint32_t> out;
  s = std::clamp<int64_t>(s, 1, 255);
  int64_t bw = int64_t(std::nearbyint(double(w) / 255.0 * double(s)));
  int64_t bh = int64_t(std::nearbyint(double(h) / 255.0 * double(s)));
  if (bw < 2) bw = 1;
  if (bh < 2) bh = 1;
  TABitmap copy;
  copy.Assign(src);
  for (int32_t r = 0; r < h; ++r) {
    const int64_t bandLow = std::min<int64_t>((r / bh) * bh + bh, h) - 1;
    for (int32_t c = 0; c < w; ++c) {
      const int64_t left = (c / bw) * bw;
      const uint32_t from = src.Pixel(int32_t(x + left), int32_t(y + bandLow));
      copy.SetPixel(x + c, y + r, (src.Pixel(x + c, y + r) & 0xFF000000u) | (from & 0xFFFFFF));
    }
  }
  return PixelsOf(copy);
}

TEST(ColourFilters, PixelateMatchesReference) {
  struct TCase {
    int32_t W, H, X, Y, RW, RH;
    int64_t S;
  };
  const TCase cases[] = {
      {1, 1, 0, 0, 1, 1, 255},     {37, 23, 0, 0, 37, 23, 30}, {37, 23, 3, 5, 20, 11, 64},
      {50, 40, 10, 7, 33, 29, 1},  {50, 40, 0, 0, 50, 40, 0},  {64, 9, 1, 1, 63, 8, 100},
      {16, 16, 0, 0, 16, 16, 700}, {31, 30, 5, 0, 26, 30, 97},
  };
  uint32_t seed = 5;
  for (const TCase& c : cases) {
    TABitmap b = RandomPicture(c.W, c.H, seed++);
    const std::vector<uint32_t> expected = PixelateReference(b, c.X, c.Y, c.RW, c.RH, c.S);
    Pixelate(c.X, c.Y, c.RW, c.RH, b, c.S);
    EXPECT_EQ(PixelsOf(b), expected) << c.W << "x" << c.H << " rect " << c.X << "," << c.Y << " " << c.RW
                                     << "x" << c.RH << " s " << c.S;
  }
}

TEST(ColourFilters, PixelateWholeAndHalfPictures) {
  // Strength 255 over the whole 200 x 100 picture: one block in the bottom-left pixel's colour.
  TABitmap b = RandomPicture(200, 100, 77);
  const uint32_t bottomLeft = b.Pixel(0, 99) & 0xFFFFFF;
  const std::vector<uint32_t> before = PixelsOf(b);
  Pixelate(0, 0, 200, 100, b, 255);
  for (int32_t y = 0; y < 100; ++y)
    for (int32_t x = 0; x < 200; ++x)
      ASSERT_EQ(b.Pixel(x, y), (bottomLeft | (before[size_t(99 - y) * 200 + x] & 0xFF000000u)));

  // X from 50 % to 100 %: the left half is untouched.
  TABitmap c = RandomPicture(200, 100, 78);
  TABitmap original;
  original.Assign(c);
  Pixelate(100, 0, 100, 100, c, 255);
  for (int32_t y = 0; y < 100; ++y) {
    for (int32_t x = 0; x < 100; ++x)
      ASSERT_EQ(c.Pixel(x, y), original.Pixel(x, y));
    EXPECT_EQ(c.Pixel(150, y) & 0xFFFFFF, original.Pixel(100, 99) & 0xFFFFFF);
  }
}

TEST(ColourFilters, PixelateOutsideThePictureDoesNothing) {
  TABitmap b = RandomPicture(20, 10, 8);
  const std::vector<uint32_t> before = PixelsOf(b);
  Pixelate(-1, 0, 10, 10, b, 255);
  Pixelate(0, 0, 21, 10, b, 255);
  Pixelate(15, 5, 6, 5, b, 255);
  Pixelate(0, 0, 0, 10, b, 255);
  Pixelate(0, 0, -5, 10, b, 255);
  Pixelate(2147483647, 0, 1, 1, b, 255);
  EXPECT_EQ(PixelsOf(b), before);
}

// One pass of the split blur written literally: pixel by pixel, reading the picture as it
// stands (in place), with the given average.
void SplitBlurReference(TABitmap& b, int64_t power, bool rounded) {
  const int32_t w = b.Width(), h = b.Height();
  const int64_t p = std::clamp<int64_t>(power, 1, 255);
  int32_t dx = int32_t(std::nearbyint(double(w) / 510.0 * double(p)));
  int32_t dy = int32_t(std::nearbyint(double(h) / 510.0 * double(p)));
  if (dx <= 1) dx = 1;
  if (dy <= 1) dy = 1;
  for (int32_t y = 0; y < h; ++y) {
    const int32_t up = y - dy < 0 ? y : y - dy;
    int32_t lo = y + dy >= h ? h - y : y + dy;
    if (lo >= h) lo = y;  // only a picture one row high
    for (int32_t x = 0; x < w; ++x) {
      const int32_t l = x - dx < 0 ? x : x - dx;
      int32_t r = x + dx >= w ? w - x : x + dx;
      if (r >= w) r = x;
      const uint32_t q[4] = {b.Pixel(l, up), b.Pixel(l, lo), b.Pixel(r, up), b.Pixel(r, lo)};
      uint32_t out = b.Pixel(x, y) & 0xFF000000u;
      for (int c = 0; c < 3; ++c) {
        uint32_t v;
        if (rounded) {
          const uint32_t a1 = (Ch(q[0], c) + Ch(q[1], c) + 1) >> 1, a2 = (Ch(q[2], c) + Ch(q[3], c) + 1) >> 1;
          v = (a1 + a2 + 1) >> 1;
        } else {
          v = (Ch(q[0], c) + Ch(q[1], c) + Ch(q[2], c) + Ch(q[3], c)) >> 2;
        }
        out |= v << (8 * c);
      }
      b.SetPixel(x, y, out);
    }
  }
}

TEST(ColourFilters, SplitBlurVariantsMatchTheirReferences) {
  const TSize sizes[] = {{1, 1}, {1, 6}, {6, 1}, {2, 2}, {3, 5}, {17, 9}, {40, 31}, {101, 4}};
  for (int64_t power : {int64_t(-5), int64_t(1), int64_t(60), int64_t(200), int64_t(255), int64_t(1000)}) {
    uint32_t seed = 50;
    for (TSize s : sizes) {
      for (bool rounded : {true, false}) {
        TABitmap b = RandomPicture(s.W, s.H, seed);
        TABitmap ref;
        ref.Assign(b);
        SplitBlurReference(ref, power, rounded);
        if (rounded)
          split_blur::RoundedPass(b, power);
        else
          split_blur::TruncatedPass(b, power);
        ASSERT_EQ(PixelsOf(b), PixelsOf(ref))
            << s.W << "x" << s.H << " power " << power << " rounded " << rounded;
      }
      ++seed;
    }
  }
}

TEST(ColourFilters, SplitBlurVariantsAgreeWhereTheAveragesAreExact) {
  // On a uniform picture both averages are exact and agree.
  TABitmap a, b;
  a.SetSize(33, 21);
  a.Fill(0x7F3A91C4);
  b.Assign(a);
  split_blur::RoundedPass(a, 255);
  split_blur::TruncatedPass(b, 255);
  EXPECT_EQ(PixelsOf(a), PixelsOf(b));
  EXPECT_EQ(a.Pixel(5, 5), 0x7F3A91C4u);

  // Where the four colours are not all alike the two averages may differ by rounding.
  TABitmap c, d;
  c.SetSize(2, 2);
  c.Fill(0);
  c.SetPixel(1, 1, 0x00010101);
  d.Assign(c);
  split_blur::RoundedPass(c, 1);
  split_blur::TruncatedPass(d, 1);
  EXPECT_NE(PixelsOf(c), PixelsOf(d));
}

TEST(ColourFilters, SplitBlurUsesTheSseFormOnX86) {
#if defined(__x86_64__)
  TABitmap a = RandomPicture(29, 13, 4), b;
  b.Assign(a);
  SplitBlurPass(a, 90);
  split_blur::RoundedPass(b, 90);
  EXPECT_EQ(PixelsOf(a), PixelsOf(b));
#else
  GTEST_SKIP() << "portable form only";
#endif
}

}  // namespace
}  // namespace vexa
