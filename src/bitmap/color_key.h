// ColorKey: marks the pixels of one colour transparent (transparent GIF and PNG colours, the
// alpha mask effect).
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

// Inside the rectangle (clipped to the bitmap; nothing happens when it lies outside), the alpha
// byte of every pixel := 255 when its blue, green and red equal those of ColorToPixel(color),
// else 0. Colour bytes are unchanged. A 32-bit bitmap is expected; an empty one is left alone.
void ColorKey(int32_t x, int32_t y, int32_t w, int32_t h, uint32_t color, TABitmap& bitmap);

}  // namespace vexa
