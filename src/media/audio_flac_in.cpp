#include "media/audio_flac_in.h"

#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/audio_downmix.h"

namespace vexa {

namespace {
struct DecoderDeleter {
  void operator()(FLAC__StreamDecoder* d) const { FLAC__stream_decoder_delete(d); }
};
}  // namespace

struct TFLACIn::TState {
  std::unique_ptr<FLAC__StreamDecoder, DecoderDeleter> Dec;
  // From STREAMINFO.
  uint32_t SourceChannels = 0;
  uint32_t SourceBits = 0;
  uint32_t SourceRate = 0;
  uint64_t SourceTotal = 0;
  bool HaveInfo = false;
  // Delivered format.
  uint32_t OutBits = 16;
  TDownmix Mix;
  bool Counting = false;  // probe pass over a stream of unknown length
  uint64_t Counted = 0;
  std::vector<uint8_t> Out;
  size_t OutFrames = 0;
  std::string Damage;       // the first damage libFLAC reported since opening
  bool GapPending = false;  // damage seen, and the frames it took not counted yet
  uint64_t NextSample = 0;  // where the next frame should start
  uint64_t GapLeft = 0;     // silent frames to deliver before Out
  std::vector<uint8_t> Silence;
  std::vector<float> Planes;

  ~TState() { Close(); }
  void Close() {
    if (Dec) FLAC__stream_decoder_finish(Dec.get());
    Dec.reset();
  }
  bool Open(const std::string& name);

