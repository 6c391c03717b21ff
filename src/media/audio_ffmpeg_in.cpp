#include "media/audio_ffmpeg_in.h"

#include <algorithm>
#include <string>
#include <vector>

#include "media/ffmpeg_owners.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/intreadwrite.h>
#include <libswresample/swresample.h>
}

namespace vexa {

namespace {

using FormatCloser = ffmpeg::InputCloser;
using CodecFreer = ffmpeg::CodecFreer;
using SwrFreer = ffmpeg::SwrFreer;
using PacketFreer = ffmpeg::PacketFreer;
using FrameFreer = ffmpeg::FrameFreer;
using DictFreer = ffmpeg::DictFreer;

// A channel layout that owns what it points to.
struct TLayout {
  AVChannelLayout L{};
  TLayout() = default;
  TLayout(const TLayout&) = delete;
  TLayout& operator=(const TLayout&) = delete;
  ~TLayout() { av_channel_layout_uninit(&L); }
};

std::string AvError(int err) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(err, text, sizeof text);
  return text;
}

// Packets decoded before the one holding a wanted frame when the codec carries state from
// packet to packet (bit reservoir, overlapping transforms). Ten MP3 frames cover the largest
// reservoir at the lowest bit rates.
constexpr size_t kPrerollPackets = 10;
// Decoding a whole stream into memory stops here rather than exhausting the machine.
constexpr size_t kMaxMemoryBytes = size_t{1} << 31;

struct TPacketEntry {
  int64_t Pts;
  int64_t Start;  // first delivered frame of the packet
};

}  // namespace

struct TFFmpegIn::TState {
  std::unique_ptr<AVFormatContext, FormatCloser> Fmt;
  std::unique_ptr<AVCodecContext, CodecFreer> Codec;
  std::unique_ptr<SwrContext, SwrFreer> Swr;
  std::unique_ptr<AVPacket, PacketFreer> Pkt;
  std::unique_ptr<AVFrame, FrameFreer> Frame;
  int Stream = -1;
  bool Draining = false;
  bool Fresh = true;     // nothing read since opening
  bool Damaged = false;  // a packet was refused as damaged
  int SwrFormat = -1;
  int SwrRate = 0;
  TLayout SwrLayout;
  AVSampleFormat OutFormat = AV_SAMPLE_FMT_S16;
  int OutChannels = 2;
  int OutRate = 44100;
  std::vector<uint8_t> Out;

  std::vector<TPacketEntry> Index;
  size_t Preroll = 0;
  bool Memory = false;
  std::vector<uint8_t> Pcm;
  int64_t Next = 0;

  void Close() {
    Swr.reset();
    Codec.reset();
    Fmt.reset();
    Pkt.reset();
    Frame.reset();
    Stream = -1;
    SwrFormat = -1;
  }

