#include "audio_out/sample_ring.h"

#include <algorithm>
#include <cstring>

namespace vexa {

void TSampleRing::Reset(size_t capacity) {
  buffer_.assign(capacity, 0);
  written_.store(0, std::memory_order_relaxed);
  read_.store(0, std::memory_order_relaxed);
}

size_t TSampleRing::Free() const {
  const uint64_t w = written_.load(std::memory_order_relaxed);
  const uint64_t r = read_.load(std::memory_order_acquire);
  return buffer_.size() - static_cast<size_t>(w - r);
}

size_t TSampleRing::Available() const {
  const uint64_t r = read_.load(std::memory_order_relaxed);
  const uint64_t w = written_.load(std::memory_order_acquire);
  return static_cast<size_t>(w - r);
}

size_t TSampleRing::Write(const uint8_t* data, size_t bytes) {
  const size_t cap = buffer_.size();
  if (cap == 0) return 0;
  const uint64_t w = written_.load(std::memory_order_relaxed);
  const uint64_t r = read_.load(std::memory_order_acquire);
  const size_t n = std::min(bytes, cap - static_cast<size_t>(w - r));
  if (n == 0) return 0;
  const size_t at = static_cast<size_t>(w % cap);
  const size_t first = std::min(n, cap - at);
  std::memcpy(buffer_.data() + at, data, first);
  std::memcpy(buffer_.data(), data + first, n - first);
  written_.store(w + n, std::memory_order_release);
  return n;
}

size_t TSampleRing::Read(uint8_t* out, size_t bytes) {
  const size_t cap = buffer_.size();
  if (cap == 0) return 0;
  const uint64_t r = read_.load(std::memory_order_relaxed);
  const uint64_t w = written_.load(std::memory_order_acquire);
  const size_t n = std::min(bytes, static_cast<size_t>(w - r));
  if (n == 0) return 0;
  const size_t at = static_cast<size_t>(r % cap);
  const size_t first = std::min(n, cap - at);
  std::memcpy(out, buffer_.data() + at, first);
  std::memcpy(out + first, buffer_.data(), n - first);
  read_.store(r + n, std::memory_order_release);
  return n;
}

}  // namespace vexa
