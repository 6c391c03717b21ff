// What the editor's commands ask of the window that runs them: message boxes, confirmations,
// modal dialogs and the refreshing of rows. The widgets implement it; tests script it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct TEvent;
class TEventAdjustForm;

class TUserPrompt {
 public:
  virtual ~TUserPrompt() = default;
  // A plain message box with OK.
  virtual void Message(std::string_view text) = 0;
  // A Yes/No box with the confirmation icon; true for Yes.
  virtual bool Confirm(std::string_view text) = 0;
};

// What the synchronisation rules ask besides messages: the refresh of the row of the event
// they changed.
class TEventCommandUi : public TUserPrompt {
 public:
  virtual void RefreshRow(TEvent& event) = 0;
};

// A file chooser as the main window opens it.
struct TFileChooser {
  std::string Title;         // "プロジェクトの読み込み"
  std::string Filter;        // "プロジェクトファイル(*.vxpj)|*.vxpj": caption, '|', patterns
  std::string ProposedName;  // the name the chooser starts with; may be empty
};

// What the main window's commands ask of the window besides messages and confirmations:
// error boxes, file choosers and the time adjustment dialog. The window implements it with
// its dialogs; tests script it.
class TEditorPrompt : public TUserPrompt {
 public:
  // A message box with the error icon.
  virtual void ErrorMessage(std::string_view text) = 0;
  // One existing file; empty when cancelled.
  virtual std::string ChooseOpenFile(const TFileChooser& chooser) = 0;
  // Several existing files; none when cancelled.
  virtual std::vector<std::string> ChooseOpenFiles(const TFileChooser& chooser) = 0;
  // A file to write; the chooser asks before an existing file is overwritten. Empty when
  // cancelled.
  virtual std::string ChooseSaveFile(const TFileChooser& chooser) = 0;
  // The time adjustment dialog, modal, on the form; true when it closed with OK.
  virtual bool ShowAdjustDialog(TEventAdjustForm& form) = 0;
};

}  // namespace vexa
