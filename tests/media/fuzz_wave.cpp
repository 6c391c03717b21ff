// libFuzzer target for the WAV reader: any bytes as a .wav file, read whole and from the middle.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "media/wave_in.h"

namespace {

// An in-memory file with a path, so the reader opens it like any other.
class TMemFile {
 public:
  TMemFile(const uint8_t* data, size_t size) : Fd(memfd_create("fuzz.wav", MFD_CLOEXEC)) {
    size_t done = 0;
    while (Fd >= 0 && done < size) {
      ssize_t n = write(Fd, data + done, size - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
  }
  ~TMemFile() {
    if (Fd >= 0) close(Fd);
  }
  TMemFile(const TMemFile&) = delete;
  TMemFile& operator=(const TMemFile&) = delete;
  std::string Path() const { return "/proc/self/fd/" + std::to_string(Fd); }
  bool Ok() const { return Fd >= 0; }

 private:
  int Fd;
};

void Drain(vexa::TWaveIn& in, size_t chunk) {
  in.Init();
  const size_t frame = in.BytesPerFrame();
  size_t total = 0;
  for (;;) {
    const uint8_t* data = nullptr;
    size_t bytes = chunk;
    in.GetData(data, bytes);
    if (bytes == 0) break;
    if (bytes > chunk || (frame && bytes % frame) || !data) __builtin_trap();
    // Touch the first and last byte so an overread shows up under the sanitizer.
    volatile uint8_t sink = data[0] ^ data[bytes - 1];
    (void)sink;
    total += bytes;
  }
  in.Flush();
  if (frame && total / frame > static_cast<size_t>(in.TotalSamples())) __builtin_trap();
}

void Put(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s.push_back(static_cast<char>(v >> (8 * i)));
}

// Most random inputs die at the RIFF check; half of the inputs instead describe a plausible
// header (format, channels, depth, block size, chunk sizes) around fuzzed payload bytes.
std::string Shape(const uint8_t* data, size_t size) {
  static const uint16_t kTags[] = {1, 3, 0x11, 2, 0xFFFE, 7, 6, 0x55};
  static const uint16_t kBits[] = {8, 16, 24, 32, 64, 4, 0, 12};
  if (size < 8) return {};
  const uint16_t tag = kTags[data[1] & 7];
  const uint16_t channels = static_cast<uint16_t>(1 + (data[2] & 3));
  const uint16_t bits = kBits[data[3] & 7];
  const uint16_t align = static_cast<uint16_t>(data[4] | (data[5] & 0x0F) << 8);
  const uint16_t extra = static_cast<uint16_t>(data[6] & 63);
  const bool lieAboutData = data[7] & 1;
  data += 8;
  size -= 8;
  const size_t extraBytes = std::min<size_t>(extra, size);
  std::string fmt;
  Put(fmt, tag, 2);
  Put(fmt, channels, 2);
  Put(fmt, 44100, 4);
  Put(fmt, 44100u * align, 4);
  Put(fmt, align, 2);
  Put(fmt, bits, 2);
  Put(fmt, static_cast<uint32_t>(extraBytes), 2);
  fmt.append(reinterpret_cast<const char*>(data), extraBytes);
  data += extraBytes;
  size -= extraBytes;
  std::string out = "RIFF";
  Put(out, 0, 4);
  out += "WAVEfmt ";
  Put(out, static_cast<uint32_t>(fmt.size()), 4);
  out += fmt;
  if (fmt.size() & 1) out.push_back(0);
  out += "data";
  Put(out, lieAboutData ? 0xFFFFFFF0u : static_cast<uint32_t>(size), 4);
  out.append(reinterpret_cast<const char*>(data), size);
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string shaped;
  if (size > 0 && (data[0] & 1)) {
    shaped = Shape(data, size);
    data = reinterpret_cast<const uint8_t*>(shaped.data());
    size = shaped.size();
  }
  TMemFile file(data, size);
  if (!file.Ok()) return 0;
  vexa::TWaveIn in;
  in.SetFileName(file.Path());
  Drain(in, 4096);
  in.StartSample = in.TotalSamples() / 2 + 1;
  in.EndSample = in.TotalSamples() - 2;
  Drain(in, 333);
  return 0;
}
