// Pure sample kernels of the format converter. Every sample passes through a single-precision
// value v in -1..1: 8-bit unsigned b gives b / 128 - 1, 16/24/32-bit signed s gives s / 2^(n-1);
// on the way out the largest integer not above v * 2^(n-1), saturated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

float SampleToFloat(const uint8_t* sample, uint32_t bits);
void FloatToSample(float v, uint8_t* sample, uint32_t bits);
int16_t FloatToS16(float v);

// Converts frames between formats. Channels change only between mono and stereo (mono is
// copied to both sides, stereo becomes the mean of the sides); with other channel counts
// inChannels must equal outChannels.
void ConvertFrames(const uint8_t* in, uint32_t inBits, uint32_t inChannels, uint8_t* out, uint32_t outBits,
                   uint32_t outChannels, size_t frames);

}  // namespace vexa
