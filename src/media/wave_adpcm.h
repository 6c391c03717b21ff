// Block decoders of the two ADPCM kinds found in WAV files. Pure functions over one block.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Frames held by a block (or by a short last block of `bytes`); 0 when too short for a header.
size_t ImaAdpcmFrames(size_t bytes, uint32_t channels);
size_t MsAdpcmFrames(size_t bytes, uint32_t channels);

// IMA/DVI ADPCM: per channel a 4-byte header (first sample, step index), then groups of 4 bytes
// per channel holding 8 samples, low nibble first. Decodes `frames` frames into interleaved
// 16-bit samples. False when a header's step index is out of range.
bool DecodeImaAdpcmBlock(const uint8_t* block, size_t bytes, uint32_t channels, size_t frames, int16_t* out);

// MS ADPCM: per channel predictor index, delta, sample 1, sample 2; then nibbles (high first),
// channels interleaved. coefs holds numCoefs pairs. False on a predictor index out of range.
bool DecodeMsAdpcmBlock(const uint8_t* block, size_t bytes, uint32_t channels, size_t frames,
                        const int16_t* coefs, size_t numCoefs, int16_t* out);

// The seven predictor pairs every MS ADPCM stream starts with.
extern const int16_t kMsAdpcmStandardCoefs[14];

}  // namespace vexa
