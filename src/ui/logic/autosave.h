// The autosave: while the open project has unsaved changes, a copy of it goes into this
// program's recovery folder once a minute (or at another interval); once the project is saved
// (or its changes undone) the copy goes. And at start, the offer to restore what a program
// that did not end normally left behind.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/logic/document_notice.h"
#include "ui/logic/recovery_store.h"

namespace vexa {

class TProjectDocument;

class TAutosave : public TDocumentObserver {
 public:
  using TClock = std::function<std::chrono::steady_clock::time_point()>;
  static constexpr std::chrono::milliseconds kDefaultInterval = std::chrono::minutes(1);

  // The clock is the steady clock unless given (tests give a fake one).
  TAutosave(TProjectDocument& doc, TRecoverySession& session, TClock clock = {},
            std::chrono::milliseconds interval = kDefaultInterval);
  ~TAutosave() override;
  TAutosave(const TAutosave&) = delete;
  TAutosave& operator=(const TAutosave&) = delete;

  std::chrono::milliseconds Interval() const { return interval_; }
  void SetInterval(std::chrono::milliseconds interval) { interval_ = interval; }

  // The window's timer calls this every few seconds: writes the copy once the oldest change
  // not in it is an interval old, and removes it when there is nothing unsaved. True when it
  // wrote.
  bool Poll();
  // Writes at once when the copy lacks something. True when it wrote.
  bool SaveNow();
  // The reason the last write failed; empty after a good one. A failed write is tried again
  // an interval later.
  const std::string& LastError() const { return lastError_; }

  void Notice(const TDocumentNotice& notice) override;

 private:
  // The project's file names: a save of a single layer changes them without a command.
  std::vector<std::string> FileNames() const;
  bool Behind() const;
  bool Write();

  TProjectDocument& doc_;
  TRecoverySession& session_;
  TClock clock_;
  std::chrono::milliseconds interval_;
  uint64_t writtenState_ = 0;
  std::vector<std::string> writtenNames_;
  std::optional<std::chrono::steady_clock::time_point> pendingSince_;
  std::string lastError_;
};

// The interval the user set in the settings file ([Autosave] Interval, in seconds; at least
// five), or the default.
std::chrono::milliseconds ReadAutosaveInterval(const std::string& settingsFile);

// ---- restoring at start ----

enum class TRecoveryChoice { Restore, Discard, Later };

namespace recovery_text {
inline constexpr std::string_view kRestore = "復元";
inline constexpr std::string_view kDiscard = "破棄";
inline constexpr std::string_view kLater = "後で";
inline constexpr std::string_view kUntitled = "無題";
}  // namespace recovery_text

// "前回正しく終了しなかったときのプロジェクト「…」が自動保存されています（… 保存）。…"
std::string RecoveryQuestion(const TRecoveryInfo& info);

class TRecoveryPrompt {
 public:
  virtual ~TRecoveryPrompt() = default;
  // The question with the three answers "復元", "破棄" and "後で".
  virtual TRecoveryChoice AskRecovery(const std::string& question) = 0;
  virtual void ErrorMessage(std::string_view text) = 0;
};

// Asks about each recovery found, newest first, until one is restored: a restored project
// replaces the open one (with its own file names, marked as unsaved), is written into this
// program's recovery at once, and only then is the old recovery removed. "破棄" removes a
// recovery, "後で" keeps it for the next start, and so does a recovery that cannot be read.
// True when a project was restored.
bool OfferRecoveredProjects(std::vector<std::unique_ptr<TRecoveredProject>> found, TProjectDocument& doc,
                            TAutosave& autosave, TRecoveryPrompt& prompt);

}  // namespace vexa
