// Makers of sound files for the decoder tests and benchmarks: our own WAV writer with IMA and
// MS ADPCM encoders, and the reference encoders of the other formats.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vexa::testfiles {

// A temporary folder removed with its contents at the end of its life.
class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  std::string Path(const std::string& name) const { return Dir + "/" + name; }

 private:
  std::string Dir;
};

// Interleaved 16-bit test signal: two sines of different pitch per channel, below full scale.
std::vector<int16_t> MakeSignal(size_t frames, uint32_t channels, uint32_t rate);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadBytes(const std::string& path);

// A RIFF WAVE file from its parts: the whole format chunk body, the data, an optional fact.
std::vector<uint8_t> WaveFile(const std::vector<uint8_t>& fmt, const std::vector<uint8_t>& data,
                              int64_t factSamples = -1);
// Format chunk bodies.
std::vector<uint8_t> PcmFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits);
std::vector<uint8_t> ExtensibleFmt(uint16_t subTag, uint16_t channels, uint32_t rate, uint16_t bits,
                                   uint16_t validBits);
std::vector<uint8_t> ImaFmt(uint16_t channels, uint32_t rate, uint16_t blockAlign);
std::vector<uint8_t> MsFmt(uint16_t channels, uint32_t rate, uint16_t blockAlign);

// ADPCM encoders: blocks of blockAlign bytes (the last one padded). `decoded` receives the
// samples a correct decoder reproduces (the encoder tracks the decoder's state).
std::vector<uint8_t> EncodeIma(const std::vector<int16_t>& pcm, uint32_t channels, uint16_t blockAlign,
                               std::vector<int16_t>& decoded);
std::vector<uint8_t> EncodeMs(const std::vector<int16_t>& pcm, uint32_t channels, uint16_t blockAlign,
                              std::vector<int16_t>& decoded);

// Reference encoders; false when the encoder is not available.
bool WriteVorbis(const std::string& path, const std::vector<int16_t>& pcm, uint32_t channels, uint32_t rate);
bool WriteFlac(const std::string& path, const std::vector<int32_t>& pcm, uint32_t channels, uint32_t rate,
               uint32_t bits);
// Through FFmpeg: codec "libmp3lame"/"wmav2"/"tta", container "mp3"/"asf"/"tta".
bool WriteWithFFmpeg(const std::string& path, const char* codec, const char* container,
                     const std::vector<int16_t>& pcm, uint32_t channels, uint32_t rate, int64_t bitRate = 0);

}  // namespace vexa::testfiles

namespace vexa {
class TAuInput;
}

namespace vexa::testfiles {
// Everything the input delivers after Init, asking `chunk` bytes at a time, then Flush.
std::vector<uint8_t> ReadAll(TAuInput& input, size_t chunk = 65536);
// The same as 16-bit samples.
std::vector<int16_t> ReadAll16(TAuInput& input, size_t chunk = 65536);
}  // namespace vexa::testfiles
