// What the preview runner tells whoever shows the preview (the preview window, or a test).
//
// Every call comes from the preview thread and must return at once: a window posts it to its
// own thread (a queued call) and does the work there. None may call back into the runner
// except the seek bar calls and TakeFrame, which never block.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

class TPreviewPresenter {
 public:
  virtual ~TPreviewPresenter() = default;

  // The seek bar's range is 0 … maxSeconds; comes once, after the sound render.
  virtual void SeekRangeKnown(uint32_t maxSeconds) = 0;
  // A new frame was handed over: TPreviewThread::TakeFrame gives it.
  virtual void FrameReady() = 0;
  // The playing second, for the seek bar (unless the user holds it), and the window caption
  // ("プレビュー - HH:MM:SS.mmm").
  virtual void PositionChanged(uint32_t seconds, const std::string& caption) = 0;
  // Something the user should be told: the preview plays without sound, or a frame could not
  // be composed (then the run ends). Each kind comes at most once per run.
  virtual void Notice(const std::string& message) = 0;
  // The run is over (closed, or ended by an error): nothing more comes. A window whose preview
  // ended by itself closes.
  virtual void RunEnded() = 0;
};

}  // namespace vexa
