// TAVICompressor on libavformat's AVI muxer and libavcodec's encoders.
#include "media/avi_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <filesystem>
#include <random>

#include "media/avi_header_patch.h"
#include "media/ffmpeg_owners.h"

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
using CodecContextFree = ffmpeg::CodecFreer;
using FrameFree = ffmpeg::FrameFreer;
using PacketFree = ffmpeg::PacketFreer;
using SwsFree = ffmpeg::SwsFreer;

// The quantiser for Quality 10000 ... 0: 2 (finest usual step) ... 31.
int QuantiserFor(int32_t quality) {
  const double q = std::clamp(quality, 0, kMaxQuality);
  return 2 + static_cast<int>(std::lround((kMaxQuality - q) * 29.0 / kMaxQuality));
}

// The constant rate factor of x264 for Quality 10000 ... 0: 18 (visually lossless) ... 51.
int CrfFor(int32_t quality) {
  const double q = std::clamp(quality, 0, kMaxQuality);
  return 18 + static_cast<int>(std::lround((kMaxQuality - q) * 33.0 / kMaxQuality));
}

// Pixel format handed to the encoder: fixed for the lossy codecs (4:2:0, what players expect),
// for the lossless ones the first RGB layout the encoder takes, so nothing is lost.
AVPixelFormat EncoderPixelFormat(const TVideoCodec& codec, const AVCodec* encoder) {
  if (codec.Name == "mjpeg") return AV_PIX_FMT_YUVJ420P;
  if (codec.Name == "mpeg4" || codec.Name == "h264") return AV_PIX_FMT_YUV420P;
  const AVPixelFormat wanted[] = {AV_PIX_FMT_BGR24, AV_PIX_FMT_BGR0, AV_PIX_FMT_BGRA, AV_PIX_FMT_RGB24,
                                  AV_PIX_FMT_GBRP};
  for (AVPixelFormat w : wanted)
    for (const AVPixelFormat* p = encoder->pix_fmts; p && *p != AV_PIX_FMT_NONE; ++p)
      if (*p == w) return w;
  return encoder->pix_fmts ? encoder->pix_fmts[0] : AV_PIX_FMT_NONE;
}

uint32_t FourCCTag(std::string_view s) {
  uint32_t tag = 0;
  for (size_t i = 0; i < 4; ++i)
    tag |= static_cast<uint32_t>(i < s.size() ? static_cast<uint8_t>(s[i]) : 0) << (8 * i);
  return tag;
}

// A new, empty file next to target under a name nobody else uses; its path, or an error.
int CreateTemporaryFile(const std::string& target, std::string& path, TTempFileWatch* watch) {
  fs::path t(target);
  fs::path folder = t.parent_path();
  if (folder.empty()) folder = ".";
  std::random_device rd;
  static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix;
    for (int i = 0; i < 8; ++i)
      suffix += digits[rd() % 36];
    // Built piece by piece: GCC 12 warns falsely (-Wrestrict) on chained string additions.
    std::string name(1, '.');
    name.append(t.filename().string()).append(1, '.').append(suffix).append(".part");
    path = (folder / name).string();
    int fd = -1, err = 0;
    MakeTemporaryFile(watch, path, [&] {
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      err = errno;
      return fd >= 0;
    });
    if (fd >= 0) {
      ::close(fd);
      return 0;
    }
    if (err != EEXIST) return AVERROR(err);
  }
  return AVERROR(EEXIST);
}

// The file a rename must replace: a symbolic link is followed so that the link stays.
std::string ReplacedPath(const std::string& target) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(target, ec))) {
    fs::path resolved = fs::weakly_canonical(target, ec);
    if (!ec) return resolved.string();
  }
  return target;
}

}  // namespace

struct TAVICompressor::TState {
  TAVIWriteSettings Settings;
  TTempFileWatch* Watch = nullptr;
  std::string TempPath;
  std::unique_ptr<AVFormatContext, FormatContextFree> Format;
  AVStream* Stream = nullptr;
  std::unique_ptr<AVCodecContext, CodecContextFree> Encoder;
  std::unique_ptr<AVFrame, FrameFree> Frame;
  std::unique_ptr<AVPacket, PacketFree> Packet;
  std::unique_ptr<SwsContext, SwsFree> Scaler;
  int32_t Error = 0;  // first failure while writing; the file is then dropped
  bool HeaderWritten = false;

  ~TState() { DropFile(); }

