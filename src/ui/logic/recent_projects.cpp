#include "ui/logic/recent_projects.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "persist/ext_ini_file.h"
#include "persist/file_paths.h"

namespace vexa {
namespace {

constexpr std::string_view kSection = "RecentProjects";
constexpr std::string_view kKey = "Files";

}  // namespace

std::string TRecentProjects::DefaultFile() {
  std::filesystem::path folder;
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (config && config[0] == '/')
    folder = config;
  else if (home && home[0])
    folder = std::filesystem::path(home) / ".config";
  else
    return {};
  return (folder / "vexa-studio" / "vexa-studio.ini").string();
}

std::vector<std::string> TRecentProjects::Read() const {
  std::vector<std::string> files;
  if (iniPath_.empty()) return files;
  TExtIniFile ini(iniPath_);
  ini.Reload();
  ini.ReadStrings(kSection, kKey, files);
  return files;
}

void TRecentProjects::Write(const std::vector<std::string>& files) const {
  if (iniPath_.empty()) return;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(iniPath_).parent_path(), ec);
  TExtIniFile ini(iniPath_);
  ini.Reload();  // other settings in the file stay
  ini.WriteStrings(kSection, kKey, files);
  ini.Update();  // a failure only loses the list: nothing to tell the user
}

std::vector<std::string> TRecentProjects::List() const {
  std::vector<std::string> files = Read();
  const size_t before = files.size();
  std::erase_if(files, [](const std::string& f) { return !FileExists(f); });
  if (files.size() > kMaxCount) files.resize(kMaxCount);
  if (files.size() != before) Write(files);
  return files;
}

std::vector<std::string> TRecentProjects::Entries() const {
  std::vector<std::string> files = Read();
  if (files.size() > kMaxCount) files.resize(kMaxCount);
  return files;
}

void TRecentProjects::Remove(const std::string& projectFile) const {
  std::vector<std::string> files = Read();
  if (std::erase(files, projectFile) > 0) Write(files);
}

void TRecentProjects::Add(const std::string& projectFile) const {
  if (projectFile.empty()) return;
  std::vector<std::string> files = Read();
  std::erase(files, projectFile);
  files.insert(files.begin(), projectFile);
  if (files.size() > kMaxCount) files.resize(kMaxCount);
  Write(files);
}

}  // namespace vexa
