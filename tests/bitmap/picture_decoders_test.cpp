#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <random>

#include "bitmap/color_key.h"
#include "bitmap/picture_decoders.h"
#include "picture_encoders.h"

namespace vexa {
namespace {

using test::Bytes;

uint32_t Bgra(uint8_t b, uint8_t g, uint8_t r, uint8_t t) {
  return uint32_t{b} | (uint32_t{g} << 8) | (uint32_t{r} << 16) | (uint32_t{t} << 24);
}

// ---- ColorKey ----

TEST(ColorKey, KeysExactColourOnlyAndMakesTheRestOpaque) {
  TABitmap b;
  b.SetSize(3, 2);
  b.SetPixel(0, 0, Bgra(0, 0, 255, 77));  // red with some transparency
  b.SetPixel(1, 0, Bgra(0, 0, 254, 0));   // almost red
  b.SetPixel(2, 0, Bgra(1, 0, 255, 200));
  b.SetPixel(0, 1, Bgra(0, 0, 255, 0));
  ColorKey(0, 0, 3, 2, 0x0000FF, b);  // red in 0x00BBGGRR
  EXPECT_EQ(b.Pixel(0, 0), Bgra(0, 0, 255, 255));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(0, 0, 254, 0));
  EXPECT_EQ(b.Pixel(2, 0), Bgra(1, 0, 255, 0));
  EXPECT_EQ(b.Pixel(0, 1), Bgra(0, 0, 255, 255));
}

TEST(ColorKey, ClipsToTheBitmapAndIgnoresOutsideRectangles) {
  TABitmap b;
  b.SetSize(4, 4);
  b.Fill(Bgra(0, 0, 0, 9));
  ColorKey(2, 2, 10, 10, 0, b);  // only the bottom-right 2 x 2
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(b.Pixel(x, y) >> 24, (x >= 2 && y >= 2) ? 255u : 9u) << x << "," << y;
  ColorKey(5, 0, 2, 2, 0, b);
  ColorKey(-3, -3, 2, 2, 0, b);
  EXPECT_EQ(b.Pixel(0, 0) >> 24, 9u);
  TABitmap empty;
  ColorKey(0, 0, 5, 5, 0, empty);
  EXPECT_FALSE(HasArea(empty));
}

// ---- PNG ----

test::PngPicture Rgba8(int w, int h, const std::vector<uint32_t>& rgba) {
  test::PngPicture s;
  s.width = w;
  s.height = h;
  s.colorType = 6;
  for (int y = 0; y < h; ++y) {
    Bytes row;
    for (int x = 0; x < w; ++x) {
      const uint32_t v = rgba[static_cast<size_t>(y * w + x)];
      row.insert(row.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
    }
    s.rows.push_back(row);
  }
  return s;
}

TEST(Png, AlphaBecomesTransparencyAndOpaqueStaysExactlyOpaque) {
  // r, g, b, a
  const TABitmap b =
      DecodePng(test::EncodePng(Rgba8(2, 2, {0x102030FF, 0x40506000, 0x70809080, 0xFFFFFFFE})));
  ASSERT_EQ(b.Width(), 2);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.BitsPerPixel(), 32);
  EXPECT_EQ(b.Pixel(0, 0), Bgra(0x30, 0x20, 0x10, 0));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(0x60, 0x50, 0x40, 255));
  EXPECT_EQ(b.Pixel(0, 1), Bgra(0x90, 0x80, 0x70, 127));
  EXPECT_EQ(b.Pixel(1, 1), Bgra(0xFF, 0xFF, 0xFF, 1));
}

TEST(Png, SixteenBitRgbAndGreyAlphaScaleToEightBits) {
  test::PngPicture s;
  s.width = 2;
  s.height = 1;
  s.colorType = 2;
  s.bitDepth = 16;
  s.rows = {{0xFF, 0xFF, 0x00, 0x00, 0x80, 0x00, /**/ 0x01, 0x01, 0x02, 0x02, 0xFE, 0xFE}};
  TABitmap b = DecodePng(test::EncodePng(s));
  EXPECT_EQ(b.Pixel(0, 0), Bgra(0x80, 0x00, 0xFF, 0));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(0xFE, 0x02, 0x01, 0));

  s.colorType = 4;  // grey + alpha, 16 bits
  s.rows = {{0x12, 0x34, 0xFF, 0xFF, /**/ 0xAB, 0xCD, 0x00, 0x00}};
  b = DecodePng(test::EncodePng(s));
  EXPECT_EQ(b.Pixel(0, 0), Bgra(0x12, 0x12, 0x12, 0));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(0xAB, 0xAB, 0xAB, 255));  // 0xABCD / 257 = 171.1
}

