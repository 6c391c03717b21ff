#include "render/frame_pipeline.h"

#include <exception>

namespace vexa {

namespace {
// What a writer that throws is reported as (the writers themselves return codes).
constexpr int32_t kWriterThrew = -12;  // AVERROR(ENOMEM): the usual reason
}  // namespace

TFramePipeline::TFramePipeline(TWrite write) : write_(std::move(write)), worker_([this] { Work(); }) {}

TFramePipeline::~TFramePipeline() {
  Drain();
  {
    std::lock_guard<std::mutex> hold(lock_);
    stop_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

int32_t TFramePipeline::Push(TABitmap& frame) {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return !hasPending_ || error_ != 0; });
  if (error_ != 0) return error_;
  pending_.Swap(frame);
  hasPending_ = true;
  hold.unlock();
  changed_.notify_all();
  return 0;
}

int32_t TFramePipeline::Drain() {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait(hold, [this] { return (!hasPending_ && !busy_) || error_ != 0; });
  return error_;
}

uint32_t TFramePipeline::Written() const {
  std::lock_guard<std::mutex> hold(lock_);
  return written_;
}

void TFramePipeline::Work() {
  std::unique_lock<std::mutex> hold(lock_);
  for (;;) {
    changed_.wait(hold, [this] { return hasPending_ || stop_; });
    if (!hasPending_) return;
    // The written buffer goes back to the composer through pending_.
    current_.Swap(pending_);
    hasPending_ = false;
    busy_ = true;
    hold.unlock();
    changed_.notify_all();
    int32_t result = 0;
    try {
      result = write_(current_);
    } catch (const std::exception&) {
      result = kWriterThrew;
    }
    hold.lock();
    busy_ = false;
    if (result != 0 && error_ == 0) error_ = result;
    if (result == 0) ++written_;
    changed_.notify_all();
  }
}

}  // namespace vexa
