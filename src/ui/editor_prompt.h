// What the editor's commands ask of the main window, answered with its dialogs: message boxes,
// the file choosers of the project and the layers, and the time adjustment dialog.
#pragma once

#include "ui/logic/autosave.h"
#include "ui/logic/user_prompt.h"

class QWidget;

namespace vexa::ui {

class TQtEditorPrompt : public TEditorPrompt {
 public:
  explicit TQtEditorPrompt(QWidget* parent) : parent_(parent) {}
  void Message(std::string_view text) override;
  bool Confirm(std::string_view text) override;
  void ErrorMessage(std::string_view text) override;
  std::string ChooseOpenFile(const TFileChooser& chooser) override;
  std::vector<std::string> ChooseOpenFiles(const TFileChooser& chooser) override;
  std::string ChooseSaveFile(const TFileChooser& chooser) override;
  bool ShowAdjustDialog(TEventAdjustForm& form) override;

 private:
  QWidget* parent_;
};

// The start-up question about a recovered project: "復元", "破棄" and "後で" (also Esc).
class TQtRecoveryPrompt : public TRecoveryPrompt {
 public:
  explicit TQtRecoveryPrompt(QWidget* parent) : parent_(parent) {}
  TRecoveryChoice AskRecovery(const std::string& question) override;
  void ErrorMessage(std::string_view text) override;

 private:
  QWidget* parent_;
};

// The object name of a chooser: "OpenDialog_Project", "SaveDialog_GraphicLayer", ...
std::string FileChooserName(const TFileChooser& chooser, bool save);

}  // namespace vexa::ui
