#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <vector>

#include "bitmap/bitmap.h"

namespace vexa {
namespace {

using Bytes = std::vector<uint8_t>;

void Put(Bytes& b, size_t pos, uint32_t v, int n) {
  if (b.size() < pos + static_cast<size_t>(n)) b.resize(pos + static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    b[pos + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * i));
}

struct BmpSpec {
  uint32_t headerSize = 40;
  int32_t width = 0, height = 0;  // negative height: top-down
  uint16_t bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  uint32_t colorsUsed = 0;
  std::vector<uint32_t> masks;  // written after a 40-byte header, or inside a V4/V5 header
  Bytes pixels;
};

// Builds a BMP file image field by field, as other programs write them.
Bytes MakeBmp(const BmpSpec& s) {
  Bytes b;
  b.push_back('B');
  b.push_back('M');
  size_t pos = 14;
  Put(b, pos, s.headerSize, 4);
  if (s.headerSize == 12) {
    Put(b, pos + 4, static_cast<uint32_t>(s.width), 2);
    Put(b, pos + 6, static_cast<uint32_t>(s.height), 2);
    Put(b, pos + 8, 1, 2);
    Put(b, pos + 10, s.bits, 2);
  } else {
    Put(b, pos + 4, static_cast<uint32_t>(s.width), 4);
    Put(b, pos + 8, static_cast<uint32_t>(s.height), 4);
    Put(b, pos + 12, 1, 2);
    Put(b, pos + 14, s.bits, 2);
    Put(b, pos + 16, s.compression, 4);
    Put(b, pos + 20, static_cast<uint32_t>(s.pixels.size()), 4);
    Put(b, pos + 32, s.colorsUsed, 4);
    b.resize(pos + s.headerSize, 0);
    if (s.headerSize > 40)
      for (size_t i = 0; i < s.masks.size(); ++i)
        Put(b, pos + 40 + 4 * i, s.masks[i], 4);
  }
  pos += s.headerSize;
  if (s.headerSize == 40)
    for (uint32_t m : s.masks) {
      Put(b, pos, m, 4);
      pos += 4;
    }
  for (uint32_t c : s.palette) {
    Put(b, pos, c, s.headerSize == 12 ? 3 : 4);
    pos += s.headerSize == 12 ? 3 : 4;
  }
  Put(b, 10, static_cast<uint32_t>(pos), 4);
  b.insert(b.end(), s.pixels.begin(), s.pixels.end());
  Put(b, 2, static_cast<uint32_t>(b.size()), 4);
  return b;
}

TABitmap Decode(const Bytes& b) {
  TABitmap out;
  out.LoadFromMemory(b);
  return out;
}

TEST(BmpReader, TwentyFourBitBottomUpWithRowPadding) {
  BmpSpec s;
  s.width = 3;
  s.height = 2;
  // Bottom row first: blue, green, red per pixel, rows padded to 12 bytes.
  s.pixels = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 11, 12, 13, 14, 15, 16, 17, 18, 19, 0, 0, 0};
  TABitmap b = Decode(MakeBmp(s));
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Pixel(0, 1), 0x00030201u);
  EXPECT_EQ(b.Pixel(2, 1), 0x00090807u);
  EXPECT_EQ(b.Pixel(0, 0), 0x000D0C0Bu);
  s.height = -2;  // top-down: the first stored row is the top one
  TABitmap t = Decode(MakeBmp(s));
  EXPECT_EQ(t.Pixel(0, 0), 0x00030201u);
  EXPECT_EQ(t.Pixel(2, 1), 0x00131211u);
}

TEST(BmpReader, ThirtyTwoBitKeepsItsFourthBytes) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.bits = 32;
  s.pixels = {1, 2, 3, 0x80, 4, 5, 6, 0xFF};
  TABitmap b = Decode(MakeBmp(s));
  EXPECT_EQ(b.Pixel(0, 0), 0x80030201u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFF060504u);
}

