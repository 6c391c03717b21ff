// Finding media that moved: the pictures, movies, sounds, masks, rule pictures and textures a
// project names that are no longer where it says, and the files in other folders that stand for
// them (same file name, else the same name apart from letter case).
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/project_files.h"

namespace vexa {

struct TParamDesc;

// A media path that names no existing file, with every use of it in project order.
struct TMissingMedia {
  std::string Path;
  std::vector<TFileReference> Uses;
};

// One entry per missing path, in project order. Only files the render would open count: an
// empty name, or a mask the event's mode does not use, is no missing file.
std::vector<TMissingMedia> FindMissingMedia(const TProject& project);

// The files below some folders, by name.
class TMediaSearchIndex {
 public:
  // Adds every file below folder, at any depth. Folders reached through symbolic links and
  // folders that cannot be read are passed over.
  void AddFolder(const std::string& folder);
  size_t FileCount() const { return files_.size(); }

  // The file that stands for a missing path: one with the same file name, else one whose name
  // differs only in letter case; among several, the one whose folders end most like the
  // missing path's (then the first by name). Empty when there is none.
  std::string Find(const std::string& missingPath) const;

 private:
  std::vector<std::string> files_;
  std::unordered_multimap<std::string, size_t> byName_, byFoldedName_;
};

// Old path and the new path that replaces it.
using TRelinks = std::vector<std::pair<std::string, std::string>>;

// The missing paths the index finds files for.
TRelinks MatchMissingMedia(const std::vector<TMissingMedia>& missing, const TMediaSearchIndex& index);

// One file name of one event changing.
struct TPathChange {
  TEvent* Event = nullptr;
  const TParamDesc* Param = nullptr;
  std::string Before, After;
};

// Every file name of every event that equals an old path, with its new path (masks and
// textures their mode leaves unused included: they name the same moved file).
std::vector<TPathChange> PlanRelinks(TProject& project, const TRelinks& relinks);
// Puts the new names in (forward) or the old ones back.
void ApplyPathChanges(const std::vector<TPathChange>& changes, bool forward);

// The last component of a stored path, whichever separator it uses ('/' or '\').
std::string StoredFileName(const std::string& path);

}  // namespace vexa
