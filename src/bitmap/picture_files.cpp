// File front ends of the picture decoders.
#include <fstream>

#include "bitmap/picture_decoders.h"

namespace vexa {
namespace {

// No picture within the size limits needs more bytes than its raw pixels plus headers.
constexpr uint64_t kMaxPictureFileBytes = static_cast<uint64_t>(kMaxBitmapPixels) * 4 + (1u << 20);

template <TABitmap (*Decode)(std::span<const uint8_t>)>
void LoadWith(const std::string& fileName, TABitmap& out) {
  const std::vector<uint8_t> bytes = ReadPictureBytes(fileName);
  try {
    TABitmap picture = Decode(bytes);
    out.Swap(picture);
  } catch (const TBitmapError& e) {
    throw TBitmapError(fileName + ": " + e.what());
  }
}

}  // namespace

std::vector<uint8_t> ReadPictureBytes(const std::string& fileName) {
  std::ifstream f(fileName, std::ios::binary);
  if (!f) throw TBitmapError("cannot open " + fileName);
  f.seekg(0, std::ios::end);
  const std::streamoff size = f.tellg();
  if (size < 0) throw TBitmapError("cannot read " + fileName);
  if (static_cast<uint64_t>(size) > kMaxPictureFileBytes) throw TBitmapError(fileName + " is too large");
  f.seekg(0);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size > 0 && !f.read(reinterpret_cast<char*>(bytes.data()), size))
    throw TBitmapError("cannot read " + fileName);
  return bytes;
}

void LoadJpegFile(const std::string& fileName, TABitmap& out) {
  LoadWith<&DecodeJpeg>(fileName, out);
}
void LoadPngFile(const std::string& fileName, TABitmap& out) {
  LoadWith<&DecodePng>(fileName, out);
}
void LoadGifFile(const std::string& fileName, TABitmap& out) {
  LoadWith<&DecodeGif>(fileName, out);
}

}  // namespace vexa
