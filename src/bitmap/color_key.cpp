#include "bitmap/color_key.h"

#include "bitmap/blend.h"

namespace vexa {

void ColorKey(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t color, TABitmap& bitmap) {
  if (!HasArea(bitmap) || bitmap.BitsPerPixel() != 32 || w <= 0 || h <= 0) return;
  int32_t srcX = 0, srcY = 0;
  if (!ClipBlendRect(srcX, srcY, w, h, x, y, bitmap.Width(), bitmap.Height())) return;
  if (w <= 0 || h <= 0) return;
  const uint32_t key = ColorToPixel(color) & 0x00FFFFFFu;
  for (int32_t row = y; row < y + h; ++row) {
    uint32_t* p = reinterpret_cast<uint32_t*>(bitmap.ScanLine(row)) + x;
    for (int32_t i = 0; i < w; ++i) {
      const uint32_t rgb = p[i] & 0x00FFFFFFu;
      p[i] = rgb | (rgb == key ? 0xFF000000u : 0u);
    }
  }
}

}  // namespace vexa
