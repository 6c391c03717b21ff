// The header of a RIFF WAVE file: format chunk, optional fact chunk and where the data lies.
// Every chunk size is checked against the file; nothing is read beyond its end.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa {

class TAudioFile;

namespace wave_tag {
inline constexpr uint16_t Pcm = 1, MsAdpcm = 2, IeeeFloat = 3, ImaAdpcm = 0x11, Extensible = 0xFFFE;
}

struct TWaveFormat {
  uint16_t FormatTag = 0;  // the sub-format's tag for WAVE_FORMAT_EXTENSIBLE
  uint16_t Channels = 0;
  uint32_t SampleRate = 0;
  uint16_t BlockAlign = 0;
  uint16_t BitsPerSample = 0;    // container bits
  uint16_t SamplesPerBlock = 0;  // ADPCM, from the format's extra bytes (0 if absent)
  std::vector<int16_t> Coefs;    // MS ADPCM predictor pairs
  bool KnownSubFormat = true;    // false for an extensible sub-format GUID outside the standard family
  uint64_t DataOffset = 0;
  uint64_t DataBytes = 0;
  int64_t FactSamples = -1;
  bool DataTruncated = false;  // the data chunk claims more bytes than the file holds
};

// Reads the header; returns an empty string on success or the reason the file is unusable.
std::string ReadWaveFormat(const TAudioFile& file, TWaveFormat& format);

}  // namespace vexa
