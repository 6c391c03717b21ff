#include "ui/range_select_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "ui/number_field.h"
#include "ui/qt_text.h"
#include "ui/slot_guard.h"

namespace vexa::ui {
namespace {

const char* EndRole(TRangeSelector::TEnd end) {
  return end == TRangeSelector::Start ? "Start" : "End";
}

int ToInt(int64_t v) {
  return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

TRangeSelectWindow::TRangeSelectWindow(TRangeSelector& selector, const char* objectName, QWidget* parent)
    : QDialog(parent), selector_(selector) {
  setObjectName(objectName);
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

QSlider* TRangeSelectWindow::MakeTrack(TRangeSelector::TEnd end) {
  auto* t = new QSlider(Qt::Horizontal, this);
  t->setObjectName(QString("TrackBar_") + EndRole(end));
  t->setAccessibleName(Qs(end == TRangeSelector::Start ? "開始位置" : "終了位置"));
  t->setMinimumWidth(t->fontMetrics().averageCharWidth() * 80);
  ends_[end].Track = t;
  connect(t, &QSlider::valueChanged, this, [this, end](int v) {
    if (!showing_) Guarded(this, [&] { TrackMoved(end, v); });
  });
  return t;
}

QWidget* TRangeSelectWindow::MakePanel(TRangeSelector::TEnd end, const char* label) {
  auto* panel = new QWidget(this);
  panel->setObjectName(QString("Panel_") + EndRole(end));
  auto* row = new QHBoxLayout(panel);
  auto* caption = new QLabel(Qs(label), panel);
  auto* spin = new TNumberField(QString("JvSpinEdit_") + EndRole(end), 0, INT32_MAX, 1, panel);
  spin->setAccessibleName(caption->text().chopped(1));
  spin->setMinimumWidth(spin->fontMetrics().averageCharWidth() * 14);
  caption->setBuddy(spin);
  auto* time = new QLabel(panel);
  time->setObjectName(QString("Label_") + EndRole(end) + "Time");
  time->setAccessibleName(Qs(end == TRangeSelector::Start ? "開始時間" : "終了時間"));
  row->addWidget(caption);
  row->addWidget(spin);
  row->addWidget(time);
  row->addStretch(1);
  ends_[end].Spin = spin;
  ends_[end].Time = time;
  spin->installEventFilter(this);
  connect(spin, &QSpinBox::valueChanged, this, [this, end](int v) {
    if (showing_) return;
    Guarded(this, [&] {
      ends_[end].Pending = false;
      selector_.SetSpin(end, v);
      ShowSelector();
    });
  });
  return panel;
}

void TRangeSelectWindow::TrackMoved(TRangeSelector::TEnd end, int position) {
  selector_.MoveTrack(end, position);
  ShowSelector();
}

bool TRangeSelectWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn)
    for (TRangeSelector::TEnd end : {TRangeSelector::Start, TRangeSelector::End})
      if (watched == ends_[end].Spin)
        Guarded(this, [&] {
          selector_.EnterSpin(end);
          ShowSelector();
        });
  return QDialog::eventFilter(watched, event);
}

void TRangeSelectWindow::ShowSelector() {
  showing_ = true;
  for (TRangeSelector::TEnd end : {TRangeSelector::Start, TRangeSelector::End}) {
    TEndWidgets& w = ends_[end];
    const TTrack& t = selector_.Track(end);
    if (!w.Pending) {
      const QSignalBlocker block(w.Track);
      w.Track->setRange(ToInt(t.Min), ToInt(std::max(t.Min, t.Max)));
      w.Track->setValue(ToInt(t.Position));
    }
    const TSpinField& s = selector_.Spin(end);
    const QSignalBlocker block(w.Spin);
    w.Spin->setRange(ToInt(s.Min()), ToInt(std::max(s.Min(), s.Max())));
    if (w.Spin->value() != ToInt(s.Value())) w.Spin->setValue(ToInt(s.Value()));
    w.Time->setText(Qs(selector_.TimeLabel(end)));
  }
  setWindowTitle(Qs(selector_.Caption()));
  showing_ = false;
}

void TRangeSelectWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

}  // namespace vexa::ui
