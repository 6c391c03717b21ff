// Smooth2x2: in-place box smoothing of a 32-bit picture, used to turn 2 x 2 supersampled text
// into coverage. Each pixel becomes an average with its right, lower and lower-right
// neighbours (all read before any of them is written); each pixel keeps its own alpha byte.
//
// Two variants with slightly different rounding, chosen once for the processor:
//   simd:  avg(avg(P(x,y), P(x+1,y)), avg(P(x,y+1), P(x+1,y+1))), avg(a, b) = (a + b + 1) / 2;
//          the last pixel of a row := avg(its left neighbour's new value, avg(P(x,y+1), P(x,y)))
//   plain: (P(x,y) + P(x+1,y) + P(x,y+1) + P(x+1,y+1)) / 4; the last pixel of a row :=
//          (P(x,y) + P(x,y+1)) / 2
// In both, the bottom row then gets (P(x) + P(x+1)) / 2 with its right neighbour, and its last
// pixel the value just computed for the pixel to its left. A picture one pixel wide uses the
// plain last-pixel rule in every row and leaves its bottom pixel as it is.
#pragma once

#include "bitmap/bitmap.h"

namespace vexa {

// The variant chosen for this processor (simd on x86-64).
void Smooth2x2(TABitmap& bitmap);

namespace plain {
void Smooth2x2(TABitmap& bitmap);
}
namespace simd {
void Smooth2x2(TABitmap& bitmap);
}

}  // namespace vexa
