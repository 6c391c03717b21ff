// Mirror images of a picture (all four bytes of every pixel copied).
#pragma once

#include "bitmap/bitmap.h"

namespace vexa {

// Target := Source with its columns reversed: Target pixel (W - 1 - x, y) = Source pixel (x, y).
void MirrorHorizontal(const TABitmap& source, TABitmap& target);
// Target := Source with its rows reversed: Target pixel (x, H - 1 - y) = Source pixel (x, y).
void MirrorVertical(const TABitmap& source, TABitmap& target);
// Both return at once, Target untouched, when Source is empty or not at 32 bits.

}  // namespace vexa
