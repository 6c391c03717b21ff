#include "persist/project_file.h"

#include <filesystem>
#include <string>

#include "persist/atomic_file.h"
#include "persist/bzip2_codec.h"
#include "persist/ext_ini_file.h"
#include "persist/file_paths.h"
#include "persist/layer_file.h"
#include "persist/persist_error.h"
#include "persist/whole_file.h"

namespace vexa {
namespace {

constexpr std::string_view kGeneral = "General";
constexpr std::string_view kProjectName = "ProjectName";
constexpr std::string_view kWidth = "Width";
constexpr std::string_view kHeight = "Height";
constexpr std::string_view kFPS = "FPS";
constexpr std::string_view kBackColor = "BackColor";
constexpr std::string_view kGraphicLayerList = "GraphicLayerList";
constexpr std::string_view kSoundLayerList = "SoundLayerList";
constexpr std::string_view kCount = "Count";

const std::string kMissingProjectName = "エラー";

std::string FullKey(int i) {
  return std::to_string(i) + "Full";
}

// files: the layer files to list, one per layer; nullptr lists the layers' own.
template <class Layers, class Save>
void WriteLayerList(TExtIniFile& ini, std::string_view section, const Layers& layers,
                    const std::string& folder, bool saveLayers, Save save, const std::vector<std::string>* files) {
  ini.WriteInteger(section, kCount, layers.Count());
  for (int i = 0; i < layers.Count(); ++i) {
    const auto& layer = *layers[i];
    if (saveLayers) save(layer);
    const std::string& file = files ? files->at(static_cast<size_t>(i)) : layer.FileName;
    ini.WriteString(section, FullKey(i), file);
    ini.WriteString(section, std::to_string(i), RelativeStoredPath(file, folder));
  }
}

void WriteGeneral(TExtIniFile& ini, const TProject& project) {
  ini.WriteString(kGeneral, kProjectName, project.ProjectName);
  ini.WriteInteger(kGeneral, kWidth, static_cast<int32_t>(project.Width));
  ini.WriteInteger(kGeneral, kHeight, static_cast<int32_t>(project.Height));
  ini.WriteInteger(kGeneral, kFPS, static_cast<int32_t>(project.FPS));
  ini.WriteColor(kGeneral, kBackColor, project.BackColor);
}

template <class Layers, class NewLayer, class Load>
void ReadLayerList(const TExtIniFile& ini, std::string_view section, Layers& layers,
                   const std::string& folder, const std::string& path, NewLayer newLayer, Load load) {
  const int32_t count = ini.ReadInteger(section, kCount, 0);
  if (count > kMaxProjectLayers)
    throw TPersistError("The project file \"" + path + "\" lists " + std::to_string(count) +
                            " layers; at most " + std::to_string(kMaxProjectLayers) + " are supported.",
                        path);
  for (int i = 0; i < count; ++i) {
    auto* layer = newLayer(layers);
    layer->FileName = ResolveStoredPath(ini.ReadString(section, FullKey(i), ""),
                                        ini.ReadString(section, std::to_string(i), ""), folder);
    load(*layer);  // a missing file leaves the layer empty
  }
}

}  // namespace

void SaveProject(const TProject& project, bool saveLayers) {
  const std::string& path = project.FileName;
  if (path.empty()) throw TPersistError("Cannot save a project that has no file name.");
  const std::string folder = FolderOfFile(path);

  TExtIniFile ini{std::string()};
  WriteGeneral(ini, project);
  WriteLayerList(ini, kGraphicLayerList, project.GraphicLayers, folder, saveLayers,
                 [](const TGraphicLayer& l) { SaveGraphicLayer(l); }, nullptr);
  WriteLayerList(ini, kSoundLayerList, project.SoundLayers, folder, saveLayers,
                 [](const TSoundLayer& l) { SaveSoundLayer(l); }, nullptr);
  WriteFileAtomic(path, ini.BuildText());
}

std::string ProjectFileText(const TProject& project, const std::string& path,
                            const std::vector<std::string>& graphicFiles, const std::vector<std::string>& soundFiles) {
  if (graphicFiles.size() != static_cast<size_t>(project.GraphicLayers.Count()) ||
      soundFiles.size() != static_cast<size_t>(project.SoundLayers.Count()))
    throw TPersistError("The layer files do not match the project's layers.", path);
  const std::string folder = FolderOfFile(path);
  TExtIniFile ini{std::string()};
  WriteGeneral(ini, project);
  auto none = [](const auto&) {};
  WriteLayerList(ini, kGraphicLayerList, project.GraphicLayers, folder, false, none, &graphicFiles);
  WriteLayerList(ini, kSoundLayerList, project.SoundLayers, folder, false, none, &soundFiles);
  return ini.BuildText();
}

bool LoadProject(TProject& project, bool loadLayers) {
  const std::string path = project.FileName;
  if (!FileExists(path)) return false;

  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > TBzip2Codec::kDefaultMaxOutputSize)
    throw TPersistError(
        "The project file \"" + path + "\" is too large (" + std::to_string(size) + " bytes).", path);
  std::string bytes, error;
  if (!ReadWholeFile(path, bytes, error)) throw TPersistError("Cannot read " + error, path);

  TExtIniFile ini{std::string()};
  ini.LoadFromBytes(bytes);
  project.ProjectName = ini.ReadString(kGeneral, kProjectName, kMissingProjectName);
  project.Width = static_cast<uint32_t>(ini.ReadInteger(kGeneral, kWidth, 640));
  project.Height = static_cast<uint32_t>(ini.ReadInteger(kGeneral, kHeight, 480));
  project.FPS = static_cast<uint32_t>(ini.ReadInteger(kGeneral, kFPS, 30));
  project.BackColor = ini.ReadColor(kGeneral, kBackColor, 0);

  if (loadLayers) {
    const std::string folder = FolderOfFile(path);
    ReadLayerList(
        ini, kGraphicLayerList, project.GraphicLayers, folder, path,
        [](auto& layers) { return NewGraphicLayer(layers, -1); },
        [](TGraphicLayer& l) { LoadGraphicLayer(l); });
    ReadLayerList(
        ini, kSoundLayerList, project.SoundLayers, folder, path,
        [](auto& layers) { return NewSoundLayer(layers, -1); }, [](TSoundLayer& l) { LoadSoundLayer(l); });
  }
  return true;
}

}  // namespace vexa
