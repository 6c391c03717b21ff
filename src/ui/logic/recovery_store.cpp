#include "ui/logic/recovery_store.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "model/project_files.h"
#include "persist/atomic_file.h"
#include "persist/ext_ini_file.h"
#include "persist/file_paths.h"
#include "persist/layer_file.h"
#include "persist/persist_error.h"
#include "persist/project_file.h"
#include "persist/whole_file.h"

namespace vexa {
namespace fs = std::filesystem;
namespace {

constexpr std::string_view kLockFile = "lock";
constexpr std::string_view kManifest = "recovery.ini";
constexpr std::string_view kSessionPrefix = "session-";

constexpr std::string_view kRecovery = "Recovery";
constexpr std::string_view kGraphicLayers = "GraphicLayers";
constexpr std::string_view kSoundLayers = "SoundLayers";

std::string Join(const std::string& folder, std::string_view name) {
  return (fs::path(folder) / name).string();
}

std::string ProjectName(uint32_t gen) {
  return "project-" + std::to_string(gen) + ".vxpj";
}
std::string LayerName(bool sound, uint32_t gen, int i) {
  return (sound ? "sound-" : "graphic-") + std::to_string(gen) + "-" + std::to_string(i) + (sound ? ".vxsl" : ".vxgl");
}

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " \"" + path + "\": " + std::strerror(errno);
}

// The folder a layer's relative paths are written against: its own file's, else the
// project's, else the recovery folder.
std::string RelativeFolder(const std::string& layerFile, const std::string& projectFile, const std::string& own) {
  if (!layerFile.empty()) return FolderOfFile(layerFile);
  if (!projectFile.empty()) return FolderOfFile(projectFile);
  return own;
}

// Locks an open lock file without waiting; false while another program holds it.
bool TryLock(int fd) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
    if (errno != EINTR) return false;
  return true;
}

void RemoveFolder(const std::string& folder) {
  std::error_code ec;
  fs::remove(Join(folder, kManifest), ec);  // first: no longer recoverable, whatever follows
  fs::remove_all(folder, ec);
}

template <class Layers>
void WriteLayerList(TExtIniFile& ini, std::string_view section, const Layers& layers,
                    const std::vector<std::string>& folders) {
  ini.WriteInteger(section, "Count", layers.Count());
  for (int i = 0; i < layers.Count(); ++i) {
    ini.WriteString(section, std::to_string(i), layers[i]->FileName);
    ini.WriteString(section, "Folder" + std::to_string(i), folders[static_cast<size_t>(i)]);
  }
}

void ReadLayerList(const TExtIniFile& ini, std::string_view section, std::vector<std::string>& files,
                   std::vector<std::string>& folders) {
  const int32_t count = std::clamp(ini.ReadInteger(section, "Count", 0), 0, kMaxProjectLayers);
  for (int i = 0; i < count; ++i) {
    files.push_back(ini.ReadString(section, std::to_string(i), ""));
    folders.push_back(ini.ReadString(section, "Folder" + std::to_string(i), ""));
  }
}

// The files a project uses, by identity, for refusing to write or remove one of them (a project
// opened by hand from a recovery folder uses files there).
class TFilesInUse {
 public:
  explicit TFilesInUse(const TProject* project) {
    if (!project) return;
    for (const TFileReference& r : ProjectFileReferences(*project))
      if (struct stat st{}; !r.Path.empty() && ::stat(r.Path.c_str(), &st) == 0) ids_.emplace_back(st.st_dev, st.st_ino);
  }
  bool Contains(const std::string& path) const {
    struct stat st{};
    if (ids_.empty() || ::stat(path.c_str(), &st) != 0) return false;
    return std::find(ids_.begin(), ids_.end(), std::pair(st.st_dev, st.st_ino)) != ids_.end();
  }

 private:
  std::vector<std::pair<dev_t, ino_t>> ids_;
};

void RemoveFilesExcept(const std::string& folder, const std::vector<std::string>& keep, const TFilesInUse& inUse) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (std::find(keep.begin(), keep.end(), name) != keep.end()) continue;
    if (inUse.Contains(it->path().string())) continue;
    std::error_code removeError;
    fs::remove(it->path(), removeError);
  }
}

}  // namespace

std::string DefaultRecoveryRoot() {
  fs::path state;
  const char* xdg = std::getenv("XDG_STATE_HOME");
  const char* home = std::getenv("HOME");
  if (xdg && xdg[0] == '/')
    state = xdg;
  else if (home && home[0])
    state = fs::path(home) / ".local" / "state";
  else
    return {};
  return (state / "vexa-studio" / "recovery").string();
}

