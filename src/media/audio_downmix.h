// Mixing of sources with more than two channels down to stereo, for the decoders that read
// such sources themselves. Pure functions.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Channel orders: the one of WAVE and FLAC (FL FR FC LFE BL BR SL SR) and the one of Vorbis.
enum class TChannelOrder { Wave, Vorbis };

struct TDownmix {
  float Left[8] = {};
  float Right[8] = {};
  uint32_t Channels = 0;
};

// Weights for 3 to 8 channels: a front side counts fully on its side, a centre or back-centre
// channel at -3 dB on both, the LFE channel not at all; each side is scaled to unit sum.
TDownmix MakeDownmix(uint32_t channels, TChannelOrder order);

// One frame of planar float samples (planes[c][i]) to a 16-bit stereo frame.
void DownmixFrame(const TDownmix& mix, const float* const* planes, size_t i, int16_t* out);

}  // namespace vexa
