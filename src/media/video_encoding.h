// What the movie writers share about encoding pictures: the encoder of each codec of the table
// with its pixel format, colour tags, quality mapping and threads, and the conversion of our
// bottom-up BGR frames into the encoder's pictures. Private to the .cpp files of this folder
// (it names FFmpeg's types).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "bitmap/bitmap.h"
#include "media/video_codecs.h"

namespace vexa::ffmpeg {

// Matrix and range a codec's YUV pictures are encoded with, and the tags that say so.
struct TVideoColour {
  bool Yuv = false;
  AVColorSpace Space = AVCOL_SPC_UNSPECIFIED;
  AVColorRange Range = AVCOL_RANGE_UNSPECIFIED;
  AVColorPrimaries Primaries = AVCOL_PRI_UNSPECIFIED;
  AVColorTransferCharacteristic Transfer = AVCOL_TRC_UNSPECIFIED;
};

// H.264 and MPEG-4: BT.709 in studio range (what players assume for pictures of today's sizes);
// Motion JPEG: BT.601 in full range, as JFIF defines it. RGB codecs have no tags.
TVideoColour ColourFor(const TVideoCodec& codec, AVPixelFormat format);

// The quantiser for Quality 10000 ... 0: 2 (finest usual step) ... 31.
int QuantiserFor(int32_t quality);
// The constant rate factor of x264 for Quality 10000 ... 0: 18 ... 51.
int CrfFor(int32_t quality);

// How an encoder is to be set up.
struct TVideoEncoderSetup {
  int32_t Width = 0, Height = 0, Rate = 30;
  int BitCount = 24;          // of the frames handed in (24 or 32)
  int32_t Quality = 10000;    // 0 ... 10000
  int32_t KeyFrameEvery = 0;  // 0: the encoder's own choice
  int64_t MaxBitRate = 0;     // 0: no cap; otherwise bits per second
  bool BFrames = false;       // allow reordered frames (containers with time stamps)
  bool GlobalHeader = false;  // the container keeps the codec headers apart (MP4, Matroska)
};

// An encoder with the scaler that feeds it. Open returns 0 or a negative FFmpeg error, or the
// positive codes of avi_writer.h (kAviBadSettings, kAviUnknownCodec).
class TVideoEncoder {
 public:
  TVideoEncoder();
  ~TVideoEncoder();
  TVideoEncoder(const TVideoEncoder&) = delete;
  TVideoEncoder& operator=(const TVideoEncoder&) = delete;

  int Open(const TVideoCodec& codec, const TVideoEncoderSetup& setup);
  AVCodecContext* Context() const;
  // Converts the bitmap and sends it (pts = frame number); then receive packets.
  int Send(const TABitmap& bitmap, int64_t pts);
  // Ends the stream: receive the last packets afterwards.
  int Flush();
  // The next packet; AVERROR(EAGAIN) when it needs more frames, AVERROR_EOF when done. MPEG-4
  // packets get their colour tags here.
  int Receive(AVPacket* packet);
  // Codec parameters for the stream, colour tags and (MPEG-4) tagged headers included.
  int FillParameters(AVCodecParameters* par) const;

 private:
  struct TParts;  // the FFmpeg objects
  std::unique_ptr<TParts> parts_;
  AVPixelFormat format_ = AV_PIX_FMT_NONE;
  int32_t width_ = 0;
  TVideoColour colour_;
  bool mpeg4_ = false;
  int32_t height_ = 0;
};

// MPEG-4 Part 2: FFmpeg's encoder leaves the video signal type out of its visual object header.
// Rewrites every such header in data (as FFmpeg writes it) with matrix, range and colour
// description; the result may be longer. False when nothing was rewritten.
bool AddMpeg4SignalType(const uint8_t* data, size_t size, const TVideoColour& colour, std::string& out);

}  // namespace vexa::ffmpeg