  void DropFile() {
    Scaler.reset();
    Frame.reset();
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

  int err = CreateTemporaryFile(fileName, state->TempPath, TempFiles);
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
    const AVCodec* encoder = avcodec_find_encoder_by_name(std::string(codec->Encoder).c_str());
    if (!encoder) return kAviUnknownCodec;
    state->Encoder.reset(avcodec_alloc_context3(encoder));
    AVCodecContext* enc = state->Encoder.get();
    if (!enc) return ErrorCode(AVERROR(ENOMEM));
    enc->width = w;
    enc->height = h;
    enc->time_base = AVRational{1, settings.Rate};
    enc->framerate = AVRational{settings.Rate, 1};
    enc->sample_aspect_ratio = AVRational{1, 1};
    enc->pix_fmt = EncoderPixelFormat(*codec, encoder);
    enc->max_b_frames = 0;  // AVI has no time stamps to carry reordered frames
    if (codec->UsesKeyFrames && (options.Flags & kCompressKeyFrames) && options.KeyFrameEvery > 0)
      enc->gop_size = options.KeyFrameEvery;
    const bool dataRate =
        codec->UsesDataRate && (options.Flags & kCompressDataRate) && options.BytesPerSecond > 0;
    const int64_t bitRate = int64_t{options.BytesPerSecond} * 8;
    if (codec->Name == "mjpeg") {
      enc->color_range = AVCOL_RANGE_JPEG;
      enc->flags |= AV_CODEC_FLAG_QSCALE;
      enc->global_quality = QuantiserFor(options.Quality) * FF_QP2LAMBDA;
    } else if (codec->Name == "mpeg4") {
      if (dataRate) {
        enc->bit_rate = bitRate;
        enc->qmin = QuantiserFor(options.Quality);
        enc->qmax = 31;
      } else {
        enc->flags |= AV_CODEC_FLAG_QSCALE;
        enc->global_quality = QuantiserFor(options.Quality) * FF_QP2LAMBDA;
      }
    } else if (codec->Name == "h264") {
      av_opt_set(enc->priv_data, "preset", "medium", 0);
      av_opt_set_double(enc->priv_data, "crf", CrfFor(options.Quality), 0);
      if (dataRate) {
        enc->rc_max_rate = bitRate;
        enc->rc_buffer_size = static_cast<int>(std::min<int64_t>(bitRate, INT32_MAX));
      }
      enc->colorspace = AVCOL_SPC_BT709;
      enc->color_primaries = AVCOL_PRI_BT709;
      enc->color_trc = AVCOL_TRC_BT709;
      enc->thread_count = 0;
    }
    if (enc->pix_fmt == AV_PIX_FMT_NONE) return kAviUnknownCodec;
    const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(enc->pix_fmt);
    if (desc && ((w & ((1 << desc->log2_chroma_w) - 1)) || (h & ((1 << desc->log2_chroma_h) - 1))))
      return kAviBadSettings;  // 4:2:0 codecs need even sizes
    err = avcodec_open2(enc, encoder, nullptr);
    if (err < 0) return ErrorCode(err);
    err = avcodec_parameters_from_context(st->codecpar, enc);
    if (err < 0) return ErrorCode(err);
    // The encoder may choose its own tag (Ut Video names its layout); otherwise ours.
    st->codecpar->codec_tag = enc->codec_tag ? enc->codec_tag : FourCCTag(codec->FourCC);

    state->Frame.reset(av_frame_alloc());
    if (!state->Frame) return ErrorCode(AVERROR(ENOMEM));
    state->Frame->format = enc->pix_fmt;
    state->Frame->width = w;
    state->Frame->height = h;
    err = av_frame_get_buffer(state->Frame.get(), 0);
    if (err < 0) return ErrorCode(err);
    const AVPixelFormat source = settings.BitCount == 24 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_BGR0;
    state->Scaler.reset(sws_getContext(w, h, source, w, h, enc->pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND,
                                       nullptr, nullptr, nullptr));
    if (!state->Scaler) return kAviUnknownCodec;
    if (codec->Name == "h264") {
      const int* coeffs = sws_getCoefficients(SWS_CS_ITU709);
      sws_setColorspaceDetails(state->Scaler.get(), coeffs, 1, coeffs, 0, 0, 1 << 16, 1 << 16);
    }
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
    AVFrame* frame = s.Frame.get();
    err = av_frame_make_writable(frame);
    if (err < 0) return s.Error = ErrorCode(err);
    // Top row first for the scaler: start at the highest row address and step backwards.
    const uint8_t* src[1] = {bitmap.ScanLine(0)};
    const int srcStride[1] = {-static_cast<int>(bitmap.Stride())};
    sws_scale(s.Scaler.get(), src, srcStride, 0, set.Height, frame->data, frame->linesize);
    frame->pts = nextFrame_;
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    // Constant-quantiser encoders read the quantiser from each frame.
    if (s.Encoder->flags & AV_CODEC_FLAG_QSCALE) frame->quality = s.Encoder->global_quality;
    err = avcodec_send_frame(s.Encoder.get(), frame);
    if (err < 0) return s.Error = ErrorCode(err);
    bytesWritten_ = 0;
    while ((err = avcodec_receive_packet(s.Encoder.get(), pkt)) >= 0) {
      av_packet_rescale_ts(pkt, s.Encoder->time_base, s.Stream->time_base);
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
    err = avcodec_send_frame(s->Encoder.get(), nullptr);
    while (err >= 0 && (err = avcodec_receive_packet(s->Encoder.get(), pkt)) >= 0) {
      av_packet_rescale_ts(pkt, s->Encoder->time_base, s->Stream->time_base);
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
