// Every file a project names: the project file, its layer files and the media its events use.
// The output guard protects them all; the media check reads those the render will open.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "project.h"

namespace vexa {

enum class TFileUse {
  Project,
  GraphicLayerFile,
  SoundLayerFile,
  Picture,    // an image source
  Movie,      // a movie source
  Sound,      // a sound source
  Mask,       // the mask picture of an alpha mask
  RuleImage,  // the rule picture of a transition
  Texture,    // the texture of a text
  Font,       // the font face of a text: a name, not a file (never listed below)
};

struct TFileReference {
  TFileUse Use = TFileUse::Project;
  std::string Path;
  // The render opens the file: false for a mask or texture that its event's mode leaves unused.
  bool Used = true;
  bool SoundLayer = false;
  int LayerIndex = -1;  // in its layer list; -1 for the project file
  std::string LayerName;
  const TEvent* Event = nullptr;  // nullptr for the project and layer files
};

// In project order: the project file, then each graphic layer (its file, then its events in
// slot order), then each sound layer. Empty names are listed only where the render would need
// a file (an image source without a file, say).
std::vector<TFileReference> ProjectFileReferences(const TProject& project);

// "picture", "movie", "sound file", ...: what a use names, for messages.
std::string_view FileUseName(TFileUse use);

}  // namespace vexa