  std::string Open(const std::string& file) {
    Close();
    AVFormatContext* fmt = nullptr;
    AVDictionary* rawOpts = nullptr;
    av_dict_set(&rawOpts, "protocol_whitelist", "file", 0);
    std::unique_ptr<AVDictionary, DictFreer> opts(rawOpts);
    // The "file:" prefix keeps a name that looks like a URL a plain local file.
    int r = avformat_open_input(&fmt, ("file:" + file).c_str(), nullptr, &rawOpts);
    opts.release();
    opts.reset(rawOpts);
    if (r < 0) return "cannot open: " + AvError(r);
    Fmt.reset(fmt);
    if ((r = avformat_find_stream_info(fmt, nullptr)) < 0)
      return "cannot read stream information: " + AvError(r);
    const AVCodec* codec = nullptr;
    Stream = av_find_best_stream(fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (Stream < 0 || !codec)
      return Stream == AVERROR_DECODER_NOT_FOUND ? "no decoder for the audio" : "no audio stream";
    for (unsigned i = 0; i < fmt->nb_streams; ++i)
      if (static_cast<int>(i) != Stream) fmt->streams[i]->discard = AVDISCARD_ALL;
    AVStream* st = fmt->streams[Stream];
    Codec.reset(avcodec_alloc_context3(codec));
    if (!Codec) return "out of memory";
    if ((r = avcodec_parameters_to_context(Codec.get(), st->codecpar)) < 0) return AvError(r);
    Codec->pkt_timebase = st->time_base;
    Codec->thread_count = 1;
    if ((r = avcodec_open2(Codec.get(), codec, nullptr)) < 0) return "cannot open the decoder: " + AvError(r);
    Pkt.reset(av_packet_alloc());
    Frame.reset(av_frame_alloc());
    if (!Pkt || !Frame) return "out of memory";
    Draining = false;
    Fresh = true;
    return {};
  }

  // Next packet of our stream into Pkt; negative at the end of the file or on error.
  int Read() {
    Fresh = false;
    for (;;) {
      int r = av_read_frame(Fmt.get(), Pkt.get());
      if (r < 0) return r;
      if (Pkt->stream_index == Stream) return 0;
      av_packet_unref(Pkt.get());
    }
  }

  bool SetUpSwr(const AVFrame* f) {
    Swr.reset();
    av_channel_layout_uninit(&SwrLayout.L);
    if (av_channel_layout_copy(&SwrLayout.L, &f->ch_layout) < 0) return false;
    TLayout in;
    if (f->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
      av_channel_layout_default(&in.L, f->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in.L, &f->ch_layout) < 0)
      return false;
    TLayout out;
    av_channel_layout_default(&out.L, OutChannels);
    SwrContext* swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &out.L, OutFormat, OutRate, &in.L, static_cast<AVSampleFormat>(f->format),
                            f->sample_rate, 0, nullptr) < 0)
      return false;
    Swr.reset(swr);
    if (swr_init(swr) < 0) {
      Swr.reset();
      return false;
    }
    SwrFormat = f->format;
    SwrRate = f->sample_rate;
    return true;
  }

  // Converts the decoded frame into Out; returns the frames converted.
  size_t Convert(const AVFrame* f, size_t frameBytes) {
    if (f->nb_samples <= 0 || f->ch_layout.nb_channels <= 0) return 0;
    if (!Swr || f->format != SwrFormat || f->sample_rate != SwrRate ||
        av_channel_layout_compare(&f->ch_layout, &SwrLayout.L) != 0) {
      if (!SetUpSwr(f)) return 0;
    }
    int cap = swr_get_out_samples(Swr.get(), f->nb_samples);
    if (cap <= 0) return 0;
    if (Out.size() < static_cast<size_t>(cap) * frameBytes) Out.resize(static_cast<size_t>(cap) * frameBytes);
    uint8_t* out = Out.data();
    int n = swr_convert(Swr.get(), &out, cap, const_cast<const uint8_t**>(f->extended_data), f->nb_samples);
    return n > 0 ? static_cast<size_t>(n) : 0;
  }

  // Decodes until some frames are in Out; 0 at the end of the stream.
  size_t DecodeNext(size_t frameBytes) {
    if (!Codec) return 0;
    for (;;) {
      int r = avcodec_receive_frame(Codec.get(), Frame.get());
      if (r == 0) {
        size_t n = Convert(Frame.get(), frameBytes);
        av_frame_unref(Frame.get());
        if (n) return n;
        continue;
      }
      if (r != AVERROR(EAGAIN) || Draining) return 0;
      if (Read() < 0) {
        Draining = true;
        avcodec_send_packet(Codec.get(), nullptr);
        continue;
      }
      // A damaged packet is dropped; decoding goes on with the next one.
      if (avcodec_send_packet(Codec.get(), Pkt.get()) == AVERROR_INVALIDDATA) Damaged = true;
      av_packet_unref(Pkt.get());
    }
  }

  // One pass over the packets: where each packet's frames start once the decoder has dropped
  // encoder delay and padding. False when some packet's length is not exact in frames.
  bool BuildIndex(int rate) {
    const AVRational tb = Fmt->streams[Stream]->time_base;
    int64_t start = 0, pendingSkip = 0;
    Index.clear();
    while (Read() >= 0) {
      const int64_t dur = Pkt->duration, pts = Pkt->pts;
      int64_t skipStart = 0, skipEnd = 0;
      size_t sideSize = 0;
      if (const uint8_t* side = av_packet_get_side_data(Pkt.get(), AV_PKT_DATA_SKIP_SAMPLES, &sideSize);
          side && sideSize >= 8) {
        skipStart = AV_RL32(side);
        skipEnd = AV_RL32(side + 4);
      }
      av_packet_unref(Pkt.get());
      if (dur <= 0 || pts == AV_NOPTS_VALUE || tb.den <= 0 || tb.num <= 0) return false;
      if (!Index.empty() && pts <= Index.back().Pts) return false;
      const __int128 scaled = static_cast<__int128>(dur) * tb.num * rate;
      if (scaled % tb.den != 0) return false;
      const int64_t frames = static_cast<int64_t>(scaled / tb.den);
      // Mirrors how the decoder applies the skip side data.
      pendingSkip += skipStart;
      int64_t keep = frames - std::min(frames, pendingSkip);
      pendingSkip -= frames - keep;
      if (skipEnd > 0 && skipEnd <= keep) keep -= skipEnd;
      Index.push_back({pts, start});
      start += keep;
    }
    Index.push_back({INT64_MAX, start});  // end marker
    return true;
  }
};