// ---- this program's session ----

TRecoverySession::TRecoverySession(const std::string& root) {
  std::error_code ec;
  if (root.empty()) throw TPersistError("No folder for recovery files (HOME is not set).");
  if (fs::create_directories(root, ec)) fs::permissions(root, fs::perms::owner_all, ec);
  if (ec) throw TPersistError("Cannot create the recovery folder \"" + root + "\": " + ec.message(), root);

  // Made under a name no scan looks at, locked, then given its real name: a starting program
  // never sees it unlocked.
  std::string temp = Join(root, ".new-XXXXXX");
  if (!::mkdtemp(temp.data())) throw TPersistError(SystemError("Cannot create", temp), temp);
  const std::string lock = Join(temp, kLockFile);
  lockFd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd_ < 0 || !TryLock(lockFd_)) {
    const std::string message = SystemError("Cannot lock", lock);
    if (lockFd_ >= 0) ::close(lockFd_);
    fs::remove_all(temp, ec);
    throw TPersistError(message, lock);
  }
  const std::string suffix = temp.substr(temp.size() - 6);
  folder_ = Join(root, std::string(kSessionPrefix) + std::to_string(::getpid()) + "-" + suffix);
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, folder_.c_str(), RENAME_NOREPLACE) != 0) {
    const std::string message = SystemError("Cannot create", folder_);
    ::close(lockFd_);
    fs::remove_all(temp, ec);
    throw TPersistError(message, folder_);
  }
}

TRecoverySession::~TRecoverySession() {
  RemoveFolder(folder_);
  ::close(lockFd_);
}

void TRecoverySession::Write(const TProject& project, uint32_t newLayerCounter, bool nameInCaption) {
  const uint32_t gen = generation_ + 1;
  std::vector<std::string> written{std::string(kLockFile), std::string(kManifest)};
  // Never over a file the project itself uses.
  const TFilesInUse inUse(&project);
  auto refuseInUse = [&](const std::string& path) {
    if (inUse.Contains(path)) throw TPersistError("The recovery file \"" + path + "\" is in use by the project.", path);
  };
  auto write = [&](const std::string& name, std::string_view bytes) {
    const std::string path = Join(folder_, name);
    refuseInUse(path);
    WriteFileAtomic(path, bytes);
    written.push_back(name);
    return path;
  };

  TExtIniFile manifest{Join(folder_, kManifest)};
  std::vector<std::string> graphicFiles, soundFiles, graphicFolders, soundFolders;
  for (int i = 0; i < project.GraphicLayers.Count(); ++i) {
    const TGraphicLayer& l = *project.GraphicLayers[i];
    graphicFolders.push_back(RelativeFolder(l.FileName, project.FileName, folder_));
    graphicFiles.push_back(write(LayerName(false, gen, i), GraphicLayerFileBytes(l, graphicFolders.back())));
  }
  for (int i = 0; i < project.SoundLayers.Count(); ++i) {
    const TSoundLayer& l = *project.SoundLayers[i];
    soundFolders.push_back(RelativeFolder(l.FileName, project.FileName, folder_));
    soundFiles.push_back(write(LayerName(true, gen, i), SoundLayerFileBytes(l, soundFolders.back())));
  }
  const std::string projectFile = Join(folder_, ProjectName(gen));
  write(ProjectName(gen), ProjectFileText(project, projectFile, graphicFiles, soundFiles));

  manifest.WriteInteger(kRecovery, "Generation", static_cast<int32_t>(gen));
  manifest.WriteString(kRecovery, "ProjectName", project.ProjectName);
  manifest.WriteString(kRecovery, "ProjectFile", project.FileName);
  manifest.WriteString(kRecovery, "SavedAt", std::to_string(static_cast<int64_t>(std::time(nullptr))));
  manifest.WriteInteger(kRecovery, "NewLayerCounter", static_cast<int32_t>(newLayerCounter));
  manifest.WriteInteger(kRecovery, "NameInCaption", nameInCaption ? 1 : 0);
  WriteLayerList(manifest, kGraphicLayers, project.GraphicLayers, graphicFolders);
  WriteLayerList(manifest, kSoundLayers, project.SoundLayers, soundFolders);
  refuseInUse(manifest.FullPath());
  if (!manifest.SaveToFile(false)) throw TPersistError(manifest.LastError(), manifest.FullPath());

  generation_ = gen;
  hasRecovery_ = true;
  RemoveFilesExcept(folder_, written, inUse);
}

