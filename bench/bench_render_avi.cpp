// Compositing and whole graphic render next to the peers (the ffmpeg command's overlay graph
// and MLT's melt), on the same three 1920 x 1080 layers with transparency, 300 frames at 30 fps,
// one thread each.
//
// BM_Peers runs /work/shared/bench-peers/peers.sh (override with VEXA_PEERS; RUNS sets its
// repetitions, default 3 here); BM_ComposeFrame times ComposeFrame over the 300 frames;
// BM_RenderUncompressedAvi times the render command writing an uncompressed AVI (the work of
// `vexa-render -o OUT --codec uncompressed`); BM_Ratios reports ours / the faster peer.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "model/event_kinds.h"
#include "model/project.h"
#include "render/graphic_render_command.h"
#include "render/studio.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;

constexpr int kFrames = 300;

struct TShared {
  fs::path Dir;
  std::string Peers;
  double FfmpegFps = 0, MeltFps = 0, ComposeFps = 0, RenderFps = 0;
  bool Ready = false;
};

TShared& Shared() {
  static TShared s;
  return s;
}

std::string Run(const std::string& command) {
  std::string out;
  if (FILE* p = ::popen(command.c_str(), "r")) {
    char buf[512];
    while (std::fgets(buf, sizeof buf, p))
      out += buf;
    ::pclose(p);
  }
  return out;
}

// "<name> <rate> fps" -> rate; 0 when the peer did not run.
double PeerRate(const std::string& sub) {
  const std::string line = Run(Shared().Peers + " " + sub + " " + Shared().Dir.string() + " 2>/dev/null");
  const auto sp = line.find(' ');
  return sp == std::string::npos ? 0 : std::atof(line.c_str() + sp + 1);
}

bool Prepare(benchmark::State& state) {
  TShared& s = Shared();
  if (!s.Ready) {
    const char* peers = std::getenv("VEXA_PEERS");
    s.Peers = peers ? peers : "/work/shared/bench-peers/peers.sh";
    s.Dir = fs::temp_directory_path() / ("vexa-bench-render-avi-" + std::to_string(::getpid()));
    fs::create_directories(s.Dir);
    Run(s.Peers + " inputs " + s.Dir.string() + " >/dev/null 2>&1");
    s.Ready = fs::exists(s.Dir / "layers" / "l3-textbox.png");
  }
  if (!s.Ready) state.SkipWithError("peers.sh inputs failed (needs ffmpeg)");
  return s.Ready;
}

template <class T>
T& Add(TGraphicLayer& layer, uint32_t start, uint32_t end) {
  std::unique_ptr<TEvent> e = NewEventWithInitialValues(T::KindCode);
  e->StartTime = start;
  e->EndTime = end;
  auto* list = layer.ListForKind(T::KindCode);
  e->EventNumber = static_cast<uint32_t>(list->Count());
  return *EventAs<T>(list->Add(std::move(e)));
}

// The peers' composition: three picture layers over a 0x204060 background; layer 2 fades in
// over 5 s, layer 3 moves up by 30 pixels per second.
void BuildProject(TProject& p) {
  const fs::path layers = Shared().Dir / "layers";
  p.Width = 1920, p.Height = 1080, p.FPS = 30, p.BackColor = 0x00604020;
  const char* files[] = {"l1-gradient.png", "l2-circles.png", "l3-textbox.png"};
  for (int i = 0; i < 3; ++i) {
    TGraphicLayer& l = *NewGraphicLayer(p.GraphicLayers, -1);
    l.Name = "layer " + std::to_string(i + 1);
    auto& image = Add<TGraphicSourceImageEvent>(l, 0, 10000);
    image.FileName = (layers / files[i]).string();
    image.BlendMode = 1;
    if (i == 1) {
      auto& fade = Add<TGraphicEffectFadeEvent>(l, 0, 5000);
      fade.StartAlpha = 0, fade.EndAlpha = 255;
    }
    if (i == 2) {
      auto& move = Add<TGraphicEffectPositionEvent>(l, 0, 10000);
      move.PositionType = 0;  // pixels
      move.StartX = move.EndX = 0, move.StartY = 0, move.EndY = -300;
    }
  }
}

void BM_Peers(benchmark::State& state) {
  if (!Prepare(state)) return;
  for (auto _ : state) {
    ::setenv("RUNS", std::getenv("RUNS") ? std::getenv("RUNS") : "3", 1);
    Shared().FfmpegFps = PeerRate("ffmpeg-composite");
    Shared().MeltFps = PeerRate("melt-composite");
  }
  state.counters["ffmpeg_fps"] = Shared().FfmpegFps;
  state.counters["melt_fps"] = Shared().MeltFps;
}
BENCHMARK(BM_Peers)->Iterations(1)->Unit(benchmark::kSecond);

void BM_ComposeFrame(benchmark::State& state) {
  if (!Prepare(state)) return;
  double best = 0;
  for (auto _ : state) {
    TVexaStudio studio;
    BuildProject(studio.Project);
    if (!studio.PrepareSession()) {
      state.SkipWithError("no frames");
      return;
    }
    const auto t0 = std::chrono::steady_clock::now();
    while (studio.FrameIndex < studio.FrameCount)
      studio.ComposeFrame();
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    best = std::max(best, kFrames / secs);
    benchmark::DoNotOptimize(studio.FrameBitmap.Bits());
    studio.FinishSession();
  }
  Shared().ComposeFps = best;
  state.counters["fps"] = best;
}
BENCHMARK(BM_ComposeFrame)->Iterations(3)->Unit(benchmark::kSecond);

void BM_RenderUncompressedAvi(benchmark::State& state) {
  if (!Prepare(state)) return;
  double best = 0;
  const std::string out = (Shared().Dir / "render.avi").string();
  for (auto _ : state) {
    TVexaStudio studio;
    BuildProject(studio.Project);
    TCodecOptions options = DefaultCodecOptions(30);
    options.Handler = "uncompressed";
    TFixedCodecChoice choice(options);
    const auto t0 = std::chrono::steady_clock::now();
    const auto outcome = RunGraphicRenderCommand(studio, out, choice);
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (outcome.Status != TGraphicRenderStatus::Finished) {
      state.SkipWithError(outcome.Detail.c_str());
      return;
    }
    best = std::max(best, outcome.FramesWritten / secs);
    fs::remove(out);
  }
  Shared().RenderFps = best;
  state.counters["fps"] = best;
}
BENCHMARK(BM_RenderUncompressedAvi)->Iterations(2)->Unit(benchmark::kSecond);

void BM_Ratios(benchmark::State& state) {
  for (auto _ : state) {
  }
  const TShared& s = Shared();
  const double peer = std::max(s.FfmpegFps, s.MeltFps);
  state.counters["faster_peer_fps"] = peer;
  state.counters["compose_ratio"] = peer > 0 ? s.ComposeFps / peer : 0;
  state.counters["render_ratio"] = peer > 0 ? s.RenderFps / peer : 0;
  state.counters["load_1min"] = [] {
    double load[1] = {0};
    return ::getloadavg(load, 1) == 1 ? load[0] : 0;
  }();
  if (!s.Dir.empty()) fs::remove_all(s.Dir);
}
BENCHMARK(BM_Ratios)->Iterations(1);

}  // namespace