TEST(BmpReader, PalettedDepths) {
  BmpSpec s;
  s.width = 10;
  s.height = 1;
  s.bits = 1;
  s.palette = {0x000000, 0xFFFFFF};
  s.pixels = {0b10110000, 0b01000000, 0, 0};  // 10 pixels: 1 0 1 1 0 0 0 0 0 1
  TABitmap b = Decode(MakeBmp(s));
  const int ones[] = {1, 0, 1, 1, 0, 0, 0, 0, 0, 1};
  for (int x = 0; x < 10; ++x)
    EXPECT_EQ(b.Pixel(x, 0), ones[x] ? 0xFFFFFFu : 0u) << x;

  s.bits = 4;
  s.width = 3;
  s.palette = {0x0, 0x112233, 0x445566, 0x778899};
  s.colorsUsed = 4;
  s.pixels = {0x31, 0x20, 0, 0};
  b = Decode(MakeBmp(s));
  EXPECT_EQ(b.Pixel(0, 0), 0x778899u);
  EXPECT_EQ(b.Pixel(1, 0), 0x112233u);
  EXPECT_EQ(b.Pixel(2, 0), 0x445566u);

  s.bits = 8;
  s.pixels = {2, 1, 7, 0};  // index 7 lies beyond the 4 colours used: black
  b = Decode(MakeBmp(s));
  EXPECT_EQ(b.Pixel(0, 0), 0x445566u);
  EXPECT_EQ(b.Pixel(2, 0), 0u);
}

TEST(BmpReader, CoreHeaderUsesThreeBytePaletteEntries) {
  BmpSpec s;
  s.headerSize = 12;
  s.width = 2;
  s.height = 2;
  s.bits = 8;
  s.palette.assign(256, 0);
  s.palette[5] = 0xAABBCC;
  s.pixels = {5, 0, 0, 0, 0, 5, 0, 0};
  TABitmap b = Decode(MakeBmp(s));
  EXPECT_EQ(b.Pixel(0, 1), 0xAABBCCu);
  EXPECT_EQ(b.Pixel(1, 0), 0xAABBCCu);
  EXPECT_EQ(b.Pixel(1, 1), 0u);
}

TEST(BmpReader, SixteenBitAndBitFields) {
  BmpSpec s;
  s.width = 2;
  s.height = 1;
  s.bits = 16;
  s.pixels = {0x00, 0x7C, 0x1F, 0x00};  // 5-5-5: pure red, pure blue
  TABitmap b = Decode(MakeBmp(s));
  EXPECT_EQ(b.Pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(b.Pixel(1, 0), 0x0000FFu);

  s.compression = 3;  // 5-6-5 masks after a 40-byte header
  s.masks = {0xF800, 0x07E0, 0x001F};
  s.pixels = {0xE0, 0x07, 0x10, 0x84};  // green 63; red 16/31, green 32/63, blue 16/31
  b = Decode(MakeBmp(s));
  EXPECT_EQ(b.Pixel(0, 0), 0x00FF00u);
  EXPECT_EQ(b.Pixel(1, 0), 0x848284u);  // 16*255/31 = 131.6 -> 132, 32*255/63 = 129.5 -> 130

  for (uint32_t header : {108u, 124u}) {  // V4, V5 with masks inside the header
    BmpSpec v;
    v.headerSize = header;
    v.width = 1;
    v.height = 1;
    v.bits = 32;
    v.compression = 3;
    v.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};  // R and B swapped
    v.pixels = {0x11, 0x22, 0x33, 0x44};
    b = Decode(MakeBmp(v));
    EXPECT_EQ(b.Pixel(0, 0), 0x112233u) << header;  // red 0x11, green 0x22, blue 0x33
  }
}

