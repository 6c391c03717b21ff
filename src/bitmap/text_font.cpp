#include "bitmap/text_font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fcfreetype.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace vexa {
namespace {

// ---- fontconfig ----

struct TPatternFree {
  void operator()(FcPattern* p) const { FcPatternDestroy(p); }
};
using TPatternPtr = std::unique_ptr<FcPattern, TPatternFree>;

bool SameFamily(std::string_view a, std::string_view b) {
  auto norm = [](std::string_view s) {
    std::string out;
    for (unsigned char c : s)
      if (c != ' ') out.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c));
    return out;
  };
  return norm(a) == norm(b);
}

TPatternPtr Match(TPatternPtr pattern, int32_t style) {
  FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                      (style & text_style::Bold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern.get(), FC_SLANT,
                      (style & text_style::Italic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
  FcDefaultSubstitute(pattern.get());
  FcResult result = FcResultNoMatch;
  return TPatternPtr(FcFontMatch(nullptr, pattern.get(), &result));
}

TFontFile FileOf(const FcPattern* match) {
  FcChar8* file = nullptr;
  int index = 0;
  if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch || !file) return {};
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  return {reinterpret_cast<const char*>(file), index};
}

bool HasJapanese(const FcPattern* match) {
  FcCharSet* chars = nullptr;
  return FcPatternGetCharSet(match, FC_CHARSET, 0, &chars) == FcResultMatch && chars &&
         FcCharSetHasChar(chars, 0x3042) && FcCharSetHasChar(chars, 0x6F22);  // あ, 漢
}

// ---- UTF-8 ----

std::u32string DecodeUtf8(std::string_view s) {
  std::u32string out;
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
    bool ok = len > 0 && i + static_cast<size_t>(len) <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      const unsigned char d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      ok = (d & 0xC0) == 0x80;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += static_cast<size_t>(len);
  }
  return out;
}

// ---- FreeType ----

struct TFace {
  FT_Face Face = nullptr;
  bool SynthBold = false;
  bool SynthItalic = false;
};

int32_t Round26(FT_Pos v) {
  return static_cast<int32_t>((v + 32) >> 6);
}

}  // namespace

TFontFile FindInstalledFont(const std::string& family, int32_t style) {
  if (family.empty()) return {};
  TPatternPtr pattern(FcPatternCreate());
  if (!pattern) return {};
  FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  TPatternPtr match = Match(std::move(pattern), style);
  if (!match) return {};
  FcChar8* name = nullptr;
  for (int i = 0; FcPatternGetString(match.get(), FC_FAMILY, i, &name) == FcResultMatch; ++i)
    if (name && SameFamily(reinterpret_cast<const char*>(name), family)) return FileOf(match.get());
  return {};  // fontconfig substituted another family: the name is not installed
}