TFFmpegIn::TFFmpegIn() : St(std::make_unique<TState>()) {}
TFFmpegIn::~TFFmpegIn() = default;

bool TFFmpegIn::Probe() {
  TState& s = *St;
  s.Close();
  s.Index.clear();
  s.Pcm.clear();
  s.Memory = false;
  std::string why = s.Open(FileName());
  if (!why.empty()) {
    SetError(FileName() + ": " + why);
    s.Close();
    return false;
  }
  const AVCodecParameters* par = s.Fmt->streams[s.Stream]->codecpar;
  const AVCodecDescriptor* desc = avcodec_descriptor_get(par->codec_id);
  const bool lossless = desc && (desc->props & AV_CODEC_PROP_LOSSLESS);
  const int depth = std::max(par->bits_per_raw_sample, par->bits_per_coded_sample);
  s.OutFormat = lossless && depth > 16 ? AV_SAMPLE_FMT_S32 : AV_SAMPLE_FMT_S16;
  s.OutChannels = par->ch_layout.nb_channels == 1 ? 1 : 2;
  s.OutRate = par->sample_rate;
  if (s.OutRate <= 0) {
    SetError(FileName() + ": no sample rate");
    s.Close();
    return false;
  }
  Bits = s.OutFormat == AV_SAMPLE_FMT_S32 ? 32 : 16;
  Chans = static_cast<uint32_t>(s.OutChannels);
  Rate = static_cast<uint32_t>(s.OutRate);
  // Lossless packets decode on their own; lossy ones (even those FFmpeg calls intra-only, such
  // as MP3 with its bit reservoir) need the packets before them.
  s.Preroll = lossless ? 0 : kPrerollPackets;
  if (s.BuildIndex(s.OutRate)) {
    Total = s.Index.back().Start;
    s.Close();
    return true;
  }
  // Packet lengths are not exact in this container: decode everything now.
  s.Index.clear();
  s.Memory = true;
  if (!(why = s.Open(FileName())).empty()) {
    SetError(FileName() + ": " + why);
    s.Close();
    return false;
  }
  const size_t frameBytes = BytesPerFrame();
  if (s.Fmt->duration > 0) {
    // Room for the stated length and a little more, so the block is not copied while it grows.
    const double estimate =
        static_cast<double>(s.Fmt->duration) / AV_TIME_BASE * s.OutRate * frameBytes * 1.02;
    if (estimate < static_cast<double>(kMaxMemoryBytes)) s.Pcm.reserve(static_cast<size_t>(estimate));
  }
  s.Damaged = false;
  while (size_t n = s.DecodeNext(frameBytes)) {
    if (s.Pcm.size() + n * frameBytes > kMaxMemoryBytes) {
      SetError(FileName() + ": too long to decode");
      s.Close();
      s.Pcm.clear();
      return false;
    }
    s.Pcm.insert(s.Pcm.end(), s.Out.begin(), s.Out.begin() + static_cast<ptrdiff_t>(n * frameBytes));
  }
  if (s.Damaged) SetWarning(FileName() + ": damaged data skipped");
  s.Close();
  if (s.Pcm.capacity() > s.Pcm.size() + s.Pcm.size() / 8) s.Pcm.shrink_to_fit();
  Total = static_cast<int64_t>(s.Pcm.size() / frameBytes);
  return true;
}

