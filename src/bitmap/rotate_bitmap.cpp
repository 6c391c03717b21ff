#include "bitmap/rotate_bitmap.h"

#include <cmath>
#include <cstdlib>

#include "bitmap/target_bitmap.h"

namespace vexa {

TRotateOffset RotateBitmap(const TABitmap& source, TABitmap& target, int32_t originX, int32_t originY,
                           int32_t angle) {
  if (!HasArea(source) || source.BitsPerPixel() != 32) return {};
  const int32_t g = ((angle % 1000) + 1000) % 1000;
  if (g == 0) {
    target.Assign(source);
    return {};
  }
  const double theta = g * 0.36 * 0.017453292519943295769;
  const int32_t c = static_cast<int32_t>(std::nearbyint(std::cos(theta) * 1024));
  const int32_t s = static_cast<int32_t>(std::nearbyint(std::sin(-theta) * 1024));
  const int32_t w = source.Width(), h = source.Height();
  const int64_t w2 = (std::llabs(int64_t{c} * w) + std::llabs(int64_t{s} * h)) >> 10;
  const int64_t h2 = (std::llabs(int64_t{s} * w) + std::llabs(int64_t{c} * h)) >> 10;
  const int32_t hw = w / 2, hh = h / 2;
  const int32_t nw = static_cast<int32_t>(w2 >> 1), nh = static_cast<int32_t>(h2 >> 1);

  // The offset in full precision.
  const double ex = std::trunc(std::cos(theta) * (originX - hw) - std::sin(theta) * (originY - hh) + nw);
  const double ey = std::trunc(std::sin(theta) * (originX - hw) + std::cos(theta) * (originY - hh) + nh);
  const TRotateOffset offset{static_cast<int32_t>(originX - ex), static_cast<int32_t>(originY - ey)};

  TargetOfSize out(source, target, w2, h2);
  TABitmap& dst = out.Bitmap();
  const uint32_t* bottom = source.Pixels();  // row y from the top starts at bottom + (h - 1 - y) * w
  for (int32_t i = 0; i < dst.Height(); ++i) {
    uint32_t* d = reinterpret_cast<uint32_t*>(dst.ScanLine(i));
    const int32_t dy = i - nh;
    // Walk the source position along the row by adding c and s' per pixel.
    int32_t sx = hw * 1024 + c * (0 - nw) - s * dy;
    int32_t sy = hh * 1024 + s * (0 - nw) + c * dy;
    for (int32_t j = 0; j < dst.Width(); ++j, sx += c, sy += s) {
      const int32_t px = sx >> 10, py = sy >> 10;
      d[j] = (sx >= 0 && sy >= 0 && px < w && py < h) ? bottom[static_cast<size_t>(h - 1 - py) * w + px]
                                                      : 0xFF000000u;
    }
  }
  out.Commit();
  return offset;
}

}  // namespace vexa