TFontFile FallbackFontFile(int32_t style) {
  TFontFile f = FindInstalledFont(kFallbackFontFamily, style);
  if (!f.Path.empty()) return f;
  TPatternPtr pattern(FcPatternCreate());
  if (pattern) {
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddString(pattern.get(), FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    FcPatternAddInteger(pattern.get(), FC_SPACING, FC_PROPORTIONAL);
    TPatternPtr match = Match(std::move(pattern), style);
    if (match && HasJapanese(match.get())) return FileOf(match.get());
  }
  throw TBitmapError("no Japanese font is installed (expected " + std::string(kFallbackFontFamily) + ")");
}

std::string FontFamilyOf(const TFontFile& file) {
  int count = 0;
  TPatternPtr pattern(FcFreeTypeQuery(reinterpret_cast<const FcChar8*>(file.Path.c_str()),
                                      static_cast<unsigned>(file.Index), nullptr, &count));
  FcChar8* name = nullptr;
  if (!pattern || FcPatternGetString(pattern.get(), FC_FAMILY, 0, &name) != FcResultMatch || !name) return {};
  return reinterpret_cast<const char*>(name);
}

int32_t FontPixelSize(int64_t points) {
  if (points <= 0) points = 12;
  points = std::min<int64_t>(points, int64_t{kMaxFontPixels} * 2);
  const int64_t px = (points * 96 + 36) / 72;  // MulDiv rounds halves up
  return static_cast<int32_t>(std::clamp<int64_t>(px, 1, kMaxFontPixels));
}

struct TTextFace::TImpl {
  FT_Library Library = nullptr;
  TFace Primary, Fallback;
  TFontFile PrimaryFile;

  ~TImpl() {
    if (Fallback.Face) FT_Done_Face(Fallback.Face);
    if (Primary.Face) FT_Done_Face(Primary.Face);
    if (Library) FT_Done_FreeType(Library);
  }

  bool Open(TFace& f, const TFontFile& file, int32_t style) {
    if (file.Path.empty()) return false;
    if (FT_New_Face(Library, file.Path.c_str(), file.Index, &f.Face) != 0) {
      f.Face = nullptr;
      return false;
    }
    FT_Select_Charmap(f.Face, FT_ENCODING_UNICODE);
    f.SynthBold = (style & text_style::Bold) && !(f.Face->style_flags & FT_STYLE_FLAG_BOLD);
    f.SynthItalic = (style & text_style::Italic) && !(f.Face->style_flags & FT_STYLE_FLAG_ITALIC);
    return true;
  }

  static void SetSize(const TFace& f, int32_t pixels) {
    if (!f.Face) return;
    if (FT_Set_Pixel_Sizes(f.Face, 0, static_cast<FT_UInt>(pixels)) != 0 && f.Face->num_fixed_sizes > 0)
      FT_Select_Size(f.Face, 0);
  }

  // Ascent and descent in pixels: the Windows metrics of the OS/2 table where the face has
  // them, else FreeType's scaled ones.
  void Metrics(int32_t pixels, int32_t& ascent, int32_t& descent) const {
    const FT_Face face = Primary.Face;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF && face->units_per_EM > 0 &&
        (os2->usWinAscent + os2->usWinDescent) > 0) {
      const int64_t em = face->units_per_EM;
      ascent = static_cast<int32_t>((int64_t{os2->usWinAscent} * pixels + em - 1) / em);
      descent = static_cast<int32_t>((int64_t{os2->usWinDescent} * pixels + em - 1) / em);
      return;
    }
    ascent = static_cast<int32_t>((face->size->metrics.ascender + 63) >> 6);
    descent = static_cast<int32_t>((-face->size->metrics.descender + 63) >> 6);
  }

  // The face holding the character and its glyph index.
  std::pair<const TFace*, FT_UInt> Glyph(char32_t c) const {
    const FT_UInt g = FT_Get_Char_Index(Primary.Face, c);
    if (g != 0 || !Fallback.Face) return {&Primary, g};
    const FT_UInt h = FT_Get_Char_Index(Fallback.Face, c);
    return h != 0 ? std::pair<const TFace*, FT_UInt>{&Fallback, h}
                  : std::pair<const TFace*, FT_UInt>{&Primary, 0};
  }

  // Loads a glyph with the style synthesised as needed; false when it cannot be loaded.
  static bool Load(const TFace& f, FT_UInt glyph, bool render) {
    if (FT_Load_Glyph(f.Face, glyph, FT_LOAD_DEFAULT) != 0) return false;
    if (f.SynthBold) FT_GlyphSlot_Embolden(f.Face->glyph);
    if (f.SynthItalic) FT_GlyphSlot_Oblique(f.Face->glyph);
    if (render && FT_Render_Glyph(f.Face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    return true;
  }

  // Walks the line: for each glyph, its face, pen position and (when rendering) the loaded
  // slot. Returns the total advance.
  template <class F>
  int32_t Walk(std::string_view line, bool render, F onGlyph) const {
    int32_t pen = 0;
    const TFace* prevFace = nullptr;
    FT_UInt prev = 0;
    for (char32_t c : DecodeUtf8(line)) {
      if (c < 0x20 || c == 0x7F) continue;  // control characters draw nothing
      const auto [face, glyph] = Glyph(c);
      if (prevFace == face && prev != 0 && glyph != 0 && FT_HAS_KERNING(face->Face)) {
        FT_Vector delta{};
        if (FT_Get_Kerning(face->Face, prev, glyph, FT_KERNING_DEFAULT, &delta) == 0) pen += Round26(delta.x);
      }
      if (!Load(*face, glyph, render)) continue;
      onGlyph(pen, face->Face->glyph);
      pen += Round26(face->Face->glyph->advance.x);
      prevFace = face;
      prev = glyph;
    }
    return pen;
  }
};

TTextFace::TTextFace(const std::string& family, int32_t style)
    : TTextFace(FindInstalledFont(family, style), FallbackFontFile(style), style) {}

TTextFace::TTextFace(const TFontFile& primary, const TFontFile& fallback, int32_t style)
    : impl_(std::make_unique<TImpl>()), style_(style) {
  if (FT_Init_FreeType(&impl_->Library) != 0) {
    impl_->Library = nullptr;
    throw TBitmapError("cannot start the font rasteriser");
  }
  const bool hasPrimary = impl_->Open(impl_->Primary, primary, style);
  const bool hasFallback = impl_->Open(impl_->Fallback, fallback, style);
  if (!hasPrimary) {
    if (!hasFallback)
      throw TBitmapError("cannot open font " + (primary.Path.empty() ? fallback.Path : primary.Path));
    std::swap(impl_->Primary, impl_->Fallback);  // the fallback face stands in for a missing one
    impl_->PrimaryFile = fallback;
  } else {
    impl_->PrimaryFile = primary;
  }
}

TTextFace::~TTextFace() = default;

const TFontFile& TTextFace::PrimaryFile() const {
  return impl_->PrimaryFile;
}

TTextExtent TTextFace::Extent(std::string_view line, int32_t pixels) const {
  pixels = std::clamp(pixels, 1, kMaxFontPixels);
  TImpl::SetSize(impl_->Primary, pixels);
  TImpl::SetSize(impl_->Fallback, pixels);
  int32_t ascent = 0, descent = 0;
  impl_->Metrics(pixels, ascent, descent);
  const int32_t width = impl_->Walk(line, false, [](int32_t, FT_GlyphSlot) {});
  return {std::max(width, 0), ascent + descent};
}

void TTextFace::DrawBlack(TABitmap& target, int32_t x, int32_t y, std::string_view line,
                          int32_t pixels) const {
  if (!HasArea(target) || target.BitsPerPixel() != 32) return;
  pixels = std::clamp(pixels, 1, kMaxFontPixels);
  TImpl::SetSize(impl_->Primary, pixels);
  TImpl::SetSize(impl_->Fallback, pixels);
  int32_t ascent = 0, descent = 0;
  impl_->Metrics(pixels, ascent, descent);
  const int64_t baseline = int64_t{y} + ascent;
  const int32_t tw = target.Width(), th = target.Height();

  auto darken = [&](int64_t px, int64_t py, uint32_t cover) {
    if (px < 0 || py < 0 || px >= tw || py >= th || cover == 0) return;
    uint8_t* p = target.ScanLine(static_cast<int32_t>(py)) + px * 4;
    for (int i = 0; i < 3; ++i)
      p[i] = static_cast<uint8_t>((p[i] * (255 - cover) + 127) / 255);
  };

  const int32_t width = impl_->Walk(line, true, [&](int32_t pen, FT_GlyphSlot slot) {
    const FT_Bitmap& bm = slot->bitmap;
    const int64_t left = int64_t{x} + pen + slot->bitmap_left, top = baseline - slot->bitmap_top;
    for (unsigned r = 0; r < bm.rows; ++r) {
      const unsigned char* row =
          bm.pitch >= 0 ? bm.buffer + static_cast<size_t>(r) * static_cast<size_t>(bm.pitch)
                        : bm.buffer + static_cast<size_t>(bm.rows - 1 - r) * static_cast<size_t>(-bm.pitch);
      for (unsigned c = 0; c < bm.width; ++c) {
        uint32_t cover = 0;
        if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
          cover = bm.num_grays == 256 ? row[c] : row[c] * 255u / std::max(1, bm.num_grays - 1);
        else if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
          cover = (row[c >> 3] & (0x80 >> (c & 7))) ? 255 : 0;
        darken(left + c, top + r, cover);
      }
    }
  });

  // Underline and strike-out bars across the line's advance.
  const FT_Face face = impl_->Primary.Face;
  const double scale = face->units_per_EM > 0 ? static_cast<double>(pixels) / face->units_per_EM : 0;
  auto bar = [&](int64_t top, int32_t thickness) {
    for (int32_t r = 0; r < thickness; ++r)
      for (int32_t c = 0; c < width; ++c)
        darken(int64_t{x} + c, top + r, 255);
  };
  int32_t lineThickness =
      std::max<int32_t>(1, static_cast<int32_t>(std::lround(face->underline_thickness * scale)));
  if (style_ & text_style::Underline) {
    int64_t pos = scale > 0 ? std::lround(-face->underline_position * scale) : descent / 2;
    pos = std::clamp<int64_t>(pos, 1, std::max(1, descent));
    bar(baseline + pos - lineThickness / 2, lineThickness);
  }
  if (style_ & text_style::StrikeOut) {
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    int64_t pos = ascent / 3;
    int32_t size = lineThickness;
    if (os2 && os2->version != 0xFFFF && scale > 0 && os2->yStrikeoutPosition > 0) {
      pos = std::lround(os2->yStrikeoutPosition * scale);
      size = std::max<int32_t>(1, static_cast<int32_t>(std::lround(os2->yStrikeoutSize * scale)));
    }
    bar(baseline - pos, size);
  }
}

}  // namespace vexa

// fontconfig's configuration parser loses a few bytes once per process; keep the leak checker
// of sanitizer builds quiet about that library only.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
