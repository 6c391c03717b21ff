#include "ui/logic/relink.h"

#include "ui/logic/project_document.h"
#include "ui/logic/text_format.h"

namespace vexa {

TRelinkCommand::TRelinkCommand(TProjectDocument& doc, std::string text, const TRelinks& relinks)
    : TSnapshotCommand(doc, std::move(text)), changes_(PlanRelinks(doc.Project(), relinks)) {
  for (const TPathChange& c : changes_)
    if (changed_.empty() || changed_.back() != c.Event) changed_.push_back(c.Event);
}

void TRelinkCommand::First() {
  ApplyPathChanges(changes_, true);
  doc_.RefreshEvents(changed_);
}

void TRelinkCommand::Forward() {
  ApplyPathChanges(changes_, true);
}

void TRelinkCommand::Backward() {
  ApplyPathChanges(changes_, false);
}

std::string_view MediaUseText(TFileUse use) {
  switch (use) {
    case TFileUse::Picture:
      return "静止画";
    case TFileUse::Movie:
      return "動画";
    case TFileUse::Sound:
      return "サウンド";
    case TFileUse::Mask:
      return "マスク画像";
    case TFileUse::RuleImage:
      return "ルール画像";
    case TFileUse::Texture:
      return "テクスチャ画像";
    default:
      return "ファイル";
  }
}

void TRelinkForm::Refresh() {
  missing_ = FindMissingMedia(doc_.Project());
}

std::string TRelinkForm::UseText(const TMissingMedia& m) {
  if (m.Uses.empty()) return {};
  const TFileReference& first = m.Uses.front();
  std::string text(MediaUseText(first.Use));
  text += " - " + first.LayerName;
  if (first.Event) text += " " + TimeText(first.Event->StartTime);
  if (m.Uses.size() > 1) text += " (他 " + std::to_string(m.Uses.size() - 1) + " 件)";
  return text;
}

bool TRelinkForm::Execute(const TRelinks& relinks) {
  auto command = std::make_unique<TRelinkCommand>(doc_, std::string(relink_text::kStepName), relinks);
  if (command->Empty()) return false;
  doc_.Execute(std::move(command));
  Refresh();
  return true;
}

int TRelinkForm::SearchFolder(const std::string& folder) {
  TMediaSearchIndex index;
  index.AddFolder(folder);
  const TRelinks relinks = MatchMissingMedia(missing_, index);
  return Execute(relinks) ? static_cast<int>(relinks.size()) : 0;
}

bool TRelinkForm::RelinkFile(size_t index, const std::string& file) {
  if (index >= missing_.size() || file.empty() || file == missing_[index].Path) return false;
  return Execute({{missing_[index].Path, file}});
}

}  // namespace vexa
