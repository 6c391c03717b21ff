#include "media/audio_downmix.h"

#include "media/audio_sample_convert.h"

namespace vexa {

namespace {
// L left, R right, C both at -3 dB, E low-frequency effects (left out).
const char* const kWaveRoles[9] = {"", "C", "LR", "LRC", "LRLR", "LRCLR", "LRCELR", "LRCECLR", "LRCELRLR"};
const char* const kVorbisRoles[9] = {"", "C", "LR", "LCR", "LRLR", "LCRLR", "LCRLRE", "LCRLRCE", "LCRLRLRE"};
}  // namespace

TDownmix MakeDownmix(uint32_t channels, TChannelOrder order) {
  TDownmix mix;
  if (channels == 0 || channels > 8) return mix;
  mix.Channels = channels;
  const char* roles = order == TChannelOrder::Wave ? kWaveRoles[channels] : kVorbisRoles[channels];
  float sumL = 0, sumR = 0;
  for (uint32_t c = 0; c < channels; ++c) {
    switch (roles[c]) {
      case 'L':
        mix.Left[c] = 1.0f;
        break;
      case 'R':
        mix.Right[c] = 1.0f;
        break;
      case 'C':
        mix.Left[c] = mix.Right[c] = 0.70710678f;
        break;
      default:
        break;
    }
    sumL += mix.Left[c];
    sumR += mix.Right[c];
  }
  for (uint32_t c = 0; c < channels; ++c) {
    if (sumL > 0) mix.Left[c] /= sumL;
    if (sumR > 0) mix.Right[c] /= sumR;
  }
  return mix;
}

void DownmixFrame(const TDownmix& mix, const float* const* planes, size_t i, int16_t* out) {
  float l = 0, r = 0;
  for (uint32_t c = 0; c < mix.Channels; ++c) {
    l += planes[c][i] * mix.Left[c];
    r += planes[c][i] * mix.Right[c];
  }
  out[0] = FloatToS16(l);
  out[1] = FloatToS16(r);
}

}  // namespace vexa
