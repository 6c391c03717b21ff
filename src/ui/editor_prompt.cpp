#include "ui/editor_prompt.h"

#include <QMessageBox>
#include <QPushButton>

#include "ui/app_look.h"
#include "ui/file_dialog.h"
#include "ui/form_event_adjust.h"
#include "ui/logic/main_actions.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"

namespace vexa::ui {

std::string FileChooserName(const TFileChooser& chooser, bool save) {
  std::string name = save ? "SaveDialog_" : "OpenDialog_";
  if (chooser.Filter == main_text::kGraphicLayerFilter)
    name += "GraphicLayer";
  else if (chooser.Filter == main_text::kSoundLayerFilter)
    name += "SoundLayer";
  else
    name += "Project";
  return name;
}

void TQtEditorPrompt::Message(std::string_view text) {
  ShowMessage(parent_, text);
}

bool TQtEditorPrompt::Confirm(std::string_view text) {
  return AskYesNo(parent_, text);
}

void TQtEditorPrompt::ErrorMessage(std::string_view text) {
  ShowError(parent_, text);
}

std::string TQtEditorPrompt::ChooseOpenFile(const TFileChooser& chooser) {
  const std::string name = FileChooserName(chooser, false);
  return ui::ChooseOpenFile(parent_, {chooser.Title, chooser.Filter, name}).value_or(std::string());
}

std::vector<std::string> TQtEditorPrompt::ChooseOpenFiles(const TFileChooser& chooser) {
  const std::string name = FileChooserName(chooser, false);
  return ui::ChooseOpenFiles(parent_, {chooser.Title, chooser.Filter, name});
}

std::string TQtEditorPrompt::ChooseSaveFile(const TFileChooser& chooser) {
  const std::string name = FileChooserName(chooser, true);
  return ui::ChooseSaveFile(parent_, {chooser.Title, chooser.Filter, name}, chooser.ProposedName)
      .value_or(std::string());
}

TRecoveryChoice TQtRecoveryPrompt::AskRecovery(const std::string& question) {
  QMessageBox box(QMessageBox::Question, Qs(kAppTitle), Qs(question), QMessageBox::NoButton, parent_);
  box.setObjectName("MessageBox_Recovery");
  box.setAccessibleName(Qs(question));
  QPushButton* restore = box.addButton(Qs(recovery_text::kRestore), QMessageBox::AcceptRole);
  QPushButton* discard = box.addButton(Qs(recovery_text::kDiscard), QMessageBox::DestructiveRole);
  QPushButton* later = box.addButton(Qs(recovery_text::kLater), QMessageBox::RejectRole);
  box.setDefaultButton(restore);
  box.setEscapeButton(later);  // closing the box decides nothing
  box.exec();
  if (box.clickedButton() == restore) return TRecoveryChoice::Restore;
  if (box.clickedButton() == discard) return TRecoveryChoice::Discard;
  return TRecoveryChoice::Later;
}

void TQtRecoveryPrompt::ErrorMessage(std::string_view text) {
  ShowError(parent_, text);
}

bool TQtEditorPrompt::ShowAdjustDialog(TEventAdjustForm& form) {
  TForm_Event_Adjust dialog(form, parent_);
  return dialog.exec() == QDialog::Accepted;
}

}  // namespace vexa::ui
