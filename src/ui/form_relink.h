// TForm_Relink: the media files an opened project names but that are missing, with a folder
// search that relinks every file it finds and a way to point at one file. Each relink is one
// step of the undo history; what is still missing when the dialog closes stays as it is.
#pragma once

#include <QDialog>

class QPushButton;
class QTreeWidget;

namespace vexa {
class TRelinkForm;
}

namespace vexa::ui {

class TForm_Relink : public QDialog {
  Q_OBJECT

 public:
  TForm_Relink(TRelinkForm& form, QWidget* parent = nullptr);

  QTreeWidget* List() const { return list_; }

 private:
  void ShowRows();
  void SearchFolder();
  void RelinkFile();

  TRelinkForm& form_;
  QTreeWidget* list_ = nullptr;
  QPushButton* relinkFile_ = nullptr;
};

}  // namespace vexa::ui
