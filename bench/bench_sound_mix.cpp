// Sound render speed against sox: eight three-minute 44.1 kHz stereo files, one per sound
// layer, mixed and normalised into one WAV. Both rates are seconds of output per second of
// work, measured in the same run; the ratio is ours over sox's.
//
// Environment: VEXA_BENCH_PEERS (default /work/shared/bench-peers/peers.sh) makes the inputs
// and times sox; VEXA_BENCH_DIR (default /tmp/vexa-bench-sound) holds them.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "model/project.h"
#include "sound/render_sound.h"

namespace {

std::string Env(const char* name, const char* fallback) {
  const char* v = std::getenv(name);
  return v && *v ? v : fallback;
}

// Runs a command and returns what it printed, or nothing when it failed.
std::string Capture(const std::string& command) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  if (!pipe) return out;
  char buf[256];
  while (std::fgets(buf, sizeof buf, pipe.get()))
    out += buf;
  return out;
}

constexpr double kSeconds = 180;  // of each input, and so of the mix's music

void BM_SoundMixAgainstSox(benchmark::State& state) {
  const std::string peers = Env("VEXA_BENCH_PEERS", "/work/shared/bench-peers/peers.sh");
  const std::string dir = Env("VEXA_BENCH_DIR", "/tmp/vexa-bench-sound");
  if (!std::filesystem::exists(peers)) {
    state.SkipWithError(("no " + peers).c_str());
    return;
  }
  if (std::system(("bash '" + peers + "' inputs '" + dir + "' >/dev/null 2>&1").c_str()) != 0) {
    state.SkipWithError("peers.sh inputs failed (is sox installed?)");
    return;
  }
  // "sox-mix <rate> x-realtime"
  std::istringstream line(Capture("bash '" + peers + "' sox-mix '" + dir + "' 2>/dev/null"));
  std::string name;
  double soxRate = 0;
  line >> name >> soxRate;
  if (name != "sox-mix" || soxRate <= 0) {
    state.SkipWithError("peers.sh sox-mix printed no rate");
    return;
  }

  vexa::TProject project;
  for (int i = 1; i <= 8; ++i) {
    auto* layer = vexa::NewSoundLayer(project.SoundLayers, -1);
    auto e = std::make_unique<vexa::TSoundSourceEvent>();
    e->EndTime = static_cast<uint32_t>(kSeconds * 1000);
    e->FileName = dir + "/audio/t" + std::to_string(i) + ".wav";
    e->SampleAppointMode = 1;  // milliseconds
    e->EndSample = e->EndTime;
    e->StartVolume = e->EndVolume = 256;
    layer->Events.Add(std::move(e));
  }
  const std::string out = dir + "/vexa-mix.wav";

  // The median of five renders, as sox's figure is the median of its runs.
  std::vector<double> seconds;
  for (auto _ : state) {
    for (int run = 0; run < 5; ++run) {
      const auto t0 = std::chrono::steady_clock::now();
      if (!vexa::RenderSound(project, out)) {
        state.SkipWithError("RenderSound wrote nothing");
        return;
      }
      seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
  }
  std::sort(seconds.begin(), seconds.end());
  const double ours = kSeconds / seconds[seconds.size() / 2];
  state.counters["vexa_x_realtime"] = ours;
  state.counters["sox_x_realtime"] = soxRate;
  state.counters["ratio_vs_sox"] = ours / soxRate;
  std::printf("sound mix: vexa %.2f x-realtime, sox %.2f x-realtime, ratio %.2f\n", ours, soxRate,
              ours / soxRate);
}
BENCHMARK(BM_SoundMixAgainstSox)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
