// The video codecs that AVI output offers, and the choice of one of them.
//
// One table serves every place that lets the user pick a codec (the command line now, the
// codec dialog of the editor later): plain names, what each does with the quality, data rate
// and key frame settings, and the defaults a new choice starts from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

struct TVideoCodec {
  std::string_view Name;     // what --codec takes: "uncompressed", "mjpeg", "h264", ...
  std::string_view Title;    // one line for lists
  std::string_view Encoder;  // FFmpeg encoder name; empty for uncompressed
  std::string_view FourCC;   // stream handler / compression tag written to the file
  bool Lossless;
  bool UsesQuality;                 // Quality steers the encoder (see QualityMapping)
  bool UsesDataRate;                // BytesPerSecond steers the encoder
  bool UsesKeyFrames;               // KeyFrameEvery steers the encoder (intra-only codecs ignore it)
  std::string_view QualityMapping;  // how Quality and BytesPerSecond are applied, for --help
};

// Defaults of a new codec choice: a key frame every 8 seconds, 100 KiB per second, best quality.
inline constexpr int32_t kDefaultKeyFrameSeconds = 8;
inline constexpr int32_t kDefaultBytesPerSecond = 102400;
inline constexpr int32_t kDefaultQuality = 10000;
inline constexpr int32_t kMaxQuality = 10000;
// Option flags of a codec choice.
inline constexpr int32_t kCompressDataRate = 2;   // aim at BytesPerSecond
inline constexpr int32_t kCompressKeyFrames = 4;  // honour KeyFrameEvery
inline constexpr int32_t kDefaultCompressFlags = kCompressKeyFrames | kCompressDataRate;

// Every codec the program knows, available or not; the first is "uncompressed".
const std::vector<TVideoCodec>& KnownVideoCodecs();
// The codecs whose encoder this FFmpeg build has ("uncompressed" always).
std::vector<const TVideoCodec*> AvailableVideoCodecs();
// By plain name (case-insensitive) or by FourCC (as stored in a handler); nullptr if unknown.
// An empty text or a FourCC of zeros names "uncompressed".
const TVideoCodec* FindVideoCodec(std::string_view nameOrFourCC);
bool VideoCodecAvailable(const TVideoCodec& codec);
// The codec used when none is named: widely playable and compressed (H.264, else MPEG-4 Part 2,
// else Motion JPEG, else uncompressed).
const TVideoCodec& DefaultCompressedCodec();

// Keeps the encoders' own statistics and notes off the standard error (errors still show).
// For programs; the library itself leaves the logging as the program set it.
void QuietCodecLogs();

// What a codec choice decides. Starts from the defaults above for a given frame rate.
struct TCodecOptions {
  std::string Handler;  // FourCC of the chosen codec
  int32_t KeyFrameEvery = 0;
  int32_t Quality = kDefaultQuality;
  int32_t BytesPerSecond = kDefaultBytesPerSecond;
  int32_t Flags = kDefaultCompressFlags;
};
TCodecOptions DefaultCodecOptions(int32_t framesPerSecond);

// The codec choice: the editor answers it with a dialog, the command line from its options.
// Choose may change every field of options; false means the user cancelled.
class TCodecChoice {
 public:
  virtual ~TCodecChoice() = default;
  virtual bool Choose(TCodecOptions& options) = 0;
};

// A choice made in advance (command line, tests): overwrites the options with its own values.
class TFixedCodecChoice : public TCodecChoice {
 public:
  explicit TFixedCodecChoice(TCodecOptions options) : options_(std::move(options)) {}
  bool Choose(TCodecOptions& options) override {
    options = options_;
    return true;
  }

 private:
  TCodecOptions options_;
};

}  // namespace vexa
