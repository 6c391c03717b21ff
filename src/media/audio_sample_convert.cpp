#include "media/audio_sample_convert.h"

#include <cmath>
#include <cstring>

namespace vexa {

float SampleToFloat(const uint8_t* p, uint32_t bits) {
  switch (bits) {
    case 8:
      return static_cast<float>(p[0]) / 128.0f - 1.0f;
    case 16: {
      int16_t s;
      std::memcpy(&s, p, 2);
      return static_cast<float>(s) / 32768.0f;
    }
    case 24: {
      int32_t s = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 | static_cast<uint32_t>(p[1]) << 16 |
                                       static_cast<uint32_t>(p[2]) << 24) >>
                  8;
      return static_cast<float>(s) / 8388608.0f;
    }
    case 32: {
      int32_t s;
      std::memcpy(&s, p, 4);
      return static_cast<float>(s) / 2147483648.0f;
    }
    default:
      return 0.0f;
  }
}

int16_t FloatToS16(float v) {
  if (v >= 1.0f) return 32767;
  if (v <= -1.0f) return -32768;
  return static_cast<int16_t>(std::floor(v * 32768.0f));
}

void FloatToSample(float v, uint8_t* p, uint32_t bits) {
  switch (bits) {
    case 8: {
      int32_t s = v >= 1.0f ? 127 : v <= -1.0f ? -128 : static_cast<int32_t>(std::floor(v * 128.0f));
      p[0] = static_cast<uint8_t>(s + 128);
      break;
    }
    case 16: {
      int16_t s = FloatToS16(v);
      std::memcpy(p, &s, 2);
      break;
    }
    case 24: {
      int32_t s = v >= 1.0f    ? 8388607
                  : v <= -1.0f ? -8388608
                               : static_cast<int32_t>(std::floor(static_cast<double>(v) * 8388608.0));
      p[0] = static_cast<uint8_t>(s);
      p[1] = static_cast<uint8_t>(s >> 8);
      p[2] = static_cast<uint8_t>(s >> 16);
      break;
    }
    case 32: {
      int32_t s = v >= 1.0f    ? 2147483647
                  : v <= -1.0f ? -2147483647 - 1
                               : static_cast<int32_t>(std::floor(static_cast<double>(v) * 2147483648.0));
      std::memcpy(p, &s, 4);
      break;
    }
    default:
      break;
  }
}

namespace {

// The common case of the sound renderer, kept free of per-sample switches.
void S16MonoToStereo(const uint8_t* in, uint8_t* out, size_t frames) {
  for (size_t i = 0; i < frames; ++i) {
    std::memcpy(out + i * 4, in + i * 2, 2);
    std::memcpy(out + i * 4 + 2, in + i * 2, 2);
  }
}

}  // namespace

void ConvertFrames(const uint8_t* in, uint32_t inBits, uint32_t inChannels, uint8_t* out, uint32_t outBits,
                   uint32_t outChannels, size_t frames) {
  const size_t inStep = inBits / 8, outStep = outBits / 8;
  if (inBits == 16 && outBits == 16 && inChannels == 1 && outChannels == 2) {
    S16MonoToStereo(in, out, frames);
    return;
  }
  for (size_t f = 0; f < frames; ++f) {
    const uint8_t* src = in + f * inStep * inChannels;
    uint8_t* dst = out + f * outStep * outChannels;
    if (inChannels == 1 && outChannels == 2) {
      float v = SampleToFloat(src, inBits);
      FloatToSample(v, dst, outBits);
      FloatToSample(v, dst + outStep, outBits);
    } else if (inChannels == 2 && outChannels == 1) {
      float v = (SampleToFloat(src, inBits) + SampleToFloat(src + inStep, inBits)) * 0.5f;
      FloatToSample(v, dst, outBits);
    } else {
      for (uint32_t c = 0; c < outChannels; ++c)
        FloatToSample(SampleToFloat(src + c * inStep, inBits), dst + c * outStep, outBits);
    }
  }
}

}  // namespace vexa
