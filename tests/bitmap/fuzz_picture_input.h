// Input shaping shared by the picture decoder fuzz targets. An input whose first byte is odd is
// decoded as it is; otherwise it describes a valid file (written by the test encoders) and a
// few byte flips to make in it, so that the fuzzer reaches the decoders' inner paths past the
// signatures and checksums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vexa::fuzz {

class TInput {
 public:
  TInput(const uint8_t* data, size_t size) : d_(data), n_(size) {}
  bool Raw() const { return n_ == 0 || (d_[0] & 1); }
  uint8_t Byte() { return pos_ < n_ ? d_[pos_++] : 0; }
  int Pick(int count) { return count > 0 ? Byte() % count : 0; }
  // `count` bytes drawn from the rest of the input, repeated as needed.
  std::vector<uint8_t> Bytes(size_t count) {
    std::vector<uint8_t> out(count, 0);
    const size_t rest = n_ > pos_ ? n_ - pos_ : 0;
    for (size_t i = 0; i < count && rest > 0; ++i)
      out[i] = d_[pos_ + i % rest];
    return out;
  }
  // Up to four flips described by the last bytes of the input.
  void Flip(std::vector<uint8_t>& file) const {
    if (file.empty() || n_ < 9) return;
    const int flips = d_[1] % 5;
    for (int i = 0; i < flips; ++i) {
      const size_t at = n_ - 2 * static_cast<size_t>(i) - 2;
      const size_t pos = (static_cast<size_t>(d_[at]) * 257 + d_[at + 1] * 13) % file.size();
      file[pos] ^= static_cast<uint8_t>(d_[at] | 1);
    }
  }

 private:
  const uint8_t* d_;
  size_t n_;
  size_t pos_ = 2;
};

}  // namespace vexa::fuzz
