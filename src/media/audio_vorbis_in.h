// Decoder of ".ogg" files through libvorbisfile: 16-bit, mono or stereo (more channels are
// mixed down). Lengths and positions are those of the reference decoder: exact, with the
// encoder's delay and padding removed.
#pragma once

#include <memory>

#include "media/audio_decoder.h"

namespace vexa {

class TVorbisIn : public TAuDecoder {
 public:
  TVorbisIn();
  ~TVorbisIn() override;

 protected:
  bool Probe() override;
  bool OpenSource() override;
  int64_t SeekSource(int64_t frame) override;
  size_t DecodeBlock(const uint8_t*& data) override;
  void CloseSource() override;

 private:
  struct TState;
  std::unique_ptr<TState> St;
};

}  // namespace vexa
