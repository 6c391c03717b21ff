// Decoder of ".ogg" files through libvorbisfile: 16-bit, mono or stereo (more channels are
// mixed down). Lengths and positions are those of the reference decoder: exact, with the
// encoder's delay and padding removed.
//
// Damage is worked around and reported as a warning: a damaged stretch inside the stream
// becomes silence of its length (the granule positions tell it), so what follows keeps its
// place; a file cut short plays every whole packet before the cut, those of the cut page
// included.
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
  size_t DecodePackets(const uint8_t*& data);
  std::unique_ptr<TState> St;
};

}  // namespace vexa
