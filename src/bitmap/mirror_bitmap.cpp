#include "bitmap/mirror_bitmap.h"

#include <algorithm>
#include <cstring>

#include "bitmap/target_bitmap.h"

namespace vexa {

void MirrorHorizontal(const TABitmap& source, TABitmap& target) {
  if (!HasArea(source) || source.BitsPerPixel() != 32) return;
  const int32_t w = source.Width(), h = source.Height();
  TargetOfSize out(source, target, w, h);
  TABitmap& dst = out.Bitmap();
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* s = reinterpret_cast<const uint32_t*>(source.ScanLine(y));
    std::reverse_copy(s, s + w, reinterpret_cast<uint32_t*>(dst.ScanLine(y)));
  }
  out.Commit();
}

void MirrorVertical(const TABitmap& source, TABitmap& target) {
  if (!HasArea(source) || source.BitsPerPixel() != 32) return;
  const int32_t w = source.Width(), h = source.Height();
  TargetOfSize out(source, target, w, h);
  TABitmap& dst = out.Bitmap();
  for (int32_t y = 0; y < h; ++y)
    std::memcpy(dst.ScanLine(h - 1 - y), source.ScanLine(y), static_cast<size_t>(w) * 4);
  out.Commit();
}

}  // namespace vexa
