// An input over a block of raw interleaved PCM in memory (borrowed, unchanged while read).
#pragma once

#include "media/audio_source.h"

namespace vexa {

class TStreamIn : public TAuSource {
 public:
  uint32_t InBitsPerSample = 16;
  uint32_t InChannels = 2;
  uint32_t InSampleRate = 44100;

  // The block to read; its format is taken from the In... fields at this moment.
  void SetStream(const uint8_t* data, size_t bytes);

 protected:
  bool OpenSource() override { return true; }
  int64_t SeekSource(int64_t frame) override;
  size_t DecodeBlock(const uint8_t*& data) override;
  void CloseSource() override {}

 private:
  const uint8_t* Data = nullptr;
  size_t Bytes = 0;
  int64_t Next = 0;
};

}  // namespace vexa
