// TMovieWriter on libavformat's MP4, Matroska and QuickTime muxers, the encoders of the codec
// table and FFmpeg's own AAC encoder.
#include "media/movie_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "media/avi_writer.h"
#include "media/ffmpeg_owners.h"
#include "media/output_file.h"
#include "media/video_encoding.h"

namespace vexa {

namespace {

const char* MuxerName(TMovieContainer c) {
  switch (c) {
    case TMovieContainer::Mp4:
      return "mp4";
    case TMovieContainer::Matroska:
      return "matroska";
    case TMovieContainer::QuickTime:
      return "mov";
  }
  return "mp4";
}

AVCodecID CodecIdOf(const TVideoCodec& codec) {
  if (codec.Encoder.empty()) return AV_CODEC_ID_RAWVIDEO;
  const AVCodec* c = avcodec_find_encoder_by_name(std::string(codec.Encoder).c_str());
  return c ? c->id : AV_CODEC_ID_NONE;
}

struct FormatContextFree {
  void operator()(AVFormatContext* c) const {
    if (c->pb) avio_closep(&c->pb);
    avformat_free_context(c);
  }
};

}  // namespace

std::optional<TMovieContainer> MovieContainerOf(const std::string& fileName) {
  std::string ext = std::filesystem::path(fileName).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ext == ".mp4") return TMovieContainer::Mp4;
  if (ext == ".mkv") return TMovieContainer::Matroska;
  if (ext == ".mov") return TMovieContainer::QuickTime;
  return std::nullopt;
}

std::string_view MovieContainerName(TMovieContainer container) {
  switch (container) {
    case TMovieContainer::Mp4:
      return "MP4";
    case TMovieContainer::Matroska:
      return "Matroska";
    case TMovieContainer::QuickTime:
      return "QuickTime";
  }
  return "";
}

bool MovieContainerTakes(TMovieContainer container, const TVideoCodec& codec) {
  if (!VideoCodecAvailable(codec) || codec.Encoder.empty()) return false;  // no raw frames in these
  const AVOutputFormat* format = av_guess_format(MuxerName(container), nullptr, nullptr);
  const AVCodecID id = CodecIdOf(codec);
  return format && id != AV_CODEC_ID_NONE && avformat_query_codec(format, id, FF_COMPLIANCE_NORMAL) == 1;
}

std::string_view MovieQualityMapping(const TVideoCodec& codec) {
  if (codec.Name == "h264") return "quality 10000..0 -> CRF 18..51, preset medium, no rate cap";
  if (codec.Name == "mpeg4" || codec.Name == "mjpeg") return "quality 10000..0 -> constant quantiser 2..31";
  return "lossless; quality does not apply";
}

struct TMovieWriter::TState {
  TMovieWriteSettings Settings;
  std::string Target;
  std::string TempPath;
  TTempFileWatch* Watch = nullptr;
  std::unique_ptr<AVFormatContext, FormatContextFree> Format;
  AVStream* Video = nullptr;
  AVStream* Audio = nullptr;
  ffmpeg::TVideoEncoder Encoder;
  std::unique_ptr<AVCodecContext, ffmpeg::CodecFreer> SoundEncoder;
  std::unique_ptr<AVFrame, ffmpeg::FrameFreer> SoundFrame;
  std::unique_ptr<AVPacket, ffmpeg::PacketFreer> Packet;
  std::vector<int16_t> SoundPending;  // interleaved frames not yet a whole AAC frame
  int64_t SoundPts = 0;
  int32_t Error = 0;

  ~TState() { Drop(); }
  void Drop() {
    Format.reset();
    if (!TempPath.empty()) {
      ::unlink(TempPath.c_str());
      if (Watch) Watch->Gone(TempPath);
    }
    TempPath.clear();
  }

  int WritePackets(AVCodecContext* enc, AVStream* st, bool video) {
    AVPacket* pkt = Packet.get();
    int err = 0;
    while ((err = video ? Encoder.Receive(pkt) : avcodec_receive_packet(enc, pkt)) >= 0) {
      av_packet_rescale_ts(pkt, enc->time_base, st->time_base);
      pkt->stream_index = st->index;
      err = av_interleaved_write_frame(Format.get(), pkt);
      av_packet_unref(pkt);
      if (err < 0) return err;
    }
    return err == AVERROR(EAGAIN) || err == AVERROR_EOF ? 0 : err;
  }

