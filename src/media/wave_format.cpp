#include "media/wave_format.h"

#include <cstring>

#include "media/audio_file.h"

namespace vexa {

namespace {

uint16_t Le16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// Tail of the GUID shared by the standard sub-formats: {tag-0000-0010-8000-00AA00389B71}.
const uint8_t kGuidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                               0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

constexpr uint32_t kMaxFmtBytes = 65536;

std::string ParseFmt(const std::vector<uint8_t>& b, TWaveFormat& f) {
  if (b.size() < 16) return "format chunk too short";
  f.FormatTag = Le16(&b[0]);
  f.Channels = Le16(&b[2]);
  f.SampleRate = Le32(&b[4]);
  f.BlockAlign = Le16(&b[12]);
  f.BitsPerSample = Le16(&b[14]);
  size_t extra = 0;
  if (b.size() >= 18) extra = std::min<size_t>(Le16(&b[16]), b.size() - 18);
  const uint8_t* ex = b.data() + 18;
  if (f.FormatTag == wave_tag::Extensible) {
    if (extra < 22) return "extensible format without its sub-format";
    f.FormatTag = Le16(ex + 6);
    f.KnownSubFormat = std::memcmp(ex + 8, kGuidTail, sizeof kGuidTail) == 0;
  } else if ((f.FormatTag == wave_tag::ImaAdpcm || f.FormatTag == wave_tag::MsAdpcm) && extra >= 2) {
    f.SamplesPerBlock = Le16(ex);
    if (f.FormatTag == wave_tag::MsAdpcm && extra >= 4) {
      size_t n = Le16(ex + 2);
      if (4 + 4 * n > extra) return "MS ADPCM coefficient table runs past the format chunk";
      for (size_t i = 0; i < 2 * n; ++i)
        f.Coefs.push_back(static_cast<int16_t>(Le16(ex + 4 + 2 * i)));
    }
  }
  if (f.Channels == 0) return "no channels";
  if (f.SampleRate == 0) return "sample rate 0";
  if (f.BlockAlign == 0) return "block align 0";
  return {};
}

}  // namespace

std::string ReadWaveFormat(const TAudioFile& file, TWaveFormat& f) {
  f = TWaveFormat{};
  const uint64_t size = file.Size();
  uint8_t head[12];
  if (!file.ReadAt(0, head, 12)) return "file too short for a WAVE header";
  if (std::memcmp(head, "RIFF", 4) != 0 || std::memcmp(head + 8, "WAVE", 4) != 0)
    return "not a RIFF WAVE file";
  bool haveFmt = false, haveData = false;
  uint64_t at = 12;
  while (at + 8 <= size && !(haveFmt && haveData)) {
    uint8_t ch[8];
    if (!file.ReadAt(at, ch, 8)) return "cannot read chunk header";
    const uint64_t body = at + 8;
    uint64_t len = Le32(ch + 4);
    const bool isData = std::memcmp(ch, "data", 4) == 0;
    if (len > size - body) {
      // A recording cut short still holds good frames; any other chunk that overruns is damage.
      if (!isData)
        return "chunk '" + std::string(reinterpret_cast<char*>(ch), 4) + "' runs past the end of the file";
      len = size - body;
      f.DataTruncated = true;
    }
    if (std::memcmp(ch, "fmt ", 4) == 0 && !haveFmt) {
      if (len > kMaxFmtBytes) return "format chunk too large";
      std::vector<uint8_t> b(static_cast<size_t>(len));
      if (!file.ReadAt(body, b.data(), b.size())) return "cannot read format chunk";
      if (std::string why = ParseFmt(b, f); !why.empty()) return why;
      haveFmt = true;
    } else if (std::memcmp(ch, "fact", 4) == 0 && len >= 4) {
      uint8_t n[4];
      if (!file.ReadAt(body, n, 4)) return "cannot read fact chunk";
      f.FactSamples = Le32(n);
    } else if (isData && !haveData) {
      f.DataOffset = body;
      f.DataBytes = len;
      haveData = true;
    }
    at = body + len + (len & 1);
  }
  if (!haveFmt) return "no format chunk";
  if (!haveData) return "no data chunk";
  return {};
}

}  // namespace vexa
