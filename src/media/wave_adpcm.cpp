#include "media/wave_adpcm.h"

#include <algorithm>
#include <cstdint>

namespace vexa {

namespace {

const int16_t kImaStep[89] = {
    7,    8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,   28,
    31,   34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,  118,
    130,  143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,  494,
    544,  598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878, 2066,
    2272, 2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845, 8630,
    9493, 10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int8_t kImaIndex[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};
const int16_t kMsAdapt[16] = {230, 230, 230, 230, 307, 409, 512, 614, 768, 614, 512, 409, 307, 230, 230, 230};

int16_t Le16(const uint8_t* p) {
  return static_cast<int16_t>(p[0] | p[1] << 8);
}
int16_t Clamp16(int32_t v) {
  return static_cast<int16_t>(std::clamp(v, -32768, 32767));
}

struct ImaState {
  int32_t Pred;
  int32_t Index;
  int16_t Next(uint32_t nibble) {
    int32_t step = kImaStep[Index];
    int32_t diff = step >> 3;
    if (nibble & 1) diff += step >> 2;
    if (nibble & 2) diff += step >> 1;
    if (nibble & 4) diff += step;
    Pred = (nibble & 8) ? std::max(Pred - diff, -32768) : std::min(Pred + diff, 32767);
    Index = std::clamp(Index + kImaIndex[nibble], 0, 88);
    return static_cast<int16_t>(Pred);
  }
};

struct MsState {
  int32_t C1, C2, Delta, S1, S2;
  int16_t Next(uint32_t nibble) {
    int32_t pred = (S1 * C1 + S2 * C2) >> 8;
    int32_t signedNibble = nibble >= 8 ? static_cast<int32_t>(nibble) - 16 : static_cast<int32_t>(nibble);
    int16_t value = Clamp16(pred + signedNibble * Delta);
    // Hostile data could grow the step without bound; keep the arithmetic in range.
    Delta = std::clamp<int32_t>((kMsAdapt[nibble] * Delta) >> 8, 16, INT32_MAX / 768);
    S2 = S1;
    S1 = value;
    return value;
  }
};

}  // namespace

const int16_t kMsAdpcmStandardCoefs[14] = {256, 0, 512, -256, 0, 0, 192, 64, 240, 0, 460, -208, 392, -232};

size_t ImaAdpcmFrames(size_t bytes, uint32_t channels) {
  if (channels == 0 || bytes < 4 * channels) return 0;
  return 1 + (bytes - 4 * channels) / (4 * channels) * 8;
}

size_t MsAdpcmFrames(size_t bytes, uint32_t channels) {
  if (channels == 0 || bytes < 7 * channels) return 0;
  return 2 + (bytes - 7 * channels) * 2 / channels;
}

bool DecodeImaAdpcmBlock(const uint8_t* block, size_t bytes, uint32_t channels, size_t frames, int16_t* out) {
  frames = std::min(frames, ImaAdpcmFrames(bytes, channels));
  if (frames == 0) return true;
  for (uint32_t c = 0; c < channels; ++c) {
    const uint8_t* head = block + 4 * c;
    if (head[2] > 88) return false;
    ImaState st{Le16(head), head[2]};
    out[c] = static_cast<int16_t>(st.Pred);
    // Group g of this channel holds frames 1 + 8g .. 8 + 8g.
    const uint8_t* data = block + 4 * channels + 4 * c;
    for (size_t f = 1; f < frames; f += 8) {
      const uint8_t* group = data + (f - 1) / 8 * 4 * channels;
      for (size_t k = 0; k < 8 && f + k < frames; ++k) {
        uint32_t nibble = (group[k / 2] >> ((k & 1) * 4)) & 15;
        out[(f + k) * channels + c] = st.Next(nibble);
      }
    }
  }
  return true;
}

bool DecodeMsAdpcmBlock(const uint8_t* block, size_t bytes, uint32_t channels, size_t frames,
                        const int16_t* coefs, size_t numCoefs, int16_t* out) {
  frames = std::min(frames, MsAdpcmFrames(bytes, channels));
  if (frames == 0) return true;
  MsState st[2];
  if (channels > 2) return false;
  for (uint32_t c = 0; c < channels; ++c) {
    uint8_t predictor = block[c];
    if (predictor >= numCoefs) return false;
    st[c].C1 = coefs[2 * predictor];
    st[c].C2 = coefs[2 * predictor + 1];
    st[c].Delta = Le16(block + channels + 2 * c);
    st[c].S1 = Le16(block + 3 * channels + 2 * c);
    st[c].S2 = Le16(block + 5 * channels + 2 * c);
    out[c] = static_cast<int16_t>(st[c].S2);
    if (frames > 1) out[channels + c] = static_cast<int16_t>(st[c].S1);
  }
  // Nibbles run through the interleaved samples from frame 2 on, high nibble first.
  const uint8_t* data = block + 7 * channels;
  const size_t samples = frames > 2 ? (frames - 2) * channels : 0;
  for (size_t i = 0; i < samples; ++i) {
    uint32_t nibble = (i & 1) ? data[i / 2] & 15 : data[i / 2] >> 4;
    uint32_t c = static_cast<uint32_t>(i % channels);
    out[2 * channels + i] = st[c].Next(nibble);
  }
  return true;
}

}  // namespace vexa
