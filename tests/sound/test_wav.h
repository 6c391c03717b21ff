// Small helpers of the sound tests: a scratch folder, WAV files written by hand, and the
// samples and header of a written file read back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace vexa::test {

// A folder of its own for each test, removed afterwards.
class TScratchDir {
 public:
  TScratchDir() {
    std::random_device rd;
    Path = std::filesystem::temp_directory_path() /
           ("vexa-sound-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(Path);
  }
  ~TScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  std::string File(const std::string& name) const { return (Path / name).string(); }
  size_t EntryCount() const {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(Path), {}));
  }
  std::filesystem::path Path;
};

inline void Put(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// Writes 16-bit PCM (interleaved samples) as a plain RIFF WAVE file.
inline void WriteTestWav(const std::string& path, uint32_t channels, uint32_t rate,
                         const std::vector<int16_t>& samples) {
  const uint32_t data = static_cast<uint32_t>(samples.size() * 2);
  std::string s = "RIFF";
  Put(s, 36 + data, 4);
  s += "WAVEfmt ";
  Put(s, 16, 4);
  Put(s, 1, 2);
  Put(s, channels, 2);
  Put(s, rate, 4);
  Put(s, rate * channels * 2, 4);
  Put(s, channels * 2, 2);
  Put(s, 16, 2);
  s += "data";
  Put(s, data, 4);
  for (int16_t v : samples)
    Put(s, static_cast<uint16_t>(v), 2);
  std::ofstream(path, std::ios::binary).write(s.data(), static_cast<std::streamsize>(s.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The header and the samples of a canonical 44-byte-header file.
struct TWavContent {
  std::string Header;
  std::vector<int16_t> Samples;  // interleaved
  int16_t Left(size_t frame) const { return Samples.at(2 * frame); }
  int16_t Right(size_t frame) const { return Samples.at(2 * frame + 1); }
  size_t Frames() const { return Samples.size() / 2; }
};

inline TWavContent ReadWav(const std::string& path) {
  TWavContent w;
  const std::string bytes = ReadBytes(path);
  if (bytes.size() < 44) {
    ADD_FAILURE() << path << " holds " << bytes.size() << " bytes";
    return w;
  }
  w.Header = bytes.substr(0, 44);
  w.Samples.resize((bytes.size() - 44) / 2);
  std::memcpy(w.Samples.data(), bytes.data() + 44, w.Samples.size() * 2);
  return w;
}

inline uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<uint8_t>(s.at(at + static_cast<size_t>(i)));
  return v;
}

}  // namespace vexa::test
