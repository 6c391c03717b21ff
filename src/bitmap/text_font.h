// Fonts for text sources: names resolve through fontconfig, glyphs are rasterised by FreeType.
//
// Sizes are in points at 96 dots per inch (10 points = 13 pixels, rounded as MulDiv does).
// A name that is not installed, the default face "ＭＳ Ｐゴシック" included, lands on an
// installed Japanese proportional Gothic face; characters that the chosen face lacks are taken
// from that face too. Bold and italic use the face's own styles when it has them and are
// synthesised otherwise; underline and strike-out are drawn as bars.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "bitmap/bitmap.h"

namespace vexa {

namespace text_style {
inline constexpr int32_t Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8;
}

// The Japanese proportional Gothic family that missing names fall back to.
inline constexpr const char* kFallbackFontFamily = "IPAPGothic";

// A font file and the face index inside it.
struct TFontFile {
  std::string Path;
  int Index = 0;
};

// The file fontconfig picks for a family and style. Empty Path when the family is not
// installed (fontconfig would substitute another one).
TFontFile FindInstalledFont(const std::string& family, int32_t style);
// The fallback face (kFallbackFontFamily, else any installed Japanese proportional sans face).
// Throws TBitmapError when the machine has no Japanese face at all.
TFontFile FallbackFontFile(int32_t style);

// The family name stored in a font file (its first one); empty when the file cannot be read.
std::string FontFamilyOf(const TFontFile& file);

// Pixel height of the em at 96 dots per inch: MulDiv(points, 96, 72). Non-positive sizes use
// the default of 12 points; the result is at most kMaxFontPixels.
int32_t FontPixelSize(int64_t points);
inline constexpr int32_t kMaxFontPixels = 2048;

struct TTextExtent {
  int32_t Width = 0;   // sum of the glyph advances, kerning included
  int32_t Height = 0;  // ascent + descent of the font
};

// An opened face (and its fallback) with a style, usable at any pixel size.
class TTextFace {
 public:
  // Resolves `family` as above. Throws TBitmapError when no usable font can be opened.
  TTextFace(const std::string& family, int32_t style);
  // A face from explicit files (tests pin their font this way); `fallback` may have an empty
  // path for none.
  TTextFace(const TFontFile& primary, const TFontFile& fallback, int32_t style);
  ~TTextFace();
  TTextFace(const TTextFace&) = delete;
  TTextFace& operator=(const TTextFace&) = delete;

  const TFontFile& PrimaryFile() const;
  int32_t Style() const { return style_; }

  // Extent of one line of UTF-8 text at the given pixel size.
  TTextExtent Extent(std::string_view line, int32_t pixels) const;
  // Draws the line in black ink with (x, y) the top-left of its box: each colour byte of a
  // covered pixel is darkened by the glyph's coverage; alpha bytes are untouched. Clipped to
  // the picture, which must be 32-bit.
  void DrawBlack(TABitmap& target, int32_t x, int32_t y, std::string_view line, int32_t pixels) const;

 private:
  struct TImpl;
  std::unique_ptr<TImpl> impl_;
  int32_t style_ = 0;
};

}  // namespace vexa
