#include "render/picture_file.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "bitmap/picture_decoders.h"

namespace vexa {
namespace {

void DecodeBmpFile(const std::string& fileName, TABitmap& out) {
  out.LoadFromFile(fileName);
}

struct TDecoderEntry {
  std::string_view Extension;  // lower case, with the dot
  TPictureDecoder Decode;
};

// One line per format.
constexpr std::array<TDecoderEntry, 5> kDecoders = {{
    {".bmp", &DecodeBmpFile},
    {".jpg", &LoadJpegFile},
    {".jpeg", &LoadJpegFile},
    {".gif", &LoadGifFile},
    {".png", &LoadPngFile},
}};

std::string LowerExtension(std::string_view fileName) {
  const size_t slash = fileName.find_last_of('/');
  const std::string_view name = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot == std::string_view::npos) return {};
  std::string ext(name.substr(dot));
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

}  // namespace

TPictureDecoder FindPictureDecoder(std::string_view fileName) {
  const std::string ext = LowerExtension(fileName);
  for (const TDecoderEntry& e : kDecoders)
    if (e.Extension == ext) return e.Decode;
  return nullptr;
}

}  // namespace vexa