  FLAC__StreamDecoderWriteStatus Write(const FLAC__Frame* frame, const FLAC__int32* const buffer[]);
};

namespace {

FLAC__StreamDecoderWriteStatus WriteCb(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                       const FLAC__int32* const buffer[], void* client) {
  return static_cast<TFLACIn::TState*>(client)->Write(frame, buffer);
}

void MetadataCb(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* meta, void* client) {
  auto* s = static_cast<TFLACIn::TState*>(client);
  if (meta->type != FLAC__METADATA_TYPE_STREAMINFO) return;
  s->SourceChannels = meta->data.stream_info.channels;
  s->SourceBits = meta->data.stream_info.bits_per_sample;
  s->SourceRate = meta->data.stream_info.sample_rate;
  s->SourceTotal = meta->data.stream_info.total_samples;
  s->HaveInfo = true;
}

// "FLAC__STREAM_DECODER_ERROR_STATUS_LOST_SYNC" as "lost sync".
std::string DamageText(FLAC__StreamDecoderErrorStatus status) {
  std::string text = FLAC__StreamDecoderErrorStatusString[status];
  const std::string prefix = "FLAC__STREAM_DECODER_ERROR_STATUS_";
  if (text.compare(0, prefix.size(), prefix) == 0) text.erase(0, prefix.size());
  for (char& c : text)
    c = c == '_' ? ' ' : (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

void ErrorCb(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus status, void* client) {
  auto* s = static_cast<TFLACIn::TState*>(client);
  if (s->Damage.empty()) s->Damage = DamageText(status);
  s->GapPending = true;
}

// A frame number past the damage is trusted this far at most when the length is unknown.
constexpr uint64_t kMaxGapSeconds = 600;

}  // namespace

bool TFLACIn::TState::Open(const std::string& name) {
  Close();
  Dec.reset(FLAC__stream_decoder_new());
  if (!Dec) return false;
  if (FLAC__stream_decoder_init_file(Dec.get(), name.c_str(), WriteCb, MetadataCb, ErrorCb, this) !=
      FLAC__STREAM_DECODER_INIT_STATUS_OK) {
    Close();
    return false;
  }
  OutFrames = 0;
  NextSample = 0;
  GapLeft = 0;
  GapPending = false;
  return true;
}

FLAC__StreamDecoderWriteStatus TFLACIn::TState::Write(const FLAC__Frame* frame,
                                                      const FLAC__int32* const buffer[]) {
  const uint32_t n = frame->header.blocksize;
  if (frame->header.channels != SourceChannels || frame->header.bits_per_sample != SourceBits) {
    // A damaged frame that still passed its checks: skipped like any other damage.
    if (Damage.empty()) Damage = "a frame's format differs from the stream's";
    GapPending = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
  }
  if (frame->header.number_type == FLAC__FRAME_NUMBER_TYPE_SAMPLE_NUMBER) {
    // Frames lost to damage leave a hole in the sample numbers: it becomes silence, so that
    // what follows keeps its place.
    const uint64_t at = frame->header.number.sample_number;
    if (GapPending && at > NextSample && OutFrames == 0) {
      const uint64_t room = SourceTotal > NextSample ? SourceTotal - NextSample
                            : SourceTotal == 0       ? kMaxGapSeconds * SourceRate
                                                     : 0;
      GapLeft = std::min(at - NextSample, room);
      GapPending = false;
    }
    NextSample = at + n;
  }
  if (Counting) {
    Counted += GapLeft + n;
    GapLeft = 0;
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
  }
  const uint32_t ch = SourceChannels;
  if (ch > 2) {
    // Through float for the mix down; scale by the source depth.
    const float scale = 1.0f / static_cast<float>(1u << (SourceBits - 1));
    Planes.resize(static_cast<size_t>(n) * ch);
    const float* planes[8];
    for (uint32_t c = 0; c < ch; ++c) {
      float* p = &Planes[static_cast<size_t>(c) * n];
      for (uint32_t i = 0; i < n; ++i)
        p[i] = static_cast<float>(buffer[c][i]) * scale;
      planes[c] = p;
    }
    Out.resize((OutFrames + n) * 4);
    auto* out = reinterpret_cast<int16_t*>(Out.data()) + OutFrames * 2;
    for (uint32_t i = 0; i < n; ++i)
      DownmixFrame(Mix, planes, i, out + 2 * i);
  } else if (OutBits == 16) {
    const int shift = static_cast<int>(16 - SourceBits);
    Out.resize((OutFrames + n) * 2 * ch);
    auto* out = reinterpret_cast<int16_t*>(Out.data()) + OutFrames * ch;
    for (uint32_t i = 0; i < n; ++i)
      for (uint32_t c = 0; c < ch; ++c)
        out[i * ch + c] = static_cast<int16_t>(static_cast<uint32_t>(buffer[c][i]) << shift);
  } else {
    const int shift = static_cast<int>(32 - SourceBits);
    Out.resize((OutFrames + n) * 4 * ch);
    auto* out = reinterpret_cast<int32_t*>(Out.data()) + OutFrames * ch;
    for (uint32_t i = 0; i < n; ++i)
      for (uint32_t c = 0; c < ch; ++c)
        out[i * ch + c] = static_cast<int32_t>(static_cast<uint32_t>(buffer[c][i]) << shift);
  }
  OutFrames += n;
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

TFLACIn::TFLACIn() : St(std::make_unique<TState>()) {}
TFLACIn::~TFLACIn() = default;

bool TFLACIn::Probe() {
  TState& s = *St;
  s.HaveInfo = false;
  s.Damage.clear();
  if (!s.Open(FileName()) || !FLAC__stream_decoder_process_until_end_of_metadata(s.Dec.get()) ||
      !s.HaveInfo) {
    s.Close();
    SetError(FileName() + ": not a FLAC file");
    return false;
  }
  if (s.SourceChannels == 0 || s.SourceChannels > 8 || s.SourceBits < 4 || s.SourceBits > 32 ||
      s.SourceRate == 0) {
    s.Close();
    SetError(FileName() + ": unsupported FLAC format");
    return false;
  }
  s.OutBits = s.SourceChannels <= 2 && s.SourceBits > 16 ? 32 : 16;
  if (s.SourceChannels > 2) s.Mix = MakeDownmix(s.SourceChannels, TChannelOrder::Wave);
  Bits = s.OutBits;
  Chans = s.SourceChannels == 1 ? 1 : 2;
  Rate = s.SourceRate;
  Total = static_cast<int64_t>(s.SourceTotal);
  if (s.SourceTotal == 0) {
    // The encoder did not know the length: count it once.
    s.Counting = true;
    s.Counted = 0;
    FLAC__stream_decoder_process_until_end_of_stream(s.Dec.get());
    s.Counting = false;
    Total = static_cast<int64_t>(s.Counted);
    if (!s.Damage.empty())
      SetWarning(FileName() + ": damaged FLAC data skipped (played as silence): " + s.Damage);
  }
  s.Close();
  return true;
}

bool TFLACIn::OpenSource() {
  TState& s = *St;
  s.Damage.clear();
  if (!s.Open(FileName()) || !FLAC__stream_decoder_process_until_end_of_metadata(s.Dec.get())) {
    s.Close();
    SetError(FileName() + ": not a FLAC file");
    return false;
  }
  return true;
}

void TFLACIn::CloseSource() {
  St->Close();
}

int64_t TFLACIn::SeekSource(int64_t frame) {
  TState& s = *St;
  s.OutFrames = 0;
  s.GapLeft = 0;
  s.GapPending = false;
  s.NextSample = static_cast<uint64_t>(frame);
  if (frame == 0 && FLAC__stream_decoder_get_state(s.Dec.get()) == FLAC__STREAM_DECODER_SEARCH_FOR_FRAME_SYNC)
    return 0;
  // libFLAC hands the frame holding the target to the write callback, trimmed to start there.
  if (FLAC__stream_decoder_seek_absolute(s.Dec.get(), static_cast<FLAC__uint64>(frame))) return frame;
  // A stream without usable seek points (or damaged): read it again from the top.
  s.OutFrames = 0;
  return OpenSource() ? 0 : -1;
}

size_t TFLACIn::DecodeBlock(const uint8_t*& data) {
  TState& s = *St;
  while (s.OutFrames == 0 && s.GapLeft == 0) {
    if (FLAC__stream_decoder_get_state(s.Dec.get()) == FLAC__STREAM_DECODER_END_OF_STREAM) return 0;
    const bool ok = FLAC__stream_decoder_process_single(s.Dec.get());
    if (!s.Damage.empty())
      SetWarning(FileName() + ": damaged FLAC data skipped (played as silence): " + s.Damage);
    if (!ok) {
      SetError(FileName() + ": " + (s.Damage.empty() ? std::string("damaged FLAC data") : s.Damage));
      return 0;
    }
  }
  if (s.GapLeft > 0) {
    constexpr uint64_t kSilenceFrames = 16384;
    const size_t n = static_cast<size_t>(std::min(s.GapLeft, kSilenceFrames));
    s.Silence.assign(n * BytesPerFrame(), 0);
    s.GapLeft -= n;
    data = s.Silence.data();
    return n;
  }
  const size_t n = s.OutFrames;
  s.OutFrames = 0;  // the caller consumes the block before the next call
  data = s.Out.data();
  return n;
}

}  // namespace vexa
