// The WAV writer: pulls PCM from its input and writes a RIFF WAVE file with the canonical
// 44-byte header, on a worker thread of its own between Run and Stop.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace vexa {

class TAuInput;
class TTempFileWatch;

inline constexpr size_t kWaveHeaderBytes = 44;

// The header of a PCM file of the given format whose data chunk holds dataBytes bytes.
std::array<uint8_t, kWaveHeaderBytes> MakeWaveHeader(uint32_t channels, uint32_t sampleRate,
                                                     uint32_t bitsPerSample, uint32_t dataBytes);

// The most PCM bytes one file can hold: its sizes are 32-bit.
inline constexpr uint64_t kWaveMaxDataBytes = 0xFFFFFFFFull - 36 - 1;

class TWaveOut {
 public:
  TWaveOut() = default;
  ~TWaveOut();
  TWaveOut(const TWaveOut&) = delete;
  TWaveOut& operator=(const TWaveOut&) = delete;

  TAuInput* Input = nullptr;            // borrowed; read from StartSample to EndSample in its own format
  std::string FileName;                 // the file to write; an existing one is replaced once complete
  TTempFileWatch* TempFiles = nullptr;  // borrowed; told about the file being written
  // Asked by the worker before each block it writes; true stops it as Stop does.
  std::function<bool()> StopWhen;

  // Starts writing on the worker thread.
  void Run();
  // True once the worker has finished, whether the file was written or not.
  bool Finished() const { return Done.load(); }
  // Waits for the worker; true when the whole file was written and is in place.
  bool Wait();
  // Asks the worker to stop early and waits for it. An unfinished file is thrown away and
  // the file that was there stays as it was.
  void Stop();
  // Why the file was not written; empty when it was (or is still being written).
  std::string Error() const;

 private:
  void Work();
  void Join();

  std::thread Worker;
  std::atomic<bool> StopRequested{false};
  std::atomic<bool> Done{false};
  mutable std::mutex ResultLock;
  std::string ErrorText;
  bool Written = false;
};

}  // namespace vexa
