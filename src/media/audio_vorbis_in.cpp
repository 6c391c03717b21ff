#include "media/audio_vorbis_in.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "media/audio_downmix.h"
#include "media/ogg_tail.h"

namespace vexa {

namespace {
constexpr int kReadBytes = 32768;
constexpr int kReadFloatFrames = 4096;
constexpr size_t kSilenceFrames = 16384;
// Errors in a row after which the stream is taken as unreadable from there on.
constexpr int kMaxErrorsInARow = 64;
// A gap longer than this (when the length is unknown) is taken as a broken granule position.
constexpr int64_t kMaxGapSeconds = 600;

// The file as libvorbisfile reads it when the file was cut short: the bytes before the cut
// page, then that page rebuilt from its whole packets. Read front to back only.
struct TCutSource {
  std::FILE* File = nullptr;
  uint64_t Cut = 0;
  uint64_t At = 0;
  std::vector<uint8_t> Tail;

  ~TCutSource() {
    if (File) std::fclose(File);
  }
  static size_t Read(void* ptr, size_t size, size_t count, void* self) {
    auto& s = *static_cast<TCutSource*>(self);
    size_t want = size * count, done = 0;
    auto* out = static_cast<uint8_t*>(ptr);
    if (s.At < s.Cut) {
      const size_t n =
          std::fread(out, 1, static_cast<size_t>(std::min<uint64_t>(want, s.Cut - s.At)), s.File);
      s.At += n;
      done += n;
      if (n == 0) return 0;
    }
    if (done < want && s.At >= s.Cut) {
      const uint64_t offset = s.At - s.Cut;
      if (offset < s.Tail.size()) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(want - done, s.Tail.size() - offset));
        std::memcpy(out + done, s.Tail.data() + offset, n);
        s.At += n;
        done += n;
      }
    }
    return size ? done / size : 0;
  }
};

}  // namespace

struct TVorbisIn::TState {
  OggVorbis_File File{};
  bool IsOpen = false;
  int SourceChannels = 0;
  TDownmix Mix;
  std::vector<uint8_t> Out;
  std::vector<uint8_t> Silence;

  // A file cut short is read as a stream through TCutSource; it cannot seek.
  bool Cut = false;
  TOggTail Tail;
  std::unique_ptr<TCutSource> CutSource;

  // Keeping damaged stretches in place.
  bool Damaged = false;       // a read failed, and the length it took is not known yet
  int64_t ExpectedTell = -1;  // ov_pcm_tell after the last block; -1 before the first one
  int64_t Delivered = 0;      // frame the next delivered block starts at
  int64_t GapLeft = 0;        // silent frames still to deliver
  size_t Held = 0;            // frames of Out to deliver after the silence

  ~TState() { Close(); }
  void Close() {
    if (IsOpen) ov_clear(&File);  // closes the source too
    IsOpen = false;
    CutSource.reset();
  }
  bool Open(const std::string& name) {
    Close();
    Damaged = false;
    ExpectedTell = -1;
    Delivered = 0;
    GapLeft = 0;
    Held = 0;
    if (!Cut) {
      IsOpen = ov_fopen(name.c_str(), &File) == 0;  // on failure the library has closed the file
      return IsOpen;
    }
    auto source = std::make_unique<TCutSource>();
    source->File = std::fopen(name.c_str(), "rb");
    if (!source->File) return false;
    source->Cut = Tail.CutAt;
    source->Tail = Tail.Rebuilt;
    const ov_callbacks calls = {&TCutSource::Read, nullptr, nullptr, nullptr};
    IsOpen = ov_open_callbacks(source.get(), &File, nullptr, 0, calls) == 0;
    if (IsOpen) CutSource = std::move(source);
    return IsOpen;
  }
};

TVorbisIn::TVorbisIn() : St(std::make_unique<TState>()) {}
TVorbisIn::~TVorbisIn() = default;