TEST(Png, LowBitDepthGreyExpandsToFullRange) {
  struct Case {
    int depth;
    Bytes row;
    std::vector<uint8_t> expect;
  };
  const Case cases[] = {
      {1, {0b10100000}, {255, 0, 255, 0}},
      {2, {0b00011011}, {0, 85, 170, 255}},
      {4, {0x0F, 0x73}, {0, 255, 119, 51}},
  };
  for (const Case& c : cases) {
    test::PngPicture s;
    s.width = 4;
    s.height = 1;
    s.colorType = 0;
    s.bitDepth = c.depth;
    s.rows = {c.row};
    const TABitmap b = DecodePng(test::EncodePng(s));
    for (int x = 0; x < 4; ++x) {
      const uint8_t g = c.expect[static_cast<size_t>(x)];
      EXPECT_EQ(b.Pixel(x, 0), Bgra(g, g, g, 0)) << "depth " << c.depth << " x " << x;
    }
  }
}

TEST(Png, GreyAndRgbTransparentColourIsKeyedOut) {
  test::PngPicture s;
  s.width = 4;
  s.height = 1;
  s.colorType = 0;
  s.bitDepth = 2;
  s.rows = {{0b00011011}};
  s.hasKey = true;
  s.keyGray = 2;  // 170
  TABitmap b = DecodePng(test::EncodePng(s));
  EXPECT_EQ(b.Pixel(2, 0), Bgra(170, 170, 170, 255));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(85, 85, 85, 0));

  s = {};
  s.width = 3;
  s.height = 1;
  s.colorType = 2;
  s.rows = {{255, 0, 0, /**/ 255, 0, 1, /**/ 0, 0, 255}};
  s.hasKey = true;
  s.keyRed = 255;
  b = DecodePng(test::EncodePng(s));
  EXPECT_EQ(b.Pixel(0, 0), Bgra(0, 0, 255, 255));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(1, 0, 255, 0));
  EXPECT_EQ(b.Pixel(2, 0), Bgra(255, 0, 0, 0));
}

TEST(Png, SixteenBitKeyMatchesOnlyTheExactSample) {
  // 0xFF00 and 0xFF01 both scale to 255 at 8 bits; only the keyed one may turn transparent.
  test::PngPicture s;
  s.width = 2;
  s.height = 1;
  s.colorType = 0;
  s.bitDepth = 16;
  s.rows = {{0xFF, 0x00, 0xFF, 0x01}};
  s.hasKey = true;
  s.keyGray = 0xFF00;
  const TABitmap b = DecodePng(test::EncodePng(s));
  EXPECT_EQ(b.Pixel(0, 0) >> 24, 255u);
  EXPECT_EQ(b.Pixel(1, 0) >> 24, 0u);
}

TEST(Png, PaletteWithPartialTransparency) {
  test::PngPicture s;
  s.width = 4;
  s.height = 1;
  s.colorType = 3;
  s.bitDepth = 4;
  s.paletteRgb = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  s.paletteAlpha = {0, 128};  // entry 2 has no tRNS entry: opaque
  s.rows = {{0x01, 0x22}};
  const TABitmap b = DecodePng(test::EncodePng(s));
  EXPECT_EQ(b.Pixel(0, 0), Bgra(0, 0, 255, 255));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(0, 255, 0, 127));
  EXPECT_EQ(b.Pixel(2, 0), Bgra(255, 0, 0, 0));
  EXPECT_EQ(b.Pixel(3, 0), Bgra(255, 0, 0, 0));
}

TEST(Png, InterlacedGivesTheSamePictureAsPlain) {
  std::mt19937 rng(7);
  std::vector<uint32_t> px(13 * 11);
  for (uint32_t& v : px)
    v = rng();
  test::PngPicture s = Rgba8(13, 11, px);
  const TABitmap plainPic = DecodePng(test::EncodePng(s));
  s.interlaced = true;
  const TABitmap laced = DecodePng(test::EncodePng(s));
  ASSERT_EQ(laced.Width(), 13);
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 13; ++x) {
      const uint32_t v = px[static_cast<size_t>(y * 13 + x)];
      const uint32_t want =
          Bgra(uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24), uint8_t(255 - (v & 0xFF)));
      ASSERT_EQ(plainPic.Pixel(x, y), want) << x << "," << y;
      ASSERT_EQ(laced.Pixel(x, y), want) << x << "," << y;
    }
}

// ---- JPEG ----

