// TForm_Render_Graphic: the progress window of the graphic render. It shows the frames done
// and the time left while the render runs on a worker thread, and its "中止" button, Esc and
// closing the window ask the render to stop after the frame in hand.
#pragma once

#include <QDialog>
#include <atomic>
#include <chrono>
#include <cstdint>

#include "render/graphic_render_command.h"

class QLabel;
class QProgressBar;
class QTimer;

namespace vexa::ui {

// What the worker reports and what the window asks of it; shared between the two threads.
class TRenderProgress : public TGraphicRenderMonitor {
 public:
  void Started(uint32_t frameCount, const TVideoCodec& codec) override;
  void FrameWritten(uint32_t written, uint32_t frameCount) override;
  bool StopRequested() override { return stop_.load(); }

  void RequestStop() { stop_.store(true); }
  bool HasStarted() const { return started_.load(); }
  uint32_t FrameCount() const { return count_.load(); }
  uint32_t FramesWritten() const { return written_.load(); }
  // Seconds since the first frame, and the estimate of the seconds still to go (< 0: unknown).
  double Elapsed() const;
  double SecondsLeft() const;

 private:
  std::atomic<bool> stop_{false};
  std::atomic<bool> started_{false};
  std::atomic<uint32_t> count_{0};
  std::atomic<uint32_t> written_{0};
  std::atomic<int64_t> startNs_{0};
};

class TForm_Render_Graphic : public QDialog {
  Q_OBJECT

 public:
  TForm_Render_Graphic(TRenderProgress& progress, QWidget* parent = nullptr);
  // Shows the progress as it is now (the window's timer calls it several times a second).
  void ShowProgress();
  void reject() override;

 signals:
  void StopClicked();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  TRenderProgress& progress_;
  QProgressBar* bar_;
  QLabel* frames_;
  QLabel* timeLeft_;
  QTimer* timer_;
};

}  // namespace vexa::ui
