#include <gtest/gtest.h>

#include <random>

#include "bitmap/draw_text_alpha.h"
#include "bitmap/smooth2x2.h"
#include "bitmap/text_font.h"

namespace vexa {
namespace {

// The font every pixel test uses, named by file so that results do not depend on the
// machine's font configuration (installed by scripts/install-deps.sh).
const TFontFile kPinnedFont{"/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf", 0};

uint32_t Px(uint8_t b, uint8_t g, uint8_t r, uint8_t a) {
  return uint32_t{b} | (uint32_t{g} << 8) | (uint32_t{r} << 16) | (uint32_t{a} << 24);
}
uint32_t Grey(uint8_t v, uint8_t a) {
  return Px(v, v, v, a);
}

// ---- Smooth2x2 ----

TABitmap Picture(int w, int h, const std::vector<uint32_t>& topDown) {
  TABitmap b;
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, topDown[static_cast<size_t>(y * w + x)]);
  return b;
}

TEST(Smooth2x2, HandWorkedThreeByTwo) {
  const std::vector<uint32_t> in = {Grey(10, 1), Grey(21, 2), Grey(40, 3),
                                    Grey(30, 4), Grey(51, 5), Grey(90, 6)};
  TABitmap p = Picture(3, 2, in), s = Picture(3, 2, in);
  plain::Smooth2x2(p);
  simd::Smooth2x2(s);
  // plain: (10+21+30+51)/4 = 28, (21+40+51+90)/4 = 50, last (40+90)/2 = 65
  EXPECT_EQ(p.Pixel(0, 0), Grey(28, 1));
  EXPECT_EQ(p.Pixel(1, 0), Grey(50, 2));
  EXPECT_EQ(p.Pixel(2, 0), Grey(65, 3));
  // with rounding averages: avg(16, 41) = 29, avg(31, 71) = 51, last avg(51, avg(90, 40)) = 58
  EXPECT_EQ(s.Pixel(0, 0), Grey(29, 1));
  EXPECT_EQ(s.Pixel(1, 0), Grey(51, 2));
  EXPECT_EQ(s.Pixel(2, 0), Grey(58, 3));
  // bottom row in both: (30+51)/2 = 40, (51+90)/2 = 70, last = its left neighbour's value
  for (const TABitmap* b : {&p, &s}) {
    EXPECT_EQ(b->Pixel(0, 1), Grey(40, 4));
    EXPECT_EQ(b->Pixel(1, 1), Grey(70, 5));
    EXPECT_EQ(b->Pixel(2, 1), Grey(70, 6));
  }
}

// The formulas, written out independently of the kernels, byte by byte.
TABitmap Reference(const TABitmap& src, bool rounding) {
  const int w = src.Width(), h = src.Height();
  TABitmap out;
  out.Assign(src);
  auto byte = [](uint32_t p, int i) { return (p >> (8 * i)) & 0xFFu; };
  auto avg = [](uint32_t a, uint32_t b) { return (a + b + 1) / 2; };
  for (int y = 0; y + 1 < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t v = src.Pixel(x, y) & 0xFF000000u;
      for (int i = 0; i < 3; ++i) {
        const uint32_t p = byte(src.Pixel(x, y), i), q = byte(src.Pixel(x, y + 1), i);
        uint32_t c;
        if (x + 1 < w) {
          const uint32_t r = byte(src.Pixel(x + 1, y), i), d = byte(src.Pixel(x + 1, y + 1), i);
          c = rounding ? avg(avg(p, r), avg(q, d)) : (p + r + q + d) / 4;
        } else if (rounding && w > 1) {
          c = avg(byte(out.Pixel(x - 1, y), i), avg(q, p));
        } else {
          c = (p + q) / 2;
        }
        v |= c << (8 * i);
      }
      out.SetPixel(x, y, v);
    }
  }
  for (int x = 0; x < w; ++x) {
    uint32_t v = src.Pixel(x, h - 1) & 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
      const uint32_t c = x + 1 < w ? (byte(src.Pixel(x, h - 1), i) + byte(src.Pixel(x + 1, h - 1), i)) / 2
                         : w > 1   ? byte(out.Pixel(x - 1, h - 1), i)
                                   : byte(src.Pixel(x, h - 1), i);
      v |= c << (8 * i);
    }
    out.SetPixel(x, h - 1, v);
  }
  return out;
}

TEST(Smooth2x2, BothVariantsFollowTheirFormulasAtEveryWidth) {
  std::mt19937 rng(5);
  for (int w = 1; w <= 19; ++w)
    for (int h : {1, 2, 5}) {
      std::vector<uint32_t> px(static_cast<size_t>(w * h));
      for (uint32_t& v : px)
        v = rng();
      TABitmap p = Picture(w, h, px), s = Picture(w, h, px);
      plain::Smooth2x2(p);
      simd::Smooth2x2(s);
      const TABitmap rp = Reference(Picture(w, h, px), false), rs = Reference(Picture(w, h, px), true);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          ASSERT_EQ(p.Pixel(x, y), rp.Pixel(x, y)) << "plain " << w << "x" << h << " at " << x << "," << y;
          ASSERT_EQ(s.Pixel(x, y), rs.Pixel(x, y)) << "simd " << w << "x" << h << " at " << x << "," << y;
        }
    }
  TABitmap empty;
  Smooth2x2(empty);
  EXPECT_FALSE(HasArea(empty));
}

// ---- fonts ----

TEST(TextFont, PointsAt96DotsPerInch) {
  EXPECT_EQ(FontPixelSize(10), 13);
  EXPECT_EQ(FontPixelSize(20), 27);
  EXPECT_EQ(FontPixelSize(9), 12);
  EXPECT_EQ(FontPixelSize(12), 16);
  EXPECT_EQ(FontPixelSize(0), 16);  // default size
  EXPECT_EQ(FontPixelSize(int64_t{1} << 40), kMaxFontPixels);
}

