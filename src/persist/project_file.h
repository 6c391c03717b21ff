// Project files (".vxpj"): plain INI text with the project settings and the paths of the
// layer files in layer order, each path as held and relative to the project file.
#pragma once

#include <string>
#include <vector>

#include "model/project.h"

namespace vexa {

// Writes project.FileName (after saving every layer first when saveLayers is set). The old
// file is replaced only once the new one is completely on the disk. Raises TPersistError
// with the path and the reason when anything cannot be written.
void SaveProject(const TProject& project, bool saveLayers);

// The text of a project file at path that lists the given layer files (one per layer, in
// order) instead of the layers' own: a copy of the project saved elsewhere.
std::string ProjectFileText(const TProject& project, const std::string& path,
                            const std::vector<std::string>& graphicFiles, const std::vector<std::string>& soundFiles);

// Reads project.FileName into the project; false, changing nothing, when the file does not
// exist. With loadLayers set, appends one layer per listed layer file and loads it; a layer
// file that does not exist leaves an empty layer at its position, a corrupt one raises its
// error and leaves the layers read so far in place.
bool LoadProject(TProject& project, bool loadLayers);

// Layers a project file may list per kind; more is refused as hostile input.
inline constexpr int kMaxProjectLayers = 10000;

}  // namespace vexa
