// LoadPictureFile: pictures of image sources, masks, rule images and text textures, through
// the session's ImageCache.
#include <filesystem>

#include "render/picture_file.h"
#include "render/studio.h"

namespace vexa {

bool TVexaStudio::LoadPictureFile(const std::string& fileName, TABitmap& target) {
  std::error_code ec;
  if (fileName.empty() || !std::filesystem::is_regular_file(std::filesystem::path(fileName), ec)) {
    target.Fill(0);  // black, opaque, at the old size
    return false;
  }
  if (const TABitmap* cached = ImageCache.Find(fileName)) {
    target.Assign(*cached);
    return true;
  }
  if (AvailableMemory() < kLowMemory) ImageCache.Clear();
  TPictureDecoder decode = FindPictureDecoder(fileName);
  if (!decode) return false;
  TABitmap picture;
  decode(fileName, picture);  // a damaged file throws; target stays as it was
  picture.Force32Bit();
  ImageCache.Add(fileName, picture);
  target.Swap(picture);
  return true;
}

}  // namespace vexa
