#include "bitmap/tile_bitmap.h"

#include <algorithm>

#include "bitmap/blend.h"

namespace vexa {

void TileBitmap(int32_t width, int32_t height, const TABitmap& source, TABitmap& target) {
  if (width < 1 || height < 1 || !HasArea(source)) return;
  if (&source == &target) {
    TABitmap copy;
    copy.Assign(source);
    TileBitmap(width, height, copy, target);
    return;
  }
  TABitmap tile;
  const TABitmap* src = &source;
  if (source.BitsPerPixel() != 32) {
    tile.Assign(source);
    src = &tile;
  }
  target.Clear();
  target.SetSize(width, height);
  const int32_t sw = src->Width(), sh = src->Height();
  for (int32_t y = 0; y < height; y += sh)
    for (int32_t x = 0; x < width; x += sw)
      BlendCopy(0, 0, std::min(sw, width - x), std::min(sh, height - y), x, y, *src, target);
}

}  // namespace vexa
