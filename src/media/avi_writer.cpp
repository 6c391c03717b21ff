// TAVICompressor on libavformat's AVI muxer and libavcodec's encoders.
#include "media/avi_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>

#include "media/avi_header_patch.h"
#include "media/ffmpeg_owners.h"
#include "media/output_file.h"
#include "media/video_encoding.h"

namespace vexa {

namespace fs = std::filesystem;

size_t AviFrameStride(int32_t width, int bitCount) {
  return ((static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32) * 4;
}

size_t AviFrameByteSize(int32_t width, int32_t height, int bitCount) {
  return AviFrameStride(width, bitCount) * static_cast<size_t>(height);
}

namespace {

// -1 means "cancelled" to callers, so a system error that happens to be EPERM is reported as
// access denied instead.
int32_t ErrorCode(int err) {
  return err == AVERROR(EPERM) ? AVERROR(EACCES) : err;
}

struct FormatContextFree {
  void operator()(AVFormatContext* c) const {
    if (c->pb) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};
using PacketFree = ffmpeg::PacketFreer;

uint32_t FourCCTag(std::string_view s) {
  uint32_t tag = 0;
  for (size_t i = 0; i < 4; ++i)
    tag |= static_cast<uint32_t>(i < s.size() ? static_cast<uint8_t>(s[i]) : 0) << (8 * i);
  return tag;
}

}  // namespace

struct TAVICompressor::TState {
  TAVIWriteSettings Settings;
  TTempFileWatch* Watch = nullptr;
  std::string TempPath;
  std::unique_ptr<AVFormatContext, FormatContextFree> Format;
  AVStream* Stream = nullptr;
  std::unique_ptr<ffmpeg::TVideoEncoder> Encoder;
  std::unique_ptr<AVPacket, PacketFree> Packet;
  int32_t Error = 0;  // first failure while writing; the file is then dropped
  bool HeaderWritten = false;

  ~TState() { DropFile(); }

  void DropFile() {
    Packet.reset();
    Encoder.reset();
    Format.reset();
    if (!TempPath.empty()) {
      ::unlink(TempPath.c_str());
      if (Watch) Watch->Gone(TempPath);
    }
    TempPath.clear();
  }
};

TAVICompressor::TAVICompressor() = default;

TAVICompressor::~TAVICompressor() {
  Close();
}

bool TAVICompressor::Opened() const {
  return state_ != nullptr;
}

int32_t TAVICompressor::Open(const std::string& fileName, const TAVIWriteSettings& settings) {
  Close();
  if (settings.Width < 1 || settings.Height < 1 || settings.Width > kMaxBitmapSide ||
      settings.Height > kMaxBitmapSide || int64_t{settings.Width} * settings.Height > kMaxBitmapPixels ||
      settings.Rate < 1 || settings.Rate > 1000 || (settings.BitCount != 24 && settings.BitCount != 32) ||
      fileName.empty())
    return kAviBadSettings;

  TCodecOptions options;
  options.Handler = settings.Handler;
  options.KeyFrameEvery = settings.KeyFrameEvery;
  options.Quality = settings.Quality;
  options.BytesPerSecond = settings.BytesPerSecond;
  options.Flags = settings.CompressFlags;
  // The choice comes before anything is created: cancelling it leaves the disk as it was.
  if (settings.Compress && settings.ShowOptions && Chooser && !Chooser->Choose(options)) return kAviCancelled;
  const TVideoCodec* codec =
      settings.Compress ? FindVideoCodec(options.Handler) : &KnownVideoCodecs().front();
  if (!codec || !VideoCodecAvailable(*codec)) return kAviUnknownCodec;
  options.Quality = std::clamp(options.Quality, 0, kMaxQuality);

  auto state = std::make_unique<TState>();
  state->Settings = settings;
  const bool raw = codec->Encoder.empty();
  const int32_t w = settings.Width, h = settings.Height;

  int err = CreateTemporaryOutput(fileName, state->TempPath, TempFiles);
  if (err < 0) {
    state->TempPath.clear();
    return ErrorCode(err);
  }
  state->Watch = TempFiles;

  const AVOutputFormat* avi = av_guess_format("avi", nullptr, nullptr);
  AVFormatContext* fc = nullptr;
  err = avformat_alloc_output_context2(&fc, avi, nullptr, state->TempPath.c_str());
  if (err < 0 || !fc) return ErrorCode(err < 0 ? err : AVERROR(ENOMEM));
  state->Format.reset(fc);
  AVStream* st = avformat_new_stream(fc, nullptr);
  if (!st) return ErrorCode(AVERROR(ENOMEM));
  state->Stream = st;
  st->time_base = AVRational{1, settings.Rate};
  st->avg_frame_rate = AVRational{settings.Rate, 1};
  st->r_frame_rate = st->avg_frame_rate;
  if (!settings.StreamName.empty())
    av_dict_set(&st->metadata, "title", settings.StreamName.substr(0, 63).c_str(), 0);

  if (raw) {
    AVCodecParameters* par = st->codecpar;
    par->codec_type = AVMEDIA_TYPE_VIDEO;
    par->codec_id = AV_CODEC_ID_RAWVIDEO;
    par->codec_tag = 0;  // BI_RGB
    par->format = settings.BitCount == 24 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_BGRA;
    par->bits_per_coded_sample = settings.BitCount;
    par->width = w;
    par->height = h;
  } else {
    ffmpeg::TVideoEncoderSetup setup;
    setup.Width = w;
    setup.Height = h;
    setup.Rate = settings.Rate;
    setup.BitCount = settings.BitCount;
    setup.Quality = options.Quality;
    if (codec->UsesKeyFrames && (options.Flags & kCompressKeyFrames) && options.KeyFrameEvery > 0)
      setup.KeyFrameEvery = options.KeyFrameEvery;
    if (codec->UsesDataRate && (options.Flags & kCompressDataRate) && options.BytesPerSecond > 0)
      setup.MaxBitRate = int64_t{options.BytesPerSecond} * 8;
    setup.BFrames = false;  // AVI has no time stamps to carry reordered frames
    state->Encoder = std::make_unique<ffmpeg::TVideoEncoder>();
    err = state->Encoder->Open(*codec, setup);
    if (err != 0) return ErrorCode(err);
    err = state->Encoder->FillParameters(st->codecpar);
    if (err < 0) return ErrorCode(err);
    // The encoder may choose its own tag (Ut Video names its layout); otherwise ours.
    const uint32_t own = state->Encoder->Context()->codec_tag;
    st->codecpar->codec_tag = own ? own : FourCCTag(codec->FourCC);
  }
  state->Packet.reset(av_packet_alloc());
  if (!state->Packet) return ErrorCode(AVERROR(ENOMEM));

  err = avio_open(&fc->pb, state->TempPath.c_str(), AVIO_FLAG_WRITE);
  if (err < 0) return ErrorCode(err);
  AVDictionary* muxerOptions = nullptr;
  // Our uncompressed rows are bottom-up already; the muxer then writes a positive height.
  if (raw) av_dict_set(&muxerOptions, "flipped_raw_rgb", "1", 0);
  err = avformat_write_header(fc, &muxerOptions);
  av_dict_free(&muxerOptions);
  if (err < 0) return ErrorCode(err);
  state->HeaderWritten = true;

  state_ = std::move(state);
  codec_ = codec;
  options_ = options;
  fileName_ = fileName;
  nextFrame_ = samplesWritten_ = bytesWritten_ = 0;
  return 0;
}

namespace {

void NoFree(void*, uint8_t*) {}

}  // namespace

int32_t TAVICompressor::WriteFrame(const TABitmap& bitmap) {
  if (!state_) return kAviNotOpen;
  TState& s = *state_;
  if (s.Error) return s.Error;
  const TAVIWriteSettings& set = s.Settings;
  if (bitmap.Width() != set.Width || bitmap.Height() != set.Height || bitmap.BitsPerPixel() != set.BitCount ||
      !bitmap.Bits()) {
    s.Error = kAviFrameMismatch;
    return s.Error;
  }
  AVPacket* pkt = s.Packet.get();
  int err = 0;
  if (!s.Encoder) {
    // The block as TABitmap holds it: bottom-up rows padded to 4 bytes, the BI_RGB layout.
    const size_t bytes = AviFrameByteSize(set.Width, set.Height, set.BitCount);
    auto* data = const_cast<uint8_t*>(bitmap.Bits());
    AVBufferRef* buf = av_buffer_create(data, bytes, &NoFree, nullptr, AV_BUFFER_FLAG_READONLY);
    if (!buf) return s.Error = ErrorCode(AVERROR(ENOMEM));
    pkt->buf = buf;
    pkt->data = data;
    pkt->size = static_cast<int>(bytes);
    pkt->stream_index = 0;
    pkt->pts = pkt->dts = av_rescale_q(nextFrame_, AVRational{1, set.Rate}, s.Stream->time_base);
    pkt->duration = av_rescale_q(1, AVRational{1, set.Rate}, s.Stream->time_base);
    pkt->flags = AV_PKT_FLAG_KEY;
    err = av_write_frame(s.Format.get(), pkt);
    av_packet_unref(pkt);
    if (err < 0) return s.Error = ErrorCode(err);
    bytesWritten_ = static_cast<uint32_t>(bytes);
  } else {
    err = s.Encoder->Send(bitmap, nextFrame_);
    if (err < 0) return s.Error = ErrorCode(err);
    bytesWritten_ = 0;
    while ((err = s.Encoder->Receive(pkt)) >= 0) {
      av_packet_rescale_ts(pkt, s.Encoder->Context()->time_base, s.Stream->time_base);
      pkt->stream_index = 0;
      bytesWritten_ += static_cast<uint32_t>(pkt->size);
      err = av_write_frame(s.Format.get(), pkt);
      av_packet_unref(pkt);
      if (err < 0) return s.Error = ErrorCode(err);
    }
    if (err != AVERROR(EAGAIN)) return s.Error = ErrorCode(err);
  }
  if (s.Format->pb->error < 0) return s.Error = ErrorCode(s.Format->pb->error);
  samplesWritten_ = 1;
  ++nextFrame_;
  return 0;
}

int32_t TAVICompressor::Close() {
  if (!state_) return 0;
  std::unique_ptr<TState> s = std::move(state_);
  int err = s->Error;
  if (!err && s->Encoder) {
    // Drain what the encoder still holds.
    AVPacket* pkt = s->Packet.get();
    err = s->Encoder->Flush();
    while (err >= 0 && (err = s->Encoder->Receive(pkt)) >= 0) {
      av_packet_rescale_ts(pkt, s->Encoder->Context()->time_base, s->Stream->time_base);
      pkt->stream_index = 0;
      err = av_write_frame(s->Format.get(), pkt);
      av_packet_unref(pkt);
    }
    if (err == AVERROR_EOF) err = 0;
  }
  if (!err) err = av_write_trailer(s->Format.get());
  if (!err && s->Format->pb->error < 0) err = s->Format->pb->error;
  if (!err) err = avio_closep(&s->Format->pb);
  if (!err)
    err = FinishAviHeader(s->TempPath, options_.Quality,
                          s->Encoder ? 0
                                     : static_cast<uint32_t>(AviFrameByteSize(
                                           s->Settings.Width, s->Settings.Height, s->Settings.BitCount)));
  // No fsync before the rename: forcing gigabytes of uncompressed frames to the disk would
  // double the render time, and a movie can be rendered again. Other programs never see a
  // partial file, and file systems that replace by rename (ext4, xfs, btrfs) write the new data
  // before the rename takes effect.
  if (!err && ::rename(s->TempPath.c_str(), ReplacedPath(fileName_).c_str()) != 0) err = AVERROR(errno);
  if (!err) {
    // Now the target; DropFile must not remove it.
    if (s->Watch) s->Watch->Gone(s->TempPath);
    s->TempPath.clear();
  }
  s->DropFile();
  return ErrorCode(err);
}

void TAVICompressor::Abandon() {
  state_.reset();
}

std::string AviErrorText(int32_t code) {
  switch (code) {
    case 0:
      return "no error";
    case kAviCancelled:
      return "codec choice cancelled";
    case kAviBadSettings:
      return "frame size, frame rate or bit depth not supported (4:2:0 codecs need even sizes)";
    case kAviUnknownCodec:
      return "codec not available";
    case kAviNotOpen:
      return "no file open";
    case kAviFrameMismatch:
      return "frame size or depth differs from the stream's";
    default: {
      char text[AV_ERROR_MAX_STRING_SIZE] = {};
      av_strerror(code, text, sizeof text);
      return text;
    }
  }
}

}  // namespace vexa