  // Encodes `frames` frames of SoundPending from its start (fewer than a whole AAC frame only
  // at the end).
  int EncodeSound(int frames) {
    AVFrame* f = SoundFrame.get();
    int err = av_frame_make_writable(f);
    if (err < 0) return err;
    f->nb_samples = frames;
    auto* left = reinterpret_cast<float*>(f->data[0]);
    auto* right = reinterpret_cast<float*>(f->data[1]);
    const int16_t* s = SoundPending.data();
    for (int i = 0; i < frames; ++i) {
      left[i] = static_cast<float>(s[2 * i]) * (1.0f / 32768.0f);
      right[i] = static_cast<float>(s[2 * i + 1]) * (1.0f / 32768.0f);
    }
    f->pts = SoundPts;
    SoundPts += frames;
    SoundPending.erase(SoundPending.begin(), SoundPending.begin() + 2 * static_cast<ptrdiff_t>(frames));
    err = avcodec_send_frame(SoundEncoder.get(), f);
    if (err < 0) return err;
    return WritePackets(SoundEncoder.get(), Audio, false);
  }
};

TMovieWriter::TMovieWriter() = default;

TMovieWriter::~TMovieWriter() {
  Abandon();
}

int32_t TMovieWriter::Open(const std::string& fileName, const TMovieWriteSettings& settings) {
  Abandon();
  const auto container = MovieContainerOf(fileName);
  if (!container) return kMovieUnknownContainer;
  if (settings.Width < 1 || settings.Height < 1 || settings.Width > kMaxBitmapSide ||
      settings.Height > kMaxBitmapSide || settings.Rate < 1 || settings.Rate > 1000)
    return kAviBadSettings;
  const TVideoCodec* codec = settings.Codec.empty() ? &DefaultCompressedCodec() : FindVideoCodec(settings.Codec);
  if (!codec || !VideoCodecAvailable(*codec)) return kAviUnknownCodec;
  if (!MovieContainerTakes(*container, *codec)) return kMovieCodecNotInContainer;

  auto state = std::make_unique<TState>();
  TState& s = *state;
  s.Settings = settings;
  s.Target = fileName;
  int err = CreateTemporaryOutput(fileName, s.TempPath, TempFiles);
  if (err < 0) {
    s.TempPath.clear();
    return err;
  }
  s.Watch = TempFiles;
  AVFormatContext* fc = nullptr;
  err = avformat_alloc_output_context2(&fc, nullptr, MuxerName(*container), s.TempPath.c_str());
  if (err < 0 || !fc) return err < 0 ? err : AVERROR(ENOMEM);
  s.Format.reset(fc);
  if (!settings.Title.empty()) av_dict_set(&fc->metadata, "title", settings.Title.c_str(), 0);

  ffmpeg::TVideoEncoderSetup setup;
  setup.Width = settings.Width;
  setup.Height = settings.Height;
  setup.Rate = settings.Rate;
  setup.Quality = settings.Quality;
  setup.KeyFrameEvery = settings.KeyFrameEvery;
  setup.BFrames = true;
  setup.GlobalHeader = (fc->oformat->flags & AVFMT_GLOBALHEADER) != 0;
  err = s.Encoder.Open(*codec, setup);
  if (err != 0) return err;
  s.Video = avformat_new_stream(fc, nullptr);
  if (!s.Video) return AVERROR(ENOMEM);
  s.Video->time_base = AVRational{1, settings.Rate};
  s.Video->avg_frame_rate = AVRational{settings.Rate, 1};
  s.Video->r_frame_rate = s.Video->avg_frame_rate;
  err = s.Encoder.FillParameters(s.Video->codecpar);
  if (err < 0) return err;
  s.Video->codecpar->codec_tag = 0;  // the muxer's own tag for the codec

  if (settings.Sound) {
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!aac) return kAviUnknownCodec;
    s.SoundEncoder.reset(avcodec_alloc_context3(aac));
    AVCodecContext* a = s.SoundEncoder.get();
    if (!a) return AVERROR(ENOMEM);
    a->sample_fmt = AV_SAMPLE_FMT_FLTP;
    a->sample_rate = kMovieSoundRate;
    a->bit_rate = kMovieSoundBitRate;
    a->time_base = AVRational{1, kMovieSoundRate};
    av_channel_layout_default(&a->ch_layout, 2);
    if (setup.GlobalHeader) a->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // The fast coder: at this rate it sounds the same and takes half the time of the default.
    av_opt_set(a->priv_data, "aac_coder", "fast", 0);
    err = avcodec_open2(a, aac, nullptr);
    if (err < 0) return err;
    s.Audio = avformat_new_stream(fc, nullptr);
    if (!s.Audio) return AVERROR(ENOMEM);
    s.Audio->time_base = a->time_base;
    err = avcodec_parameters_from_context(s.Audio->codecpar, a);
    if (err < 0) return err;
    s.SoundFrame.reset(av_frame_alloc());
    if (!s.SoundFrame) return AVERROR(ENOMEM);
    s.SoundFrame->format = a->sample_fmt;
    s.SoundFrame->sample_rate = a->sample_rate;
    s.SoundFrame->nb_samples = a->frame_size;
    err = av_channel_layout_copy(&s.SoundFrame->ch_layout, &a->ch_layout);
    if (err < 0) return err;
    err = av_frame_get_buffer(s.SoundFrame.get(), 0);
    if (err < 0) return err;
  }
  s.Packet.reset(av_packet_alloc());
  if (!s.Packet) return AVERROR(ENOMEM);

  err = avio_open(&fc->pb, s.TempPath.c_str(), AVIO_FLAG_WRITE);
  if (err < 0) return err;
  AVDictionary* options = nullptr;
  // The index goes to the front once the file is complete.
  if (*container != TMovieContainer::Matroska) av_dict_set(&options, "movflags", "+faststart", 0);
  err = avformat_write_header(fc, &options);
  av_dict_free(&options);
  if (err < 0) return err;

  state_ = std::move(state);
  codec_ = codec;
  frames_ = 0;
  soundFrames_ = 0;
  return 0;
}