bool TFFmpegIn::OpenSource() {
  TState& s = *St;
  s.Next = 0;
  if (s.Memory) return true;
  if (std::string why = s.Open(FileName()); !why.empty()) {
    SetError(FileName() + ": " + why);
    s.Close();
    return false;
  }
  return true;
}

void TFFmpegIn::CloseSource() {
  St->Close();
}

int64_t TFFmpegIn::SeekSource(int64_t frame) {
  TState& s = *St;
  if (s.Memory) {
    s.Next = frame;
    return frame;
  }
  if (s.Index.size() < 2) return 0;
  // The packet holding the frame, then back by the preroll.
  auto holder = std::upper_bound(s.Index.begin(), s.Index.end() - 1, frame,
                                 [](int64_t f, const TPacketEntry& e) { return f < e.Start; });
  size_t i = static_cast<size_t>(std::max<ptrdiff_t>(0, holder - s.Index.begin() - 1));
  i = i > s.Preroll ? i - s.Preroll : 0;
  if (i == 0) {
    // From the top the file is simply read again, so the start skip is applied as before.
    if (!s.Fresh && !OpenSource()) return -1;
    return 0;
  }
  const int64_t pts = s.Index[i].Pts;
  bool landed = av_seek_frame(s.Fmt.get(), s.Stream, pts, AVSEEK_FLAG_BACKWARD) >= 0;
  avcodec_flush_buffers(s.Codec.get());
  s.Draining = false;
  while (landed) {
    if (s.Read() < 0) {
      landed = false;
      break;
    }
    if (s.Pkt->pts == pts) break;
    const bool before = s.Pkt->pts != AV_NOPTS_VALUE && s.Pkt->pts < pts;
    av_packet_unref(s.Pkt.get());
    if (!before) landed = false;
  }
  if (!landed) {
    // The container could not bring us to that packet: read from the top instead.
    if (!OpenSource()) return -1;
    return 0;
  }
  avcodec_send_packet(s.Codec.get(), s.Pkt.get());
  av_packet_unref(s.Pkt.get());
  return s.Index[i].Start;
}

size_t TFFmpegIn::DecodeBlock(const uint8_t*& data) {
  TState& s = *St;
  const size_t frameBytes = BytesPerFrame();
  if (s.Memory) {
    constexpr int64_t kBlock = 16384;
    const int64_t n = std::min<int64_t>(kBlock, Total - s.Next);
    if (n <= 0) return 0;
    data = s.Pcm.data() + static_cast<size_t>(s.Next) * frameBytes;
    s.Next += n;
    return static_cast<size_t>(n);
  }
  size_t n = s.DecodeNext(frameBytes);
  if (s.Damaged) SetWarning(FileName() + ": damaged data skipped");
  data = s.Out.data();
  return n;
}

}  // namespace vexa
