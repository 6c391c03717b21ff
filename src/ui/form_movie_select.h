// TForm_GraphicSource_Movie_Select: shows the movie frame under the slider being moved and picks
// the first and last frame, over a TMovieRangeSelector that is already shown (its movie open).
// While a slider moves, only its latest position is decoded: moves that arrive while a frame is
// being read replace each other, so the picture never lags behind the hand.
#pragma once

#include <QImage>
#include <QTimer>

#include "ui/range_select_window.h"

namespace vexa {
class TABitmap;
}

namespace vexa::ui {

class TForm_GraphicSource_Movie_Select : public TRangeSelectWindow {
  Q_OBJECT

 public:
  // picture: the bitmap the selector's reader fills (null: nothing is drawn).
  TForm_GraphicSource_Movie_Select(TMovieRangeSelector& selector, const TABitmap* picture,
                                   QWidget* parent = nullptr);

  // The frame on show, as drawn.
  const QImage& Shown() const { return image_; }
  // Frames the window had decoded for it so far.
  int FramesDecoded() const { return decoded_; }

 protected:
  void TrackMoved(TRangeSelector::TEnd end, int position) override;
  void done(int result) override;

 private:
  void TakeMoves();
  void ShowPicture();

  TMovieRangeSelector& selector_;
  const TABitmap* picture_;
  QWidget* area_ = nullptr;
  QImage image_;
  QTimer moves_;  // takes the pending slider moves once the events before it are handled
  int pending_[2] = {0, 0};
  int64_t shownFrame_ = -1;
  int decoded_ = 0;
};

}  // namespace vexa::ui
