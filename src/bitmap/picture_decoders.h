// Decoders of the picture files that sources, masks, rule images and text textures read:
// JPEG (libjpeg-turbo), PNG (libpng) and GIF (giflib); BMP is read by TABitmap itself.
//
// Each decoder gives a 32-bit picture with transparency already applied: alpha 0 (opaque) where
// the file has no transparency, 255 - alpha for PNG alpha, and the file's transparent colour
// keyed out with ColorKey. A damaged or hostile file throws TBitmapError with the decoder's own
// message; nothing is read out of bounds and sizes beyond the TABitmap limits are refused
// before the pixels are allocated.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"

namespace vexa {

TABitmap DecodeJpeg(std::span<const uint8_t> file);
TABitmap DecodePng(std::span<const uint8_t> file);
// The first frame on the GIF's logical screen.
TABitmap DecodeGif(std::span<const uint8_t> file);

// The whole file; throws TBitmapError when it cannot be read or is implausibly large.
std::vector<uint8_t> ReadPictureBytes(const std::string& fileName);

// File forms of the decoders above; the error message names the file. `out` is replaced only
// on success.
void LoadJpegFile(const std::string& fileName, TABitmap& out);
void LoadPngFile(const std::string& fileName, TABitmap& out);
void LoadGifFile(const std::string& fileName, TABitmap& out);

}  // namespace vexa
