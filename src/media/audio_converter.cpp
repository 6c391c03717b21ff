#include "media/audio_converter.h"

#include "media/audio_sample_convert.h"

namespace vexa {

namespace {
bool ValidBits(uint32_t bits) {
  return bits == 8 || bits == 16 || bits == 24 || bits == 32;
}
}  // namespace

bool TAudioConverter::PassThrough() const {
  return OutBitsPerSample == 0 && OutChannels == 0;
}

uint32_t TAudioConverter::BitsPerSample() const {
  if (!Input) return OutBitsPerSample;
  return PassThrough() || OutBitsPerSample == 0 ? Input->BitsPerSample() : OutBitsPerSample;
}

uint32_t TAudioConverter::Channels() const {
  if (!Input) return OutChannels;
  uint32_t in = Input->Channels();
  // Only mono and stereo are converted into each other; other counts stay.
  if (PassThrough() || OutChannels == 0 || in > 2) return in;
  return OutChannels;
}

void TAudioConverter::DoInit() {
  if (Input) Input->Init();
}

void TAudioConverter::DoFlush() {
  if (Input) Input->Flush();
}

void TAudioConverter::DoGetData(const uint8_t*& buffer, size_t& bytes) {
  if (!Input) {
    buffer = nullptr;
    bytes = 0;
    return;
  }
  if (PassThrough()) {
    Input->GetData(buffer, bytes);
    return;
  }
  const uint32_t inBits = Input->BitsPerSample(), inChannels = Input->Channels();
  const uint32_t outBits = BitsPerSample(), outChannels = Channels();
  const size_t inFrame = inBits / 8 * inChannels, outFrame = outBits / 8 * outChannels;
  if (!ValidBits(inBits) || !ValidBits(outBits) || inChannels == 0 || outChannels == 0) {
    SetError("unsupported sample format");
    buffer = nullptr;
    bytes = 0;
    return;
  }
  size_t frames = bytes / outFrame;
  if (frames == 0) {
    buffer = nullptr;
    bytes = 0;
    return;
  }
  const uint8_t* in = nullptr;
  size_t inBytes = frames * inFrame;
  Input->GetData(in, inBytes);
  frames = inBytes / inFrame;
  if (Out.size() < frames * outFrame) Out.resize(frames * outFrame);
  ConvertFrames(in, inBits, inChannels, Out.data(), outBits, outChannels, frames);
  buffer = Out.data();
  bytes = frames * outFrame;
}

}  // namespace vexa
