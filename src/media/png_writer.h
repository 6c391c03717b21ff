// Stills: one picture written as a PNG file (8-bit RGB, no alpha: what a movie frame holds).
#pragma once

#include <string>

#include "bitmap/bitmap.h"
#include "media/temp_file_watch.h"

namespace vexa {

// Writes the bitmap (24 or 32 bits per pixel; a fourth byte is dropped) to fileName. The file
// appears only when complete; on failure an existing file stays as it was, and error says why.
// tempFiles (may be nullptr) is told about the temporary file.
bool WritePngFile(const TABitmap& bitmap, const std::string& fileName, std::string& error,
                  TTempFileWatch* tempFiles = nullptr);

}  // namespace vexa
