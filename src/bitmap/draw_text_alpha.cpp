#include "bitmap/draw_text_alpha.h"

#include "bitmap/smooth2x2.h"

namespace vexa {

void DrawTextAlpha(TABitmap& target, int32_t x, int32_t y, std::string_view line, const TTextFace& face,
                   int32_t points) {
  if (!HasArea(target) || target.BitsPerPixel() != 32) return;
  // The line at twice the size, black on white paper.
  const int32_t pixels = FontPixelSize(int64_t{points} * 2);
  const TTextExtent e = face.Extent(line, pixels);
  int32_t w = e.Width / 2, h = e.Height / 2;
  TABitmap s;
  s.SetSize(2 * w + 2, 2 * h + 2);  // fresh paper is white
  face.DrawBlack(s, 0, 0, line, pixels);
  Smooth2x2(s);

  if (int64_t{x} + w > target.Width()) w = target.Width() - x;
  if (int64_t{y} + h > target.Height()) h = target.Height() - y;
  // Output row k reads rows 2k + 1 and 2k + 2 of the scratch picture.
  for (int32_t k = 0; k < h; ++k) {
    const int32_t ty = y + k;
    if (ty < 0) continue;
    const uint8_t* upper = s.ScanLine(2 * k + 1);
    const uint8_t* lower = s.ScanLine(2 * k + 2);
    uint8_t* out = target.ScanLine(ty);
    for (int32_t j = 0; j < w; ++j) {
      const int32_t tx = x + j;
      if (tx < 0) continue;
      const uint32_t e4 = upper[8 * j] + upper[8 * j + 4] + lower[8 * j] + lower[8 * j + 4];
      if (e4 < 1020) out[static_cast<size_t>(tx) * 4 + 3] = static_cast<uint8_t>(e4 / 4);
    }
  }
}

}  // namespace vexa
