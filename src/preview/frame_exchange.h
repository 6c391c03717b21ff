// Finished frames handed from the preview thread to the user interface. The thread writes into
// a picture of its own and hands it over whole; the interface reads only pictures handed over,
// never the engine's. Three pictures rotate through one atomic slot, so neither side ever
// waits for the other: the writer always has a free picture, and the reader keeps the one it
// took until it takes the next.
#pragma once

#include <atomic>
#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

struct TPreviewFrame {
  TABitmap Picture;        // the project's frame, Width x Height
  uint32_t FrameIndex = 0;  // its number in the project
  uint64_t Serial = 0;      // counts the frames handed over, from 1
  double DueMs = 0;         // when it was due, on the preview's clock since the last (re)start
  double ShownMs = 0;       // when it was handed over, on the same clock
};

class TFrameExchange {
 public:
  // Writer (the preview thread): the picture to fill next, then its hand-over.
  TPreviewFrame& Back() { return frames_[back_]; }
  void Publish();

  // Reader (the user interface thread): the latest frame handed over, or null before the
  // first. It stays valid and unchanged until the reader's next Take.
  const TPreviewFrame* Take();

 private:
  static constexpr int kFresh = 4;  // the middle slot holds a frame the reader has not taken
  TPreviewFrame frames_[3];
  int back_ = 0;   // the writer's
  int front_ = 1;  // the reader's
  bool readerHasFrame_ = false;
  std::atomic<int> middle_{2};
};

}  // namespace vexa
