// Volume and balance envelopes on 16-bit stereo PCM.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Multiplies the frames of a 16-bit stereo block, in place, by a gain per channel that moves
// from its start to its end value in steps of 512 frames (about 11.6 ms at 44.1 kHz):
// stretch k of the S whole stretches uses start + k * (end - start) / (S - 1); the frames after
// the last whole stretch use the end values (the start values when there is no whole stretch)
// and the last (frames mod 8) frames always use the end values. Each product is formed in
// single precision, rounded to the nearest integer (ties to even) and saturated.
void ApplyGainRamp(int16_t* block, size_t bytes, float leftStart, float leftEnd, float rightStart,
                   float rightEnd);

// Frames per gain step.
inline constexpr size_t kGainStretchFrames = 512;

}  // namespace vexa
