// The projects the user opened or saved last, for the drop-down of the "開く" tool button:
// at most ten, newest first, kept in the user's configuration folder in an INI file.
#pragma once

#include <string>
#include <vector>

namespace vexa {

class TRecentProjects {
 public:
  static constexpr size_t kMaxCount = 10;

  // The list lives in the INI file at iniPath (read and written on every call, so that two
  // running programs do not undo each other's entries).
  explicit TRecentProjects(std::string iniPath) : iniPath_(std::move(iniPath)) {}

  // $XDG_CONFIG_HOME/vexa-studio/vexa-studio.ini, or ~/.config/... without the variable.
  static std::string DefaultFile();

  // The projects, newest first; files that no longer exist are dropped from the list.
  std::vector<std::string> List() const;
  // The projects as kept, newest first, whether they exist or not.
  std::vector<std::string> Entries() const;
  // The project goes to the top (once); the oldest beyond ten go.
  void Add(const std::string& projectFile) const;
  void Remove(const std::string& projectFile) const;

 private:
  std::vector<std::string> Read() const;
  void Write(const std::vector<std::string>& files) const;
  std::string iniPath_;
};

}  // namespace vexa
