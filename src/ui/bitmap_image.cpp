#include "ui/bitmap_image.h"

#include <cstring>

#include "bitmap/bitmap.h"

namespace vexa::ui {

QImage ImageOfBitmap(const TABitmap& b) {
  if (!HasArea(b)) return {};
  if (b.BitsPerPixel() == 24) {
    // Bytes blue, green, red: Qt's BGR888.
    QImage image(b.Width(), b.Height(), QImage::Format_BGR888);
    for (int32_t y = 0; y < b.Height(); ++y)
      std::memcpy(image.scanLine(y), b.ScanLine(y), static_cast<size_t>(b.Width()) * 3);
    return image;
  }
  // The engine's fourth byte is transparency; shown pictures are opaque.
  QImage image(b.Width(), b.Height(), QImage::Format_RGB32);
  for (int32_t y = 0; y < b.Height(); ++y) {
    const auto* from = reinterpret_cast<const uint32_t*>(b.ScanLine(y));
    auto* to = reinterpret_cast<uint32_t*>(image.scanLine(y));
    for (int32_t x = 0; x < b.Width(); ++x)
      to[x] = from[x] | 0xFF000000u;
  }
  return image;
}

}  // namespace vexa::ui
