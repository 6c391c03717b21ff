#include "sound/sample_block.h"

#include <algorithm>
#include <cstring>

namespace vexa {

void TSampleBlock::Reserve(size_t bytes) {
  if (bytes <= capacity_) return;
  const size_t capacity = (bytes + 15) & ~size_t{15};
  std::unique_ptr<int16_t[]> grown(new int16_t[capacity / 2]);
  if (bytes_ > 0) std::memcpy(grown.get(), data_.get(), bytes_);
  data_ = std::move(grown);
  capacity_ = capacity;
}

uint8_t* TSampleBlock::Append(size_t bytes) {
  if (bytes_ + bytes > capacity_) Reserve(std::max(bytes_ + bytes, capacity_ + capacity_ / 2));
  uint8_t* at = reinterpret_cast<uint8_t*>(data_.get()) + bytes_;
  bytes_ += bytes;
  return at;
}

}  // namespace vexa
