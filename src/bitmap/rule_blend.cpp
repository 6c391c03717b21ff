#include "bitmap/rule_blend.h"

#include <algorithm>

namespace vexa {

void RuleBlend(const TABitmap& newPicture, TABitmap& oldPicture, const TABitmap& rule, int32_t width,
               int64_t power) {
  for (const TABitmap* b : {&newPicture, static_cast<const TABitmap*>(&oldPicture), &rule})
    if (!HasArea(*b) || b->BitsPerPixel() != 32) return;
  width = std::clamp(width, 1, 8);
  const uint32_t l = 1u << width;
  const uint32_t m = static_cast<uint32_t>(std::clamp<int64_t>(power, 0, 255)) * (l + 256) >> 8;
  const int32_t w = std::min({newPicture.Width(), oldPicture.Width(), rule.Width()});
  const int32_t h = std::min({newPicture.Height(), oldPicture.Height(), rule.Height()});

  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* src = reinterpret_cast<const uint32_t*>(newPicture.ScanLine(y));
    const uint8_t* levels = rule.ScanLine(y);
    uint32_t* dst = reinterpret_cast<uint32_t*>(oldPicture.ScanLine(y));
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t c = levels[4 * x];
      if (c > m) continue;
      const uint32_t d = m - c;
      if (d > l) {
        dst[x] = src[x];
        continue;
      }
      const uint32_t s = src[x], o = dst[x];
      uint32_t out = 0;
      for (int shift = 0; shift < 32; shift += 8)
        out |= (((s >> shift) & 0xFF) * d + ((o >> shift) & 0xFF) * (l - d)) >> width << shift;
      dst[x] = out;
    }
  }
}

}  // namespace vexa
