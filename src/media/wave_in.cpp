#include "media/wave_in.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "media/audio_backends.h"
#include "media/wave_adpcm.h"

namespace vexa {

namespace {

constexpr size_t kPcmBlockFrames = 16384;
constexpr size_t kAdpcmBlocksPerRead = 8;
constexpr uint32_t kMaxSampleRate = 1u << 22;

int32_t FloatToS32(double v) {
  if (!(v > -1.0)) return v <= -1.0 ? INT32_MIN : 0;  // NaN gives silence
  if (v >= 1.0) return INT32_MAX;
  return static_cast<int32_t>(std::floor(v * 2147483648.0));
}

}  // namespace

TWaveIn::TWaveIn() = default;
TWaveIn::~TWaveIn() = default;

bool TWaveIn::Probe() {
  Other.reset();
  std::string why;
  if (!File.Open(FileName(), why)) {
    SetError(why);
    return false;
  }
  why = ReadWaveFormat(File, Format);
  File.Close();
  if (why.empty() && Format.SampleRate > kMaxSampleRate) why = "sample rate out of range";
  if (!why.empty()) {
    SetError(FileName() + ": " + why);
    return false;
  }
  // A recorder that was cut off, or a streaming writer that never went back to fill in the
  // size (0xFFFFFFFF): the frames up to the end of the file are good.
  if (Format.DataTruncated)
    SetWarning(FileName() + ": the data chunk runs past the end of the file; playing to the end of the file");
  const uint32_t ch = Format.Channels, bits = Format.BitsPerSample;
  const uint16_t tag = Format.KnownSubFormat ? Format.FormatTag : 0;
  Rate = Format.SampleRate;
  Chans = ch;
  if (tag == wave_tag::Pcm && ch <= 2 && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
    Kind = TKind::Pcm;
    Bits = bits;
    FileFrameBytes = bits / 8 * ch;
    Total = static_cast<int64_t>(Format.DataBytes / FileFrameBytes);
    return true;
  }
  if (tag == wave_tag::IeeeFloat && ch <= 2 && (bits == 32 || bits == 64)) {
    Kind = TKind::Float;
    Bits = 32;
    FileFrameBytes = bits / 8 * ch;
    Total = static_cast<int64_t>(Format.DataBytes / FileFrameBytes);
    return true;
  }
  if ((tag == wave_tag::ImaAdpcm && bits == 4 && ch <= 2) || (tag == wave_tag::MsAdpcm && ch <= 2)) {
    Kind = tag == wave_tag::ImaAdpcm ? TKind::Ima : TKind::Ms;
    Bits = 16;
    const size_t align = Format.BlockAlign;
    BlockFrames = Kind == TKind::Ima ? ImaAdpcmFrames(align, ch) : MsAdpcmFrames(align, ch);
    if (BlockFrames == 0 || (Kind == TKind::Ima && (align - 4 * ch) % (4 * ch) != 0)) {
      SetError(FileName() + ": ADPCM block size does not fit the channel count");
      return false;
    }
    if (Kind == TKind::Ms && Format.Coefs.empty())
      Format.Coefs.assign(std::begin(kMsAdpcmStandardCoefs), std::end(kMsAdpcmStandardCoefs));
    const uint64_t whole = Format.DataBytes / align, rest = Format.DataBytes % align;
    const size_t tail = Kind == TKind::Ima ? ImaAdpcmFrames(rest, ch) : MsAdpcmFrames(rest, ch);
    Total = static_cast<int64_t>(whole * BlockFrames + tail);
    // Encoders pad the last block; the fact chunk holds the true length.
    if (Format.FactSamples >= 0 && Format.FactSamples < Total) Total = Format.FactSamples;
    return true;
  }
  // Anything else goes to the general decoder, which also mixes more channels down to stereo.
  Kind = TKind::Other;
  Other = NewGeneralDecoder();
  if (!Other) {
    SetError(FileName() + ": WAVE format " + std::to_string(Format.FormatTag) + " is not supported");
    return false;
  }
  Other->SetFileName(FileName());
  if (std::string otherWhy = Other->Error(); !otherWhy.empty()) {
    SetError(otherWhy);
    return false;
  }
  Bits = Other->BitsPerSample();
  Chans = Other->Channels();
  Rate = Other->SampleRate();
  Total = Other->TotalSamples();
  return true;
}

bool TWaveIn::OpenSource() {
  if (Kind == TKind::Other) return Other != nullptr;
  std::string why;
  if (!File.Open(FileName(), why)) {
    SetError(why);
    return false;
  }
  Next = 0;
  return true;
}

void TWaveIn::CloseSource() {
  File.Close();
  if (Other) Other->Flush();
}

int64_t TWaveIn::SeekSource(int64_t frame) {
  switch (Kind) {
    case TKind::Pcm:
    case TKind::Float:
      Next = frame;
      return frame;
    case TKind::Ima:
    case TKind::Ms:
      // Blocks decode independently: start at the block holding the frame.
      Next = frame / static_cast<int64_t>(BlockFrames) * static_cast<int64_t>(BlockFrames);
      return Next;
    case TKind::Other:
      Other->StartSample = frame;
      Other->EndSample = -1;
      Other->Loop = false;
      Other->Init();
      return frame;
  }
  return -1;
}

size_t TWaveIn::DecodeBlock(const uint8_t*& data) {
  if (Next >= Total && Kind != TKind::Other) return 0;
  switch (Kind) {
    case TKind::Pcm:
      return DecodePcm(data);
    case TKind::Float:
      return DecodeFloat(data);
    case TKind::Ima:
    case TKind::Ms:
      return DecodeAdpcm(data);
    case TKind::Other:
      return DecodeOther(data);
  }
  return 0;
}

size_t TWaveIn::DecodePcm(const uint8_t*& data) {
  const size_t frames = static_cast<size_t>(std::min<int64_t>(kPcmBlockFrames, Total - Next));
  Raw.resize(frames * FileFrameBytes);
  if (!File.ReadAt(Format.DataOffset + static_cast<uint64_t>(Next) * FileFrameBytes, Raw.data(),
                   Raw.size())) {
    SetError(FileName() + ": read error");
    return 0;
  }
  Next += static_cast<int64_t>(frames);
  data = Raw.data();
  return frames;
}

size_t TWaveIn::DecodeFloat(const uint8_t*& data) {
  const uint8_t* raw = nullptr;
  const size_t frames = DecodePcm(raw);
  const size_t samples = frames * Chans;
  Out.resize(samples * 4);
  for (size_t i = 0; i < samples; ++i) {
    double v;
    if (Format.BitsPerSample == 32) {
      float f;
      std::memcpy(&f, raw + 4 * i, 4);
      v = f;
    } else {
      std::memcpy(&v, raw + 8 * i, 8);
    }
    int32_t s = FloatToS32(v);
    std::memcpy(&Out[4 * i], &s, 4);
  }
  data = Out.data();
  return frames;
}

size_t TWaveIn::DecodeAdpcm(const uint8_t*& data) {
  const size_t align = Format.BlockAlign;
  const uint64_t block = static_cast<uint64_t>(Next) / BlockFrames;
  const uint64_t offset = block * align;
  if (offset >= Format.DataBytes) return 0;
  const size_t bytes =
      static_cast<size_t>(std::min<uint64_t>(kAdpcmBlocksPerRead * align, Format.DataBytes - offset));
  Raw.resize(bytes);
  if (!File.ReadAt(Format.DataOffset + offset, Raw.data(), bytes)) {
    SetError(FileName() + ": read error");
    return 0;
  }
  Out.resize(kAdpcmBlocksPerRead * BlockFrames * Chans * 2);
  auto* out = reinterpret_cast<int16_t*>(Out.data());
  size_t frames = 0;
  for (size_t at = 0; at < bytes; at += align) {
    const size_t len = std::min(align, bytes - at);
    const size_t want =
        static_cast<size_t>(std::min<int64_t>(BlockFrames, Total - Next - static_cast<int64_t>(frames)));
    if (want == 0) break;
    const bool ok = Kind == TKind::Ima ? DecodeImaAdpcmBlock(&Raw[at], len, Chans, want, out + frames * Chans)
                                       : DecodeMsAdpcmBlock(&Raw[at], len, Chans, want, Format.Coefs.data(),
                                                            Format.Coefs.size() / 2, out + frames * Chans);
    const size_t got =
        std::min(want, Kind == TKind::Ima ? ImaAdpcmFrames(len, Chans) : MsAdpcmFrames(len, Chans));
    if (!ok) {
      SetError(FileName() + ": damaged ADPCM block " + std::to_string(block + at / align));
      break;
    }
    frames += got;
    if (got < BlockFrames) break;
  }
  Next += static_cast<int64_t>(frames);
  data = Out.data();
  return frames;
}

size_t TWaveIn::DecodeOther(const uint8_t*& data) {
  size_t bytes = 1u << 20;
  Other->GetData(data, bytes);
  if (bytes == 0 && !Other->Error().empty()) SetError(Other->Error());
  return bytes / BytesPerFrame();
}

}  // namespace vexa
