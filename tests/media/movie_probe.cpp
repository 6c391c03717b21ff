#include "movie_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace vexa::test {

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The top-level boxes of an ISO file in order: true when moov comes before mdat.
bool MoovFirst(const std::vector<uint8_t>& b) {
  size_t at = 0;
  while (at + 8 <= b.size()) {
    uint64_t size = (uint64_t{b[at]} << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
    if (std::memcmp(&b[at + 4], "moov", 4) == 0) return true;
    if (std::memcmp(&b[at + 4], "mdat", 4) == 0) return false;
    if (size == 1 && at + 16 <= b.size()) {
      size = 0;
      for (int k = 0; k < 8; ++k)
        size = size << 8 | b[at + 8 + k];
    }
    if (size < 8) return false;
    at += size;
  }
  return false;
}

// A frame as bottom-up BGR rows padded to 4 bytes.
std::vector<uint8_t> ToRows(const AVFrame* f) {
  const int w = f->width, h = f->height;
  const int stride = (w * 3 + 3) & ~3;
  std::vector<uint8_t> rows(static_cast<size_t>(stride) * h);
  SwsContext* sws = sws_getContext(w, h, static_cast<AVPixelFormat>(f->format), w, h, AV_PIX_FMT_BGR24,
                                   SWS_POINT, nullptr, nullptr, nullptr);
  if (!sws) return {};
  uint8_t* dst[1] = {rows.data() + static_cast<size_t>(stride) * (h - 1)};
  const int dstStride[1] = {-stride};
  sws_scale(sws, f->data, f->linesize, 0, h, dst, dstStride);
  sws_freeContext(sws);
  return rows;
}

}  // namespace

TMovieProbe ProbeMovie(const std::string& path, bool keepPictures) {
  TMovieProbe p;
  p.IndexBeforeData = MoovFirst(ReadAll(path));
  AVFormatContext* fc = nullptr;
  if (avformat_open_input(&fc, path.c_str(), nullptr, nullptr) < 0) return p;
  std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> owner(
      fc, [](AVFormatContext* c) { avformat_close_input(&c); });
  if (avformat_find_stream_info(fc, nullptr) < 0) return p;
  p.Opened = true;
  p.Format = fc->iformat->name;
  std::vector<AVCodecContext*> decoders;
  for (unsigned i = 0; i < fc->nb_streams; ++i) {
    const AVCodecParameters* par = fc->streams[i]->codecpar;
    TMovieStream s;
    s.Video = par->codec_type == AVMEDIA_TYPE_VIDEO;
    s.Width = par->width;
    s.Height = par->height;
    s.SampleRate = par->sample_rate;
    s.Channels = par->ch_layout.nb_channels;
    s.ColorSpace = par->color_space;
    s.ColorRange = par->color_range;
    s.ColorPrimaries = par->color_primaries;
    s.ColorTransfer = par->color_trc;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    AVCodecContext* dec = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (dec && (avcodec_parameters_to_context(dec, par) < 0 || avcodec_open2(dec, codec, nullptr) < 0))
      avcodec_free_context(&dec);
    s.Codec = codec ? codec->name : "";
    decoders.push_back(dec);
    p.Streams.push_back(s);
  }
  AVPacket* pkt = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](unsigned index) {
    AVCodecContext* dec = decoders[index];
    TMovieStream& s = p.Streams[index];
    while (avcodec_receive_frame(dec, frame) >= 0) {
      if (s.Video) {
        ++s.Frames;
        if (keepPictures) p.Pictures.push_back(ToRows(frame));
      } else {
        s.Samples += frame->nb_samples;
      }
      av_frame_unref(frame);
    }
  };
  while (av_read_frame(fc, pkt) >= 0) {
    const unsigned index = static_cast<unsigned>(pkt->stream_index);
    if (index < decoders.size() && pkt->pts != AV_NOPTS_VALUE) {
      const double end = static_cast<double>(pkt->pts + pkt->duration) * av_q2d(fc->streams[index]->time_base);
      p.Streams[index].End = std::max(p.Streams[index].End, end);
    }
    if (index < decoders.size() && decoders[index]) {
      if (p.Streams[index].Video) p.Streams[index].KeyFrames.push_back((pkt->flags & AV_PKT_FLAG_KEY) != 0);
      if (avcodec_send_packet(decoders[index], pkt) >= 0) drain(index);
    }
    av_packet_unref(pkt);
  }
  for (unsigned i = 0; i < decoders.size(); ++i) {
    if (!decoders[i]) continue;
    avcodec_send_packet(decoders[i], nullptr);
    drain(i);
    TMovieStream& s = p.Streams[i];
    const AVRational rate = fc->streams[i]->avg_frame_rate;
    if (s.Video && rate.num > 0) s.Seconds = static_cast<double>(s.Frames) * rate.den / rate.num;
    if (!s.Video && s.SampleRate > 0) s.Seconds = static_cast<double>(s.Samples) / s.SampleRate;
    // Tags that only the bit stream carries show after decoding.
    if (s.ColorSpace == AVCOL_SPC_UNSPECIFIED) s.ColorSpace = decoders[i]->colorspace;
    if (s.ColorRange == AVCOL_RANGE_UNSPECIFIED) s.ColorRange = decoders[i]->color_range;
    avcodec_free_context(&decoders[i]);
  }
  av_frame_free(&frame);
  av_packet_free(&pkt);
  return p;
}

std::vector<uint8_t> DecodePng(const std::string& path, int& width, int& height) {
  width = height = 0;
  AVFormatContext* fc = nullptr;
  if (avformat_open_input(&fc, path.c_str(), nullptr, nullptr) < 0) return {};
  std::vector<uint8_t> rows;
  AVPacket* pkt = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  const AVCodecParameters* par = fc->streams[0]->codecpar;
  const AVCodec* codec = avcodec_find_decoder(par->codec_id);
  AVCodecContext* dec = avcodec_alloc_context3(codec);
  if (avcodec_parameters_to_context(dec, par) >= 0 && avcodec_open2(dec, codec, nullptr) >= 0 &&
      av_read_frame(fc, pkt) >= 0 && avcodec_send_packet(dec, pkt) >= 0 && avcodec_receive_frame(dec, frame) >= 0) {
    width = frame->width;
    height = frame->height;
    rows = ToRows(frame);
  }
  avcodec_free_context(&dec);
  av_frame_free(&frame);
  av_packet_free(&pkt);
  avformat_close_input(&fc);
  return rows;
}

}  // namespace vexa::test
