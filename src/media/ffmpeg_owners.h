// Owners of FFmpeg objects, for the .cpp files of this folder that wrap FFmpeg. Not part of any
// public header: FFmpeg's types stay out of the media interfaces.
#pragma once

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace vexa::ffmpeg {

struct InputCloser {  // a demuxer opened with avformat_open_input
  void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFreer {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct SwrFreer {
  void operator()(SwrContext* c) const { swr_free(&c); }
};
struct SwsFreer {
  void operator()(SwsContext* c) const { sws_freeContext(c); }
};
struct BufferPoolFreer {
  void operator()(AVBufferPool* p) const { av_buffer_pool_uninit(&p); }
};
struct DictFreer {
  void operator()(AVDictionary* d) const { av_dict_free(&d); }
};

}  // namespace vexa::ffmpeg
