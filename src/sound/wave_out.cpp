#include "sound/wave_out.h"

#include <cstring>
#include <exception>

#include "media/audio_input.h"
#include "sound/replacing_file.h"
#include "sound/sound_error.h"

namespace vexa {
namespace {

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i)
    p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// Ends the input's read on every path.
class TFlushGuard {
 public:
  explicit TFlushGuard(TAuInput& input) : input_(input) {}
  ~TFlushGuard() { input_.Flush(); }
  TFlushGuard(const TFlushGuard&) = delete;
  TFlushGuard& operator=(const TFlushGuard&) = delete;

 private:
  TAuInput& input_;
};

constexpr size_t kReadBytes = 1 << 20;

}  // namespace

std::array<uint8_t, kWaveHeaderBytes> MakeWaveHeader(uint32_t channels, uint32_t sampleRate,
                                                     uint32_t bitsPerSample, uint32_t dataBytes) {
  std::array<uint8_t, kWaveHeaderBytes> h{};
  const uint32_t blockAlign = channels * (bitsPerSample / 8);
  const uint32_t padded = dataBytes + (dataBytes & 1);  // chunks end on an even offset
  std::memcpy(&h[0], "RIFF", 4);
  Put32(&h[4], 36 + padded);
  std::memcpy(&h[8], "WAVE", 4);
  std::memcpy(&h[12], "fmt ", 4);
  Put32(&h[16], 16);
  Put16(&h[20], 1);  // PCM
  Put16(&h[22], channels);
  Put32(&h[24], sampleRate);
  Put32(&h[28], sampleRate * blockAlign);
  Put16(&h[32], blockAlign);
  Put16(&h[34], bitsPerSample);
  std::memcpy(&h[36], "data", 4);
  Put32(&h[40], dataBytes);
  return h;
}

TWaveOut::~TWaveOut() {
  Stop();
}

void TWaveOut::Run() {
  Join();
  StopRequested = false;
  Done = false;
  {
    std::lock_guard<std::mutex> hold(ResultLock);
    ErrorText.clear();
    Written = false;
  }
  Worker = std::thread([this] { Work(); });
}

void TWaveOut::Join() {
  if (Worker.joinable()) Worker.join();
}

bool TWaveOut::Wait() {
  Join();
  std::lock_guard<std::mutex> hold(ResultLock);
  return Written;
}

void TWaveOut::Stop() {
  StopRequested = true;
  Join();
}

std::string TWaveOut::Error() const {
  std::lock_guard<std::mutex> hold(ResultLock);
  return ErrorText;
}

void TWaveOut::Work() {
  std::string error;
  bool written = false;
  bool stopped = false;
  try {
    if (Input == nullptr) throw ESoundError("Cannot write the sound file \"" + FileName + "\": no input.");
    TAuInput& in = *Input;
    const uint32_t channels = in.Channels(), rate = in.SampleRate(), bits = in.BitsPerSample();
    if (channels == 0 || channels > 0xFFFF || (bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
        uint64_t{rate} * channels * (bits / 8) > 0xFFFFFFFFull)
      throw ESoundError("Cannot write the sound file \"" + FileName + "\": unsupported PCM format.");

    TReplacingFile file(FileName, TempFiles);
    const auto blank = MakeWaveHeader(channels, rate, bits, 0);
    file.Write(blank.data(), blank.size());

    uint64_t data = 0;
    {
      in.Init();
      TFlushGuard flush(in);
      for (;;) {
        if (StopRequested || (StopWhen && StopWhen())) {
          stopped = true;
          break;
        }
        const uint8_t* block = nullptr;
        size_t bytes = kReadBytes;
        in.GetData(block, bytes);
        if (bytes == 0 || block == nullptr) break;
        if (data + bytes > kWaveMaxDataBytes)
          throw ESoundError("Cannot write the sound file \"" + FileName +
                            "\": the sound is longer than a WAV file can hold (4 GiB of data).");
        file.Write(block, bytes);
        data += bytes;
      }
    }
    if (!stopped) {
      const std::string why = in.Error();
      if (!why.empty()) throw ESoundError("Cannot write the sound file \"" + FileName + "\": " + why);
      if (data & 1) {
        const uint8_t pad = 0;
        file.Write(&pad, 1);
      }
      const auto header = MakeWaveHeader(channels, rate, bits, static_cast<uint32_t>(data));
      file.WriteAt(0, header.data(), header.size());
      file.Commit();
      written = true;
    } else {
      error = "The sound file \"" + FileName + "\" was not written: stopped before the end.";
    }
  } catch (const std::exception& e) {
    error = e.what();
  }
  {
    std::lock_guard<std::mutex> hold(ResultLock);
    ErrorText = std::move(error);
    Written = written;
  }
  Done = true;
}

}  // namespace vexa
