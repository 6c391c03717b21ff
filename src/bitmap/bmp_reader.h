// Reader of Windows BMP files: core (OS/2 1.x), info, V2/V3, V4 and V5 headers; 1, 4, 8, 16,
// 24 and 32 bits; BI_RGB, BI_RLE4, BI_RLE8 and BI_BITFIELDS; bottom-up and top-down rows.
// Every header field is checked against the bytes actually present; sizes beyond the
// TABitmap limits are refused before any pixel memory is allocated.
#pragma once

#include <cstdint>
#include <span>

#include "bitmap/bitmap.h"

namespace vexa {

// Decodes a whole BMP file image into a 32-bit picture (alpha 0 unless a 32-bit file carries
// its fourth bytes). Throws TBitmapError with a short reason.
TABitmap DecodeBmp(std::span<const uint8_t> file);

// The file size a BMP stream announces in its header, or 0 when the header is not a BMP
// header. Used to read exactly one picture from a stream.
uint32_t BmpDeclaredSize(std::span<const uint8_t> header14);

}  // namespace vexa
