// The one interface through which every sound source is read: blocks of interleaved PCM from
// a chosen stretch of frames, with the format of what is delivered.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <stdexcept>
#include <string>

namespace vexa {

// Raised when a decoder cannot be created because its codec backend is absent from the build.
class EAuException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TAuInput {
 public:
  TAuInput() = default;
  TAuInput(const TAuInput&) = delete;
  TAuInput& operator=(const TAuInput&) = delete;
  virtual ~TAuInput() = default;

  // Format of the PCM that GetData delivers; valid before Init.
  virtual uint32_t BitsPerSample() const = 0;  // 8 (unsigned), 16, 24 or 32 (signed)
  virtual uint32_t Channels() const = 0;       // interleaved; 1 mono, 2 stereo (left, right)
  virtual uint32_t SampleRate() const = 0;
  virtual int64_t TotalSamples() const = 0;  // frames in the whole source

  // The stretch to deliver, read by Init. EndSample -1 means the last frame.
  int64_t StartSample = 0;
  int64_t EndSample = -1;
  bool Loop = false;  // start again at StartSample after EndSample

  // Init, GetData and Flush of one input exclude each other: an output's worker thread and
  // the window that stops it may call them from different threads.
  void Init();
  // On entry bytes is the most the caller wants; on return buffer points at the next block
  // (owned by the input, valid until the next call) and bytes says how many it holds.
  // 0 bytes: the end of the stretch (or of the data) was reached.
  void GetData(const uint8_t*& buffer, size_t& bytes);
  void Flush();

  // Why the input delivers no (or no more) data; empty while all is well.
  std::string Error() const;
  // What the input worked around while still delivering data: a damaged stretch skipped (as
  // silence where its length is known), a file that ends early. Names the file; empty while
  // the data is whole. Kept until the file name changes.
  std::string Warning() const;

  uint32_t BytesPerFrame() const { return BitsPerSample() / 8 * Channels(); }

 protected:
  virtual void DoInit() = 0;
  virtual void DoGetData(const uint8_t*& buffer, size_t& bytes) = 0;
  virtual void DoFlush() = 0;

  void SetError(std::string message);
  std::string LastError() const { return ErrorText; }
  void ClearError() {
    ErrorText.clear();
    WarningText.clear();
  }
  // The first warning is kept; later ones follow from the same damage.
  void SetWarning(std::string message);
  mutable std::mutex Lock;

 private:
  std::string ErrorText;
  std::string WarningText;
};

}  // namespace vexa
