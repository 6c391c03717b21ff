#include "preview/frame_exchange.h"

namespace vexa {

void TFrameExchange::Publish() {
  back_ = middle_.exchange(back_ | kFresh, std::memory_order_acq_rel) & 3;
}

const TPreviewFrame* TFrameExchange::Take() {
  if (middle_.load(std::memory_order_acquire) & kFresh) {
    front_ = middle_.exchange(front_, std::memory_order_acq_rel) & 3;
    readerHasFrame_ = true;
  }
  return readerHasFrame_ ? &frames_[front_] : nullptr;
}

}  // namespace vexa
