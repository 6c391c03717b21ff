#include "audio_test_files.h"

#include <FLAC/stream_encoder.h>
#include <unistd.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace vexa::testfiles {

TTempDir::TTempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vexa_audio_XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  Dir = pattern;
}

TTempDir::~TTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(Dir, ec);
}

std::vector<int16_t> MakeSignal(size_t frames, uint32_t channels, uint32_t rate) {
  std::vector<int16_t> out(frames * channels);
  const double twoPi = 6.283185307179586;
  for (size_t i = 0; i < frames; ++i)
    for (uint32_t c = 0; c < channels; ++c) {
      double t = static_cast<double>(i) / rate;
      double v = 11000.0 * std::sin(twoPi * 440.0 * (c + 1) * t + c) + 5000.0 * std::sin(twoPi * 1234.5 * t);
      out[i * channels + c] = static_cast<int16_t>(std::lround(v));
    }
  return out;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

namespace {

void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  Put16(v, x & 0xFFFF);
  Put16(v, x >> 16);
}
void PutId(std::vector<uint8_t>& v, const char* id) {
  for (int i = 0; i < 4; ++i)
    v.push_back(static_cast<uint8_t>(id[i]));
}
void PutChunk(std::vector<uint8_t>& v, const char* id, const std::vector<uint8_t>& body) {
  PutId(v, id);
  Put32(v, static_cast<uint32_t>(body.size()));
  v.insert(v.end(), body.begin(), body.end());
  if (body.size() & 1) v.push_back(0);
}

std::vector<uint8_t> CommonFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t align,
                               uint16_t bits) {
  std::vector<uint8_t> f;
  Put16(f, tag);
  Put16(f, channels);
  Put32(f, rate);
  Put32(f, rate * align);
  Put16(f, align);
  Put16(f, bits);
  return f;
}

}  // namespace

std::vector<uint8_t> WaveFile(const std::vector<uint8_t>& fmt, const std::vector<uint8_t>& data,
                              int64_t factSamples) {
  std::vector<uint8_t> body;
  PutId(body, "WAVE");
  PutChunk(body, "fmt ", fmt);
  if (factSamples >= 0) {
    std::vector<uint8_t> fact;
    Put32(fact, static_cast<uint32_t>(factSamples));
    PutChunk(body, "fact", fact);
  }
  PutChunk(body, "data", data);
  std::vector<uint8_t> file;
  PutId(file, "RIFF");
  Put32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

std::vector<uint8_t> PcmFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
  std::vector<uint8_t> f = CommonFmt(tag, channels, rate, static_cast<uint16_t>(channels * bits / 8), bits);
  if (tag != 1) Put16(f, 0);
  return f;
}

std::vector<uint8_t> ExtensibleFmt(uint16_t subTag, uint16_t channels, uint32_t rate, uint16_t bits,
                                   uint16_t validBits) {
  std::vector<uint8_t> f =
      CommonFmt(0xFFFE, channels, rate, static_cast<uint16_t>(channels * bits / 8), bits);
  Put16(f, 22);
  Put16(f, validBits);
  Put32(f, channels == 1 ? 0x4 : channels == 2 ? 0x3 : 0x33);
  Put16(f, subTag);
  const uint8_t tail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                            0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
  f.insert(f.end(), tail, tail + 14);
  return f;
}

std::vector<uint8_t> ImaFmt(uint16_t channels, uint32_t rate, uint16_t blockAlign) {
  std::vector<uint8_t> f = CommonFmt(0x11, channels, rate, blockAlign, 4);
  Put16(f, 2);
  Put16(f, static_cast<uint16_t>((blockAlign - 4 * channels) * 8 / (4 * channels) + 1));
  return f;
}

std::vector<uint8_t> MsFmt(uint16_t channels, uint32_t rate, uint16_t blockAlign) {
  std::vector<uint8_t> f = CommonFmt(0x02, channels, rate, blockAlign, 4);
  Put16(f, 32);
  Put16(f, static_cast<uint16_t>((blockAlign - 7 * channels) * 2 / channels + 2));
  const int16_t coefs[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};
  Put16(f, 7);
  for (int16_t c : coefs)
    Put16(f, static_cast<uint16_t>(c));
  return f;
}

