#include "media/video_encoding.h"

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>

#include "media/avi_writer.h"
#include "media/ffmpeg_owners.h"
#include "media/yuv_convert.h"

namespace vexa::ffmpeg {

namespace {

constexpr int kPictureAlign = 64;

// Pixel format handed to the encoder: 4:2:0 for the lossy codecs (what players expect); for the
// lossless ones the first RGB layout the encoder takes, so nothing is lost, without a fourth
// channel unless the frames carry one.
AVPixelFormat EncoderPixelFormat(const TVideoCodec& codec, const AVCodec* encoder, int bitCount) {
  if (codec.Name == "mjpeg") return AV_PIX_FMT_YUVJ420P;
  if (codec.Name == "mpeg4" || codec.Name == "h264") return AV_PIX_FMT_YUV420P;
  static const AVPixelFormat three[] = {AV_PIX_FMT_BGR24, AV_PIX_FMT_RGB24, AV_PIX_FMT_GBRP,
                                        AV_PIX_FMT_BGR0,  AV_PIX_FMT_BGRA,  AV_PIX_FMT_NONE};
  static const AVPixelFormat four[] = {AV_PIX_FMT_BGRA, AV_PIX_FMT_GBRAP, AV_PIX_FMT_RGBA, AV_PIX_FMT_NONE};
  for (const AVPixelFormat* w = bitCount == 32 ? four : three; *w != AV_PIX_FMT_NONE; ++w)
    for (const AVPixelFormat* p = encoder->pix_fmts; p && *p != AV_PIX_FMT_NONE; ++p)
      if (*p == *w) return *w;
  return encoder->pix_fmts ? encoder->pix_fmts[0] : AV_PIX_FMT_NONE;
}

// Bits written most significant first.
class TBitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      acc_ = static_cast<uint8_t>(acc_ << 1 | ((value >> i) & 1));
      if (++used_ == 8) {
        out_.push_back(static_cast<char>(acc_));
        acc_ = 0;
        used_ = 0;
      }
    }
  }
  int Used() const { return used_; }
  std::string& Out() { return out_; }

 private:
  std::string out_;
  uint8_t acc_ = 0;
  int used_ = 0;
};

}  // namespace

TVideoColour ColourFor(const TVideoCodec& codec, AVPixelFormat format) {
  TVideoColour c;
  const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(format);
  if (!d || (d->flags & AV_PIX_FMT_FLAG_RGB) || d->nb_components < 3) return c;
  c.Yuv = true;
  if (codec.Name == "mjpeg") {
    c.Space = AVCOL_SPC_BT470BG;
    c.Range = AVCOL_RANGE_JPEG;
    c.Primaries = AVCOL_PRI_BT709;
    c.Transfer = AVCOL_TRC_IEC61966_2_1;  // sRGB, what the composed pictures are
  } else {
    c.Space = AVCOL_SPC_BT709;
    c.Range = AVCOL_RANGE_MPEG;
    c.Primaries = AVCOL_PRI_BT709;
    c.Transfer = AVCOL_TRC_BT709;
  }
  return c;
}

int QuantiserFor(int32_t quality) {
  const double q = std::clamp(quality, 0, kMaxQuality);
  return 2 + static_cast<int>(std::lround((kMaxQuality - q) * 29.0 / kMaxQuality));
}

int CrfFor(int32_t quality) {
  const double q = std::clamp(quality, 0, kMaxQuality);
  return 18 + static_cast<int>(std::lround((kMaxQuality - q) * 33.0 / kMaxQuality));
}

struct TVideoEncoder::TParts {
  std::unique_ptr<AVCodecContext, CodecFreer> Encoder;
  std::unique_ptr<AVFrame, FrameFreer> Frame;
  std::unique_ptr<SwsContext, SwsFreer> Scaler;  // RGB codecs; the 4:2:0 ones use ConvertToYuv420
  std::unique_ptr<AVBufferPool, BufferPoolFreer> Pool;  // picture buffers, reused once the encoder lets go
};

TVideoEncoder::TVideoEncoder() : parts_(std::make_unique<TParts>()) {}
TVideoEncoder::~TVideoEncoder() = default;

AVCodecContext* TVideoEncoder::Context() const {
  return parts_->Encoder.get();
}

