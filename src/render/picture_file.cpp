#include "render/picture_file.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vexa {
namespace {

void DecodeBmpFile(const std::string& fileName, TABitmap& out) {
  out.LoadFromFile(fileName);
}

struct TDecoderEntry {
  std::string_view Extension;  // lower case, with the dot
  TPictureDecoder Decode;
};

// One line per format; the JPEG, GIF and PNG decoders join here.
constexpr std::array<TDecoderEntry, 1> kDecoders = {{
    {".bmp", &DecodeBmpFile},
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
