// Composed frames (bottom-up blue-green-red rows) to 4:2:0 Y'CbCr planes for the lossy codecs:
// each luma sample from its pixel, each chroma sample from the mean of its 2 x 2 pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

enum class TYuvMatrix {
  Bt709Studio,  // BT.709, Y' 16..235, Cb Cr 16..240
  Bt601Full,    // BT.601, every component 0..255 (JPEG)
};

struct TYuvPlanes {
  uint8_t* Y;
  uint8_t* U;
  uint8_t* V;
  ptrdiff_t YStride, UStride, VStride;
};

// rows: the bitmap's block (row 0 is the bottom one), stride bytes apart, bytesPerPixel 3 or 4
// (a fourth byte is ignored); width and height even. The planes are written top row first.
void ConvertToYuv420(const uint8_t* rows, size_t stride, int bytesPerPixel, int width, int height,
                     const TYuvPlanes& out, TYuvMatrix matrix);
// The same without processor-specific instructions (the reference the fast path must equal).
void ConvertToYuv420Plain(const uint8_t* rows, size_t stride, int bytesPerPixel, int width, int height,
                          const TYuvPlanes& out, TYuvMatrix matrix);

}  // namespace vexa
