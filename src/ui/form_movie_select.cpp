#include "ui/form_movie_select.h"

#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

#include "bitmap/bitmap.h"
#include "ui/bitmap_image.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {
namespace {

// The picture area: the frame at its own size, centred when the window is wider than the movie
// (the panels need a width of their own).
class TPictureArea final : public QWidget {
 public:
  TPictureArea(const QImage& image, int width, int height, QWidget* parent) : QWidget(parent), image_(image) {
    setObjectName("Image_Movie");
    setAccessibleName(Qs("動画"));
    setMinimumSize(width, height);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (image_.isNull()) return;
    p.drawImage(QPoint((width() - image_.width()) / 2, 0), image_);
  }

 private:
  const QImage& image_;
};

}  // namespace

TForm_GraphicSource_Movie_Select::TForm_GraphicSource_Movie_Select(TMovieRangeSelector& selector,
                                                                   const TABitmap* picture, QWidget* parent)
    : TRangeSelectWindow(selector, "TForm_GraphicSource_Movie_Select", parent),
      selector_(selector),
      picture_(picture) {
  setAccessibleName(Qs("範囲選択"));
  // Picture, start slider, start panel, end slider, end panel, one under the other.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  area_ = new TPictureArea(image_, std::max(selector.MovieWidth(), 1), std::max(selector.MovieHeight(), 1), this);
  layout->addWidget(area_);
  layout->addWidget(MakeTrack(TRangeSelector::Start));
  layout->addWidget(MakePanel(TRangeSelector::Start, "開始フレーム："));
  layout->addWidget(MakeTrack(TRangeSelector::End));
  layout->addWidget(MakePanel(TRangeSelector::End, "終了フレーム："));
  for (QSlider* t : {Track(TRangeSelector::Start), Track(TRangeSelector::End)})
    t->setMinimumWidth(std::min(t->minimumWidth(), std::max(selector.MovieWidth(), 1)));

  moves_.setSingleShot(true);
  moves_.setInterval(0);
  connect(&moves_, &QTimer::timeout, this, [this] { Guarded(this, [&] { TakeMoves(); }); });
  ShowSelector();
  ShowPicture();
}

void TForm_GraphicSource_Movie_Select::TrackMoved(TRangeSelector::TEnd end, int position) {
  pending_[end] = position;
  ends_[end].Pending = true;
  if (!moves_.isActive()) moves_.start();
}

void TForm_GraphicSource_Movie_Select::TakeMoves() {
  for (TRangeSelector::TEnd end : {TRangeSelector::Start, TRangeSelector::End}) {
    if (!ends_[end].Pending) continue;
    ends_[end].Pending = false;
    selector_.MoveTrack(end, pending_[end]);
  }
  ShowSelector();
  ShowPicture();
}

void TForm_GraphicSource_Movie_Select::ShowPicture() {
  if (!picture_ || selector_.ShownFrame() == shownFrame_) return;
  shownFrame_ = selector_.ShownFrame();
  ++decoded_;
  image_ = ImageOfBitmap(*picture_);
  area_->update();
}

void TForm_GraphicSource_Movie_Select::done(int result) {
  moves_.stop();
  // A move still pending is the last place the user put the slider.
  Guarded(this, [&] {
    for (TRangeSelector::TEnd end : {TRangeSelector::Start, TRangeSelector::End})
      if (ends_[end].Pending) {
        ends_[end].Pending = false;
        selector_.MoveTrack(end, pending_[end]);
      }
    selector_.Close();
  });
  TRangeSelectWindow::done(result);
}

}  // namespace vexa::ui
