// TAVIReader on FFmpeg: libavformat finds the stream by content, libavcodec decodes it and
// libswscale converts each picture to bottom-up BGR in the target.
//
// Frame numbers. A picture's number is its timestamp in frames minus that of the first picture
// the decoder delivers, which is frame 0 by definition. This absorbs the decoder delay that
// AVI files with B-frames carry (they store decode-order timestamps only) as well as edit lists
// and start offsets of other containers. Pictures without a timestamp follow their predecessor.
//
// Random access seeks to the key frame at or before the wanted picture and decodes forward.
// After a seek, pictures are taken only from the first key frame on: pictures that the
// decoder puts out before it may refer to a part of the stream it never saw. When that key
// frame lies after the wanted picture (open GOPs, decode-order indexes), the reader seeks
// further back and tries again.
#include "media/avi_reader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/ffmpeg_owners.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

namespace vexa {
namespace {

using FormatCloser = ffmpeg::InputCloser;
using CodecFreer = ffmpeg::CodecFreer;
using PacketFreer = ffmpeg::PacketFreer;
using FrameFreer = ffmpeg::FrameFreer;
using SwsFreer = ffmpeg::SwsFreer;
using TFramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using TFormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;

// Pictures decoded forward rather than seeking when the wanted one lies at most this far ahead.
constexpr int64_t kForwardFrames = 24;
// Seeks further back before giving up on a wanted picture.
constexpr int kSeekAttempts = 6;
// Rows per band when a 4:2:0 picture is converted into 32 bits (even, so chroma rows align).
constexpr int kBandRows = 16;
// Damaged pictures skipped in a row before decoding is given up.
constexpr int kMaxBadPictures = 1000;

int OpenFormat(const std::string& fileName, TFormatPtr& out) {
  AVFormatContext* raw = nullptr;
  int r = avformat_open_input(&raw, fileName.c_str(), nullptr, nullptr);
  if (r < 0) return r;
  out.reset(raw);
  r = avformat_find_stream_info(raw, nullptr);
  return r < 0 ? r : 0;
}

int FindVideoStream(const AVFormatContext* f) {
  for (unsigned i = 0; i < f->nb_streams; ++i) {
    const AVStream* s = f->streams[i];
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && !(s->disposition & AV_DISPOSITION_ATTACHED_PIC))
      return static_cast<int>(i);
  }
  return -1;
}

// Containers that do not record the number of pictures (Matroska, raw streams): count the
// stream's packets on a demuxer of its own.
int64_t CountPackets(const std::string& fileName, int stream) {
  TFormatPtr f;
  if (OpenFormat(fileName, f) < 0) return 0;
  std::unique_ptr<AVPacket, PacketFreer> p(av_packet_alloc());
  if (!p) return 0;
  int64_t count = 0;
  while (av_read_frame(f.get(), p.get()) >= 0) {
    if (p->stream_index == stream) ++count;
    av_packet_unref(p.get());
  }
  return count;
}

bool IsKey(const AVFrame* f) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(58, 7, 100)
  return (f->flags & AV_FRAME_FLAG_KEY) != 0 || f->pict_type == AV_PICTURE_TYPE_I;
#else
  return f->key_frame != 0 || f->pict_type == AV_PICTURE_TYPE_I;
#endif
}

bool ValidRate(AVRational r) {
  return r.num > 0 && r.den > 0;
}

}  // namespace

struct TAVIReader::TState {
  TFormatPtr Format;
  std::unique_ptr<AVCodecContext, CodecFreer> Codec;
  std::unique_ptr<AVPacket, PacketFreer> Packet{av_packet_alloc()};
  TFramePtr Frame{av_frame_alloc()};  // the picture being received
  TFramePtr Held{av_frame_alloc()};   // picture number Cur
  TFramePtr Prev{av_frame_alloc()};   // picture number PrevIndex, shown until Cur
  std::unique_ptr<SwsContext, SwsFreer> Sws;
  std::unique_ptr<SwsContext, SwsFreer> BandSws, TailSws;  // see Deliver
  std::vector<uint8_t> Scratch;
  int Stream = -1;
  AVRational TimeBase{1, 1};
  AVRational Rate{1, 1};
  int64_t StartTs = 0;
  int64_t Offset = 0;  // timestamp in frames of picture 0
  int64_t Cur = -1;
  int64_t PrevIndex = -1;
  int64_t LastRaw = 0;
  bool HaveLastRaw = false;
  bool Draining = false;
  bool Eof = false;
  bool NeedKey = false;
  bool WantFirstTs = false;
  int64_t FirstTs = AV_NOPTS_VALUE;  // timestamp of the first packet read after a seek

