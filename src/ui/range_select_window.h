// What the two range selector windows share: for each end of the range a slider TrackBar_<End>,
// a spin field JvSpinEdit_<End> with its label and a time label Label_<End>Time, all showing a
// TRangeSelector; the caption with the length of the range. A fixed frame with only the close
// box, centred on the desktop.
#pragma once

#include <QDialog>
#include <array>

#include "ui/logic/range_selectors.h"

class QLabel;
class QSlider;

namespace vexa::ui {

class TNumberField;

class TRangeSelectWindow : public QDialog {
  Q_OBJECT

 public:
  QSlider* Track(TRangeSelector::TEnd end) const { return ends_[end].Track; }
  TNumberField* Spin(TRangeSelector::TEnd end) const { return ends_[end].Spin; }

 protected:
  TRangeSelectWindow(TRangeSelector& selector, const char* objectName, QWidget* parent);

  // The slider of an end, and the panel under it: "開始サンプル：" field, time label.
  QSlider* MakeTrack(TRangeSelector::TEnd end);
  QWidget* MakePanel(TRangeSelector::TEnd end, const char* label);
  // Shows the selector; a slider whose move waits to be taken keeps its place.
  virtual void ShowSelector();
  // The user moved a slider: by default taken at once.
  virtual void TrackMoved(TRangeSelector::TEnd end, int position);
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

  struct TEndWidgets {
    QSlider* Track = nullptr;
    TNumberField* Spin = nullptr;
    QLabel* Time = nullptr;
    bool Pending = false;  // a move of the slider not yet given to the selector
  };
  std::array<TEndWidgets, 2> ends_{};
  bool showing_ = false;

 private:
  TRangeSelector& selector_;
};

}  // namespace vexa::ui