TEST(BmpReader, RunLengthEncoding) {
  BmpSpec s;
  s.width = 6;
  s.height = 3;
  s.bits = 8;
  s.compression = 1;
  s.palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
  s.colorsUsed = 4;
  s.pixels = {3, 1, 0, 3, 2, 3, 1, 0,  // bottom row: 1 1 1 2 3 1, absolute run padded to 16 bits
              0, 0,                    // end of line
              0, 2, 2, 1,              // delta: 2 right, 1 up
              2, 3,                    // top row from x 2: 3 3
              0, 1};                   // end of bitmap
  TABitmap b = Decode(MakeBmp(s));
  const uint32_t bottom[] = {0xFF, 0xFF, 0xFF, 0xFF00, 0xFF0000, 0xFF};
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(b.Pixel(x, 2), bottom[x]) << x;
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(b.Pixel(x, 1), 0u);  // skipped: colour 0
  EXPECT_EQ(b.Pixel(1, 0), 0u);
  EXPECT_EQ(b.Pixel(2, 0), 0xFF0000u);
  EXPECT_EQ(b.Pixel(3, 0), 0xFF0000u);

  s.bits = 4;
  s.compression = 2;
  s.height = 1;
  s.pixels = {5, 0x12, 0, 3, 0x31, 0x20, 0, 1};  // 1 2 1 2 1, then absolute 3 1 2
  b = Decode(MakeBmp(s));
  const uint32_t row[] = {0xFF, 0xFF00, 0xFF, 0xFF00, 0xFF, 0xFF0000};
  for (int x = 0; x < 6; ++x)
    EXPECT_EQ(b.Pixel(x, 0), row[x]) << x;
}

std::vector<Bytes> ValidSamples() {
  std::vector<Bytes> out;
  BmpSpec s;
  s.width = 5;
  s.height = 3;
  s.pixels.assign(16 * 3, 0x42);
  out.push_back(MakeBmp(s));
  s.bits = 8;
  s.palette = {0x0, 0x123456};
  s.colorsUsed = 2;
  s.pixels.assign(8 * 3, 1);
  out.push_back(MakeBmp(s));
  s.compression = 1;
  s.pixels = {5, 1, 0, 0, 5, 1, 0, 0, 5, 1, 0, 1};
  out.push_back(MakeBmp(s));
  s.headerSize = 12;
  s.compression = 0;
  s.palette.assign(256, 0x123456);  // a core header always has the full table
  s.pixels.assign(8 * 3, 1);
  out.push_back(MakeBmp(s));
  return out;
}

TEST(BmpReader, EveryTruncationIsAnErrorAndLeavesTheBitmapAlone) {
  for (const Bytes& full : ValidSamples()) {
    ASSERT_NO_THROW(Decode(full));
    for (size_t n = 0; n < full.size(); ++n) {
      TABitmap b;
      b.SetSize(1, 1);
      b.Fill(0x01020304);
      Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
      EXPECT_THROW(b.LoadFromMemory(cut), TBitmapError) << n;
      EXPECT_EQ(b.Pixel(0, 0), 0x01020304u);
    }
  }
}

TEST(BmpReader, HostileHeadersAreRefused) {
  BmpSpec s;
  s.width = 100000;
  s.height = 100000;
  s.pixels = {0, 0, 0, 0};
  EXPECT_THROW(Decode(MakeBmp(s)), TBitmapError);
  s.compression = 1;  // compressed data cannot prove its size: the limit alone must refuse it
  s.bits = 8;
  s.pixels = {0, 1};
  EXPECT_THROW(Decode(MakeBmp(s)), TBitmapError);
  s = {};
  s.width = 8000;
  s.height = 8000;
  s.pixels = {1, 2, 3};  // claims 192 MB of rows in a tiny file
  EXPECT_THROW(Decode(MakeBmp(s)), TBitmapError);
  s.width = 1;
  s.height = INT32_MIN;
  EXPECT_THROW(Decode(MakeBmp(s)), TBitmapError);
  s.height = 1;
  s.bits = 7;
  EXPECT_THROW(Decode(MakeBmp(s)), TBitmapError);
  s.bits = 24;
  s.compression = 4;  // embedded JPEG
  EXPECT_THROW(Decode(MakeBmp(s)), TBitmapError);
  s.compression = 1;  // RLE8 at 24 bits
  EXPECT_THROW(Decode(MakeBmp(s)), TBitmapError);
  s.compression = 0;
  s.height = -1;
  s.pixels = {1, 2, 3, 0};
  Bytes ok = MakeBmp(s);
  EXPECT_NO_THROW(Decode(ok));
  Bytes bad = ok;
  Put(bad, 10, 0xFFFFFFF0, 4);  // pixel offset beyond the end
  EXPECT_THROW(Decode(bad), TBitmapError);
  bad = ok;
  Put(bad, 14, 64, 4);  // unknown header size
  EXPECT_THROW(Decode(bad), TBitmapError);
  bad = ok;
  bad[0] = 'X';
  EXPECT_THROW(Decode(bad), TBitmapError);
}