  // A new decoder for the stream; < 0 on failure.
  int OpenDecoder() {
    const AVCodecParameters* par = Format->streams[Stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    if (!codec) return AVERROR_DECODER_NOT_FOUND;
    Codec.reset(avcodec_alloc_context3(codec));
    if (!Codec) return AVERROR(ENOMEM);
    if (int r = avcodec_parameters_to_context(Codec.get(), par); r < 0) return r;
    Codec->thread_count = 1;  // a reader decodes on the caller's thread only
    return avcodec_open2(Codec.get(), codec, nullptr);
  }

  // 1 with a picture in Frame, 0 at the end of the stream, < 0 on a hard error.
  int Next() {
    int bad = 0;
    for (;;) {
      int r = avcodec_receive_frame(Codec.get(), Frame.get());
      if (r == 0) return 1;
      if (r == AVERROR_EOF) {
        Eof = true;
        return 0;
      }
      if (r != AVERROR(EAGAIN)) {
        if (++bad > kMaxBadPictures) return r;
        continue;
      }
      if (Draining) return 0;
      r = av_read_frame(Format.get(), Packet.get());
      if (r < 0) {
        avcodec_send_packet(Codec.get(), nullptr);
        Draining = true;
        continue;
      }
      if (Packet->stream_index != Stream || Packet->size <= 0) {
        // Empty packets are dropped frames; handing one to the decoder would end the stream.
        av_packet_unref(Packet.get());
        continue;
      }
      if (WantFirstTs) {
        FirstTs = Packet->dts != AV_NOPTS_VALUE ? Packet->dts : Packet->pts;
        WantFirstTs = false;
      }
      r = avcodec_send_packet(Codec.get(), Packet.get());
      av_packet_unref(Packet.get());
      if (r < 0 && r != AVERROR(EAGAIN) && ++bad > kMaxBadPictures) return r;
    }
  }

  static bool HasTimestamp(const AVFrame* f) {
    return f->best_effort_timestamp != AV_NOPTS_VALUE || f->pts != AV_NOPTS_VALUE;
  }

  int64_t RawIndex(const AVFrame* f) const {
    int64_t ts = f->best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) ts = f->pts;
    if (ts == AV_NOPTS_VALUE) return HaveLastRaw ? LastRaw + 1 : Offset;
    return av_rescale_q_rnd(ts - StartTs, TimeBase, AVRational{Rate.den, Rate.num},
                            static_cast<AVRounding>(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
  }

  int64_t TsOf(int64_t index) const {
    return StartTs + av_rescale_q(index + Offset, AVRational{Rate.den, Rate.num}, TimeBase);
  }

  void Accept(int64_t index) {
    std::swap(Prev, Held);
    PrevIndex = Cur;
    av_frame_unref(Held.get());
    av_frame_move_ref(Held.get(), Frame.get());
    Cur = index;
  }

  void ResetPictures() {
    av_frame_unref(Held.get());
    av_frame_unref(Prev.get());
    Cur = PrevIndex = -1;
    HaveLastRaw = false;
  }
};

TAVIReader::TAVIReader(TABitmap* target) : target_(target) {}

TAVIReader::~TAVIReader() {
  Close();
}

int32_t TAVIReader::Close() {
  state_.reset();
  opened_ = false;
  return 0;
}

int32_t TAVIReader::Open(const std::string& fileName) {
  Close();
  fileName_ = fileName;
  seeks_ = decoded_ = 0;
  if (!target_) return 1;
  auto s = std::make_unique<TState>();
  if (!s->Packet || !s->Frame || !s->Held || !s->Prev) return 1;
  if (int r = OpenFormat(fileName, s->Format); r < 0) return r;
  s->Stream = FindVideoStream(s->Format.get());
  if (s->Stream < 0) return 1;
  AVStream* st = s->Format->streams[s->Stream];
  if (!avcodec_find_decoder(st->codecpar->codec_id)) return 1;
  if (int r = s->OpenDecoder(); r < 0) return r;

  const int64_t w = st->codecpar->width, h = st->codecpar->height;
  if (w < 1 || h < 1 || w > kMaxBitmapSide || h > kMaxBitmapSide || w * h > kMaxBitmapPixels) return 1;
  if (!ValidRate(st->time_base)) return 1;
  s->TimeBase = st->time_base;
  // AVI: rate / scale of the stream header, which is what the time base holds. Elsewhere the
  // container's average rate, else its base rate.
  const bool avi = std::strstr(s->Format->iformat->name, "avi") != nullptr;
  if (avi)
    s->Rate = AVRational{st->time_base.den, st->time_base.num};
  else if (ValidRate(st->avg_frame_rate))
    s->Rate = st->avg_frame_rate;
  else if (ValidRate(st->r_frame_rate))
    s->Rate = st->r_frame_rate;
  else
    s->Rate = AVRational{st->time_base.den, st->time_base.num};
  s->StartTs = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;

  int64_t count = st->nb_frames;
  if (count <= 0) count = CountPackets(fileName, s->Stream);
  if (count <= 0 || count > UINT32_MAX) return 1;

  // Picture 0 fixes the numbering.
  const int r = s->Next();
  if (r <= 0) return r < 0 ? r : 1;
  ++decoded_;
  s->Offset = 0;
  s->Offset = s->RawIndex(s->Frame.get());
  s->LastRaw = s->Offset;
  s->HaveLastRaw = true;
  s->Accept(0);

  target_->Clear();
  target_->SetSize(static_cast<int32_t>(w), static_cast<int32_t>(h));
  target_->Convert24Bit();
  width_ = static_cast<int32_t>(w);
  height_ = static_cast<int32_t>(h);
  frameRate_ = av_q2d(s->Rate);
  firstFrame_ = 0;
  lastFrame_ = static_cast<uint32_t>(count - 1);
  state_ = std::move(s);
  opened_ = true;
  return 0;
}

// Decodes forward to picture n. Results: 1 delivered, 0 stream ended first, -1 the first key
// frame after a seek lies beyond n.
int TAVIReader::DecodeStep(int64_t n) {
  TState& s = *state_;
  for (;;) {
    if (s.Next() <= 0) return 0;
    ++decoded_;
    const bool known = s.HasTimestamp(s.Frame.get()) || s.HaveLastRaw;
    const int64_t raw = s.RawIndex(s.Frame.get());
    s.LastRaw = raw;
    s.HaveLastRaw = true;
    const int64_t index = raw - s.Offset;
    if (s.NeedKey) {
      if (!IsKey(s.Frame.get())) continue;
      // A key frame without a timestamp has no known number here: start from an earlier one.
      if (!known) return -1;
      s.NeedKey = false;
      if (index > n) return -1;
    }
    s.Accept(index);
    if (index == n) return Deliver(false) ? 1 : 0;
    // A missing number (dropped frame, variable rate) shows the picture before it.
    if (index > n) return Deliver(s.PrevIndex >= 0 && s.PrevIndex < n) ? 1 : 0;
  }
}

bool TAVIReader::Seek(int64_t ts, bool toStart) {
  TState& s = *state_;
  ++seeks_;
  int r;
  if (toStart) {
    r = av_seek_frame(s.Format.get(), s.Stream, s.StartTs, AVSEEK_FLAG_BACKWARD);
    if (r < 0) r = avformat_seek_file(s.Format.get(), s.Stream, INT64_MIN, s.StartTs, s.StartTs, 0);
  } else {
    r = av_seek_frame(s.Format.get(), s.Stream, ts, AVSEEK_FLAG_BACKWARD);
  }
  if (r < 0) return false;
  // A fresh decoder rather than a flushed one: some decoders keep state across a flush (the
  // MPEG-4 time base that B-frame prediction scales by), which would make a picture depend on
  // what was decoded before the seek.
  if (s.OpenDecoder() < 0) return false;
  s.Draining = s.Eof = false;
  s.ResetPictures();
  s.NeedKey = !toStart;
  s.WantFirstTs = true;
  s.FirstTs = AV_NOPTS_VALUE;
  if (toStart) {
    // From the start the numbering is known without a key frame.
    s.LastRaw = s.Offset - 1;
    s.HaveLastRaw = true;
  }
  return true;
}

bool TAVIReader::ReadFrame(uint32_t frame) {
  if (!opened_ || !state_ || frame > lastFrame_ || !target_ || !HasArea(*target_)) return false;
  TState& s = *state_;
  const int64_t n = frame;
  if (n == s.Cur) return Deliver(false);
  if (s.PrevIndex >= 0 && s.PrevIndex <= n && n < s.Cur) return Deliver(true);

  if (s.Cur >= 0 && n > s.Cur && !s.Eof) {
    bool forward = n - s.Cur <= kForwardFrames;
    if (!forward) {
      // Seeking helps only when a key frame lies between the current picture and n.
      const AVIndexEntry* key = avformat_index_get_entry_from_timestamp(s.Format->streams[s.Stream],
                                                                        s.TsOf(n), AVSEEK_FLAG_BACKWARD);
      forward = key && key->timestamp <= s.TsOf(s.Cur);
    }
    if (forward) {
      const int r = DecodeStep(n);
      if (r == 1) return true;
    }
  }

  int64_t ts = s.TsOf(n);
  bool toStart = n == 0;
  for (int attempt = 0; attempt < kSeekAttempts; ++attempt) {
    if (!Seek(ts, toStart)) {
      if (toStart) return false;
      toStart = true;
      continue;
    }
    const int r = DecodeStep(n);
    if (r == 1) return true;
    if (r == 0 || toStart) return false;
    // The key frame found shows after n: go back past it.
    const int64_t before = s.FirstTs != AV_NOPTS_VALUE ? std::min(s.FirstTs, ts) - 1 : ts - 1;
    ts = before;
    if (ts <= s.StartTs || attempt == kSeekAttempts - 2) toStart = true;
  }
  return false;
}

bool TAVIReader::Deliver(bool prev) {
  TState& s = *state_;
  const AVFrame* f = prev ? s.Prev.get() : s.Held.get();
  if (!f || f->width < 1 || f->height < 1 || !target_ || !HasArea(*target_)) return false;
  TABitmap& t = *target_;
  const bool bits24 = t.BitsPerPixel() == 24;
  const AVPixelFormat dstFormat = bits24 ? AV_PIX_FMT_BGR24 : AV_PIX_FMT_BGRA;
  s.Sws.reset(sws_getCachedContext(s.Sws.release(), f->width, f->height,
                                   static_cast<AVPixelFormat>(f->format), f->width, f->height, dstFormat,
                                   SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!s.Sws) return false;
  const int bpp = bits24 ? 3 : 4;
  const int w = std::min(f->width, t.Width()), h = std::min(f->height, t.Height());
  auto clearAlpha = [&](int y0, int rows) {
    // Opaque: alpha 0 (the conversion writes 255).
    for (int y = y0; y < y0 + rows; ++y) {
      uint32_t* p = reinterpret_cast<uint32_t*>(t.ScanLine(y));
      for (int x = 0; x < w; ++x)
        p[x] &= 0x00FFFFFFu;
    }
  };
  if (f->width == t.Width() && f->height == t.Height()) {
    // Straight into the picture, top row first with a negative stride: bottom-up as stored.
    uint8_t* dst[4] = {t.ScanLine(0), nullptr, nullptr, nullptr};
    int dstStride[4] = {-static_cast<int>(t.Stride()), 0, 0, 0};
    // 4:2:0 pictures (the usual case) into 32 bits go in bands of rows, each converted as a
    // picture of its own and made opaque while it is still in the cache.
    if (!bits24 && f->format == AV_PIX_FMT_YUV420P && f->height > kBandRows) {
      for (int y0 = 0; y0 < f->height; y0 += kBandRows) {
        const int rows = std::min(kBandRows, f->height - y0);
        auto& ctx = rows == kBandRows ? s.BandSws : s.TailSws;
        ctx.reset(sws_getCachedContext(ctx.release(), f->width, rows, AV_PIX_FMT_YUV420P, f->width, rows,
                                       dstFormat, SWS_BILINEAR, nullptr, nullptr, nullptr));
        if (!ctx) return false;
        const uint8_t* src[4] = {f->data[0] + static_cast<ptrdiff_t>(y0) * f->linesize[0],
                                 f->data[1] + static_cast<ptrdiff_t>(y0 / 2) * f->linesize[1],
                                 f->data[2] + static_cast<ptrdiff_t>(y0 / 2) * f->linesize[2], nullptr};
        uint8_t* band[4] = {t.ScanLine(y0), nullptr, nullptr, nullptr};
        if (sws_scale(ctx.get(), src, f->linesize, 0, rows, band, dstStride) != rows) return false;
        clearAlpha(y0, rows);
      }
      return true;
    }
    if (sws_scale(s.Sws.get(), f->data, f->linesize, 0, f->height, dst, dstStride) != f->height) return false;
    if (!bits24) clearAlpha(0, h);
  } else {
    // A target of another size gets the picture's top-left part, as far as it reaches.
    const size_t stride = static_cast<size_t>(f->width) * bpp;
    s.Scratch.resize(stride * static_cast<size_t>(f->height));
    uint8_t* dst[4] = {s.Scratch.data(), nullptr, nullptr, nullptr};
    int dstStride[4] = {static_cast<int>(stride), 0, 0, 0};
    if (sws_scale(s.Sws.get(), f->data, f->linesize, 0, f->height, dst, dstStride) != f->height) return false;
    for (int y = 0; y < h; ++y)
      std::memcpy(t.ScanLine(y), s.Scratch.data() + stride * static_cast<size_t>(y),
                  static_cast<size_t>(w) * bpp);
    if (!bits24) clearAlpha(0, h);
  }
  return true;
}

}  // namespace vexa
