// The bzip2 container of layer files: one bzip2 stream, nothing before or after it.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>

namespace vexa {

// Status of a TBzip2Error raised because decompressed data would pass MaxOutputSize.
inline constexpr int kBzip2OutputLimitStatus = -100;

class TBzip2Codec {
 public:
  static constexpr int kDefaultBlockSize = 9;
  static constexpr int kDefaultWorkFactor = 30;
  static constexpr int kDefaultBufferSizeKiB = 32;
  // Generous for INI text of a layer, far below what would hurt the machine: a tiny file
  // that inflates to gigabytes is refused instead of exhausting memory.
  static constexpr uint64_t kDefaultMaxOutputSize = uint64_t{256} << 20;

  int BlockSize() const { return blockSize_; }
  void SetBlockSize(int blockSize);  // 1..9, else TPersistError
  int BufferSizeKiB() const { return bufferSizeKiB_; }
  void SetBufferSizeKiB(int kib);  // 1..4096, else TPersistError
  int WorkFactor() const { return workFactor_; }
  void SetWorkFactor(int workFactor) { workFactor_ = workFactor; }  // libbz2 checks it
  int Verbosity() const { return verbosity_; }
  void SetVerbosity(int verbosity) { verbosity_ = verbosity; }  // libbz2 checks it
  uint64_t MaxOutputSize() const { return maxOutputSize_; }
  void SetMaxOutputSize(uint64_t bytes) { maxOutputSize_ = bytes; }

  // Rewinds source, compresses it to its end into target at target's position. Returns the
  // compressed size as a whole percentage of the source size; an empty source writes nothing
  // and returns 0. Raises TBzip2Error.
  int CompressStream(std::istream& source, std::ostream& target) const;
  // Rewinds source and decompresses one bzip2 stream into target; data after the stream's
  // end-of-stream marker is not read. An empty source writes nothing. Raises TBzip2Error
  // named after the libbz2 status, "BZ_UNEXPECTED_EOF" when the input ends inside the stream.
  void DecompressStream(std::istream& source, std::ostream& target) const;

  std::string Compress(std::string_view data) const;
  std::string Decompress(std::string_view data) const;

 private:
  int blockSize_ = kDefaultBlockSize;
  int workFactor_ = kDefaultWorkFactor;
  int verbosity_ = 0;
  int bufferSizeKiB_ = kDefaultBufferSizeKiB;
  uint64_t maxOutputSize_ = kDefaultMaxOutputSize;
};

// "BZ_DATA_ERROR" for -4 and so on; "Unhandled BZ status." for any other negative status.
std::string Bzip2StatusName(int status);

}  // namespace vexa
