#include "preview/preview_thread.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "preview/playback_clock.h"
#include "preview/preview_caption.h"
#include "preview/temp_wave_file.h"
#include "preview/wave_playback.h"
#include "render/studio.h"
#include "sound/render_sound.h"

namespace vexa {
namespace {

// A wait shorter than this is not worth a sleep; it also keeps a clock that runs slower than
// the monotonic one from being chased in ever smaller steps.
constexpr double kMinWaitMs = 0.5;

std::string WhatOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "unknown error";
  }
}

}  // namespace

// Locals of one run.
struct TPreviewThread::TRun {
  explicit TRun(TPreviewTiming& timing) : Clock(timing) {}

  TTempWaveFile Wave;
  std::unique_ptr<TPreviewSound> Sound;  // while the preview has sound
  TPlaybackClock Clock;
  bool SoundNoticed = false;
  uint32_t FPS = 1;
  uint32_t SeekMax = 0;
  double FrameDuration = 0;
  double NextDue = 0;
  uint64_t Serial = 0;
};

TPreviewThread::TPreviewThread(TVexaStudio& engine, TPreviewPresenter& presenter, TPreviewSetup setup)
    : engine_(engine), presenter_(presenter), setup_(std::move(setup)) {
  if (!setup_.RenderSound)
    setup_.RenderSound = [this](const TProject& p, const std::string& file) {
      TSoundRenderHooks hooks;
      hooks.StopRequested = [this] { return stop_.load(); };
      return vexa::RenderSound(p, file, hooks) == TSoundRenderResult::Written;
    };
  if (!setup_.MakeSound)
    setup_.MakeSound = [](std::function<void(const std::string&)> notice) -> std::unique_ptr<TPreviewSound> {
      return std::make_unique<TWavePlayback>(std::move(notice));
    };
  timing_ = setup_.Timing ? setup_.Timing : &steady_;
}

TPreviewThread::~TPreviewThread() {
  Close();
}

bool TPreviewThread::Start() {
  if (thread_.joinable()) {
    if (running_.load()) throw std::logic_error("The preview is already running.");
    thread_.join();
  }
  if (!engine_.PrepareSession()) return false;
  stop_ = false;
  seeking_ = false;
  released_ = false;
  seekSeconds_ = 0;
  running_ = true;
  try {
    thread_ = std::thread([this] { Execute(); });
  } catch (...) {
    running_ = false;
    engine_.FinishSession();
    throw;
  }
  return true;
}

void TPreviewThread::RequestStop() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  wake_.notify_all();
}

void TPreviewThread::Close() {
  RequestStop();
  if (thread_.joinable()) thread_.join();
}

void TPreviewThread::PressSeekBar() {
  {
    std::lock_guard<std::mutex> hold(lock_);
    released_ = false;
    seeking_ = true;
  }
  wake_.notify_all();
}

void TPreviewThread::ReleaseSeekBar() {
  // Only Released: a press and release quicker than the thread's look still leave Seeking set,
  // and the thread clears both once it has taken the seek.
  {
    std::lock_guard<std::mutex> hold(lock_);
    released_ = true;
  }
  wake_.notify_all();
}

bool TPreviewThread::WaitFor(TRun& run, double dueMs) {
  const double target = std::nearbyint(dueMs);
  const auto woken = [this] { return stop_.load() || seeking_.load(); };
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    if (woken()) return false;
    const double left = target - run.Clock.ElapsedMs();
    if (left <= 0) return true;
    timing_->WaitUntil(hold, wake_, timing_->NowMs() + std::max(left, kMinWaitMs), woken);
  }
}

