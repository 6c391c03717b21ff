// The frame handed to the AVI writer: the composed 32-bit frame packed to 24 bits.
#pragma once

#include "bitmap/bitmap.h"

namespace vexa {

// frame24 := frame at 24 bits per pixel (bottom-up rows padded to 4 bytes, padding zero; the
// block is allocated only when the size changes), and the alpha byte of every pixel of frame
// becomes 0: the state that converting frame to 24 bits and back leaves, in one pass.
void PackFrame24ClearAlpha(TABitmap& frame, TABitmap& frame24);

}  // namespace vexa
