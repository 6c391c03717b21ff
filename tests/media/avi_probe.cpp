#include "avi_probe.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cstring>
#include <fstream>
#include <iterator>

namespace vexa::test {

namespace {

uint32_t Get32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Finds chunk id at or after from (a plain search is enough for files we wrote).
size_t Find(const std::vector<uint8_t>& b, const char* id, size_t from = 0) {
  for (size_t i = from; i + 8 <= b.size(); ++i)
    if (std::memcmp(b.data() + i, id, 4) == 0) return i;
  return std::string::npos;
}

}  // namespace

TAviProbe ProbeAvi(const std::string& path) {
  TAviProbe p;
  const std::vector<uint8_t> bytes = ReadAll(path);
  size_t strh = Find(bytes, "strh");
  if (strh != std::string::npos && strh + 8 + 48 <= bytes.size()) {
    const uint8_t* h = bytes.data() + strh + 8;
    p.StrhHandler = Get32(h + 4);
    p.Scale = Get32(h + 20);
    p.Rate = Get32(h + 24);
    p.HeaderLength = Get32(h + 32);
    p.StrhQuality = Get32(h + 40);
  }
  size_t strf = Find(bytes, "strf");
  if (strf != std::string::npos && strf + 8 + 40 <= bytes.size()) {
    const uint8_t* f = bytes.data() + strf + 8;
    p.BiWidth = static_cast<int32_t>(Get32(f + 4));
    p.BiHeight = static_cast<int32_t>(Get32(f + 8));
    p.BiBitCount = static_cast<uint16_t>(f[14] | (f[15] << 8));
    p.BiCompression = Get32(f + 16);
    p.BiSizeImage = Get32(f + 20);
  }

  AVFormatContext* fc = nullptr;
  if (avformat_open_input(&fc, path.c_str(), nullptr, nullptr) < 0) return p;
  if (avformat_find_stream_info(fc, nullptr) >= 0) {
    p.Opened = true;
    for (unsigned i = 0; i < fc->nb_streams; ++i) {
      const AVCodecParameters* par = fc->streams[i]->codecpar;
      if (par->codec_type == AVMEDIA_TYPE_VIDEO) {
        ++p.VideoStreams;
        p.Width = par->width;
        p.Height = par->height;
        p.CodecName = avcodec_get_name(par->codec_id);
        p.CodecTag = par->codec_tag;
        if (const AVDictionaryEntry* t = av_dict_get(fc->streams[i]->metadata, "title", nullptr, 0))
          p.Title = t->value;
      } else if (par->codec_type == AVMEDIA_TYPE_AUDIO) {
        ++p.AudioStreams;
      }
    }
    AVPacket* pkt = av_packet_alloc();
    while (av_read_frame(fc, pkt) >= 0) {
      p.KeyFrames.push_back(pkt->flags & AV_PKT_FLAG_KEY);
      p.Packets.emplace_back(pkt->data, pkt->data + pkt->size);
      av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
  }
  avformat_close_input(&fc);
  return p;
}

std::vector<std::vector<uint8_t>> DecodeAviFrames(const std::string& path) {
  std::vector<std::vector<uint8_t>> frames;
  AVFormatContext* fc = nullptr;
  if (avformat_open_input(&fc, path.c_str(), nullptr, nullptr) < 0) return frames;
  const int si = avformat_find_stream_info(fc, nullptr) >= 0
                     ? av_find_best_stream(fc, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                     : -1;
  AVCodecContext* dec = nullptr;
  if (si >= 0) {
    const AVCodec* codec = avcodec_find_decoder(fc->streams[si]->codecpar->codec_id);
    dec = codec ? avcodec_alloc_context3(codec) : nullptr;
    if (dec && (avcodec_parameters_to_context(dec, fc->streams[si]->codecpar) < 0 ||
                avcodec_open2(dec, codec, nullptr) < 0))
      avcodec_free_context(&dec);
  }
  if (dec) {
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const int w = dec->width, h = dec->height;
    const int stride = (w * 3 + 3) & ~3;
    auto take = [&]() {
      while (avcodec_receive_frame(dec, frame) >= 0) {
        // The scaler may store whole registers past a row's end: give it room, then trim.
        std::vector<uint8_t> out(static_cast<size_t>(stride) * h + 64, 0);
        SwsContext* sws =
            sws_getContext(w, h, static_cast<AVPixelFormat>(frame->format), w, h, AV_PIX_FMT_BGR24,
                           SWS_POINT | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
        // Bottom-up: the top row goes to the last row of the block.
        uint8_t* dst[1] = {out.data() + static_cast<size_t>(h - 1) * stride};
        const int dstStride[1] = {-stride};
        sws_scale(sws, frame->data, frame->linesize, 0, h, dst, dstStride);
        sws_freeContext(sws);
        out.resize(static_cast<size_t>(stride) * h);
        frames.push_back(std::move(out));
      }
    };
    while (av_read_frame(fc, pkt) >= 0) {
      if (pkt->stream_index == si && avcodec_send_packet(dec, pkt) >= 0) take();
      av_packet_unref(pkt);
    }
    avcodec_send_packet(dec, nullptr);
    take();
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&dec);
  }
  avformat_close_input(&fc);
  return frames;
}

}  // namespace vexa::test
