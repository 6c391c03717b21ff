// Decoders built on FFmpeg (libavformat, libavcodec, libswresample). They deliver mono or
// stereo (more channels are mixed down): 16-bit, or 32-bit for lossless sources deeper than
// 16 bits. Positions are exact: when the container states every packet's length exactly, a
// packet index made at probe time lets Init seek and then decode and drop up to the first
// wanted frame; otherwise the whole stream is decoded into memory at probe time.
#pragma once

#include <memory>

#include "media/audio_decoder.h"

namespace vexa {

class TFFmpegIn : public TAuDecoder {
 public:
  TFFmpegIn();
  ~TFFmpegIn() override;

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

// The decoders of the extension table that FFmpeg serves.
class TMP3In : public TFFmpegIn {};
class TWMIn : public TFFmpegIn {};
class TTTAIn : public TFFmpegIn {};
class TMACIn : public TFFmpegIn {};

}  // namespace vexa