int TVideoEncoder::Open(const TVideoCodec& codec, const TVideoEncoderSetup& setup) {
  const AVCodec* encoder = avcodec_find_encoder_by_name(std::string(codec.Encoder).c_str());
  if (!encoder) return kAviUnknownCodec;
  parts_->Encoder.reset(avcodec_alloc_context3(encoder));
  AVCodecContext* enc = parts_->Encoder.get();
  if (!enc) return AVERROR(ENOMEM);
  const int32_t w = setup.Width, h = setup.Height;
  height_ = h;
  mpeg4_ = codec.Name == "mpeg4";
  enc->width = w;
  enc->height = h;
  enc->time_base = AVRational{1, setup.Rate};
  enc->framerate = AVRational{setup.Rate, 1};
  enc->sample_aspect_ratio = AVRational{1, 1};
  enc->pix_fmt = EncoderPixelFormat(codec, encoder, setup.BitCount);
  if (enc->pix_fmt == AV_PIX_FMT_NONE) return kAviUnknownCodec;
  // Every encoder that can spread its work over the processors does.
  enc->thread_count = 0;
  if (!setup.BFrames) enc->max_b_frames = 0;
  if (setup.KeyFrameEvery > 0) enc->gop_size = setup.KeyFrameEvery;
  if (setup.GlobalHeader) enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  colour_ = ColourFor(codec, enc->pix_fmt);
  if (colour_.Yuv) {
    enc->colorspace = colour_.Space;
    enc->color_range = colour_.Range;
    enc->color_primaries = colour_.Primaries;
    enc->color_trc = colour_.Transfer;
  }
  if (codec.Name == "mjpeg") {
    enc->flags |= AV_CODEC_FLAG_QSCALE;
    enc->global_quality = QuantiserFor(setup.Quality) * FF_QP2LAMBDA;
  } else if (codec.Name == "mpeg4") {
    if (setup.MaxBitRate > 0) {
      enc->bit_rate = setup.MaxBitRate;
      enc->qmin = QuantiserFor(setup.Quality);
      enc->qmax = 31;
    } else {
      enc->flags |= AV_CODEC_FLAG_QSCALE;
      enc->global_quality = QuantiserFor(setup.Quality) * FF_QP2LAMBDA;
    }
  } else if (codec.Name == "h264") {
    av_opt_set(enc->priv_data, "preset", "medium", 0);
    av_opt_set_double(enc->priv_data, "crf", CrfFor(setup.Quality), 0);
    if (setup.MaxBitRate > 0) {
      enc->rc_max_rate = setup.MaxBitRate;
      enc->rc_buffer_size = static_cast<int>(std::min<int64_t>(setup.MaxBitRate, INT32_MAX));
    }
  }
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(enc->pix_fmt);
  if (desc && ((w & ((1 << desc->log2_chroma_w) - 1)) || (h & ((1 << desc->log2_chroma_h) - 1))))
    return kAviBadSettings;  // 4:2:0 codecs need even sizes
  int err = avcodec_open2(enc, encoder, nullptr);
  if (err < 0) return err;

  parts_->Frame.reset(av_frame_alloc());
  if (!parts_->Frame) return AVERROR(ENOMEM);
  format_ = enc->pix_fmt;
  width_ = w;
  const int bytes = av_image_get_buffer_size(format_, w, h, kPictureAlign);
  if (bytes < 0) return bytes;
  parts_->Pool.reset(av_buffer_pool_init(static_cast<size_t>(bytes) + AV_INPUT_BUFFER_PADDING_SIZE, nullptr));
  if (!parts_->Pool) return AVERROR(ENOMEM);
  // The 4:2:0 codecs take our own conversion; the scaler serves the RGB layouts.
  if (enc->pix_fmt == AV_PIX_FMT_YUV420P || enc->pix_fmt == AV_PIX_FMT_YUVJ420P) return 0;
  const AVPixelFormat source = setup.BitCount == 24 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_BGRA;
  parts_->Scaler.reset(sws_getContext(w, h, source, w, h, enc->pix_fmt, SWS_BICUBIC | SWS_ACCURATE_RND, nullptr,
                               nullptr, nullptr));
  if (!parts_->Scaler) return kAviUnknownCodec;
  if (colour_.Yuv && colour_.Space == AVCOL_SPC_BT709) {
    const int* coeffs = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(parts_->Scaler.get(), coeffs, 1, coeffs, 0, 0, 1 << 16, 1 << 16);
  }
  return 0;
}

int TVideoEncoder::Send(const TABitmap& bitmap, int64_t pts) {
  AVFrame* frame = parts_->Frame.get();
  // A buffer of the pool for each picture: the encoder may still hold the one before.
  av_frame_unref(frame);
  frame->buf[0] = av_buffer_pool_get(parts_->Pool.get());
  if (!frame->buf[0]) return AVERROR(ENOMEM);
  int err = av_image_fill_arrays(frame->data, frame->linesize, frame->buf[0]->data, format_, width_, height_,
                                 kPictureAlign);
  if (err < 0) return err;
  frame->format = format_;
  frame->width = width_;
  frame->height = height_;
  if (colour_.Yuv) {
    frame->colorspace = colour_.Space;
    frame->color_range = colour_.Range;
    frame->color_primaries = colour_.Primaries;
    frame->color_trc = colour_.Transfer;
  }
  if (!parts_->Scaler) {
    const TYuvPlanes planes{frame->data[0], frame->data[1], frame->data[2],
                            frame->linesize[0], frame->linesize[1], frame->linesize[2]};
    ConvertToYuv420(bitmap.Bits(), bitmap.Stride(), bitmap.BitsPerPixel() / 8, width_, height_, planes,
                    colour_.Range == AVCOL_RANGE_JPEG ? TYuvMatrix::Bt601Full : TYuvMatrix::Bt709Studio);
  } else {
    // Top row first for the scaler: start at the highest row address and step backwards.
    const uint8_t* src[1] = {bitmap.ScanLine(0)};
    const int srcStride[1] = {-static_cast<int>(bitmap.Stride())};
    sws_scale(parts_->Scaler.get(), src, srcStride, 0, height_, frame->data, frame->linesize);
  }
  frame->pts = pts;
  frame->pict_type = AV_PICTURE_TYPE_NONE;
  // Constant-quantiser encoders read the quantiser from each frame.
  if (parts_->Encoder->flags & AV_CODEC_FLAG_QSCALE) frame->quality = parts_->Encoder->global_quality;
  return avcodec_send_frame(parts_->Encoder.get(), frame);
}