TEST(TextFont, MissingNamesFallBackToTheJapaneseGothicFace) {
  EXPECT_TRUE(FindInstalledFont("No Such Font 12345", 0).Path.empty());
  const TFontFile fallback = FallbackFontFile(0);
  EXPECT_EQ(fallback.Path, kPinnedFont.Path);
  for (const char* name : {"ＭＳ Ｐゴシック", "No Such Font 12345", ""}) {
    const TTextFace face(name, 0);
    EXPECT_EQ(face.PrimaryFile().Path, kPinnedFont.Path) << name;
  }
  // An installed Latin face keeps its name but borrows Japanese glyphs.
  const TFontFile dejavu = FindInstalledFont("DejaVu Sans", 0);
  ASSERT_FALSE(dejavu.Path.empty());
  const TTextFace latin("DejaVu Sans", 0);
  EXPECT_EQ(latin.PrimaryFile().Path, dejavu.Path);
  EXPECT_GT(latin.Extent("あいう", 26).Width, 3 * 20);
}

int InkCount(const TABitmap& b) {
  int n = 0;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      n += (b.Pixel(x, y) >> 24) < 255;
  return n;
}

TABitmap Paper(int w, int h) {
  TABitmap b;
  b.SetSize(w, h);
  b.Fill(0xFF123456u);  // colour 0x123456, transparent
  return b;
}

TEST(DrawTextAlpha, InkGoesIntoAlphaOnlyWithinTheLineBox) {
  const TTextFace face(kPinnedFont, {}, 0);
  const TTextExtent e = face.Extent("Vexa", FontPixelSize(40));
  TABitmap t = Paper(120, 60);
  DrawTextAlpha(t, 3, 4, "Vexa", face, 20);
  int opaque = 0, partial = 0;
  for (int y = 0; y < t.Height(); ++y)
    for (int x = 0; x < t.Width(); ++x) {
      const uint32_t p = t.Pixel(x, y);
      ASSERT_EQ(p & 0x00FFFFFFu, 0x123456u);  // colours untouched
      const uint32_t a = p >> 24;
      const bool inBox = x >= 3 && x < 3 + e.Width / 2 && y >= 4 && y < 4 + e.Height / 2;
      if (!inBox) {
        ASSERT_EQ(a, 255u) << x << "," << y;
      }
      opaque += a == 0;
      partial += a > 0 && a < 255;
    }
  EXPECT_GT(opaque, 20);   // solid stroke interiors
  EXPECT_GT(partial, 20);  // smoothed edges
}

TEST(DrawTextAlpha, ClipsAtTheTargetEdgesAndIgnoresEmptyTargets) {
  const TTextFace face(kPinnedFont, {}, 0);
  TABitmap t = Paper(10, 8);
  DrawTextAlpha(t, 4, 3, "MMMM", face, 30);
  DrawTextAlpha(t, -6, -6, "MMMM", face, 30);
  EXPECT_GT(InkCount(t), 0);
  TABitmap empty;
  DrawTextAlpha(empty, 0, 0, "M", face, 30);
  EXPECT_FALSE(HasArea(empty));
}

TEST(DrawTextAlpha, StylesChangeTheInk) {
  auto ink = [](int32_t style, const char* text, int32_t points = 16) {
    const TTextFace face(kPinnedFont, {}, style);
    TABitmap t = Paper(200, 60);
    DrawTextAlpha(t, 0, 0, text, face, points);
    return t;
  };
  const TABitmap regular = ink(0, "lll"), bold = ink(text_style::Bold, "lll");
  EXPECT_GT(InkCount(bold), InkCount(regular) + 5);  // the face has no bold: synthesised
  const TABitmap italic = ink(text_style::Italic, "lll");
  bool differs = false;
  for (int y = 0; y < 60 && !differs; ++y)
    for (int x = 0; x < 200; ++x)
      differs |= italic.Pixel(x, y) != regular.Pixel(x, y);
  EXPECT_TRUE(differs);

  // Underline and strike-out are full-width rows of ink below and through the letters.
  const TTextFace plainFace(kPinnedFont, {}, 0);
  const int w = plainFace.Extent("- -", FontPixelSize(64)).Width / 2;
  auto fullRows = [&](const TABitmap& t) {
    int rows = 0;
    for (int y = 0; y < t.Height(); ++y) {
      int inked = 0;
      for (int x = 0; x < w; ++x)
        inked += (t.Pixel(x, y) >> 24) < 200;
      rows += inked >= w - 2;
    }
    return rows;
  };
  EXPECT_EQ(fullRows(ink(0, "- -", 32)), 0);
  EXPECT_GE(fullRows(ink(text_style::Underline, "- -", 32)), 1);
  EXPECT_GE(fullRows(ink(text_style::StrikeOut, "- -", 32)), 1);
}

TEST(TextFont, ExtentIsAdvancesAndFontHeight) {
  const TTextFace face(kPinnedFont, {}, 0);
  const int32_t px = FontPixelSize(20);
  const TTextExtent one = face.Extent("あ", px), three = face.Extent("あああ", px),
                    none = face.Extent("", px);
  EXPECT_EQ(none.Width, 0);
  EXPECT_EQ(three.Width, 3 * one.Width);  // no kerning between these
  EXPECT_EQ(one.Height, none.Height);
  EXPECT_GE(one.Height, px);      // ascent + descent cover the em
  EXPECT_NEAR(one.Width, px, 2);  // a full-width character is one em wide
}

}  // namespace
}  // namespace vexa