TEST(BmpReader, RandomlyDamagedFilesNeverReadOutOfBounds) {
  // Under the address sanitizer any stray read fails this test.
  std::mt19937 rng(1234);
  for (const Bytes& full : ValidSamples())
    for (int round = 0; round < 3000; ++round) {
      Bytes b = full;
      const int hits = 1 + static_cast<int>(rng() % 4);
      for (int i = 0; i < hits; ++i)
        b[rng() % b.size()] = static_cast<uint8_t>(rng());
      try {
        TABitmap out;
        out.LoadFromMemory(b);
        EXPECT_TRUE(HasArea(out));
      } catch (const TBitmapError&) {
      }
    }
}

TEST(BmpWriter, RoundTripsThroughMemoryStreamAndFile) {
  std::mt19937 rng(99);
  TABitmap a;
  a.SetSize(7, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      a.SetPixel(x, y, rng());
  Bytes bytes = a.SaveToMemory();
  EXPECT_EQ(bytes.size(), 54u + 7 * 5 * 4);
  TABitmap b = Decode(bytes);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x)
      ASSERT_EQ(b.Pixel(x, y), a.Pixel(x, y));

  // A stream holding two pictures gives them one after the other.
  std::stringstream ss;
  a.SaveToStream(ss);
  TABitmap small;
  small.SetSize(2, 2);
  small.Fill(0x44332211);
  small.SaveToStream(ss);
  TABitmap c, d;
  c.LoadFromStream(ss);
  d.LoadFromStream(ss);
  EXPECT_EQ(c.Pixel(6, 4), a.Pixel(6, 4));
  EXPECT_EQ(d.Width(), 2);
  EXPECT_EQ(d.Pixel(1, 1), 0x44332211u);

  TABitmap rgb;
  rgb.Assign(a);
  rgb.Convert24Bit();
  TABitmap e = Decode(rgb.SaveToMemory());
  EXPECT_EQ(e.Pixel(3, 2), a.Pixel(3, 2) & 0xFFFFFF);

  const std::string path = (std::filesystem::temp_directory_path() / "vexa_bmp_roundtrip.bmp").string();
  a.SaveToFile(path);
  TABitmap f;
  f.LoadFromFile(path);
  EXPECT_EQ(f.Pixel(0, 0), a.Pixel(0, 0));
  std::remove(path.c_str());
  EXPECT_THROW(f.LoadFromFile(path), TBitmapError);

  // A header announcing 4 GB reads only what the stream holds.
  Bytes big = a.SaveToMemory();
  Put(big, 2, 0xFFFFFFF0u, 4);
  std::stringstream bs(std::string(big.begin(), big.end()));
  TABitmap g;
  g.LoadFromStream(bs);
  EXPECT_EQ(g.Pixel(6, 4), a.Pixel(6, 4));
  EXPECT_THROW(TABitmap().SaveToMemory(), TBitmapError);
}

}  // namespace
}  // namespace vexa