TEST(Jpeg, ColourGreyAndProgressiveDecodeOpaque) {
  const int w = 16, h = 8;
  Bytes rgb;
  for (int i = 0; i < w * h; ++i)
    rgb.insert(rgb.end(), {200, 40, 90});
  for (bool progressive : {false, true}) {
    const TABitmap b = DecodeJpeg(test::EncodeJpeg(w, h, 3, rgb, 100, progressive));
    ASSERT_EQ(b.Width(), w);
    ASSERT_EQ(b.Height(), h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const uint32_t p = b.Pixel(x, y);
        ASSERT_EQ(p >> 24, 0u);
        EXPECT_NEAR(int((p >> 16) & 0xFF), 200, 3);
        EXPECT_NEAR(int((p >> 8) & 0xFF), 40, 3);
        EXPECT_NEAR(int(p & 0xFF), 90, 3);
      }
  }
  // Grey: top half dark, bottom half light, so row order is checked too.
  Bytes grey(static_cast<size_t>(w * h));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      grey[static_cast<size_t>(y * w + x)] = y < h / 2 ? 30 : 220;
  const TABitmap g = DecodeJpeg(test::EncodeJpeg(w, h, 1, grey, 100));
  EXPECT_EQ(g.Pixel(3, 0), Bgra(30, 30, 30, 0));
  EXPECT_EQ(g.Pixel(3, h - 1), Bgra(220, 220, 220, 0));
}

TEST(Jpeg, AdobeCmykConvertsToRgb) {
  // Inverted CMYK as such files store it: 255 - ink. Pure red = no cyan, full magenta and
  // yellow, no black; white = no ink at all.
  const int w = 8, h = 8;
  Bytes cmyk;
  for (int i = 0; i < w * h; ++i) {
    if (i < w * h / 2)
      cmyk.insert(cmyk.end(), {255, 0, 0, 255});
    else
      cmyk.insert(cmyk.end(), {255, 255, 255, 255});
  }
  const TABitmap b = DecodeJpeg(test::EncodeJpeg(w, h, 4, cmyk, 100));
  const uint32_t red = b.Pixel(2, 1), white = b.Pixel(2, 6);
  EXPECT_NEAR(int((red >> 16) & 0xFF), 255, 4);
  EXPECT_NEAR(int((red >> 8) & 0xFF), 0, 4);
  EXPECT_NEAR(int(red & 0xFF), 0, 4);
  EXPECT_EQ(red >> 24, 0u);
  EXPECT_NEAR(int(white & 0xFF), 255, 4);
}

// ---- GIF ----

TEST(Gif, FirstFrameWithRedTransparentColour) {
  test::GifPicture s;
  s.screenWidth = s.width = 3;
  s.screenHeight = s.height = 2;
  // 0 red, 1 green, 2 nearly red, 3 red again (a second entry of the same colour)
  s.paletteRgb = {255, 0, 0, 0, 255, 0, 255, 0, 1, 255, 0, 0};
  s.transparent = 0;
  s.indices = {0, 1, 2, 3, 1, 0};
  s.secondFrame = true;
  const TABitmap b = DecodeGif(test::EncodeGif(s));
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Pixel(0, 0), Bgra(0, 0, 255, 255));
  EXPECT_EQ(b.Pixel(1, 0), Bgra(0, 255, 0, 0));
  EXPECT_EQ(b.Pixel(2, 0), Bgra(1, 0, 255, 0));
  EXPECT_EQ(b.Pixel(0, 1), Bgra(0, 0, 255, 255));  // same colour, so keyed too
  EXPECT_EQ(b.Pixel(2, 1), Bgra(0, 0, 255, 255));
}

TEST(Gif, InterlacedFrameInsideALargerScreen) {
  test::GifPicture s;
  s.screenWidth = 6;
  s.screenHeight = 12;
  s.background = 1;
  s.left = 2;
  s.top = 1;
  s.width = 3;
  s.height = 10;
  s.interlaced = true;
  s.paletteRgb = {0, 0, 0, 10, 20, 30, 0, 0, 0, 0, 0, 0};
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 3; ++x)
      s.indices.push_back(static_cast<uint8_t>(y % 2 == 0 ? 0 : 1));
  // Row y of the frame gets a distinct palette colour so that a wrong pass order shows.
  s.paletteRgb.resize(16 * 3);
  for (int y = 0; y < 10; ++y) {
    s.paletteRgb[static_cast<size_t>((4 + y) * 3)] = static_cast<uint8_t>(100 + y);
    for (int x = 0; x < 3; ++x)
      s.indices[static_cast<size_t>(y * 3 + x)] = static_cast<uint8_t>(4 + y);
  }
  const TABitmap b = DecodeGif(test::EncodeGif(s));
  ASSERT_EQ(b.Width(), 6);
  ASSERT_EQ(b.Height(), 12);
  for (int y = 0; y < 10; ++y)
    EXPECT_EQ(b.Pixel(3, 1 + y), Bgra(0, 0, uint8_t(100 + y), 0)) << y;
  EXPECT_EQ(b.Pixel(0, 0), Bgra(30, 20, 10, 0));  // background outside the frame
  EXPECT_EQ(b.Pixel(5, 11), Bgra(30, 20, 10, 0));
}

