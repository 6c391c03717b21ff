// The colour filters: in-place kernels on a 32-bit picture that change blue, green and red and
// never the alpha (transparency) byte. Each returns at once when the picture is empty or not
// at 32 bits; none allocates.
//
// Luma used by several filters: Y = (77 R + 150 G + 29 B) >> 8 (integer BT.601 weights).
// The whole-picture filters walk Width x Height pixels in memory order from ScanLine(Height-1).
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"
#include "bitmap/random_draw.h"

namespace vexa {

// Every pixel's colours := Y.
void ToMonochrome(TABitmap& bitmap);

// k := Y + 1; blue := (b * k) >> 8, green := (g * k) >> 8, red := (r * k) >> 8: a tint of the
// target colour following the luma of each pixel.
void ToneChange(TABitmap& bitmap, uint8_t r, uint8_t g, uint8_t b);

// Value clamped to -255 ... 255 is added to every colour byte with saturation (0 does nothing).
void AdjustBrightness(TABitmap& bitmap, int32_t value);

// Each of r, g, b clamped to -255 ... 255 and added to its channel, the result clamped to 0 ... 255.
void AdjustChannels(int32_t r, int32_t g, int32_t b, TABitmap& bitmap);

// g := ((77 R + 150 G + 29 B) * s) >> 16; each colour := ((c * (255 - s)) >> 8) + g.
void FadeToGray(TABitmap& bitmap, uint8_t strength);

// Noise that only brightens: a table of 256 random entries (0 ... min(power, 255) added per
// byte; brightness noise adds one value to all three colours, colour noise one per colour),
// each followed by a random restart index 0 ... 127. Adjacent pixel pairs in memory order take
// consecutive entries; after entry 255 the walk goes on at Jump[1], Jump[2], ... in turn. A
// last odd pixel is left alone. New numbers are drawn on every call.
void AddBrightnessNoise(TABitmap& bitmap, uint16_t power, TRandomDraw random);
void AddColorNoise(TABitmap& bitmap, uint16_t power, TRandomDraw random);

// Every colour byte := 255 - itself.
void InvertColors(TABitmap& bitmap);

// Pixelates the rectangle (x, y, width, height) when it lies wholly inside the picture. Blocks
// of Round(width / 255 * s) x Round(height / 255 * s) pixels (s = strength clamped to 1 ... 255,
// a size below 2 counts as 1) are aligned to the rectangle's top-left corner; each block takes
// the colour of the leftmost pixel of its band's lowest row.
void Pixelate(int32_t x, int32_t y, int32_t width, int32_t height, TABitmap& bitmap, int64_t strength);

// One in-place pass of the split blur: every pixel's colours := the average of the four pixels
// displaced by (+-dx, +-dy), dx = Round(Width / 510 * p), dy = Round(Height / 510 * p) (p = power
// clamped to 1 ... 255, at least 1 each). Rows from the top, pixels from the left; rows above
// are read already blurred. Near the edges a displaced row or column that leaves the picture
// falls back as follows: above the top -> the row itself; below the bottom -> row Height - y;
// left of the picture -> the column itself; right of it -> column Width - x. (In a picture one
// pixel high or wide, Height - y or Width - x would lie outside; the row or column itself is
// used there.)
void SplitBlurPass(TABitmap& bitmap, int64_t power);

// The two averages of the split blur. Rounded: avg(avg(ul, ll), avg(ur, lr)) with
// avg(a, b) = (a + b + 1) >> 1, the form used on x86-64. Truncated: (ul + ll + ur + lr) >> 2,
// the portable form.
namespace split_blur {
void RoundedPass(TABitmap& bitmap, int64_t power);
void TruncatedPass(TABitmap& bitmap, int64_t power);
}  // namespace split_blur

}  // namespace vexa
