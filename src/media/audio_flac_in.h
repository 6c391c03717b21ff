// Decoder of ".flac" files through libFLAC: 16-bit for sources of up to 16 bits, 32-bit for
// deeper ones; mono or stereo (more channels are mixed down to 16-bit stereo). Positions are
// exact: libFLAC seeks to the sample.
#pragma once

#include <memory>

#include "media/audio_decoder.h"

namespace vexa {

class TFLACIn : public TAuDecoder {
 public:
  TFLACIn();
  ~TFLACIn() override;

 protected:
  bool Probe() override;
  bool OpenSource() override;
  int64_t SeekSource(int64_t frame) override;
  size_t DecodeBlock(const uint8_t*& data) override;
  void CloseSource() override;

 public:
  struct TState;  // reached by libFLAC's callbacks

 private:
  std::unique_ptr<TState> St;
};

}  // namespace vexa