// ---- damaged files ----

Bytes ValidPng() {
  return test::EncodePng(Rgba8(8, 8, std::vector<uint32_t>(64, 0x11223344)));
}
Bytes ValidJpeg() {
  return test::EncodeJpeg(16, 16, 3, Bytes(16 * 16 * 3, 128), 90);
}
Bytes ValidGif() {
  test::GifPicture s;
  s.screenWidth = s.width = 8;
  s.screenHeight = s.height = 8;
  s.paletteRgb = {0, 0, 0, 255, 255, 255};
  s.indices.assign(64, 1);
  return test::EncodeGif(s);
}

TEST(PictureDecoders, DamagedFilesThrowTheDecoderError) {
  // Truncations and flipped bytes must give either a picture or TBitmapError, never a crash
  // (the sanitizer build checks the reads).
  struct Codec {
    const char* name;
    TABitmap (*decode)(std::span<const uint8_t>);
    Bytes valid;
  };
  const Codec codecs[] = {
      {"png", &DecodePng, ValidPng()}, {"jpeg", &DecodeJpeg, ValidJpeg()}, {"gif", &DecodeGif, ValidGif()}};
  std::mt19937 rng(42);
  for (const Codec& c : codecs) {
    EXPECT_THROW(c.decode(Bytes{}), TBitmapError) << c.name;
    EXPECT_THROW(c.decode(Bytes(c.valid.begin(), c.valid.begin() + 4)), TBitmapError) << c.name;
    for (size_t cut = 1; cut < c.valid.size(); cut += 7) {
      try {
        c.decode(Bytes(c.valid.begin(), c.valid.begin() + static_cast<std::ptrdiff_t>(cut)));
      } catch (const TBitmapError&) {
      }
    }
    for (int round = 0; round < 200; ++round) {
      Bytes b = c.valid;
      for (int k = 0; k < 3; ++k)
        b[rng() % b.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
      try {
        const TABitmap pic = c.decode(b);
        EXPECT_TRUE(HasArea(pic));
      } catch (const TBitmapError&) {
      }
    }
  }
  // A PNG whose data stream is cut short reports libpng's reason.
  Bytes cut = ValidPng();
  cut.resize(cut.size() - 20);
  try {
    DecodePng(cut);
    ADD_FAILURE() << "truncated PNG decoded";
  } catch (const TBitmapError& e) {
    EXPECT_NE(std::string(e.what()).find("PNG"), std::string::npos);
  }
}

TEST(PictureDecoders, AbsurdSizesAreRefusedBeforeAllocating) {
  // 30000 x 30000 is within libpng's side limit but far beyond the pixel budget.
  test::PngPicture s;
  s.width = 1;
  s.height = 1;
  s.colorType = 0;
  s.rows = {{0}};
  Bytes png = test::EncodePng(s);
  // IHDR width and height at bytes 16 and 20, with the chunk's CRC recomputed.
  auto put32 = [&](size_t pos, uint32_t v) {
    for (int i = 0; i < 4; ++i)
      png[pos + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (24 - 8 * i));
  };
  put32(16, 30000);
  put32(20, 30000);
  put32(29, static_cast<uint32_t>(crc32(0, png.data() + 12, 17)));
  EXPECT_THROW(DecodePng(png), TBitmapError);

  test::GifPicture g;
  g.screenWidth = 30000;
  g.screenHeight = 30000;
  g.width = g.height = 1;
  g.paletteRgb = {0, 0, 0, 1, 1, 1};
  g.indices = {0};
  EXPECT_THROW(DecodeGif(test::EncodeGif(g)), TBitmapError);
}

TEST(PictureDecoders, FilesNameTheFileInTheirErrors) {
  TABitmap out;
  out.SetSize(2, 2);
  try {
    LoadPngFile("/nonexistent/x.png", out);
    ADD_FAILURE();
  } catch (const TBitmapError& e) {
    EXPECT_NE(std::string(e.what()).find("/nonexistent/x.png"), std::string::npos);
  }
  EXPECT_EQ(out.Width(), 2);
}

}  // namespace
}  // namespace vexa
