// Decoder of ".wav" files: PCM of 8, 16, 24 and 32 bits, IEEE float (delivered as 32-bit
// signed PCM), WAVE_FORMAT_EXTENSIBLE, IMA/DVI ADPCM and MS ADPCM (both delivered as 16-bit).
// Other compressed data, and sources of more than two channels (mixed down to stereo), are
// decoded through the general FFmpeg decoder.
#pragma once

#include <memory>
#include <vector>

#include "media/audio_decoder.h"
#include "media/audio_file.h"
#include "media/wave_format.h"

namespace vexa {

class TWaveIn : public TAuDecoder {
 public:
  TWaveIn();
  ~TWaveIn() override;

 protected:
  bool Probe() override;
  bool OpenSource() override;
  int64_t SeekSource(int64_t frame) override;
  size_t DecodeBlock(const uint8_t*& data) override;
  void CloseSource() override;

 private:
  enum class TKind { Pcm, Float, Ima, Ms, Other };
  size_t DecodePcm(const uint8_t*& data);
  size_t DecodeFloat(const uint8_t*& data);
  size_t DecodeAdpcm(const uint8_t*& data);
  size_t DecodeOther(const uint8_t*& data);

  TAudioFile File;
  TWaveFormat Format;
  TKind Kind = TKind::Pcm;
  uint32_t FileFrameBytes = 0;  // PCM/float: bytes of one frame in the file
  size_t BlockFrames = 0;       // ADPCM: frames of a whole block
  int64_t Next = 0;             // frame where the next decoded block starts
  std::vector<uint8_t> Raw;
  std::vector<uint8_t> Out;
  std::unique_ptr<TAuDecoder> Other;  // the general decoder for data we do not read ourselves
};

}  // namespace vexa
