// Stand-ins for the preview runner's surroundings: a clock that jumps to each deadline instead
// of sleeping, a sound that plays on that clock, a presenter that writes down what it is told,
// and small projects.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "model/project.h"
#include "preview/preview_presenter.h"
#include "preview/preview_sound.h"
#include "preview/preview_thread.h"
#include "preview/preview_timing.h"

namespace vexa::test {

// Time moves only when the runner waits for a deadline, and then straight to it.
class TFakeTiming : public TPreviewTiming {
 public:
  double NowMs() override { return Now.load(); }
  bool WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, double deadlineMs,
                 const std::function<bool()>& woken) override {
    if (woken()) return true;
    if (!std::isfinite(deadlineMs)) {
      wake.wait(lock, woken);
      return true;
    }
    if (deadlineMs > Now.load()) Now.store(deadlineMs);
    return woken();
  }
  std::atomic<double> Now{1000};
};

// One thing that happened, in the order it happened.
struct TEntry {
  enum TKind { Frame, Play, Stop, Notice, Range, Position, Ended, Mark };
  TEntry(TKind kind, int64_t value = 0, double at = 0, std::string text = {})
      : Kind(kind), Value(value), At(at), Text(std::move(text)) {}
  TKind Kind;
  int64_t Value = 0;  // frame index, start sample, range maximum or second
  double At = 0;      // fake time
  double Due = 0;     // frames: due time on the playback clock
  double SoundMs = -1;  // frames: what the sound had played when the frame was handed over
  std::string Text;
};

class TLog {
 public:
  void Add(TEntry e) {
    std::lock_guard<std::mutex> hold(lock_);
    // The runner on a fake clock plays as fast as it can until closed: the steady stream is
    // cut off, what comes once is always kept.
    const bool stream = e.Kind == TEntry::Frame || e.Kind == TEntry::Position || e.Kind == TEntry::Play ||
                        e.Kind == TEntry::Stop;
    if (!stream || entries_.size() < kMax) entries_.push_back(std::move(e));
    changed_.notify_all();
  }
  std::vector<TEntry> Entries() const {
    std::lock_guard<std::mutex> hold(lock_);
    return entries_;
  }
  // Waits until pred holds for the entries (a minute at most, so that a fault fails the test
  // instead of hanging it).
  void WaitFor(const std::function<bool(const std::vector<TEntry>&)>& pred) {
    std::unique_lock<std::mutex> hold(lock_);
    ASSERT_TRUE(changed_.wait_for(hold, std::chrono::minutes(1), [&] { return pred(entries_); }));
  }
  std::vector<TEntry> Of(TEntry::TKind kind) const {
    std::vector<TEntry> out;
    for (const TEntry& e : Entries())
      if (e.Kind == kind) out.push_back(e);
    return out;
  }

 private:
  static constexpr size_t kMax = 2000;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::vector<TEntry> entries_;
};

inline size_t CountOf(const std::vector<TEntry>& entries, TEntry::TKind kind) {
  size_t n = 0;
  for (const TEntry& e : entries)
    n += e.Kind == kind;
  return n;
}

// Plays on the fake clock at Speed times its rate (a device a little slow or fast).
class TFakeSound : public TPreviewSound {
 public:
  TFakeSound(TFakeTiming& timing, TLog& log, int64_t total, double speed)
      : timing_(timing), log_(log), total_(total), speed_(speed) {}
  void Open(const std::string&) override {}
  uint32_t SampleRate() const override { return 44100; }
  int64_t TotalSamples() const override { return total_; }
  void Play(int64_t start) override {
    log_.Add({TEntry::Play, start, timing_.NowMs()});
    start_ = start;
    at_ = timing_.NowMs();
    playing_ = true;
  }
  void Stop() override {
    log_.Add({TEntry::Stop, 0, timing_.NowMs()});
    playing_ = false;
  }
  int64_t FramesHeard() const override {
    if (!playing_) return 0;
    const auto heard = static_cast<int64_t>((timing_.NowMs() - at_) * 44.1 * speed_);
    return std::min(heard, total_ - start_);
  }
  bool Ended() const override { return playing_ && FramesHeard() >= total_ - start_; }
  bool Playing() const { return playing_; }

 private:
  TFakeTiming& timing_;
  TLog& log_;
  int64_t total_;
  double speed_;
  int64_t start_ = 0;
  double at_ = 0;
  bool playing_ = false;
};

// Writes down every notification; OnFrame lets a test act on the preview thread at a frame.
class TRecordingPresenter : public TPreviewPresenter {
 public:
  TRecordingPresenter(TLog& log, TPreviewTiming& timing) : log_(log), timing_(timing) {}
  void SeekRangeKnown(uint32_t maxSeconds) override { log_.Add({TEntry::Range, maxSeconds, timing_.NowMs()}); }
  void FrameReady() override {
    const TPreviewFrame* f = Runner->TakeFrame();
    ASSERT_NE(f, nullptr);
    TEntry e(TEntry::Frame, f->FrameIndex, timing_.NowMs());
    e.Due = f->DueMs;
    if (Sound && Sound->Playing()) e.SoundMs = static_cast<double>(Sound->FramesHeard()) / 44.1;
    ++shown_;
    log_.Add(e);
    if (OnFrame) OnFrame(f->FrameIndex, shown_);
  }
  void PositionChanged(uint32_t seconds, const std::string& caption) override {
    log_.Add({TEntry::Position, seconds, timing_.NowMs(), caption});
  }
  void Notice(const std::string& message) override {
    log_.Add({TEntry::Notice, 0, timing_.NowMs(), message});
  }
  void RunEnded() override { log_.Add({TEntry::Ended, 0, timing_.NowMs()}); }

  TPreviewThread* Runner = nullptr;
  TFakeSound* Sound = nullptr;  // the sound of the run, once made
  std::function<void(uint32_t frame, size_t shown)> OnFrame;

 private:
  TLog& log_;
  TPreviewTiming& timing_;
  size_t shown_ = 0;
};

// A project at 30 fps whose one layer shows an image from 0 to endMs (3167 ms: 95 frames).
inline void BuildProject(TProject& p, uint32_t endMs, const std::string& picture = "missing.bmp") {
  p.Width = 64;
  p.Height = 48;
  p.FPS = 30;
  TGraphicLayer& layer = *NewGraphicLayer(p.GraphicLayers, -1);
  auto e = std::make_unique<TGraphicSourceImageEvent>();
  e->StartTime = 0;
  e->EndTime = endMs;
  e->FileName = picture;
  e->BlendMode = 1;
  layer.ListForKind(kind::Image)->Add(std::move(e));
}

}  // namespace vexa::test
