#include "preview/form_preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QSlider>
#include <QVBoxLayout>

#include "preview/preview_caption.h"
#include "preview/preview_picture.h"
#include "render/studio.h"

namespace vexa::ui {
namespace {

QString Qs(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool IsArrow(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right || key == Qt::Key_Down;
}

}  // namespace

// The runner's notifications, on the preview thread: each becomes a queued call on the window,
// tagged with the run it belongs to. Posting never blocks; a window that is gone drops them.
class TForm_Preview::TBridge final : public TPreviewPresenter {
 public:
  explicit TBridge(TForm_Preview& window) : window_(window) {}
  uint64_t Run = 0;

  void SeekRangeKnown(uint32_t maxSeconds) override {
    Post([maxSeconds](TForm_Preview& w, uint64_t) { w.seekBar_->setMaximum(static_cast<int>(maxSeconds)); });
  }
  void FrameReady() override {
    Post([](TForm_Preview& w, uint64_t run) { w.OnFrameReady(run); });
  }
  void PositionChanged(uint32_t seconds, const std::string& caption) override {
    Post([seconds, caption](TForm_Preview& w, uint64_t run) { w.OnPosition(run, seconds, caption); });
  }
  void Notice(const std::string& message) override {
    Post([message](TForm_Preview& w, uint64_t) {
      if (w.ShowNotice) w.ShowNotice(message);
    });
  }
  void RunEnded() override {
    Post([](TForm_Preview& w, uint64_t run) { w.OnRunEnded(run); });
  }

 private:
  template <class F>
  void Post(F work) {
    TForm_Preview* w = &window_;
    const uint64_t run = Run;
    QMetaObject::invokeMethod(
        w, [w, run, work] { work(*w, run); }, Qt::QueuedConnection);
  }
  TForm_Preview& window_;
};

TForm_Preview::TForm_Preview(QWidget* parent) : QDialog(parent), bridge_(std::make_unique<TBridge>(*this)) {
  setObjectName("TForm_Preview");
  setWindowTitle(Qs(kPreviewCaption));
  setAccessibleName(windowTitle());
  // A fixed frame with the system menu and the close box.
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);

  seekBar_ = new QSlider(Qt::Horizontal, this);
  seekBar_->setObjectName("TrackBar_Seek");
  seekBar_->setAccessibleName(QStringLiteral("シークバー"));
  seekBar_->setRange(0, 0);
  seekBar_->setSingleStep(1);
  seekBar_->setPageStep(2);
  seekBar_->setTickPosition(QSlider::TicksBelow);
  seekBar_->setTickInterval(1);
  seekBar_->installEventFilter(this);
  // The picture paints all of its area; the seek bar paints its own background, so that a
  // moving handle leaves no trace.
  seekBar_->setAutoFillBackground(true);
  connect(seekBar_, &QSlider::valueChanged, this, [this](int value) {
    setWindowTitle(Qs(PreviewCaption(static_cast<uint64_t>(value) * 1000)));
    if (runner_) runner_->SetSeekSeconds(static_cast<uint32_t>(value));
  });

  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);
  layout_->addWidget(seekBar_);
  layout_->setSizeConstraint(QLayout::SetFixedSize);

  ShowMessage = [this](const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), Qs(text), QMessageBox::Ok, this);
    box.exec();
  };
  ShowNotice = [this](const std::string& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, windowTitle(), Qs(text), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
  };
}

TForm_Preview::~TForm_Preview() {
  FinishRun();
}

QWidget* TForm_Preview::Picture() const {
  return picture_ ? picture_->Widget() : nullptr;
}

void TForm_Preview::MakePicture(int width, int height, bool useOpenGL) {
  if (picture_) {
    QWidget* old = picture_->Widget();
    layout_->removeWidget(old);
    picture_ = nullptr;
    delete old;
  }
  usingOpenGL_ = useOpenGL && TGlPicture::ContextAvailable();
  if (usingOpenGL_) {
    auto* gl = new TGlPicture(width, height, this);
    gl->Failed = [this] {
      // Not inside the widget's own painting: the switch replaces it.
      QMetaObject::invokeMethod(this, [this] { SwitchToCopying(); }, Qt::QueuedConnection);
    };
    picture_ = gl;
  } else {
    picture_ = new TCopyPicture(width, height, this);
  }
  picture_->Painted = [this](uint64_t serial) { OnPainted(serial); };
  layout_->insertWidget(0, picture_->Widget());
}

// The OpenGL presenter failed: the rest of this preview copies its frames.
void TForm_Preview::SwitchToCopying() {
  if (!usingOpenGL_ || !picture_) return;
  QWidget* old = picture_->Widget();
  const QSize size = old->size();
  auto* copy = new TCopyPicture(size.width(), size.height(), this);
  copy->Painted = [this](uint64_t serial) { OnPainted(serial); };
  layout_->replaceWidget(old, copy);
  old->hide();
  old->deleteLater();
  picture_ = copy;
  usingOpenGL_ = false;
  if (frame_) copy->ShowFrame(*frame_);
}

