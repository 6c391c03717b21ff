// An input that pulls from another input and delivers the same frames with OutBitsPerSample
// bits and OutChannels channels. With both set to 0 it passes its input's blocks through.
#pragma once

#include <vector>

#include "media/audio_input.h"

namespace vexa {

class TAudioConverter : public TAuInput {
 public:
  TAuInput* Input = nullptr;  // borrowed
  uint32_t OutBitsPerSample = 0;
  uint32_t OutChannels = 0;

  uint32_t BitsPerSample() const override;
  uint32_t Channels() const override;
  uint32_t SampleRate() const override { return Input ? Input->SampleRate() : 0; }
  int64_t TotalSamples() const override { return Input ? Input->TotalSamples() : 0; }

 protected:
  void DoInit() override;
  void DoGetData(const uint8_t*& buffer, size_t& bytes) override;
  void DoFlush() override;

 private:
  bool PassThrough() const;
  std::vector<uint8_t> Out;
};

}  // namespace vexa
