// Hands composed frames to a writer on a thread of its own, so that the next frame is composed
// while the writer converts and encodes the last one.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "bitmap/bitmap.h"

namespace vexa {

class TFramePipeline {
 public:
  // write gets each frame in turn on the pipeline's thread and returns 0 or an error code.
  using TWrite = std::function<int32_t(const TABitmap& frame)>;
  explicit TFramePipeline(TWrite write);
  ~TFramePipeline();  // Drain
  TFramePipeline(const TFramePipeline&) = delete;
  TFramePipeline& operator=(const TFramePipeline&) = delete;

  // Takes the frame for writing: its pixels move into the pipeline and frame gets back a buffer
  // of an earlier frame to compose the next one into. Waits while the frame before is still
  // waiting for the writer. Returns the first error of the writer so far, or 0; after an error
  // frames are no longer written.
  int32_t Push(TABitmap& frame);
  // Waits until every frame pushed is written; the first error, or 0.
  int32_t Drain();
  // Frames the writer has finished.
  uint32_t Written() const;

 private:
  void Work();

  TWrite write_;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  TABitmap pending_;  // pushed, not yet taken by the writer
  TABitmap current_;  // being written
  bool hasPending_ = false;
  bool busy_ = false;
  bool stop_ = false;
  int32_t error_ = 0;
  uint32_t written_ = 0;
  std::thread worker_;
};

}  // namespace vexa