bool TForm_Preview::Play(TVexaStudio& engine, bool useOpenGL, TPreviewSetup setup) {
  FinishRun();
  sincePlay_.start();
  stats_ = {};
  frame_ = nullptr;
  lastSerial_ = paintedSerial_ = 0;
  held_ = closing_ = false;
  openGLRequested_ = useOpenGL;
  const TProject& p = engine.Project;
  frameMs_ = p.FPS ? 1000.0 / p.FPS : 0;
  {
    const QSignalBlocker block(seekBar_);
    seekBar_->setRange(0, 0);
    seekBar_->setValue(0);
  }
  setWindowTitle(Qs(kPreviewCaption));
  MakePicture(static_cast<int>(p.Width), static_cast<int>(p.Height), useOpenGL);

  bridge_->Run = ++run_;
  runner_ = std::make_unique<TPreviewThread>(engine, *bridge_, std::move(setup));
  bool started = false;
  try {
    started = runner_->Start();
  } catch (...) {
    runner_.reset();
    throw;
  }
  if (!started) {
    runner_.reset();
    if (ShowMessage) ShowMessage(std::string(kPrepareFailedMessage));
    return false;
  }
  exec();
  FinishRun();
  return true;
}

void TForm_Preview::FinishRun() {
  if (!runner_) return;
  runner_->Close();
  runner_.reset();
  frame_ = nullptr;
}

void TForm_Preview::done(int result) {
  if (runner_ && runner_->Running()) {
    // The thread may be rendering the sound or composing: it is told to stop, and the window
    // goes when it says it has ended. Events go on meanwhile.
    closing_ = true;
    closingResult_ = result;
    runner_->RequestStop();
    return;
  }
  FinishRun();
  QDialog::done(result);
}

void TForm_Preview::OnRunEnded(uint64_t run) {
  if (run != run_ || !runner_) return;
  const int result = closing_ ? closingResult_ : int(QDialog::Rejected);
  closing_ = false;
  FinishRun();
  // A run that ended by itself (an error it reported) closes the window too.
  if (isVisible()) QDialog::done(result);
}

void TForm_Preview::OnFrameReady(uint64_t run) {
  if (run != run_ || !runner_ || closing_) return;
  const TPreviewFrame* f = runner_->TakeFrame();
  if (!f || f->Serial == lastSerial_) return;
  lastSerial_ = f->Serial;
  takenIndex_ = f->FrameIndex;
  if (f->ShownMs - f->DueMs > frameMs_) ++stats_.LateFrames;
  frame_ = f;
  if (picture_) picture_->ShowFrame(*f);
}

void TForm_Preview::OnPainted(uint64_t serial) {
  if (serial == paintedSerial_) return;
  // Frames between the two were handed over but replaced by a newer one before a paint.
  if (paintedSerial_ && serial > paintedSerial_ + 1) stats_.FramesSkipped += serial - paintedSerial_ - 1;
  paintedSerial_ = serial;
  ++stats_.FramesPainted;
  if (serial == lastSerial_) stats_.LastFrameIndex = takenIndex_;
  if (stats_.FirstFrameMs < 0) stats_.FirstFrameMs = static_cast<double>(sincePlay_.nsecsElapsed()) / 1e6;
}

void TForm_Preview::OnPosition(uint64_t run, uint32_t seconds, const std::string& caption) {
  if (run != run_ || held_ || closing_) return;
  const int value = static_cast<int>(seconds);
  if (seekBar_->value() != value) seekBar_->setValue(value);
  setWindowTitle(Qs(caption));
}

// The seek bar: holding it (a mouse button or an arrow key) freezes the picture and stops the
// sound; letting go seeks to its position. Page Up, Page Down, Home and End only move it.
bool TForm_Preview::eventFilter(QObject* watched, QEvent* event) {
  if (watched == seekBar_ && runner_) {
    bool press = false, release = false;
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        press = true;
        break;
      case QEvent::MouseButtonRelease:
        release = true;
        break;
      case QEvent::KeyPress:
        press = IsArrow(static_cast<QKeyEvent*>(event)->key());
        break;
      case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        release = IsArrow(key->key()) && !key->isAutoRepeat();
        break;
      }
      default:
        break;
    }
    if (press && !held_) {
      held_ = true;
      runner_->PressSeekBar();
    } else if (release && held_) {
      held_ = false;
      runner_->SetSeekSeconds(static_cast<uint32_t>(seekBar_->value()));
      runner_->ReleaseSeekBar();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm_Preview::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (const QScreen* screen = this->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  seekBar_->setFocus();
}

}  // namespace vexa::ui
