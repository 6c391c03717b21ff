// Cutting a rectangle out of a picture.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

// Target := the Width x Height rectangle of Source whose top-left corner is (X, Y).
// Nothing happens when Width <= 0, Height <= 0, X + Width > Source width or Y + Height >
// Source height (or Source is empty). A rectangle with a negative X or Y leaves Target fresh,
// Width x Height of white, fully transparent paper (0xFFFFFFFF), with nothing copied.
void CropBitmap(int32_t x, int32_t y, int32_t width, int32_t height, TABitmap& target,
                const TABitmap& source);

}  // namespace vexa
