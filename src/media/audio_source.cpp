#include "media/audio_source.h"

#include <algorithm>

namespace vexa {

void TAuSource::DoInit() {
  if (Ready) CloseSource();
  Ready = false;
  Pending = nullptr;
  PendingFrames = 0;
  First = std::clamp<int64_t>(StartSample, 0, Total);
  Last = (EndSample < 0 || EndSample >= Total) ? Total - 1 : EndSample;
  Pos = First;
  if (!LastError().empty() || Last < First) return;
  if (!OpenSource()) return;
  Ready = true;
  if (!PositionAt(First)) Last = First - 1;
}

bool TAuSource::PositionAt(int64_t frame) {
  Pending = nullptr;
  PendingFrames = 0;
  int64_t at = SeekSource(frame);
  if (at < 0 || at > frame) {
    SetError("cannot seek to frame " + std::to_string(frame));
    return false;
  }
  const size_t frameBytes = BytesPerFrame();
  // Decode and drop what precedes the wanted frame: the seek may land on a block boundary.
  while (at < frame) {
    const uint8_t* data = nullptr;
    size_t n = DecodeBlock(data);
    if (n == 0) return false;
    if (at + static_cast<int64_t>(n) > frame) {
      size_t skip = static_cast<size_t>(frame - at);
      Pending = data + skip * frameBytes;
      PendingFrames = n - skip;
      at = frame;
      break;
    }
    at += static_cast<int64_t>(n);
  }
  Pos = frame;
  return true;
}

void TAuSource::DoGetData(const uint8_t*& buffer, size_t& bytes) {
  buffer = nullptr;
  const size_t frameBytes = BytesPerFrame();
  size_t want = frameBytes ? bytes / frameBytes : 0;
  bytes = 0;
  if (!Ready || want == 0) return;
  bool looped = false;
  for (;;) {
    if (Pos > Last) {
      if (!Loop || looped || !PositionAt(First)) return;
      looped = true;
    }
    if (PendingFrames == 0) {
      const uint8_t* data = nullptr;
      size_t n = DecodeBlock(data);
      if (n == 0) {
        // The data ended before the stretch did (a short or damaged file).
        Last = Pos - 1;
        continue;
      }
      Pending = data;
      PendingFrames = n;
    }
    size_t take = std::min<size_t>({PendingFrames, want, static_cast<size_t>(Last - Pos + 1)});
    buffer = Pending;
    bytes = take * frameBytes;
    Pending += bytes;
    PendingFrames -= take;
    Pos += static_cast<int64_t>(take);
    return;
  }
}

void TAuSource::DoFlush() {
  if (Ready) CloseSource();
  Ready = false;
  Pending = nullptr;
  PendingFrames = 0;
}

}  // namespace vexa
