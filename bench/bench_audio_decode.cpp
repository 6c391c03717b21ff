// Audio decoding speed against the ffmpeg command: a three-minute 44.1 kHz stereo file of each
// format, decoded to the end through TAuInput (open included), next to
// `ffmpeg -threads 1 -i F -f null -` on the same file, timed in the same run. The counter
// speed_vs_ffmpeg on our rows is FFmpeg's wall time over ours (1.0 = as fast, above = faster);
// speed_vs_ffmpeg_cpu compares CPU seconds (steadier on a loaded machine), and
// speed_vs_ffmpeg_decoding the CPU seconds after taking out the command's start-up.
// Monkey's Audio is absent: no encoder for it is at hand to make the input.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <time.h>
#include <algorithm>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include "audio_test_files.h"
#include "media/audio_open.h"

namespace {

using namespace vexa;
using namespace vexa::testfiles;

constexpr uint32_t kRate = 44100;
constexpr size_t kFrames = size_t{kRate} * 180;

struct TInputs {
  TTempDir Dir;
  std::map<std::string, std::string> Files;
  TInputs() {
    const std::vector<int16_t> pcm = MakeSignal(kFrames, 2, kRate);
    std::vector<uint8_t> raw(pcm.size() * 2);
    std::memcpy(raw.data(), pcm.data(), raw.size());
    Files["wav"] = Dir.Path("song.wav");
    WriteBytes(Files["wav"], WaveFile(PcmFmt(1, 2, kRate, 16), raw));
    std::vector<int16_t> decoded;
    Files["wav_ima"] = Dir.Path("song_ima.wav");
    WriteBytes(Files["wav_ima"], WaveFile(ImaFmt(2, kRate, 2048), EncodeIma(pcm, 2, 2048, decoded), kFrames));
    Files["ogg"] = Dir.Path("song.ogg");
    WriteVorbis(Files["ogg"], pcm, 2, kRate);
    Files["flac"] = Dir.Path("song.flac");
    WriteFlac(Files["flac"], std::vector<int32_t>(pcm.begin(), pcm.end()), 2, kRate, 16);
    Files["mp3"] = Dir.Path("song.mp3");
    WriteWithFFmpeg(Files["mp3"], "libmp3lame", "mp3", pcm, 2, kRate, 192000);
    Files["wma"] = Dir.Path("song.wma");
    WriteWithFFmpeg(Files["wma"], "wmav2", "asf", pcm, 2, kRate, 128000);
    Files["tiny"] = Dir.Path("tiny.wav");
    WriteBytes(Files["tiny"], WaveFile(PcmFmt(1, 2, kRate, 16), std::vector<uint8_t>(400, 0)));
    Files["tta"] = Dir.Path("song.tta");
    WriteWithFFmpeg(Files["tta"], "tta", "tta", pcm, 2, kRate);
  }
};

TInputs& Inputs() {
  static TInputs inputs;
  return inputs;
}

// Best wall and CPU seconds of the command per format.
struct TTimes {
  double Wall = 1e9;
  double Cpu = 1e9;
};
std::map<std::string, TTimes>& FFmpegSeconds() {
  static std::map<std::string, TTimes> seconds;
  return seconds;
}

// CPU seconds of this process, and of its finished children (the command and its shell).
double OwnCpu() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double ChildrenCpu() {
  rusage ru{};
  getrusage(RUSAGE_CHILDREN, &ru);
  auto sec = [](const timeval& tv) {
    return static_cast<double>(tv.tv_sec) + static_cast<double>(tv.tv_usec) * 1e-6;
  };
  return sec(ru.ru_utime) + sec(ru.ru_stime);
}

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void BM_FFmpeg(benchmark::State& state, const char* format) {
  const std::string command =
      "ffmpeg -nostdin -v quiet -threads 1 -i '" + Inputs().Files.at(format) + "' -f null - > /dev/null 2>&1";
  TTimes best;
  for (auto _ : state) {
    const double t0 = Now(), c0 = ChildrenCpu();
    if (std::system(command.c_str()) != 0) state.SkipWithError("ffmpeg failed");
    const double t = Now() - t0;
    state.SetIterationTime(t);
    best.Wall = std::min(best.Wall, t);
    best.Cpu = std::min(best.Cpu, ChildrenCpu() - c0);
  }
  state.counters["cpu_ms"] = best.Cpu * 1e3;
  FFmpegSeconds()[format] = best;
}

void BM_Ours(benchmark::State& state, const char* format) {
  const std::string& file = Inputs().Files.at(format);
  TTimes best;
  size_t frames = 0;
  for (auto _ : state) {
    const double t0 = Now(), c0 = OwnCpu();
    std::unique_ptr<TAuDecoder> dec = OpenDecoder(file);
    dec->Init();
    size_t bytes = 0;
    for (;;) {
      const uint8_t* data = nullptr;
      size_t n = 1 << 16;
      dec->GetData(data, n);
      if (n == 0) break;
      bytes += n;
      benchmark::DoNotOptimize(data);
    }
    dec->Flush();
    frames = bytes / dec->BytesPerFrame();
    const double t = Now() - t0;
    state.SetIterationTime(t);
    best.Wall = std::min(best.Wall, t);
    best.Cpu = std::min(best.Cpu, OwnCpu() - c0);
  }
  state.counters["frames"] = static_cast<double>(frames);
  state.counters["cpu_ms"] = best.Cpu * 1e3;
  const auto& ff = FFmpegSeconds();
  if (auto it = ff.find(format); it != ff.end()) {
    state.counters["speed_vs_ffmpeg"] = it->second.Wall / best.Wall;
    state.counters["speed_vs_ffmpeg_cpu"] = it->second.Cpu / best.Cpu;
    // CPU again, with the command's start-up (its CPU on a file of 100 frames) taken out.
    if (auto tiny = ff.find("tiny"); tiny != ff.end() && it->second.Cpu > tiny->second.Cpu)
      state.counters["speed_vs_ffmpeg_decoding"] = (it->second.Cpu - tiny->second.Cpu) / best.Cpu;
  }
}

#define VEXA_DECODE_BENCH(fmt)                                                                            \
  BENCHMARK_CAPTURE(BM_FFmpeg, fmt, #fmt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3); \
  BENCHMARK_CAPTURE(BM_Ours, fmt, #fmt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3)

BENCHMARK_CAPTURE(BM_FFmpeg, startup, "tiny")->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);
VEXA_DECODE_BENCH(wav);
VEXA_DECODE_BENCH(wav_ima);
VEXA_DECODE_BENCH(ogg);
VEXA_DECODE_BENCH(flac);
VEXA_DECODE_BENCH(mp3);
VEXA_DECODE_BENCH(wma);
VEXA_DECODE_BENCH(tta);

}  // namespace
