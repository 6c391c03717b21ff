// TForm_Preview: the modal window that plays a render engine's project through the preview
// runner: the picture at the project's size above the seek bar TrackBar_Seek, the caption with
// the playing second.
//
// The runner's notices arrive here as queued calls, so the window never waits for the preview
// thread, nor the thread for the window. Closing (the close box, Esc) tells the thread to stop
// and keeps serving events until it has ended; only then does the window go and hand the
// engine back to its owner.
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "preview/preview_presenter.h"
#include "preview/preview_thread.h"

class QSlider;
class QVBoxLayout;

namespace vexa {
class TVexaStudio;
}

namespace vexa::ui {

class TPreviewPicture;

// What the window saw of one run, for tests and the benchmark.
struct TPreviewStats {
  uint64_t FramesPainted = 0;  // frames that reached the screen
  uint64_t FramesSkipped = 0;  // handed over, but replaced by a newer one before they were painted
  uint64_t LateFrames = 0;     // handed over more than a frame's duration after they were due
  double FirstFrameMs = -1;    // from Play to the first frame on screen
  uint32_t LastFrameIndex = 0;  // the project's number of the frame on screen
};

inline constexpr std::string_view kPrepareFailedMessage = "レンダリング準備中にエラーが発生しました";

class TForm_Preview : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_Preview(QWidget* parent = nullptr);
  ~TForm_Preview() override;

  // Plays the engine's project, showing the window modally until the user closes it (or the
  // run ends by an error). The engine is borrowed and free again on return. useOpenGL asks for
  // the OpenGL presenter; without a context the frames are copied. False, after the message,
  // when the project has nothing to render.
  bool Play(TVexaStudio& engine, bool useOpenGL, TPreviewSetup setup = {});

  // Frames go through OpenGL at this moment (false once it failed and copying took over).
  bool UsingOpenGL() const { return usingOpenGL_; }
  // The opener asked for OpenGL (Ctrl at the click), whether or not it could be had.
  bool OpenGLRequested() const { return openGLRequested_; }
  QSlider* SeekBar() const { return seekBar_; }
  QWidget* Picture() const;
  const TPreviewStats& Stats() const { return stats_; }
  // The preview thread is still running (also while closing).
  bool Running() const { return runner_ && runner_->Running(); }

  // How a message reaches the user: the "nothing to render" box (modal) and the runner's
  // notices (no sound, a frame that failed; not modal). Defaults to Qt's message boxes.
  std::function<void(const std::string&)> ShowMessage;
  std::function<void(const std::string&)> ShowNotice;

 public slots:
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  class TBridge;

  void MakePicture(int width, int height, bool useOpenGL);
  void SwitchToCopying();
  void OnFrameReady(uint64_t run);
  void OnPosition(uint64_t run, uint32_t seconds, const std::string& caption);
  void OnRunEnded(uint64_t run);
  void OnPainted(uint64_t serial);
  void FinishRun();

  std::unique_ptr<TBridge> bridge_;
  std::unique_ptr<TPreviewThread> runner_;
  TPreviewPicture* picture_ = nullptr;
  QSlider* seekBar_ = nullptr;
  QVBoxLayout* layout_ = nullptr;
  const TPreviewFrame* frame_ = nullptr;  // the last frame taken from the runner
  uint64_t run_ = 0;                      // counts the runs, so that a late notice of an old one is ignored
  uint64_t lastSerial_ = 0;
  uint64_t paintedSerial_ = 0;
  uint32_t takenIndex_ = 0;  // frame number of the last frame taken
  double frameMs_ = 0;
  bool usingOpenGL_ = false;
  bool openGLRequested_ = false;
  bool held_ = false;  // the user holds the seek bar (mouse or arrow key)
  bool closing_ = false;
  int closingResult_ = 0;
  TPreviewStats stats_;
  QElapsedTimer sincePlay_;
};

}  // namespace vexa::ui
