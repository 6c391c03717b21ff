#include "media/audio_vorbis_in.h"

#include <vorbis/vorbisfile.h>

#include <vector>

#include "media/audio_downmix.h"

namespace vexa {

namespace {
constexpr int kReadBytes = 32768;
constexpr int kReadFloatFrames = 4096;
}  // namespace

struct TVorbisIn::TState {
  OggVorbis_File File{};
  bool IsOpen = false;
  int SourceChannels = 0;
  TDownmix Mix;
  std::vector<uint8_t> Out;

  ~TState() { Close(); }
  void Close() {
    if (IsOpen) ov_clear(&File);
    IsOpen = false;
  }
  bool Open(const std::string& name) {
    Close();
    IsOpen = ov_fopen(name.c_str(), &File) == 0;  // on failure the library has closed the file
    return IsOpen;
  }
};

TVorbisIn::TVorbisIn() : St(std::make_unique<TState>()) {}
TVorbisIn::~TVorbisIn() = default;

bool TVorbisIn::Probe() {
  TState& s = *St;
  if (!s.Open(FileName())) {
    SetError(FileName() + ": not an Ogg Vorbis file");
    return false;
  }
  const vorbis_info* first = ov_info(&s.File, 0);
  const ogg_int64_t total = ov_pcm_total(&s.File, -1);
  std::string why;
  if (!first || first->channels <= 0 || first->channels > 8 || first->rate <= 0)
    why = "unsupported channel count";
  for (long link = 1; why.empty() && link < ov_streams(&s.File); ++link) {
    const vorbis_info* info = ov_info(&s.File, static_cast<int>(link));
    if (!info || info->channels != first->channels || info->rate != first->rate)
      why = "chained streams of different formats";
  }
  if (why.empty() && total < 0) why = "length unknown";
  if (!why.empty()) {
    s.Close();
    SetError(FileName() + ": " + why);
    return false;
  }
  s.SourceChannels = first->channels;
  Bits = 16;
  Chans = first->channels == 1 ? 1 : 2;
  Rate = static_cast<uint32_t>(first->rate);
  Total = total;
  if (s.SourceChannels > 2)
    s.Mix = MakeDownmix(static_cast<uint32_t>(s.SourceChannels), TChannelOrder::Vorbis);
  s.Close();
  return true;
}

bool TVorbisIn::OpenSource() {
  if (!St->Open(FileName())) {
    SetError(FileName() + ": not an Ogg Vorbis file");
    return false;
  }
  return true;
}

void TVorbisIn::CloseSource() {
  St->Close();
}

int64_t TVorbisIn::SeekSource(int64_t frame) {
  if (frame == 0 && ov_pcm_tell(&St->File) == 0) return 0;
  return ov_pcm_seek(&St->File, frame) == 0 ? frame : -1;
}

size_t TVorbisIn::DecodeBlock(const uint8_t*& data) {
  TState& s = *St;
  int link = 0;
  if (s.SourceChannels <= 2) {
    s.Out.resize(kReadBytes);
    for (;;) {
      long got = ov_read(&s.File, reinterpret_cast<char*>(s.Out.data()), kReadBytes, 0, 2, 1, &link);
      if (got == OV_HOLE) continue;  // a gap in the data; the decoder resynchronises
      if (got <= 0) {
        if (got < 0) SetError(FileName() + ": damaged Vorbis data");
        return 0;
      }
      data = s.Out.data();
      return static_cast<size_t>(got) / BytesPerFrame();
    }
  }
  float** pcm = nullptr;
  for (;;) {
    long got = ov_read_float(&s.File, &pcm, kReadFloatFrames, &link);
    if (got == OV_HOLE) continue;
    if (got <= 0) {
      if (got < 0) SetError(FileName() + ": damaged Vorbis data");
      return 0;
    }
    s.Out.resize(static_cast<size_t>(got) * 4);
    auto* out = reinterpret_cast<int16_t*>(s.Out.data());
    for (long i = 0; i < got; ++i)
      DownmixFrame(s.Mix, pcm, static_cast<size_t>(i), out + 2 * i);
    data = s.Out.data();
    return static_cast<size_t>(got);
  }
}

}  // namespace vexa
