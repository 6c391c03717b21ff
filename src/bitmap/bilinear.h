// Bilinear rescaling of a whole picture onto a target that already has the new size.
//
// Both kernels share one geometry (16.16 fixed point, Source W x H, Target W' x H'):
//   xStep = Trunc(W * 65535 / W'), yStep = Trunc(H * 65535 / H')  (65535, not 65536)
//   output column j samples at ax = j * xStep: column ax >> 16 and the one to its right (the
//   last column stands in for its own right neighbour);
//   output row i (from the top) samples at ay = i * yStep: row ay >> 16 and the row below it,
//   for the first R0 = Trunc((H - 1) * Trunc(H' * 65535 / H) / 65535) rows; the rows below R0
//   take row H - 1 as the upper and row H - 2 as the lower row with an accumulator that starts
//   at (H - 1) * 65535 (ResizeBilinear) or (H - 1) * 65536 (ScaleBilinear) and grows by yStep.
//
// ResizeBilinear: 7-bit fractions ((acc >> 9) & 127, weights 128 - f and f, >> 7 after each
// step), and the resampled pixel v is laid over the pixel already in Target:
//   c = (alpha(v) >> 1) + 1; every byte := ((128 - c) * v + c * Target) >> 7.
// ScaleBilinear: 8-bit fractions ((acc >> 8) & 255, weights 255 - f and f, >> 8 after each
// step, so 255 comes out as 253), written straight into Target; the output columns from
// C0 = ((W - 1) * Trunc(W' * 65535 / W)) >> 16 on sample one xStep behind their own position
// (never left of the source's first column).
//
// Neither kernel allocates. Both return at once when Source or Target is empty or not at 32
// bits. A source one pixel wide or high uses its only column or row as both neighbours.
#pragma once

#include "bitmap/bitmap.h"

namespace vexa {

void ResizeBilinear(const TABitmap& source, TABitmap& target);
void ScaleBilinear(const TABitmap& source, TABitmap& target);

}  // namespace vexa