void TPreviewThread::Execute() {
  TRun run(*timing_);
  bool hasSound = false;
  bool playing = false;  // the sound output plays (or was told to)

  const auto soundTrouble = [&](const std::string& why) {
    if (run.SoundNoticed) return;
    run.SoundNoticed = true;
    presenter_.Notice(why);
  };
  const auto noSound = [&](const std::string& why) {
    soundTrouble("The preview plays without sound: " + why);
    hasSound = false;
    playing = false;
    run.Clock.Restart(nullptr, 0);
  };
  const auto stopSound = [&] {
    if (playing && run.Sound) run.Sound->Stop();
    playing = false;
  };
  // Picture and sound start together: the clock restarts with the sound.
  const auto startSound = [&](int64_t start) {
    stopSound();
    if (!hasSound || start >= run.Sound->TotalSamples()) {
      run.Clock.Restart(nullptr, 0);  // past the end of the sound the picture plays silent
      return;
    }
    try {
      run.Sound->Play(start);
      playing = true;
      run.Clock.Restart(run.Sound.get(), run.Sound->TotalSamples() - start);
    } catch (...) {
      noSound(WhatOf(std::current_exception()));
    }
  };
  // A composed frame goes straight into the picture to be handed over next, so that the copy
  // hides inside the wait like the composition itself.
  const auto compose = [&] {
    try {
      engine_.ComposeFrame();
    } catch (...) {
      presenter_.Notice("A frame could not be composed, and the preview ends: " + WhatOf(std::current_exception()));
      return false;
    }
    TPreviewFrame& f = frames_.Back();
    f.Picture.Assign(engine_.FrameBitmap);
    f.FrameIndex = engine_.FrameIndex - 1;
    return true;
  };
  const auto handOver = [&] {
    TPreviewFrame& f = frames_.Back();
    f.Serial = ++run.Serial;
    f.DueMs = std::nearbyint(run.NextDue);
    f.ShownMs = run.Clock.ElapsedMs();
    frames_.Publish();
    presenter_.FrameReady();
  };

  const auto play = [&] {
    // The sound, rendered first: a failure costs the sound, not the preview.
    try {
      run.Wave.Create(setup_.TempFolder);
      hasSound = setup_.RenderSound(engine_.Project, run.Wave.Path());
    } catch (...) {
      noSound(WhatOf(std::current_exception()));
    }
    if (!hasSound) run.Wave.Remove();
    if (stop_) return;
    if (hasSound) {
      try {
        run.Sound = setup_.MakeSound([&](const std::string& text) { soundTrouble(text); });
        if (!run.Sound) throw std::runtime_error("no sound output could be made");
        run.Sound->Open(run.Wave.Path());
      } catch (...) {
        noSound(WhatOf(std::current_exception()));
      }
    }

    run.FPS = engine_.Project.FPS;
    run.SeekMax = SeekMaximum(engine_.FrameCount, run.FPS);
    presenter_.SeekRangeKnown(run.SeekMax);
    run.FrameDuration = 1000.0 / run.FPS;
    run.NextDue = 0;
    if (!compose()) return;
    startSound(0);

    bool needCompose = false;
    for (;;) {
      if (stop_) return;
      if (seeking_) {
        // The picture freezes and the sound stops while the bar is held.
        stopSound();
        {
          std::unique_lock<std::mutex> hold(lock_);
          timing_->WaitUntil(hold, wake_, TPreviewTiming::kForever, [this] { return stop_ || released_; });
          if (stop_) return;
          seeking_ = false;
          released_ = false;
        }
        const uint32_t seconds = std::min(seekSeconds_.load(), run.SeekMax);
        run.NextDue = 0;
        engine_.SeekFrame(SeekTargetFrame(seconds, run.FPS, engine_.FrameCount));
        if (!compose()) return;
        needCompose = false;
        startSound(hasSound ? int64_t{run.Sound->SampleRate()} * seconds : 0);
      } else if (engine_.FrameIndex >= engine_.FrameCount) {
        // The last frame stays for its whole duration; then picture and sound start over.
        if (!WaitFor(run, run.NextDue)) continue;
        run.NextDue = 0;
        engine_.SeekFrame(0);
        if (!compose()) return;
        needCompose = false;
        startSound(0);
      }
      if (needCompose) {
        if (!compose()) return;
        needCompose = false;
      }
      if (!WaitFor(run, run.NextDue)) continue;
      handOver();
      needCompose = true;
      run.NextDue += run.FrameDuration;
      const uint32_t seconds = engine_.FrameIndex / run.FPS;
      presenter_.PositionChanged(seconds, PreviewCaption(uint64_t{seconds} * 1000));
    }
  };

  try {
    play();
  } catch (...) {
    presenter_.Notice("The preview ends after an error: " + WhatOf(std::current_exception()));
  }
  try {
    stopSound();
  } catch (...) {
  }
  run.Sound.reset();
  run.Wave.Remove();
  engine_.FinishSession();
  running_ = false;
  presenter_.RunEnded();
}

}  // namespace vexa
