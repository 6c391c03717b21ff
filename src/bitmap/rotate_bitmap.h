// Rotation of a picture about its centre with 10-bit fixed-point sine and cosine.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

struct TRotateOffset {
  int32_t X = 0, Y = 0;
};

// Turns Source by Angle (1000 units make a full turn; positive turns clockwise on the screen)
// into Target, which becomes large enough to hold the turned corners:
//   g = ((Angle mod 1000) + 1000) mod 1000; g = 0 copies Source (offset (0, 0));
//   c = Round(cos(g * 0.36 deg) * 1024), s' = Round(sin(-g * 0.36 deg) * 1024);
//   W' = (|c W| + |s' H|) >> 10, H' = (|s' W| + |c H|) >> 10;
//   target pixel (j, i) is source pixel ((hw*1024 + c dx - s' dy) >> 10, (hh*1024 + s' dx + c dy) >> 10)
//   with dx = j - W'/2, dy = i - H'/2, hw = W / 2, hh = H / 2 (nearest neighbour), or
//   0xFF000000 where that lies outside Source.
// The result is the offset that keeps the point (OriginX, OriginY) of Source where it was: the
// caller adds it to the picture's position. Returns at once (offset (0, 0), Target untouched)
// when Source is empty or not at 32 bits. Throws TBitmapError when the turned picture would
// exceed the size limit of TABitmap (Target untouched).
TRotateOffset RotateBitmap(const TABitmap& source, TABitmap& target, int32_t originX, int32_t originY,
                           int32_t angle);

}  // namespace vexa
