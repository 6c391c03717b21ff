// Relinking moved media: the missing files of the open project, a folder search that relinks
// every file it finds as one step, and single files pointed at by the user, each a command.
// The relink dialog shows this form and forwards the user's actions.
#pragma once

#include <string>
#include <vector>

#include "persist/media_search.h"
#include "ui/logic/editor_command.h"

namespace vexa {

namespace relink_text {
inline constexpr std::string_view kStepName = "メディアの再リンク";
inline constexpr std::string_view kTitle = "見つからないメディアファイル";
inline constexpr std::string_view kSearchFolder = "フォルダを検索...";
inline constexpr std::string_view kRelinkFile = "ファイルを指定...";
inline constexpr std::string_view kSearchFolderTitle = "検索するフォルダ";
inline constexpr std::string_view kNothingFound = "見つからないファイルはフォルダ内にありませんでした。";
}  // namespace relink_text

// Every event file name equal to an old path takes its new path; the rows follow.
class TRelinkCommand : public TSnapshotCommand {
 public:
  TRelinkCommand(TProjectDocument& doc, std::string text, const TRelinks& relinks);
  bool Empty() const { return changes_.empty(); }

 private:
  void First() override;
  void Forward() override;
  void Backward() override;
  std::vector<TPathChange> changes_;
};

// "静止画", "動画", "サウンド", "マスク画像", "ルール画像", "テクスチャ画像".
std::string_view MediaUseText(TFileUse use);

class TRelinkForm {
 public:
  explicit TRelinkForm(TProjectDocument& doc) : doc_(doc) { Refresh(); }

  // The missing files, one per path, as found by the last Refresh.
  const std::vector<TMissingMedia>& Missing() const { return missing_; }
  // Looks again (after a relink, or files put back meanwhile).
  void Refresh();
  // A row's second column: where the file is used ("静止画 - レイヤー名 00:00:01.000", and how
  // many more uses there are).
  static std::string UseText(const TMissingMedia& m);

  // Searches the folder and relinks every missing file found there as one step; the number
  // of paths relinked.
  int SearchFolder(const std::string& folder);
  // Relinks one missing path to the given file as one step; false when there is nothing to do.
  bool RelinkFile(size_t index, const std::string& file);

 private:
  bool Execute(const TRelinks& relinks);
  TProjectDocument& doc_;
  std::vector<TMissingMedia> missing_;
};

}  // namespace vexa
