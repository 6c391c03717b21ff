// Covering a picture with copies of another.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

// Target becomes 32-bit, Width x Height, covered from its top-left corner with whole copies
// of Source laid in rows (at x = 0, Source width, 2 x Source width ... and y = 0, Source
// height ...); the copies in the last column and row are cut to their top-left part. Every
// byte, alpha included, is copied. Nothing happens when Width < 1, Height < 1 or Source is
// empty or not at 32 bits. Throws TBitmapError for a size beyond TABitmap's limits (Target
// untouched).
void TileBitmap(int32_t width, int32_t height, const TABitmap& source, TABitmap& target);

}  // namespace vexa