namespace {

const int kImaSteps[89] = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int kImaIndexShift[8] = {-1, -1, -1, -1, 2, 4, 6, 8};
const int kMsAdaptation[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                               768, 614, 512, 409, 307, 230, 230, 230};
const int kMsCoefs[7][2] = {{256, 0}, {512, -256}, {0, 0}, {192, 64}, {240, 0}, {460, -208}, {392, -232}};

int16_t Sat(int v) {
  return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

// Sample f of channel c, repeating the last frame past the end (padding of the last block).
int16_t At(const std::vector<int16_t>& pcm, uint32_t channels, size_t frames, size_t f, uint32_t c) {
  return pcm[std::min(f, frames - 1) * channels + c];
}

}  // namespace

std::vector<uint8_t> EncodeIma(const std::vector<int16_t>& pcm, uint32_t channels, uint16_t blockAlign,
                               std::vector<int16_t>& decoded) {
  const size_t frames = pcm.size() / channels;
  const size_t perBlock = (blockAlign - 4 * channels) * 8 / (4 * channels) + 1;
  std::vector<uint8_t> out;
  decoded.assign(frames * channels, 0);
  std::vector<int> index(channels, 0);
  for (size_t start = 0; start < frames; start += perBlock) {
    std::vector<uint8_t> block(blockAlign, 0);
    for (uint32_t c = 0; c < channels; ++c) {
      int pred = At(pcm, channels, frames, start, c);
      block[4 * c] = static_cast<uint8_t>(pred & 0xFF);
      block[4 * c + 1] = static_cast<uint8_t>((pred >> 8) & 0xFF);
      block[4 * c + 2] = static_cast<uint8_t>(index[c]);
      if (start < frames) decoded[start * channels + c] = static_cast<int16_t>(pred);
      for (size_t k = 1; k < perBlock; ++k) {
        const int step = kImaSteps[index[c]];
        int diff = At(pcm, channels, frames, start + k, c) - pred;
        int nibble = 0;
        if (diff < 0) {
          nibble = 8;
          diff = -diff;
        }
        // Quantise, then rebuild the value exactly as the decoder will.
        int part = step;
        for (int bit = 4; bit > 0; bit >>= 1) {
          if (diff >= part) {
            nibble |= bit;
            diff -= part;
          }
          part >>= 1;
        }
        int delta = step >> 3;
        if (nibble & 4) delta += step;
        if (nibble & 2) delta += step >> 1;
        if (nibble & 1) delta += step >> 2;
        pred = Sat((nibble & 8) ? pred - delta : pred + delta);
        index[c] = std::clamp(index[c] + kImaIndexShift[nibble & 7], 0, 88);
        if (start + k < frames) decoded[(start + k) * channels + c] = static_cast<int16_t>(pred);
        const size_t group = (k - 1) / 8, within = (k - 1) % 8;
        uint8_t& byte = block[4 * channels + group * 4 * channels + 4 * c + within / 2];
        byte |= static_cast<uint8_t>(nibble << ((within & 1) * 4));
      }
    }
    out.insert(out.end(), block.begin(), block.end());
  }
  return out;
}

std::vector<uint8_t> EncodeMs(const std::vector<int16_t>& pcm, uint32_t channels, uint16_t blockAlign,
                              std::vector<int16_t>& decoded) {
  const size_t frames = pcm.size() / channels;
  const size_t perBlock = (blockAlign - 7 * channels) * 2 / channels + 2;
  std::vector<uint8_t> out;
  decoded.assign(frames * channels, 0);
  size_t blockNumber = 0;
  for (size_t start = 0; start < frames; start += perBlock, ++blockNumber) {
    std::vector<uint8_t> block(blockAlign, 0);
    // Every block uses another predictor, so all seven coefficient pairs are exercised.
    const int predictor = static_cast<int>(blockNumber % 7);
    std::vector<int> s1(channels), s2(channels), delta(channels, 16);
    for (uint32_t c = 0; c < channels; ++c) {
      s2[c] = At(pcm, channels, frames, start, c);
      s1[c] = At(pcm, channels, frames, start + 1, c);
      block[c] = static_cast<uint8_t>(predictor);
      block[channels + 2 * c] = 16;
      block[3 * channels + 2 * c] = static_cast<uint8_t>(s1[c] & 0xFF);
      block[3 * channels + 2 * c + 1] = static_cast<uint8_t>((s1[c] >> 8) & 0xFF);
      block[5 * channels + 2 * c] = static_cast<uint8_t>(s2[c] & 0xFF);
      block[5 * channels + 2 * c + 1] = static_cast<uint8_t>((s2[c] >> 8) & 0xFF);
      if (start < frames) decoded[start * channels + c] = static_cast<int16_t>(s2[c]);
      if (start + 1 < frames) decoded[(start + 1) * channels + c] = static_cast<int16_t>(s1[c]);
    }
    for (size_t j = 0; j < (perBlock - 2) * channels; ++j) {
      const size_t f = start + 2 + j / channels;
      const uint32_t c = static_cast<uint32_t>(j % channels);
      const int pred = (s1[c] * kMsCoefs[predictor][0] + s2[c] * kMsCoefs[predictor][1]) >> 8;
      const int err = At(pcm, channels, frames, f, c) - pred;
      const int q = std::clamp(static_cast<int>(std::lround(static_cast<double>(err) / delta[c])), -8, 7);
      const int value = Sat(pred + q * delta[c]);
      const int nibble = q & 15;
      delta[c] = std::max(16, (kMsAdaptation[nibble] * delta[c]) >> 8);
      s2[c] = s1[c];
      s1[c] = value;
      if (f < frames) decoded[f * channels + c] = static_cast<int16_t>(value);
      uint8_t& byte = block[7 * channels + j / 2];
      byte |= static_cast<uint8_t>((j & 1) ? nibble : nibble << 4);
    }
    out.insert(out.end(), block.begin(), block.end());
  }
  return out;
}

bool WriteVorbis(const std::string& path, const std::vector<int16_t>& pcm, uint32_t channels, uint32_t rate) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return false;
  vorbis_info vi;
  vorbis_info_init(&vi);
  if (vorbis_encode_init_vbr(&vi, static_cast<long>(channels), static_cast<long>(rate), 0.4f) != 0) {
    vorbis_info_clear(&vi);
    return false;
  }
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block vb;
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 4242);
  ogg_packet head, comment, code;
  vorbis_analysis_headerout(&vd, &vc, &head, &comment, &code);
  ogg_stream_packetin(&os, &head);
  ogg_stream_packetin(&os, &comment);
  ogg_stream_packetin(&os, &code);
  ogg_page page;
  auto writePage = [&] {
    std::fwrite(page.header, 1, static_cast<size_t>(page.header_len), file.get());
    std::fwrite(page.body, 1, static_cast<size_t>(page.body_len), file.get());
  };
  while (ogg_stream_flush(&os, &page))
    writePage();
  auto drain = [&] {
    ogg_packet packet;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      while (vorbis_bitrate_flushpacket(&vd, &packet)) {
        ogg_stream_packetin(&os, &packet);
        while (ogg_stream_pageout(&os, &page))
          writePage();
      }
    }
  };
  const size_t frames = pcm.size() / channels;
  for (size_t at = 0; at < frames; at += 1024) {
    const size_t n = std::min<size_t>(1024, frames - at);
    float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
    for (size_t i = 0; i < n; ++i)
      for (uint32_t c = 0; c < channels; ++c)
        buffer[c][i] = pcm[(at + i) * channels + c] / 32768.0f;
    vorbis_analysis_wrote(&vd, static_cast<int>(n));
    drain();
  }
  vorbis_analysis_wrote(&vd, 0);
  drain();
  while (ogg_stream_flush(&os, &page))
    writePage();
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return true;
}

