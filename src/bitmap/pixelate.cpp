// Mosaic: blocks aligned to the rectangle's top-left corner, each filled with the colour of the
// leftmost pixel of its band's lowest row. Bands are done from the bottom of the rectangle up,
// so every band reads its lowest row before anything above it is written.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "bitmap/colour_filters.h"

namespace vexa {
namespace {

// Round(extent / 255 * s), halves to even; a block size below 2 counts as 1.
int64_t BlockSize(int32_t extent, int64_t s) {
  const int64_t n =
      static_cast<int64_t>(std::nearbyint(static_cast<double>(extent) / 255.0 * static_cast<double>(s)));
  return n < 2 ? 1 : n;
}

}  // namespace

void Pixelate(int32_t x, int32_t y, int32_t width, int32_t height, TABitmap& bitmap, int64_t strength) {
  if (!HasArea(bitmap) || bitmap.BitsPerPixel() != 32) return;
  if (width < 1 || height < 1 || x < 0 || y < 0) return;
  if (int64_t{x} + width > bitmap.Width() || int64_t{y} + height > bitmap.Height()) return;
  const int64_t s = std::clamp<int64_t>(strength, 1, 255);
  const int64_t bw = BlockSize(width, s), bh = BlockSize(height, s);

  // Band tops, from the top: 0, bh, 2 bh, ...; the last band holds height mod bh rows.
  const int64_t bands = (height + bh - 1) / bh;
  for (int64_t band = bands - 1; band >= 0; --band) {
    const int64_t top = band * bh;
    const int64_t bottom = std::min<int64_t>(top + bh, height) - 1;
    const uint32_t* lowest =
        reinterpret_cast<const uint32_t*>(bitmap.ScanLine(static_cast<int32_t>(y + bottom))) + x;
    for (int64_t row = bottom; row >= top; --row) {
      uint32_t* line = reinterpret_cast<uint32_t*>(bitmap.ScanLine(static_cast<int32_t>(y + row))) + x;
      for (int64_t left = 0; left < width; left += bw) {
        const uint32_t colour = lowest[left] & 0x00FFFFFFu;
        const int64_t right = std::min<int64_t>(left + bw, width);
        for (int64_t i = left; i < right; ++i)
          line[i] = (line[i] & 0xFF000000u) | colour;
      }
    }
  }
}

}  // namespace vexa
