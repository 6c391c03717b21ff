// Picture decoders by file name extension. Each decoder reads a whole file into a 32-bit
// picture (alpha 0 where the format has no transparency) or throws TBitmapError.
#pragma once

#include <string>
#include <string_view>

#include "bitmap/bitmap.h"

namespace vexa {

using TPictureDecoder = void (*)(const std::string& fileName, TABitmap& out);

// The decoder for the file's extension (compared without regard to letter case), or nullptr
// when no decoder reads that kind of file.
TPictureDecoder FindPictureDecoder(std::string_view fileName);

}  // namespace vexa