void TRecoverySession::Clear() {
  std::error_code ec;
  fs::remove(Join(folder_, kManifest), ec);
  hasRecovery_ = false;
  RemoveFilesExcept(folder_, {std::string(kLockFile)}, TFilesInUse(nullptr));
}

// ---- recoveries found at start ----

TRecoveredProject::TRecoveredProject(std::string folder, int lockFd) : folder_(std::move(folder)), lockFd_(lockFd) {
  TExtIniFile manifest{Join(folder_, kManifest)};
  manifest.Reload();
  generation_ = static_cast<uint32_t>(manifest.ReadInteger(kRecovery, "Generation", 0));
  info_.ProjectName = manifest.ReadString(kRecovery, "ProjectName", "");
  info_.ProjectFile = manifest.ReadString(kRecovery, "ProjectFile", "");
  info_.NewLayerCounter = static_cast<uint32_t>(manifest.ReadInteger(kRecovery, "NewLayerCounter", 1));
  info_.NameInCaption = manifest.ReadInteger(kRecovery, "NameInCaption", 0) != 0;
  const std::string savedAt = manifest.ReadString(kRecovery, "SavedAt", "0");
  info_.SavedAt = std::strtoll(savedAt.c_str(), nullptr, 10);
  ReadLayerList(manifest, kGraphicLayers, info_.GraphicFiles, graphicFolders_);
  ReadLayerList(manifest, kSoundLayers, info_.SoundFiles, soundFolders_);
}

TRecoveredProject::~TRecoveredProject() {
  if (lockFd_ >= 0) ::close(lockFd_);
}

std::unique_ptr<TProject> TRecoveredProject::Load() const {
  auto project = std::make_unique<TProject>();
  project->FileName = Join(folder_, ProjectName(generation_));
  if (generation_ == 0 || !LoadProject(*project, false))
    throw TPersistError("The recovered project \"" + project->FileName + "\" is missing.", project->FileName);
  auto load = [&](bool sound, int i, const std::string& relFolder, auto& layer) {
    const std::string path = Join(folder_, LayerName(sound, generation_, i));
    std::string bytes, error;
    if (!ReadWholeFile(path, bytes, error)) throw TPersistError("Cannot read " + error, path);
    const std::string folder = relFolder.empty() ? folder_ : relFolder;
    if constexpr (std::is_same_v<std::decay_t<decltype(layer)>, TGraphicLayer>)
      LoadGraphicLayerFromBytes(bytes, folder, layer);
    else
      LoadSoundLayerFromBytes(bytes, folder, layer);
  };
  for (size_t i = 0; i < info_.GraphicFiles.size(); ++i) {
    TGraphicLayer& l = *NewGraphicLayer(project->GraphicLayers, -1);
    load(false, static_cast<int>(i), graphicFolders_[i], l);
    l.FileName = info_.GraphicFiles[i];
  }
  for (size_t i = 0; i < info_.SoundFiles.size(); ++i) {
    TSoundLayer& l = *NewSoundLayer(project->SoundLayers, -1);
    load(true, static_cast<int>(i), soundFolders_[i], l);
    l.FileName = info_.SoundFiles[i];
  }
  project->FileName = info_.ProjectFile;
  return project;
}

void TRecoveredProject::Remove() {
  RemoveFolder(folder_);
  if (lockFd_ >= 0) ::close(lockFd_);
  lockFd_ = -1;
}

std::vector<std::unique_ptr<TRecoveredProject>> FindRecoveredProjects(const std::string& root) {
  std::vector<std::unique_ptr<TRecoveredProject>> found;
  std::error_code ec;
  for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    std::error_code typeError;
    if (!name.starts_with(kSessionPrefix) || !it->is_directory(typeError)) continue;
    const std::string folder = it->path().string();
    const std::string lock = Join(folder, kLockFile);
    const int fd = ::open(lock.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) continue;  // not a folder this program made
    if (!TryLock(fd)) {
      ::close(fd);  // its program is running
      continue;
    }
    if (!FileExists(Join(folder, kManifest))) {
      RemoveFolder(folder);  // ended normally, or never had unsaved changes to keep
      ::close(fd);
      continue;
    }
    found.push_back(std::make_unique<TRecoveredProject>(folder, fd));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a->Info().SavedAt > b->Info().SavedAt; });
  return found;
}

}  // namespace vexa
