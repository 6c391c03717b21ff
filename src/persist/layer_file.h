// Graphic layer files (".vxgl") and sound layer files (".vxsl"): the INI text of the layer
// compressed as one bzip2 stream. Every event is one section; its keys come from the kind
// table of the model, so this code names no parameter of any kind.
#pragma once

#include <string>
#include <string_view>

#include "model/layers.h"

namespace vexa {

class TExtIniFile;

// Writes the layer to layer.FileName. The old file is replaced only once the new one is
// completely on the disk. Raises TPersistError (path and reason) on failure.
void SaveGraphicLayer(const TGraphicLayer& layer);
void SaveSoundLayer(const TSoundLayer& layer);

// The bytes of the layer's file (compressed INI text), paths relative to folder: a copy of the
// layer written elsewhere (the recovery folder) without touching the layer's FileName.
std::string GraphicLayerFileBytes(const TGraphicLayer& layer, const std::string& folder);
std::string SoundLayerFileBytes(const TSoundLayer& layer, const std::string& folder);

// Reads layer.FileName into the layer: sets its name and appends the file's events to those
// it already has. False, changing nothing, when the file does not exist. A corrupt file
// raises TBzip2Error (message: the libbz2 status name), an unreadable one TPersistError.
bool LoadGraphicLayer(TGraphicLayer& layer);
bool LoadSoundLayer(TSoundLayer& layer);

// The same from the bytes of a layer file; paths are resolved against folder.
void LoadGraphicLayerFromBytes(std::string_view fileBytes, const std::string& folder, TGraphicLayer& layer);
void LoadSoundLayerFromBytes(std::string_view fileBytes, const std::string& folder, TSoundLayer& layer);

// The INI content of a layer file. Writing fills an empty store (relative paths computed
// from folder); reading sets the name and appends the events.
void WriteGraphicLayerIni(const TGraphicLayer& layer, const std::string& folder, TExtIniFile& ini);
void WriteSoundLayerIni(const TSoundLayer& layer, const std::string& folder, TExtIniFile& ini);
void ReadGraphicLayerIni(const TExtIniFile& ini, const std::string& folder, TGraphicLayer& layer);
void ReadSoundLayerIni(const TExtIniFile& ini, const std::string& folder, TSoundLayer& layer);

// Name of a layer whose file has no "LayerName".
inline const std::string kMissingLayerName = "エラー";

}  // namespace vexa
