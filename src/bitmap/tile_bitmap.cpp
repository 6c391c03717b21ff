#include "bitmap/tile_bitmap.h"

#include <algorithm>
#include <cstring>

#include "bitmap/target_bitmap.h"

namespace vexa {

void TileBitmap(int32_t width, int32_t height, const TABitmap& source, TABitmap& target) {
  if (width < 1 || height < 1 || !HasArea(source) || source.BitsPerPixel() != 32) return;
  const int32_t sw = source.Width(), sh = source.Height();
  TargetOfSize out(source, target, width, height);
  TABitmap& dst = out.Bitmap();
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* s = source.ScanLine(y % sh);
    uint8_t* d = dst.ScanLine(y);
    for (int32_t x = 0; x < width; x += sw)
      std::memcpy(d + static_cast<size_t>(x) * 4, s, static_cast<size_t>(std::min(sw, width - x)) * 4);
  }
  out.Commit();
}

}  // namespace vexa
