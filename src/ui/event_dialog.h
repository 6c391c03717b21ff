// The editing dialog of any event kind, built from the kind's dialog descriptor by one builder:
// the time groups, the kind's groups and controls in the descriptor's grid, and the buttons.
// Every edit goes to the dialog's TEventForm, and the controls show the form again afterwards
// (a unit switch changes limits and values, a layer row fills two fields). OK only closes the
// dialog: the opener writes the form into the event.
#pragma once

#include <QDialog>
#include <QString>
#include <string_view>
#include <vector>

class QButtonGroup;
class QTextEdit;
class QTreeWidget;

namespace vexa {
class TEventForm;
struct TControlDesc;
}  // namespace vexa

namespace vexa::ui {

class TFontLabel;

// What an editing dialog asks of the program around it.
class TEventDialogHost {
 public:
  virtual ~TEventDialogHost() = default;
  // "プレビュー": plays the event as the form gives it.
  virtual void Preview(const TEventForm& form, QWidget* dialog) = 0;
  // "範囲選択" of the sound and the movie dialog: the range selector on the form's file.
  virtual void SelectSampleRange(TEventForm& form, QWidget* dialog) = 0;
  virtual void SelectFrameRange(TEventForm& form, QWidget* dialog) = 0;
};

class TEventDialog : public QDialog {
  Q_OBJECT

 public:
  // The form's descriptor decides what is built; the form must outlive the dialog.
  TEventDialog(TEventForm& form, TEventDialogHost& host, QWidget* parent = nullptr);
  ~TEventDialog() override;

  TEventForm& Form() { return form_; }
  // Shows every control from the form, without passing the fill back as an edit.
  void ShowForm();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct TBound;

  void Build();
  QWidget* MakeControl(const TControlDesc& c, QWidget* parent);
  QWidget* MakeFileEdit(const TControlDesc& c, QWidget* parent);
  void ChooseFont();
  void PlaceButtons(QWidget* box, const std::vector<QWidget*>& buttons);
  template <class F>
  void Edit(F work);

  TEventForm& form_;
  TEventDialogHost& host_;
  std::vector<TBound> bound_;
  std::vector<std::pair<const void*, QButtonGroup*>> radioGroups_;
  QTextEdit* memo_ = nullptr;
  TFontLabel* fontLabel_ = nullptr;
  QTreeWidget* layers_ = nullptr;
  bool showing_ = false;  // ShowForm is filling the controls
};

// The dialog, modal, on the form; true when it closed with OK.
bool RunEventDialog(TEventForm& form, TEventDialogHost& host, QWidget* parent);

// The accessible name of a control of a dialog: its caption, or for a field the caption of its
// group and label, with 開始 / 終了 for the start and end of a pair.
QString AccessibleNameOf(const TControlDesc& c, std::string_view groupCaption);

}  // namespace vexa::ui