bool TVorbisIn::Probe() {
  TState& s = *St;
  s.Tail = ReadOggTail(FileName());
  s.Cut = s.Tail.CutShort;
  if (!s.Open(FileName())) {
    SetError(FileName() + ": not an Ogg Vorbis file");
    return false;
  }
  const vorbis_info* first = ov_info(&s.File, s.Cut ? -1 : 0);
  std::string why;
  if (!first || first->channels <= 0 || first->channels > 8 || first->rate <= 0)
    why = "unsupported channel count";
  for (long link = 1; why.empty() && !s.Cut && link < ov_streams(&s.File); ++link) {
    const vorbis_info* info = ov_info(&s.File, static_cast<int>(link));
    if (!info || info->channels != first->channels || info->rate != first->rate)
      why = "chained streams of different formats";
  }
  const ogg_int64_t total = s.Cut ? 0 : ov_pcm_total(&s.File, -1);
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
  if (s.Cut) {
    // No seeking and no stated length: count what decodes.
    SetWarning(FileName() + ": the file was cut short; playing the whole packets before the cut");
    const uint8_t* data = nullptr;
    int64_t counted = 0;
    while (const size_t n = DecodeBlock(data))
      counted += static_cast<int64_t>(n);
    Total = counted;
  }
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
  TState& s = *St;
  if (frame == 0 && s.ExpectedTell < 0 && s.GapLeft == 0 && ov_pcm_tell(&s.File) == 0) return 0;
  if (s.Cut) {
    // A stream that cannot seek is read again from the top.
    return OpenSource() ? 0 : -1;
  }
  if (ov_pcm_seek(&s.File, frame) != 0) return -1;
  s.Damaged = false;
  s.ExpectedTell = -1;
  s.GapLeft = 0;
  s.Held = 0;
  s.Delivered = frame;
  return frame;
}

size_t TVorbisIn::DecodePackets(const uint8_t*& data) {
  TState& s = *St;
  int link = 0;
  int errors = 0;
  for (;;) {
    long got = 0;
    float** pcm = nullptr;
    if (s.SourceChannels <= 2) {
      s.Out.resize(kReadBytes);
      got = ov_read(&s.File, reinterpret_cast<char*>(s.Out.data()), kReadBytes, 0, 2, 1, &link);
    } else {
      got = ov_read_float(&s.File, &pcm, kReadFloatFrames, &link);
    }
    if (got == 0) return 0;
    if (got < 0) {
      // A hole or a damaged packet: the decoder resynchronises on the next good page.
      s.Damaged = true;
      SetWarning(FileName() + ": damaged Vorbis data skipped (played as silence)");
      if (++errors >= kMaxErrorsInARow) {
        SetError(FileName() + ": damaged Vorbis data");
        return 0;
      }
      continue;
    }
    if (s.SourceChannels <= 2) {
      data = s.Out.data();
      return static_cast<size_t>(got) / BytesPerFrame();
    }
    s.Out.resize(static_cast<size_t>(got) * 4);
    auto* out = reinterpret_cast<int16_t*>(s.Out.data());
    for (long i = 0; i < got; ++i)
      DownmixFrame(s.Mix, pcm, static_cast<size_t>(i), out + 2 * i);
    data = s.Out.data();
    return static_cast<size_t>(got);
  }
}

size_t TVorbisIn::DecodeBlock(const uint8_t*& data) {
  TState& s = *St;
  if (s.GapLeft == 0 && s.Held == 0) {
    const uint8_t* block = nullptr;
    const size_t n = DecodePackets(block);
    if (n == 0) return 0;
    const int64_t tell = ov_pcm_tell(&s.File);
    if (s.Damaged && s.ExpectedTell >= 0 && tell >= 0 && tell - static_cast<int64_t>(n) > s.ExpectedTell) {
      // The next granule position after the damage says how much it took (the decoder learns
      // it a page later): what follows keeps its place.
      int64_t gap = tell - static_cast<int64_t>(n) - s.ExpectedTell;
      const int64_t room = Total > 0 ? Total - s.Delivered - static_cast<int64_t>(n)
                                     : kMaxGapSeconds * static_cast<int64_t>(Rate);
      s.GapLeft = std::clamp<int64_t>(gap, 0, std::max<int64_t>(room, 0));
      s.Damaged = false;
    }
    s.ExpectedTell = tell;
    s.Held = n;
    data = block;
  }
  if (s.GapLeft > 0) {
    const size_t n = static_cast<size_t>(std::min<int64_t>(s.GapLeft, kSilenceFrames));
    s.Silence.assign(n * BytesPerFrame(), 0);
    s.GapLeft -= static_cast<int64_t>(n);
    s.Delivered += static_cast<int64_t>(n);
    data = s.Silence.data();
    return n;
  }
  const size_t n = s.Held;
  s.Held = 0;
  s.Delivered += static_cast<int64_t>(n);
  data = s.Out.data();
  return n;
}

}  // namespace vexa
