#include "render/source_text.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "bitmap/draw_text_alpha.h"
#include "bitmap/text_font.h"
#include "bitmap/tile_bitmap.h"
#include "render/numeric.h"
#include "render/studio.h"

namespace vexa {
namespace {

// Lines are separated by CR LF; a bare LF ends a line too.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  for (;;) {
    const size_t lf = text.find('\n');
    std::string_view line = text.substr(0, lf);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (lf == std::string_view::npos) break;
    text.remove_prefix(lf + 1);
  }
  return lines;
}

}  // namespace

bool RenderTextSource(TVexaStudio& studio, const TGraphicSourceTextEvent& event, TABitmap& target) {
  if (event.Text.empty()) return false;
  const std::string key = TVexaStudio::TextCacheKey(&event);
  if (auto it = studio.TextCache.find(key); it != studio.TextCache.end()) {
    target.Assign(it->second);
    target.Force32Bit();
    return true;
  }

  const TFontEx& font = event.Font;
  const TTextFace face(font.Name, font.Style);
  // Lines are measured at twice the size, as they are drawn.
  const int32_t doubled = FontPixelSize(int64_t{font.Size} * 2);
  const std::vector<std::string_view> lines = SplitLines(event.Text);
  std::vector<int32_t> widths, heights;
  int32_t maxW = 0, totalH = 0;
  for (std::string_view line : lines) {
    const TTextExtent e = face.Extent(line, doubled);
    widths.push_back(e.Width / 2 + 2);
    heights.push_back(e.Height / 2 + 2);
    maxW = std::max(maxW, widths.back());
    totalH += heights.back();
  }

  TABitmap box;
  box.SetSize(maxW, totalH);
  if (font.ColorType == 0) {
    box.Fill(ColorToPixel(static_cast<uint32_t>(font.Color)));
  } else if (font.ColorType == 1) {
    // A missing texture leaves the scratch picture empty, and the box as SetSize made it.
    TABitmap texture;
    studio.LoadPictureFile(font.TextureFileName, texture);
    texture.Force32Bit();
    TileBitmap(box.Width(), box.Height(), texture, box);
  }
  box.SetAlpha(255);

  int32_t y = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const int32_t slack = maxW - widths[i];
    bool draw = true;
    int32_t x = 0;
    switch (font.Align) {
      case 0:
        x = 0;
        break;
      case 1:
        x = static_cast<int32_t>(Round(slack / 2.0));
        break;
      case 2:
        x = slack;
        break;
      default:
        draw = false;  // an unknown alignment draws nothing
    }
    if (draw) DrawTextAlpha(box, x, y, lines[i], face, font.Size);
    y += heights[i];
  }

  target.Clear();
  target.Assign(box);
  studio.TextCache[key].Assign(target);
  return true;
}

TSourceResult RunTextSource(TSourcePass& p) {
  TEventRefList& list = p.Layer.MergedSources;
  if (!p.Pass.Force && list.CursorLoaded) return TSourceResult::Continue;  // the last picture stays
  const auto* event = EventAs<TGraphicSourceTextEvent>(&p.Event);
  const bool ok = event && RenderTextSource(p.Studio, *event, p.Layer.WorkBitmap);
  p.Pass.PictureValid = ok;
  p.Pass.Force = ok;
  p.Layer.SourceActive = ok;
  list.CursorLoaded = true;
  return TSourceResult::Continue;
}

}  // namespace vexa