int TVideoEncoder::Flush() {
  return avcodec_send_frame(parts_->Encoder.get(), nullptr);
}

int TVideoEncoder::Receive(AVPacket* packet) {
  const int err = avcodec_receive_packet(parts_->Encoder.get(), packet);
  if (err < 0 || !mpeg4_ || !colour_.Yuv) return err;
  std::string tagged;
  if (!AddMpeg4SignalType(packet->data, static_cast<size_t>(packet->size), colour_, tagged)) return 0;
  // A new buffer with the longer header; time stamps and flags stay.
  AVBufferRef* buf = av_buffer_alloc(tagged.size() + AV_INPUT_BUFFER_PADDING_SIZE);
  if (!buf) {
    av_packet_unref(packet);
    return AVERROR(ENOMEM);
  }
  std::copy(tagged.begin(), tagged.end(), buf->data);
  std::fill(buf->data + tagged.size(), buf->data + buf->size, uint8_t{0});
  av_buffer_unref(&packet->buf);
  packet->buf = buf;
  packet->data = buf->data;
  packet->size = static_cast<int>(tagged.size());
  return 0;
}

int TVideoEncoder::FillParameters(AVCodecParameters* par) const {
  int err = avcodec_parameters_from_context(par, parts_->Encoder.get());
  if (err < 0) return err;
  std::string tagged;
  if (mpeg4_ && colour_.Yuv && par->extradata &&
      AddMpeg4SignalType(par->extradata, static_cast<size_t>(par->extradata_size), colour_, tagged)) {
    auto* data = static_cast<uint8_t*>(av_mallocz(tagged.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!data) return AVERROR(ENOMEM);
    std::copy(tagged.begin(), tagged.end(), data);
    av_freep(&par->extradata);
    par->extradata = data;
    par->extradata_size = static_cast<int>(tagged.size());
  }
  return 0;
}

bool AddMpeg4SignalType(const uint8_t* data, size_t size, const TVideoColour& colour, std::string& out) {
  out.clear();
  bool changed = false;
  size_t copied = 0;
  for (size_t i = 0; i + 6 <= size; ++i) {
    if (data[i] != 0 || data[i + 1] != 0 || data[i + 2] != 1 || data[i + 3] != 0xB5) continue;
    // visual_object_start_code, then: is_visual_object_identifier (1) [verid (4), priority (3)],
    // visual_object_type (4), video_signal_type (1) for a video object, then stuffing to the byte.
    const size_t at = i + 4;
    const size_t avail = std::min<size_t>(size - at, 3);
    uint32_t bits = 0;
    for (size_t k = 0; k < 3; ++k)
      bits = bits << 8 | (k < avail ? data[at + k] : 0);
    int pos = 24;
    auto take = [&](int n) {
      pos -= n;
      return (bits >> pos) & ((1u << n) - 1);
    };
    const uint32_t identified = take(1);
    const uint32_t identity = identified ? take(7) : 0;
    const uint32_t type = take(4);
    if (type != 1 || take(1) != 0) continue;  // not video, or tagged already
    const int used = 24 - pos;
    const int stuffing = (8 - used % 8) % 8 == 0 ? 8 : (8 - used % 8);
    if (static_cast<size_t>((used + stuffing) / 8) > avail) continue;
    // The stuffing is a 0 followed by 1s.
    if (take(stuffing) != (1u << (stuffing - 1)) - 1) continue;
    const size_t end = at + static_cast<size_t>((used + stuffing) / 8);
    out.append(reinterpret_cast<const char*>(data) + copied, at - copied);
    TBitWriter w;
    w.Put(identified, 1);
    if (identified) w.Put(identity, 7);
    w.Put(1, 4);  // video
    w.Put(1, 1);  // video_signal_type
    w.Put(5, 3);  // video_format: unspecified
    w.Put(colour.Range == AVCOL_RANGE_JPEG ? 1 : 0, 1);
    w.Put(1, 1);  // colour_description
    w.Put(static_cast<uint32_t>(colour.Primaries), 8);
    w.Put(static_cast<uint32_t>(colour.Transfer), 8);
    w.Put(static_cast<uint32_t>(colour.Space), 8);
    const int pad = 8 - w.Used();
    w.Put((1u << (pad - 1)) - 1, pad);
    out += w.Out();
    copied = end;
    i = end - 1;
    changed = true;
  }
  if (!changed) return false;
  out.append(reinterpret_cast<const char*>(data) + copied, size - copied);
  return true;
}

}  // namespace vexa::ffmpeg
