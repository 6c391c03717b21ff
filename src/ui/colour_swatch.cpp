#include "ui/colour_swatch.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "ui/colour_dialog.h"
#include "ui/slot_guard.h"

namespace vexa::ui {

TColourSwatch::TColourSwatch(const QString& name, int32_t bgr, QWidget* parent) : QFrame(parent), bgr_(bgr) {
  setObjectName(name);
  setCursor(Qt::PointingHandCursor);
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::Box);
  setMinimumSize(fontMetrics().height() * 3, fontMetrics().height() + 6);
}

void TColourSwatch::SetColour(int32_t bgr) {
  if (bgr == bgr_) return;
  bgr_ = bgr;
  update();
  emit ColourChanged(bgr);
}

void TColourSwatch::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter p(this);
  p.fillRect(contentsRect().adjusted(1, 1, -1, -1), ColourFromBgr(bgr_));
  if (hasFocus()) {
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void TColourSwatch::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) Choose();
}

void TColourSwatch::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Choose();
    return;
  }
  QFrame::keyPressEvent(event);
}

void TColourSwatch::Choose() {
  Guarded(this, [&] {
    if (auto chosen = ChooseColour(window(), bgr_)) SetColour(*chosen);
  });
}

}  // namespace vexa::ui
