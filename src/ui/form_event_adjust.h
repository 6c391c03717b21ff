// TForm_Event_Adjust: the time adjustment dialog over a TEventAdjustForm. Every change the
// user makes goes to the form, and the fields show the form again afterwards (the form
// recomputes the interval or the end, and limits the note field by the metre).
#pragma once

#include <QDialog>
#include <array>

class QPushButton;
class QRadioButton;

namespace vexa {
class TEventAdjustForm;
}

namespace vexa::ui {

class TNumberField;

class TForm_Event_Adjust : public QDialog {
  Q_OBJECT

 public:
  TForm_Event_Adjust(TEventAdjustForm& form, QWidget* parent = nullptr);

  // Shows every field from the form, without passing the fill back as a change.
  void ShowForm();

 private:
  QWidget* BuildTimeGroup(int time, const char* caption, const char* role, const char* millisecondName);
  QWidget* BuildChoiceGroups();
  QWidget* BuildRhythmGroup();

  TEventAdjustForm& form_;
  std::array<std::array<TNumberField*, 4>, 3> times_{};
  std::array<TNumberField*, 5> rhythm_{};
};

}  // namespace vexa::ui
