// Graphic sources: the movie reader against the ffmpeg command, random access into a movie,
// and a cached picture rebuild against its first decode.
//
// MovieSequential reads every frame of a 1280 x 720 MPEG-4 AVI (B-frames, 12-frame GOPs) in
// order with TAVIReader into a 32-bit picture, conversion to bottom-up BGR included. Its
// counter vs_ffmpeg is its frame rate over that of `ffmpeg -threads 1 -i F -f null -` on the
// same file (real time as ffmpeg's -benchmark reports it), measured at the start of the run.
// MovieRandomAccess reads frames in a fixed random order (ms_per_frame). PictureDecode loads a
// 1920 x 1080 PNG into a fresh session; PictureCachedRebuild loads it again from ImageCache.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <utility>

#include "bitmap/bitmap.h"
#include "media/avi_reader.h"
#include "render/studio.h"

namespace {

using namespace vexa;

constexpr int kMovieFrames = 150;

struct TInputs {
  std::filesystem::path Dir;
  std::string Movie, Picture;
  double FFmpegFps = 0;     // by real time
  double FFmpegCpuFps = 0;  // by processor time (user + system)

  TInputs() {
    std::random_device rd;
    Dir = std::filesystem::temp_directory_path() / ("vexa-bench-sources-" + std::to_string(rd()));
    std::filesystem::create_directories(Dir);
    Movie = (Dir / "movie.avi").string();
    Picture = (Dir / "picture.png").string();
    Run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1280x720:rate=30 -frames:v " +
        std::to_string(kMovieFrames) + " -c:v mpeg4 -q:v 3 -bf 2 -g 12 '" + Movie + "'");
    Run("ffmpeg -nostdin -v error -y -f lavfi -i testsrc2=size=1920x1080 -frames:v 1 -pix_fmt rgba '" +
        Picture + "'");
    const auto [real, cpu] = FFmpegSeconds();
    FFmpegFps = kMovieFrames / real;
    FFmpegCpuFps = kMovieFrames / cpu;
  }
  ~TInputs() {
    std::error_code ec;
    std::filesystem::remove_all(Dir, ec);
  }

  static void Run(const std::string& cmd) {
    if (std::system(cmd.c_str()) != 0) {
      std::fprintf(stderr, "bench_sources: command failed: %s\n", cmd.c_str());
      std::exit(1);
    }
  }

  // ffmpeg's own real and processor times for decoding the whole movie on one thread (best of
  // three each).
  std::pair<double, double> FFmpegSeconds() const {
    double real = 1e9, cpu = 1e9;
    const std::string log = (Dir / "ffmpeg.log").string();
    for (int i = 0; i < 3; ++i) {
      Run("ffmpeg -nostdin -benchmark -threads 1 -i '" + Movie + "' -f null - > '" + log + "' 2>&1");
      std::ifstream f(log);
      std::string line;
      while (std::getline(f, line)) {
        const size_t r = line.find("rtime="), u = line.find("utime="), st = line.find("stime=");
        if (r == std::string::npos || u == std::string::npos || st == std::string::npos) continue;
        real = std::min(real, std::atof(line.c_str() + r + 6));
        cpu = std::min(cpu, std::atof(line.c_str() + u + 6) + std::atof(line.c_str() + st + 6));
      }
    }
    return {real, cpu};
  }
};

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

TInputs& Inputs() {
  static TInputs inputs;
  return inputs;
}

void MovieSequential(benchmark::State& state) {
  TInputs& in = Inputs();
  TABitmap target;
  TAVIReader reader(&target);
  if (reader.Open(in.Movie) != 0) {
    state.SkipWithError("cannot open the movie");
    return;
  }
  target.SetSize(reader.Width(), reader.Height());
  int64_t frames = 0;
  double seconds = 0, cpuSeconds = 0;
  for (auto _ : state) {
    reader.Open(in.Movie);  // from the start again, as a fresh session would (not timed)
    target.SetSize(reader.Width(), reader.Height());
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = ThreadCpuSeconds();
    for (uint32_t n = 0; n <= reader.LastFrame(); ++n)
      if (!reader.ReadFrame(n)) state.SkipWithError("frame not read");
    cpuSeconds += ThreadCpuSeconds() - cpuStart;
    const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(s);
    seconds += s;
    frames += reader.LastFrame() + 1;
  }
  const double fps = seconds > 0 ? static_cast<double>(frames) / seconds : 0;
  state.counters["fps"] = fps;
  state.counters["ffmpeg_fps"] = in.FFmpegFps;
  state.counters["vs_ffmpeg"] = in.FFmpegFps > 0 ? fps / in.FFmpegFps : 0;
  // On a busy machine wall clocks of two moments differ; processor time compares the work.
  const double cpuFps = cpuSeconds > 0 ? static_cast<double>(frames) / cpuSeconds : 0;
  state.counters["cpu_fps"] = cpuFps;
  state.counters["ffmpeg_cpu_fps"] = in.FFmpegCpuFps;
  state.counters["cpu_vs_ffmpeg"] = in.FFmpegCpuFps > 0 ? cpuFps / in.FFmpegCpuFps : 0;
  state.counters["seeks"] = static_cast<double>(reader.SeekCount());
}

void MovieRandomAccess(benchmark::State& state) {
  TInputs& in = Inputs();
  TABitmap target;
  TAVIReader reader(&target);
  if (reader.Open(in.Movie) != 0) {
    state.SkipWithError("cannot open the movie");
    return;
  }
  target.SetSize(reader.Width(), reader.Height());
  std::mt19937 rng(11);
  for (auto _ : state)
    if (!reader.ReadFrame(static_cast<uint32_t>(rng() % (reader.LastFrame() + 1))))
      state.SkipWithError("frame not read");
  // The time per iteration is the cost of one random frame.
  state.counters["decoded_per_read"] = static_cast<double>(reader.DecodedCount()) /
                                       static_cast<double>(std::max<int64_t>(1, state.iterations()));
}

void PictureDecode(benchmark::State& state) {
  TInputs& in = Inputs();
  TABitmap target;
  for (auto _ : state) {
    TVexaStudio studio;  // empty cache: a real decode
    if (!studio.LoadPictureFile(in.Picture, target)) state.SkipWithError("not loaded");
  }
  state.SetBytesProcessed(state.iterations() * int64_t{target.Width()} * target.Height() * 4);
}

void PictureCachedRebuild(benchmark::State& state) {
  TInputs& in = Inputs();
  TVexaStudio studio;
  TABitmap target;
  studio.LoadPictureFile(in.Picture, target);
  for (auto _ : state)
    if (!studio.LoadPictureFile(in.Picture, target)) state.SkipWithError("not loaded");
  state.SetBytesProcessed(state.iterations() * int64_t{target.Width()} * target.Height() * 4);
}

}  // namespace

BENCHMARK(MovieSequential)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(4);
BENCHMARK(MovieRandomAccess)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(PictureDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(PictureCachedRebuild)->Unit(benchmark::kMillisecond);
