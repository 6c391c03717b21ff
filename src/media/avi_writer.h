// TAVICompressor: writes frames into an AVI file with one video stream, uncompressed or through
// one of the codecs of video_codecs.h.
//
// The file is written under a temporary name in the target's folder and moved over the target
// only when it is complete, so a failed or abandoned render never touches an existing file of
// that name; a cancelled codec choice touches nothing on disk at all.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "bitmap/bitmap.h"
#include "media/temp_file_watch.h"
#include "media/video_codecs.h"

namespace vexa {

struct TAVIWriteSettings {
  int32_t Width = 0;
  int32_t Height = 0;
  std::string Handler;  // FourCC (first four bytes count) or plain codec name; empty = uncompressed
  int32_t Quality = kDefaultQuality;  // 0 ... 10000
  int32_t Rate = 30;                  // frames per second (the stream's scale is 1)
  std::string StreamName;             // bytes as stored, at most 63
  int32_t KeyFrameEvery = 0;
  int32_t BytesPerSecond = kDefaultBytesPerSecond;
  int32_t CompressFlags = kDefaultCompressFlags;
  uint8_t Compress = 1;     // 0: frames are stored uncompressed whatever Handler says
  uint8_t ShowOptions = 1;  // ask Chooser for the codec and its options
  uint16_t BitCount = 24;   // 24 or 32 bits per pixel
};

// Bytes of one uncompressed frame: rows of Width * BitCount / 8 rounded up to 4 bytes.
size_t AviFrameStride(int32_t width, int bitCount);
size_t AviFrameByteSize(int32_t width, int32_t height, int bitCount);

// Results of Open besides 0; other failures are negative FFmpeg or system (-errno) codes.
inline constexpr int32_t kAviCancelled = -1;
inline constexpr int32_t kAviBadSettings = 1;    // size, rate or bit depth out of range
inline constexpr int32_t kAviUnknownCodec = 2;   // handler names no codec of this build
inline constexpr int32_t kAviNotOpen = 3;        // WriteFrame without a successful Open
inline constexpr int32_t kAviFrameMismatch = 4;  // frame size or depth differs from the stream's

class TAVICompressor {
 public:
  TAVICompressor();
  ~TAVICompressor();  // Close
  TAVICompressor(const TAVICompressor&) = delete;
  TAVICompressor& operator=(const TAVICompressor&) = delete;

  // Answers the codec choice when ShowOptions is set (borrowed; nullptr = take Handler as is).
  TCodecChoice* Chooser = nullptr;
  // Told about the temporary file (borrowed; may be nullptr). Set before Open.
  TTempFileWatch* TempFiles = nullptr;

  // 0 on success, kAviCancelled when the codec choice was cancelled (nothing on disk changed),
  // otherwise an error code; after a failure everything is released and no file is left.
  int32_t Open(const std::string& fileName, const TAVIWriteSettings& settings);
  // Appends one frame (a bitmap at the stream's size and bit depth, as TABitmap holds it).
  // 0, or an error code; after an error the file is abandoned: Close removes it and fails.
  int32_t WriteFrame(const TABitmap& bitmap);
  // Finishes the file and moves it over the target name. 0, or the first error (the target is
  // then untouched and the temporary file gone). A second call does nothing and returns 0.
  int32_t Close();
  // Drops the file being written without touching the target. Harmless when closed.
  void Abandon();

  bool Opened() const;
  uint32_t NextFrame() const { return nextFrame_; }
  uint32_t SamplesWritten() const { return samplesWritten_; }
  uint32_t BytesWritten() const { return bytesWritten_; }
  // The codec and options in use after a successful Open.
  const TVideoCodec* Codec() const { return codec_; }
  const TCodecOptions& Options() const { return options_; }
  const std::string& FileName() const { return fileName_; }

 private:
  struct TState;
  std::unique_ptr<TState> state_;
  const TVideoCodec* codec_ = nullptr;
  TCodecOptions options_;
  std::string fileName_;
  uint32_t nextFrame_ = 0;
  uint32_t samplesWritten_ = 0;
  uint32_t bytesWritten_ = 0;
};

// A readable text for an error code of TAVICompressor.
std::string AviErrorText(int32_t code);

}  // namespace vexa
