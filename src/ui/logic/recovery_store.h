// The recovery folder: copies of the open project that the autosave writes while it has
// unsaved changes, and what a later start finds of them after a crash or a kill.
//
// Every running program has a folder "session-..." of its own below the recovery root, locked
// (flock) for as long as it runs, so that a starting program can tell a folder of a running
// program from one left behind. In it a save is a set of files of one generation: the layer
// files, a project file listing them (so that the folder can also be opened by hand) and,
// written last, the manifest "recovery.ini", which names the generation and the project's own
// file names. The manifest is what makes a folder recoverable: a normal end removes it first,
// then the rest. Nothing is ever written outside the session folder.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/project.h"

namespace vexa {

// $XDG_STATE_HOME/vexa-studio/recovery, or ~/.local/state/vexa-studio/recovery; empty when
// neither the variable nor HOME is set.
std::string DefaultRecoveryRoot();

// What a recovery holds besides the project's contents.
struct TRecoveryInfo {
  std::string ProjectName;
  std::string ProjectFile;                            // the project's own file name (may be empty)
  std::vector<std::string> GraphicFiles, SoundFiles;  // the layers' own file names
  uint32_t NewLayerCounter = 1;
  bool NameInCaption = false;
  int64_t SavedAt = 0;  // seconds since 1970
};

// The folder of this running program.
class TRecoverySession {
 public:
  // Makes and locks a new session folder below root (made when missing, readable only by the
  // user). Raises TPersistError when it cannot.
  explicit TRecoverySession(const std::string& root);
  // A normal end: the folder goes, recovery first.
  ~TRecoverySession();
  TRecoverySession(const TRecoverySession&) = delete;
  TRecoverySession& operator=(const TRecoverySession&) = delete;

  const std::string& Folder() const { return folder_; }
  bool HasRecovery() const { return hasRecovery_; }

  // Writes the project as the next generation (atomic writes throughout), then removes the
  // files of earlier ones. A failure raises TPersistError and leaves the last complete
  // generation recoverable. The project and its file names are not touched.
  void Write(const TProject& project, uint32_t newLayerCounter, bool nameInCaption);
  // Removes the recovery: the user's files hold everything now.
  void Clear();

 private:
  std::string folder_;
  int lockFd_ = -1;
  uint32_t generation_ = 0;
  bool hasRecovery_ = false;
};

// A recovery left by a program that did not end normally. It holds its folder's lock while it
// exists, so that no other program offers it at the same time.
class TRecoveredProject {
 public:
  // Takes over the lock (closed when it goes) and reads the folder's manifest.
  TRecoveredProject(std::string folder, int lockFd);
  ~TRecoveredProject();
  TRecoveredProject(const TRecoveredProject&) = delete;
  TRecoveredProject& operator=(const TRecoveredProject&) = delete;

  const std::string& Folder() const { return folder_; }
  const TRecoveryInfo& Info() const { return info_; }

  // The project as it was saved: settings, layers and events, with the project's and layers'
  // own file names. Raises TPersistError (or TBzip2Error) when a file of it is damaged.
  std::unique_ptr<TProject> Load() const;
  // Removes the folder (restored or discarded by the user).
  void Remove();

 private:
  std::string folder_;
  int lockFd_;
  TRecoveryInfo info_;
  uint32_t generation_ = 0;
  // The folders that relative paths of each layer's events were written against.
  std::vector<std::string> graphicFolders_, soundFolders_;
};

// The recoveries below root that no running program holds, newest first. Folders left by
// programs that ended normally, or that never wrote a recovery, are removed on the way.
std::vector<std::unique_ptr<TRecoveredProject>> FindRecoveredProjects(const std::string& root);

}  // namespace vexa
