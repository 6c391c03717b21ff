// Writers of small PNG, JPEG and GIF files for the decoder tests, on the same libraries.
#pragma once

#include <cstdint>
#include <vector>

namespace vexa::test {

using Bytes = std::vector<uint8_t>;

struct PngPicture {
  int width = 0, height = 0;
  int colorType = 2;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  // Packed rows exactly as they are stored in the file (big-endian 16-bit samples).
  std::vector<Bytes> rows;
  std::vector<uint8_t> paletteRgb;    // r, g, b per entry
  std::vector<uint8_t> paletteAlpha;  // tRNS for a palette
  bool hasKey = false;                // tRNS for grey / RGB
  uint16_t keyGray = 0, keyRed = 0, keyGreen = 0, keyBlue = 0;
};
Bytes EncodePng(const PngPicture& picture);

// 8-bit samples, `components` 1 (grey), 3 (RGB) or 4 (CMYK, stored as given); rows top-down.
Bytes EncodeJpeg(int width, int height, int components, const Bytes& samples, int quality,
                 bool progressive = false);

struct GifPicture {
  int screenWidth = 0, screenHeight = 0, background = 0;
  int left = 0, top = 0, width = 0, height = 0;
  bool interlaced = false;
  std::vector<uint8_t> paletteRgb;  // r, g, b per entry; a power of two entries
  int transparent = -1;
  Bytes indices;             // width * height, rows top-down
  bool secondFrame = false;  // append a second frame of index 0 to check that only the first counts
};
Bytes EncodeGif(const GifPicture& picture);

}  // namespace vexa::test