int32_t TMovieWriter::WriteFrame(const TABitmap& bitmap) {
  if (!state_) return kAviNotOpen;
  TState& s = *state_;
  if (s.Error) return s.Error;
  if (bitmap.Width() != s.Settings.Width || bitmap.Height() != s.Settings.Height ||
      bitmap.BitsPerPixel() != 24 || !bitmap.Bits())
    return s.Error = kAviFrameMismatch;
  int err = s.Encoder.Send(bitmap, frames_);
  if (err >= 0) err = s.WritePackets(s.Encoder.Context(), s.Video, true);
  if (err >= 0 && s.Format->pb->error < 0) err = s.Format->pb->error;
  if (err < 0) return s.Error = err;
  ++frames_;
  return 0;
}

int32_t TMovieWriter::WriteSound(const int16_t* samples, size_t frames) {
  if (!state_) return kAviNotOpen;
  TState& s = *state_;
  if (s.Error) return s.Error;
  if (!s.SoundEncoder) return s.Error = kAviBadSettings;
  s.SoundPending.insert(s.SoundPending.end(), samples, samples + 2 * frames);
  soundFrames_ += frames;
  const int size = s.SoundEncoder->frame_size;
  while (s.SoundPending.size() >= 2 * static_cast<size_t>(size)) {
    const int err = s.EncodeSound(size);
    if (err < 0) return s.Error = err;
  }
  return 0;
}

int32_t TMovieWriter::Close() {
  if (!state_) return 0;
  std::unique_ptr<TState> owned = std::move(state_);
  TState& s = *owned;
  int err = s.Error;
  if (err == 0 && s.SoundEncoder) {
    if (!s.SoundPending.empty()) err = s.EncodeSound(static_cast<int>(s.SoundPending.size() / 2));
    if (err == 0) err = std::min(avcodec_send_frame(s.SoundEncoder.get(), nullptr), 0);
    if (err == 0) err = s.WritePackets(s.SoundEncoder.get(), s.Audio, false);
  }
  if (err == 0) err = std::min(s.Encoder.Flush(), 0);
  if (err == 0) err = s.WritePackets(s.Encoder.Context(), s.Video, true);
  if (err == 0) err = std::min(av_write_trailer(s.Format.get()), 0);
  if (err == 0 && s.Format->pb->error < 0) err = s.Format->pb->error;
  if (err == 0) err = std::min(avio_closep(&s.Format->pb), 0);
  // Renamed without fsync, as the AVI writer does: readers never see a partial file.
  if (err == 0 && ::rename(s.TempPath.c_str(), ReplacedPath(s.Target).c_str()) != 0) err = AVERROR(errno);
  if (err == 0) {
    // Now the target; Drop must not remove it.
    if (s.Watch) s.Watch->Gone(s.TempPath);
    s.TempPath.clear();
  }
  s.Drop();
  return err;
}

void TMovieWriter::Abandon() {
  state_.reset();
}

std::string MovieErrorText(int32_t code) {
  switch (code) {
    case kMovieCodecNotInContainer:
      return "the container cannot hold this codec";
    case kMovieUnknownContainer:
      return "not a movie file name (.mp4, .mkv, .mov)";
    default:
      return AviErrorText(code);
  }
}

}  // namespace vexa
