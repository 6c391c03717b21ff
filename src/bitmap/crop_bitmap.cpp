#include "bitmap/crop_bitmap.h"

#include <cstring>

#include "bitmap/target_bitmap.h"

namespace vexa {

void CropBitmap(int32_t x, int32_t y, int32_t width, int32_t height, TABitmap& target,
                const TABitmap& source) {
  if (!HasArea(source) || source.BitsPerPixel() != 32) return;
  if (width <= 0 || height <= 0 || int64_t{x} + width > source.Width() ||
      int64_t{y} + height > source.Height())
    return;
  if (x < 0 || y < 0) {
    TABitmap paper;
    paper.SetSize(width, height);
    target.Swap(paper);
    return;
  }
  TargetOfSize out(source, target, width, height);
  TABitmap& dst = out.Bitmap();
  for (int32_t i = 0; i < height; ++i)
    std::memcpy(dst.ScanLine(i), source.ScanLine(y + i) + static_cast<size_t>(x) * 4,
                static_cast<size_t>(width) * 4);
  out.Commit();
}

}  // namespace vexa
