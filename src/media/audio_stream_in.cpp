#include "media/audio_stream_in.h"

#include <algorithm>

namespace vexa {

namespace {
constexpr int64_t kBlockFrames = 16384;
}

void TStreamIn::SetStream(const uint8_t* data, size_t bytes) {
  std::lock_guard<std::mutex> hold(Lock);
  DoFlush();
  ClearError();
  Data = data;
  Bytes = bytes;
  Bits = InBitsPerSample;
  Chans = InChannels;
  Rate = InSampleRate;
  const bool valid = (Bits == 8 || Bits == 16 || Bits == 24 || Bits == 32) && Chans > 0;
  const size_t frame = valid ? BytesPerFrame() : 0;
  Total = frame ? static_cast<int64_t>(bytes / frame) : 0;
  if (!valid) SetError("invalid stream format");
}

int64_t TStreamIn::SeekSource(int64_t frame) {
  Next = frame;
  return frame;
}

size_t TStreamIn::DecodeBlock(const uint8_t*& data) {
  int64_t n = std::min(kBlockFrames, Total - Next);
  if (n <= 0) return 0;
  data = Data + static_cast<size_t>(Next) * BytesPerFrame();
  Next += n;
  return static_cast<size_t>(n);
}

}  // namespace vexa
