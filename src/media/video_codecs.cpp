// The codec table. Which FFmpeg encoder and pixel format each name uses is in avi_writer.cpp.
#include "media/video_codecs.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
}

#include <algorithm>
#include <cctype>

namespace vexa {

namespace {

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

// A handler of four zero bytes or spaces is the uncompressed one.
bool IsZeroFourCC(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c == '\0'; });
}

}  // namespace

const std::vector<TVideoCodec>& KnownVideoCodecs() {
  static const std::vector<TVideoCodec> codecs = {
      {"uncompressed", "uncompressed RGB (BI_RGB, 24-bit bottom-up rows padded to 4 bytes)", "", "DIB ", true,
       false, false, false, "stored as composed; quality, data rate and key frames do not apply"},
      {"mjpeg", "Motion JPEG", "mjpeg", "MJPG", false, true, false, false,
       "quality 10000..0 -> JPEG quantiser 2..31; every frame is a key frame, no data rate control"},
      {"mpeg4", "MPEG-4 Part 2 (Xvid compatible)", "mpeg4", "XVID", false, true, true, true,
       "with a data rate: average 8 x bytes-per-second bit/s and quality 10000..0 -> finest quantiser "
       "2..31; without: constant quantiser 2..31"},
      {"h264", "H.264 / AVC (x264, 4:2:0, no B-frames)", "libx264", "H264", false, true, true, true,
       "quality 10000..0 -> CRF 18..51; with a data rate the rate is capped at 8 x bytes-per-second "
       "bit/s (one-second buffer)"},
      {"ffv1", "FFV1 lossless", "ffv1", "FFV1", true, false, false, true,
       "lossless; quality and data rate do not apply"},
      {"huffyuv", "HuffYUV lossless RGB", "huffyuv", "HFYU", true, false, false, false,
       "lossless, every frame a key frame; quality and data rate do not apply"},
      {"utvideo", "Ut Video lossless RGB", "utvideo", "ULRG", true, false, false, false,
       "lossless, every frame a key frame; quality and data rate do not apply"},
  };
  return codecs;
}

bool VideoCodecAvailable(const TVideoCodec& codec) {
  if (codec.Encoder.empty()) return true;
  return avcodec_find_encoder_by_name(std::string(codec.Encoder).c_str()) != nullptr;
}

std::vector<const TVideoCodec*> AvailableVideoCodecs() {
  std::vector<const TVideoCodec*> out;
  for (const auto& c : KnownVideoCodecs())
    if (VideoCodecAvailable(c)) out.push_back(&c);
  return out;
}

const TVideoCodec* FindVideoCodec(std::string_view key) {
  const auto& codecs = KnownVideoCodecs();
  if (key.empty() || IsZeroFourCC(key)) return &codecs.front();
  for (const auto& c : codecs)
    if (SameText(c.Name, key)) return &c;
  // A handler keeps at most four significant characters; missing ones are zero bytes.
  std::string four(key.substr(0, 4));
  while (four.size() < 4)
    four += ' ';
  std::replace(four.begin(), four.end(), '\0', ' ');
  for (const auto& c : codecs)
    if (SameText(c.FourCC, four)) return &c;
  if (SameText(four, "FMP4") || SameText(four, "DIVX") || SameText(four, "DX50"))
    return FindVideoCodec("mpeg4");
  if (SameText(four, "AVC1") || SameText(four, "X264")) return FindVideoCodec("h264");
  return nullptr;
}

const TVideoCodec& DefaultCompressedCodec() {
  for (std::string_view name : {"h264", "mpeg4", "mjpeg"}) {
    const TVideoCodec* c = FindVideoCodec(name);
    if (c && VideoCodecAvailable(*c)) return *c;
  }
  return KnownVideoCodecs().front();
}

void QuietCodecLogs() {
  av_log_set_level(AV_LOG_ERROR);
}

TCodecOptions DefaultCodecOptions(int32_t framesPerSecond) {
  TCodecOptions o;
  o.Handler = std::string(DefaultCompressedCodec().FourCC);
  o.KeyFrameEvery = std::max(framesPerSecond, 1) * kDefaultKeyFrameSeconds;
  return o;
}

}  // namespace vexa
