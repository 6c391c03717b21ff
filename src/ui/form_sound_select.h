// TForm_SoundSource_Select: plays a sound file's range and picks its first and last sample with
// two sliders, over a TSoundRangeSelector that is already shown (its file open). Closed with its
// close box; the opener takes the range the fields show.
#pragma once

#include <QTimer>

#include "ui/range_select_window.h"

class QLabel;
class QPushButton;

namespace vexa::ui {

class TForm_SoundSource_Select : public TRangeSelectWindow {
  Q_OBJECT

 public:
  TForm_SoundSource_Select(TSoundRangeSelector& selector, QWidget* parent = nullptr);

  QTimer* Timer() { return &timer_; }

 public slots:
  // The output played to the end of the range (delivered on this thread).
  void PlaybackEnded();
  void done(int result) override;

 protected:
  void ShowSelector() override;

 private:
  TSoundRangeSelector& selector_;
  QLabel* position_ = nullptr;
  QTimer timer_;
};

}  // namespace vexa::ui
