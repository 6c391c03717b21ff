#include "ui/form_render_graphic.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace vexa::ui {
namespace {

int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

QString ClockText(double seconds) {
  const auto s = static_cast<long long>(seconds + 0.5);
  return QString("%1:%2:%3").arg(s / 3600).arg(s / 60 % 60, 2, 10, QChar('0')).arg(s % 60, 2, 10, QChar('0'));
}

}  // namespace

void TRenderProgress::Started(uint32_t frameCount, const TVideoCodec&) {
  count_.store(frameCount);
  startNs_.store(NowNs());
  started_.store(true);
}

void TRenderProgress::FrameWritten(uint32_t written, uint32_t) {
  written_.store(written);
}

double TRenderProgress::Elapsed() const {
  return started_.load() ? static_cast<double>(NowNs() - startNs_.load()) * 1e-9 : 0;
}

double TRenderProgress::SecondsLeft() const {
  const uint32_t done = written_.load(), count = count_.load();
  if (done == 0) return -1;
  return Elapsed() / done * (count - done);
}

TForm_Render_Graphic::TForm_Render_Graphic(TRenderProgress& progress, QWidget* parent)
    : QDialog(parent), progress_(progress) {
  setObjectName("TForm_Render_Graphic");
  setWindowTitle(Qs("レンダリング"));
  setAccessibleName(windowTitle());
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
  setModal(false);

  bar_ = new QProgressBar(this);
  bar_->setObjectName("ProgressBar_Status");
  bar_->setAccessibleName(Qs("進行状況"));
  bar_->setRange(0, 0);
  bar_->setMinimumWidth(fontMetrics().horizontalAdvance(QString(28, u'0')));
  frames_ = new QLabel(this);
  frames_->setObjectName("Label_Frames");
  timeLeft_ = new QLabel(this);
  timeLeft_->setObjectName("Label_TimeLeft");
  auto* stop = new QPushButton(Qs("中止"), this);
  stop->setObjectName("Button_Stop");
  stop->setAccessibleName(stop->text());
  connect(stop, &QPushButton::clicked, this, &TForm_Render_Graphic::reject);

  auto* texts = new QHBoxLayout;
  texts->addWidget(frames_, 1);
  texts->addWidget(timeLeft_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(bar_);
  layout->addLayout(texts);
  layout->addWidget(stop, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  timer_ = new QTimer(this);
  timer_->setInterval(100);
  connect(timer_, &QTimer::timeout, this, &TForm_Render_Graphic::ShowProgress);
  timer_->start();
  ShowProgress();
}

void TForm_Render_Graphic::ShowProgress() {
  const uint32_t count = progress_.FrameCount(), done = progress_.FramesWritten();
  // The bar runs from frame 0 to the last frame, as the frame about to be composed.
  if (count > 0 && bar_->maximum() != static_cast<int>(count - 1)) bar_->setRange(0, static_cast<int>(count - 1));
  if (count > 0) bar_->setValue(static_cast<int>(std::min(done, count - 1)));
  frames_->setText(Qs("フレーム：") + QString("%1 / %2").arg(done).arg(count));
  const double left = progress_.SecondsLeft();
  timeLeft_->setText(Qs("残り時間：") + (left < 0 ? QStringLiteral("--:--:--") : ClockText(left)));
  frames_->setAccessibleName(frames_->text());
  timeLeft_->setAccessibleName(timeLeft_->text());
}

// "中止", Esc and closing the window all stop the render; the window goes away at once.
void TForm_Render_Graphic::reject() {
  progress_.RequestStop();
  emit StopClicked();
  hide();
}

void TForm_Render_Graphic::closeEvent(QCloseEvent* event) {
  event->ignore();
  reject();
}

}  // namespace vexa::ui
