#include "ui/logic/autosave.h"

#include <algorithm>
#include <ctime>
#include <exception>

#include "persist/ext_ini_file.h"
#include "ui/logic/project_document.h"

namespace vexa {

TAutosave::TAutosave(TProjectDocument& doc, TRecoverySession& session, TClock clock,
                     std::chrono::milliseconds interval)
    : doc_(doc), session_(session), clock_(std::move(clock)), interval_(interval) {
  if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
  doc_.AddObserver(*this);
}

TAutosave::~TAutosave() {
  doc_.RemoveObserver(*this);
}

std::vector<std::string> TAutosave::FileNames() const {
  std::vector<std::string> names{doc_.Project().FileName};
  for (const auto& l : doc_.Project().GraphicLayers)
    names.push_back(l->FileName);
  for (const auto& l : doc_.Project().SoundLayers)
    names.push_back(l->FileName);
  return names;
}

bool TAutosave::Behind() const {
  return doc_.IsModified() && (!session_.HasRecovery() || doc_.State() != writtenState_ || FileNames() != writtenNames_);
}

void TAutosave::Notice(const TDocumentNotice& notice) {
  // The time of the first change the copy lacks; the disk is left to Poll.
  switch (notice.Kind) {
    case TNoticeKind::BatchEnd:
    case TNoticeKind::ModifiedChanged:
    case TNoticeKind::SettingsChanged:
    case TNoticeKind::ProjectReplaced:
      break;
    default:
      return;  // inside a batch, or no change of the project
  }
  if (!Behind())
    pendingSince_.reset();
  else if (!pendingSince_)
    pendingSince_ = clock_();
}

bool TAutosave::Poll() {
  if (!doc_.IsModified()) {
    pendingSince_.reset();
    if (session_.HasRecovery()) session_.Clear();
    return false;
  }
  if (!Behind()) return false;
  const auto now = clock_();
  if (!pendingSince_) pendingSince_ = now;  // a change no notice told (a layer saved alone)
  if (now - *pendingSince_ < interval_) return false;
  return Write();
}

bool TAutosave::SaveNow() {
  if (!Behind()) return false;
  return Write();
}

bool TAutosave::Write() {
  try {
    session_.Write(doc_.Project(), doc_.NewLayerCounter, doc_.NameInCaption());
  } catch (const std::exception& e) {
    lastError_ = e.what();
    pendingSince_ = clock_();  // again an interval later
    return false;
  }
  lastError_.clear();
  writtenState_ = doc_.State();
  writtenNames_ = FileNames();
  pendingSince_.reset();
  return true;
}

std::chrono::milliseconds ReadAutosaveInterval(const std::string& settingsFile) {
  if (settingsFile.empty()) return TAutosave::kDefaultInterval;
  TExtIniFile ini(settingsFile);
  ini.Reload();
  const int32_t seconds = ini.ReadSignedInteger("Autosave", "Interval", -1);
  if (seconds <= 0) return TAutosave::kDefaultInterval;
  // Shorter would write all the time while the user works.
  return std::chrono::seconds(std::max(seconds, 5));
}

// ---- restoring at start ----

std::string RecoveryQuestion(const TRecoveryInfo& info) {
  char when[64] = "";
  const std::time_t t = static_cast<std::time_t>(info.SavedAt);
  std::tm local{};
  if (info.SavedAt > 0 && localtime_r(&t, &local)) std::strftime(when, sizeof when, "%Y/%m/%d %H:%M", &local);
  const std::string name = info.ProjectName.empty() ? std::string(recovery_text::kUntitled) : info.ProjectName;
  std::string text = "前回正しく終了しなかったときのプロジェクト「" + name + "」が自動保存されています";
  if (when[0]) text += "（" + std::string(when) + " 保存）";
  text += "。\n";
  if (!info.ProjectFile.empty()) text += info.ProjectFile + "\n";
  text += "復元しますか？";
  return text;
}

bool OfferRecoveredProjects(std::vector<std::unique_ptr<TRecoveredProject>> found, TProjectDocument& doc,
                            TAutosave& autosave, TRecoveryPrompt& prompt) {
  for (auto& recovered : found) {
    switch (prompt.AskRecovery(RecoveryQuestion(recovered->Info()))) {
      case TRecoveryChoice::Later:
        continue;
      case TRecoveryChoice::Discard:
        recovered->Remove();
        continue;
      case TRecoveryChoice::Restore:
        break;
    }
    std::unique_ptr<TProject> project;
    try {
      project = recovered->Load();
    } catch (const std::exception& e) {
      prompt.ErrorMessage(e.what());  // kept: perhaps a later version reads it
      continue;
    }
    doc.AdoptProject(*project);
    if (recovered->Info().NameInCaption) doc.ShowProjectNameInCaption();
    doc.NewLayerCounter = std::max(doc.NewLayerCounter, recovered->Info().NewLayerCounter);
    doc.MarkUnsaved();
    // The old copy goes only once the new one is on the disk.
    if (autosave.SaveNow())
      recovered->Remove();
    else
      prompt.ErrorMessage(autosave.LastError());
    return true;
  }
  return false;
}

}  // namespace vexa
