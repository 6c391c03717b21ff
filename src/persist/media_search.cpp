#include "persist/media_search.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "model/event_kinds.h"
#include "persist/case_fold.h"
#include "persist/file_paths.h"

namespace vexa {
namespace fs = std::filesystem;
namespace {

bool IsMediaUse(TFileUse use) {
  switch (use) {
    case TFileUse::Picture:
    case TFileUse::Movie:
    case TFileUse::Sound:
    case TFileUse::Mask:
    case TFileUse::RuleImage:
    case TFileUse::Texture:
      return true;
    default:
      return false;
  }
}

// The folder names of a path, the innermost first, folded.
std::vector<std::string> FoldersInward(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '/' || c == '\\') {
      if (!part.empty()) parts.push_back(FoldCase(part));
      part.clear();
    } else {
      part += c;
    }
  }
  std::reverse(parts.begin(), parts.end());
  return parts;  // the file name itself was the last part, never pushed
}

size_t CommonTail(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n])
    ++n;
  return n;
}

template <class F>
void ForEachEvent(TProject& project, F f) {
  for (const auto& layer : project.GraphicLayers)
    for (TEventList& list : layer->Slots)
      for (TEvent* e : list)
        f(*e);
  for (const auto& layer : project.SoundLayers)
    for (TEvent* e : layer->Events)
      f(*e);
}

}  // namespace

std::string StoredFileName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::vector<TMissingMedia> FindMissingMedia(const TProject& project) {
  std::vector<TMissingMedia> missing;
  std::map<std::string, size_t> index;
  std::map<std::string, bool> exists;
  for (TFileReference& r : ProjectFileReferences(project)) {
    if (!IsMediaUse(r.Use) || !r.Used || r.Path.empty()) continue;
    auto [it, fresh] = exists.try_emplace(r.Path, false);
    if (fresh) it->second = FileExists(r.Path);
    if (it->second) continue;
    auto [at, added] = index.try_emplace(r.Path, missing.size());
    if (added) missing.push_back({r.Path, {}});
    missing[at->second].Uses.push_back(std::move(r));
  }
  return missing;
}

void TMediaSearchIndex::AddFolder(const std::string& folder) {
  std::error_code ec;
  fs::recursive_directory_iterator it(fs::path(folder), fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::error_code typeError;
    if (!it->is_regular_file(typeError)) continue;
    const std::string path = it->path().string();
    const std::string name = it->path().filename().string();
    byName_.emplace(name, files_.size());
    byFoldedName_.emplace(FoldCase(name), files_.size());
    files_.push_back(path);
  }
}

std::string TMediaSearchIndex::Find(const std::string& missingPath) const {
  const std::string name = StoredFileName(missingPath);
  if (name.empty()) return {};
  const std::vector<std::string> wanted = FoldersInward(missingPath);
  auto best = [&](auto range) {
    std::string found;
    size_t bestTail = 0;
    for (auto it = range.first; it != range.second; ++it) {
      const std::string& candidate = files_[it->second];
      const size_t tail = CommonTail(wanted, FoldersInward(candidate));
      if (found.empty() || tail > bestTail || (tail == bestTail && candidate < found)) {
        found = candidate;
        bestTail = tail;
      }
    }
    return found;
  };
  std::string found = best(byName_.equal_range(name));
  if (found.empty()) found = best(byFoldedName_.equal_range(FoldCase(name)));
  return found;
}

TRelinks MatchMissingMedia(const std::vector<TMissingMedia>& missing, const TMediaSearchIndex& index) {
  TRelinks relinks;
  for (const TMissingMedia& m : missing)
    if (std::string found = index.Find(m.Path); !found.empty()) relinks.emplace_back(m.Path, std::move(found));
  return relinks;
}

std::vector<TPathChange> PlanRelinks(TProject& project, const TRelinks& relinks) {
  std::map<std::string, std::string> to(relinks.begin(), relinks.end());
  std::vector<TPathChange> changes;
  ForEachEvent(project, [&](TEvent& e) {
    const TKindInfo* kind = KindInfo(e.EventType);
    if (!kind) return;
    for (const TParamDesc& p : kind->Params) {
      if (p.File.Writer != TValueWriter::Path) continue;
      const std::string& now = GetParamString(p, e);
      if (auto it = to.find(now); it != to.end() && !now.empty()) changes.push_back({&e, &p, now, it->second});
    }
  });
  return changes;
}

void ApplyPathChanges(const std::vector<TPathChange>& changes, bool forward) {
  for (const TPathChange& c : changes)
    SetParamString(*c.Param, *c.Event, forward ? c.After : c.Before);
}

}  // namespace vexa
