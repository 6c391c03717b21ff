// A growable block of 16-bit samples whose new space is handed out uninitialised: the decoded
// stretch of an event is written over it at once, so zero-filling would be wasted work.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace vexa {

class TSampleBlock {
 public:
  int16_t* Data() { return data_.get(); }
  size_t Bytes() const { return bytes_; }
  void Clear() { bytes_ = 0; }
  // Makes room for at least bytes bytes without changing the content.
  void Reserve(size_t bytes);
  // Grows by bytes (even) and returns where the new part starts.
  uint8_t* Append(size_t bytes);

 private:
  std::unique_ptr<int16_t[]> data_;
  size_t capacity_ = 0;  // bytes
  size_t bytes_ = 0;
};

}  // namespace vexa
