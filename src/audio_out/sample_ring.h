// A ring of PCM bytes between one writer (the feeder thread) and one reader (the sound device's
// callback). Neither side takes a lock or waits for the other: each only moves its own counter.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexa {

class TSampleRing {
 public:
  // Empties the ring and gives it room for capacity bytes. Only while neither side is active.
  void Reset(size_t capacity);
  size_t Capacity() const { return buffer_.size(); }

  // Writer side: bytes that can be written now, and the write (at most that many; returns how
  // many were taken).
  size_t Free() const;
  size_t Write(const uint8_t* data, size_t bytes);

  // Reader side: bytes waiting, and the read (at most that many; returns how many were copied).
  size_t Available() const;
  size_t Read(uint8_t* out, size_t bytes);

 private:
  std::vector<uint8_t> buffer_;
  // Totals since Reset; their difference is the fill. Each is stored by one side only.
  std::atomic<uint64_t> written_{0};
  std::atomic<uint64_t> read_{0};
};

}  // namespace vexa
