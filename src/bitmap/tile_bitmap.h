// TileBitmap: covers a picture with copies of another (textured text, the tile effect).
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

// Target becomes 32-bit, width x height, covered from its top-left corner with whole copies
// of Source in rows; the copies of the last column and row are cut to their top-left part.
// Every byte, alpha included, is copied. Nothing happens when width or height is below 1 or
// Source is empty. Source and Target may be the same picture.
void TileBitmap(int32_t width, int32_t height, const TABitmap& source, TABitmap& target);

}  // namespace vexa
