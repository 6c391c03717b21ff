// RuleBlend: the wipe of a transition. A grey rule picture decides, pixel by pixel, when the
// old picture gives way to the new one: dark rule values switch first.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

// With l = 2^width (width clamped to 1 ... 8) and m = (power * (l + 256)) >> 8 (power clamped
// to 0 ... 255), for every pixel with c the blue byte of the rule pixel:
//   c > m: Old unchanged; else d = m - c; d > l: Old := New;
//   else every byte (alpha too) := (New * d + Old * (l - d)) >> width.
// Writes into Old only. The area is New's, clipped to Old and Rule from the top-left corner;
// nothing happens when any of the three is empty or not at 32 bits.
void RuleBlend(const TABitmap& newPicture, TABitmap& oldPicture, const TABitmap& rule, int32_t width,
               int64_t power);

}  // namespace vexa
