// The preview runner: plays a render engine's project in real time, picture and sound
// together, on a thread of its own, and hands the finished frames to a presenter.
//
// Start prepares the engine's session and starts the thread; from then until Close returns
// the engine belongs to the thread, which finishes the session at the end. The thread renders
// the project's sound into a temporary WAV, starts it playing, and then composes one frame ahead
// and hands each over when it is due: frame k after a start or a seek at k x FrameDuration
// milliseconds (rounded) on the playback clock, which is the sound's own position while it
// plays. No frame is dropped: a frame that took too long to compose is handed over as soon as
// it is ready. After the last frame the picture and the sound start again from the beginning.
//
// The user interface talks to the runner only through calls that never block (the seek bar's
// press, release and position, TakeFrame); the runner talks to it only through the presenter's
// notifications. So closing never waits for the user interface, nor the thread for it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "preview/frame_exchange.h"
#include "preview/preview_presenter.h"
#include "preview/preview_sound.h"
#include "preview/preview_timing.h"

namespace vexa {

class TVexaStudio;
struct TProject;

// What the runner is built from. Every member has a default for the real preview; tests put
// their own here.
struct TPreviewSetup {
  // Writes the project's mixed sound into a WAV file; true when it wrote one. Default: the
  // sound render, which gives up early once the runner is told to stop.
  std::function<bool(const TProject&, const std::string&)> RenderSound;
  // Makes the sound output; it hands its notices (no sound device) to the function it is
  // given. Default: the WAV played on the sound device.
  std::function<std::unique_ptr<TPreviewSound>(std::function<void(const std::string&)>)> MakeSound;
  // Clock and waiting; borrowed, must outlive the run. Default: the steady clock.
  TPreviewTiming* Timing = nullptr;
  // Folder of the temporary WAV; empty: the system's temporary folder.
  std::string TempFolder;
};

class TPreviewThread {
 public:
  // Both borrowed: they must outlive the runner (or at least its Close).
  TPreviewThread(TVexaStudio& engine, TPreviewPresenter& presenter, TPreviewSetup setup = {});
  ~TPreviewThread();  // closes
  TPreviewThread(const TPreviewThread&) = delete;
  TPreviewThread& operator=(const TPreviewThread&) = delete;

  // Prepares the engine's session and starts the thread. False, and no thread, when the project
  // has nothing to render (the window then says "レンダリング準備中にエラーが発生しました").
  // Raises std::logic_error while a run is going.
  bool Start();
  // Tells the thread to stop and waits until it has ended; a sound render under way is waited
  // for (the default one gives up at its next block). Harmless when nothing runs. Never call it
  // from a presenter notification.
  void Close();
  // Tells the thread to stop and returns at once; RunEnded follows when it has ended, and Close
  // then only joins it. What a window calls that must keep serving its events meanwhile.
  void RequestStop();
  // A run was started and its thread has not ended.
  bool Running() const { return running_.load(); }
  // Close was called (and the thread may still be finishing its sound render).
  bool Closing() const { return stop_.load(); }

  // The seek bar (user interface thread). Pressing (mouse button or arrow key down) freezes the
  // picture and stops the sound until the release; the thread then seeks to the bar's position.
  void PressSeekBar();
  void ReleaseSeekBar();
  // Every change of the bar's position, whoever made it.
  void SetSeekSeconds(uint32_t seconds) { seekSeconds_.store(seconds); }

  // The latest frame handed over, or null before the first (user interface thread only). It
  // stays valid and unchanged until the next call; the engine's own pictures are never shown.
  const TPreviewFrame* TakeFrame() { return frames_.Take(); }

 private:
  struct TRun;
  void Execute();
  bool WaitFor(TRun& run, double dueMs);

  TVexaStudio& engine_;
  TPreviewPresenter& presenter_;
  TPreviewSetup setup_;
  TSteadyTiming steady_;
  TPreviewTiming* timing_;

  std::thread thread_;
  std::atomic<bool> running_{false};
  // Requests to the thread: set under lock_ and signalled on wake_, read anywhere.
  std::mutex lock_;
  std::condition_variable wake_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> seeking_{false};   // the user pressed the bar
  std::atomic<bool> released_{false};  // ... and let go of it
  std::atomic<uint32_t> seekSeconds_{0};

  TFrameExchange frames_;
};

}  // namespace vexa