bool WriteFlac(const std::string& path, const std::vector<int32_t>& pcm, uint32_t channels, uint32_t rate,
               uint32_t bits) {
  std::unique_ptr<FLAC__StreamEncoder, void (*)(FLAC__StreamEncoder*)> enc(FLAC__stream_encoder_new(),
                                                                           &FLAC__stream_encoder_delete);
  if (!enc) return false;
  const size_t frames = pcm.size() / channels;
  FLAC__stream_encoder_set_channels(enc.get(), channels);
  FLAC__stream_encoder_set_bits_per_sample(enc.get(), bits);
  FLAC__stream_encoder_set_sample_rate(enc.get(), rate);
  FLAC__stream_encoder_set_compression_level(enc.get(), 5);
  FLAC__stream_encoder_set_total_samples_estimate(enc.get(), frames);
  if (FLAC__stream_encoder_init_file(enc.get(), path.c_str(), nullptr, nullptr) !=
      FLAC__STREAM_ENCODER_INIT_STATUS_OK)
    return false;
  bool ok = FLAC__stream_encoder_process_interleaved(enc.get(), pcm.data(), static_cast<uint32_t>(frames));
  return FLAC__stream_encoder_finish(enc.get()) && ok;
}

namespace {
struct CodecFree {
  void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct OutputFree {
  void operator()(AVFormatContext* f) const {
    if (f->pb) avio_closep(&f->pb);
    avformat_free_context(f);
  }
};
struct SwrFree {
  void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFree {
  void operator()(AVPacket* p) const { av_packet_free(&p); }
};
}  // namespace

bool WriteWithFFmpeg(const std::string& path, const char* codecName, const char* container,
                     const std::vector<int16_t>& pcm, uint32_t channels, uint32_t rate, int64_t bitRate) {
  const AVCodec* codec = avcodec_find_encoder_by_name(codecName);
  if (!codec) return false;
  AVFormatContext* rawOut = nullptr;
  if (avformat_alloc_output_context2(&rawOut, nullptr, container, path.c_str()) < 0) return false;
  std::unique_ptr<AVFormatContext, OutputFree> out(rawOut);
  AVStream* st = avformat_new_stream(out.get(), nullptr);
  std::unique_ptr<AVCodecContext, CodecFree> enc(avcodec_alloc_context3(codec));
  if (!st || !enc) return false;
  enc->sample_rate = static_cast<int>(rate);
  av_channel_layout_default(&enc->ch_layout, static_cast<int>(channels));
  enc->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
  for (const AVSampleFormat* f = codec->sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f)
    if (*f == AV_SAMPLE_FMT_S16 || *f == AV_SAMPLE_FMT_S16P) enc->sample_fmt = *f;
  enc->bit_rate = bitRate ? bitRate : 128000;
  enc->time_base = AVRational{1, static_cast<int>(rate)};
  if (out->oformat->flags & AVFMT_GLOBALHEADER) enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  if (avcodec_open2(enc.get(), codec, nullptr) < 0) return false;
  if (avcodec_parameters_from_context(st->codecpar, enc.get()) < 0) return false;
  st->time_base = enc->time_base;
  if (avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
  if (avformat_write_header(out.get(), nullptr) < 0) return false;
  SwrContext* rawSwr = nullptr;
  swr_alloc_set_opts2(&rawSwr, &enc->ch_layout, enc->sample_fmt, enc->sample_rate, &enc->ch_layout,
                      AV_SAMPLE_FMT_S16, enc->sample_rate, 0, nullptr);
  std::unique_ptr<SwrContext, SwrFree> swr(rawSwr);
  if (!swr || swr_init(swr.get()) < 0) return false;
  std::unique_ptr<AVPacket, PacketFree> pkt(av_packet_alloc());
  auto drain = [&]() {
    while (avcodec_receive_packet(enc.get(), pkt.get()) == 0) {
      av_packet_rescale_ts(pkt.get(), enc->time_base, st->time_base);
      pkt->stream_index = st->index;
      if (av_interleaved_write_frame(out.get(), pkt.get()) < 0) return false;
    }
    return true;
  };
  const bool variable = codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
  const size_t frameSize = (variable || enc->frame_size <= 0) ? 4096 : static_cast<size_t>(enc->frame_size);
  const size_t frames = pcm.size() / channels;
  for (size_t at = 0; at < frames; at += frameSize) {
    const size_t n = std::min(frameSize, frames - at);
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    frame->nb_samples = static_cast<int>(n);
    frame->format = enc->sample_fmt;
    frame->sample_rate = enc->sample_rate;
    av_channel_layout_copy(&frame->ch_layout, &enc->ch_layout);
    if (av_frame_get_buffer(frame.get(), 0) < 0) return false;
    const uint8_t* in = reinterpret_cast<const uint8_t*>(pcm.data() + at * channels);
    if (swr_convert(swr.get(), frame->data, static_cast<int>(n), &in, static_cast<int>(n)) < 0) return false;
    frame->pts = static_cast<int64_t>(at);
    if (avcodec_send_frame(enc.get(), frame.get()) < 0 || !drain()) return false;
  }
  avcodec_send_frame(enc.get(), nullptr);
  if (!drain()) return false;
  return av_write_trailer(out.get()) == 0;
}

}  // namespace vexa::testfiles

#include <cstring>

#include "media/audio_input.h"

namespace vexa::testfiles {

std::vector<uint8_t> ReadAll(TAuInput& input, size_t chunk) {
  std::vector<uint8_t> all;
  input.Init();
  for (;;) {
    const uint8_t* data = nullptr;
    size_t bytes = chunk;
    input.GetData(data, bytes);
    if (bytes == 0) break;
    if (bytes > chunk) throw std::runtime_error("input delivered more than asked");
    all.insert(all.end(), data, data + bytes);
  }
  input.Flush();
  return all;
}

std::vector<int16_t> ReadAll16(TAuInput& input, size_t chunk) {
  std::vector<uint8_t> bytes = ReadAll(input, chunk);
  std::vector<int16_t> samples(bytes.size() / 2);
  if (!samples.empty()) std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
  return samples;
}

}  // namespace vexa::testfiles
