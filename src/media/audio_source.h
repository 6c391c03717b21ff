// The stretch logic shared by every input that reads frames of its own (decoders and the
// memory stream): clamping StartSample/EndSample, exact positioning, looping and the hand-out
// of blocks in pieces no larger than the caller asked for.
#pragma once

#include "media/audio_input.h"

namespace vexa {

class TAuSource : public TAuInput {
 public:
  uint32_t BitsPerSample() const override { return Bits; }
  uint32_t Channels() const override { return Chans; }
  uint32_t SampleRate() const override { return Rate; }
  int64_t TotalSamples() const override { return Total; }

 protected:
  // Primitives of the concrete source, called with the lock held.
  // Ready to decode; false (with SetError) when the source cannot be read.
  virtual bool OpenSource() = 0;
  // Position at or before frame; returns the frame the next DecodeBlock starts at, -1 on failure.
  virtual int64_t SeekSource(int64_t frame) = 0;
  // The next block of frames in the delivered format; 0 at the end of the data or on failure.
  virtual size_t DecodeBlock(const uint8_t*& data) = 0;
  virtual void CloseSource() = 0;

  void DoInit() override;
  void DoGetData(const uint8_t*& buffer, size_t& bytes) override;
  void DoFlush() override;

  // Format of the delivered PCM. A source that cannot be read keeps a silent 16-bit stereo
  // 44100 Hz format of no frames, so callers computing rates and lengths get sane values.
  uint32_t Bits = 16;
  uint32_t Chans = 2;
  uint32_t Rate = 44100;
  int64_t Total = 0;

 private:
  bool PositionAt(int64_t frame);

  bool Ready = false;
  int64_t First = 0;
  int64_t Last = -1;
  int64_t Pos = 0;  // frame of Pending[0]
  const uint8_t* Pending = nullptr;
  size_t PendingFrames = 0;
};

}  // namespace vexa
