// The media check run before a render: every file the render will open that is missing or
// cannot be read, and every font that is not installed, so that nothing is left out in silence.
// The render itself still renders what is there.
#pragma once

#include <string>
#include <vector>

#include "model/project_files.h"

namespace vexa {

struct TMediaFinding {
  // What the project names and where. For a font, Path is the font's name.
  TFileReference File;
  // Why the render cannot use it: "No such file or directory", "no reader for pictures of
  // this kind", the decoder's own words...
  std::string Reason;
  // A font that is not installed: the face drawn instead. Empty for files.
  std::string Replacement;

  // A file that is left out, as opposed to a font that is replaced.
  bool LeftOut() const { return File.Use != TFileUse::Font || Replacement.empty(); }
};

struct TMediaCheckScope {
  bool Graphic = true;  // graphic layer files, pictures, movies, masks, rule pictures, textures, fonts
  bool Sound = true;    // sound layer files and sound files
};

// Opens (and for pictures decodes) every file the render in scope would use, once per file,
// and lists what fails, in project order. Fonts are listed once per name and style.
std::vector<TMediaFinding> CheckProjectMedia(const TProject& project, TMediaCheckScope scope = {});

}  // namespace vexa
