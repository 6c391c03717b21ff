#include "ui/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/app_look.h"
#include "ui/qt_text.h"

namespace vexa::ui {
namespace {

QMessageBox::StandardButton Show(QWidget* parent, QMessageBox::Icon icon, std::string_view text,
                                 QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, Qs(kAppTitle), Qs(text), buttons, parent);
  box.setObjectName(icon == QMessageBox::Question ? "MessageBox_Confirm" : "MessageBox_Message");
  box.setAccessibleName(Qs(text));
  // The first button is the default, as in the program's other dialogs.
  if (buttons & QMessageBox::Yes) box.setDefaultButton(QMessageBox::Yes);
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

void ShowMessage(QWidget* parent, std::string_view text) {
  Show(parent, QMessageBox::NoIcon, text, QMessageBox::Ok);
}

void ShowError(QWidget* parent, std::string_view text) {
  Show(parent, QMessageBox::Critical, text, QMessageBox::Ok);
}

bool AskYesNo(QWidget* parent, std::string_view text) {
  return Show(parent, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool AskToContinue(QWidget* parent, std::string_view text, std::string_view details) {
  QMessageBox box(QMessageBox::Warning, Qs(kAppTitle), Qs(text), QMessageBox::NoButton, parent);
  box.setObjectName("MessageBox_Continue");
  box.setAccessibleName(Qs(text));
  box.setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (!details.empty()) box.setDetailedText(Qs(details));
  QPushButton* go = box.addButton(QStringLiteral("続行"), QMessageBox::AcceptRole);
  QPushButton* stop = box.addButton(QStringLiteral("キャンセル"), QMessageBox::RejectRole);
  go->setObjectName("Button_Continue");
  stop->setObjectName("Button_Cancel");
  box.setDefaultButton(go);
  box.setEscapeButton(stop);
  box.exec();
  return box.clickedButton() == go;
}

}  // namespace vexa::ui
