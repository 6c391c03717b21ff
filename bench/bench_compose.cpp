// ComposeFrame on a 1920 x 1080 project of three full-frame picture layers: a frame in which
// nothing changed (sequential render of a still picture) next to a frame that is rebuilt and
// recomposed from all three layers (a seek).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "bitmap/blend.h"
#include "render/studio.h"

namespace {

using vexa::TABitmap;
using vexa::TVexaStudio;

std::string WriteFrame(const std::filesystem::path& dir, const std::string& name, uint32_t seed) {
  TABitmap b;
  b.SetSize(1920, 1080);
  std::mt19937 rng(seed);
  uint32_t* p = b.Pixels();
  for (size_t i = 0; i < size_t(1920) * 1080; ++i)
    p[i] = static_cast<uint32_t>(rng());
  const std::string path = (dir / name).string();
  b.SaveToFile(path);
  return path;
}

class ThreeLayers {
 public:
  ThreeLayers() {
    dir_ = std::filesystem::temp_directory_path() / "vexa_bench_compose";
    std::filesystem::create_directories(dir_);
    studio.Project.Width = 1920;
    studio.Project.Height = 1080;
    studio.Project.FPS = 30;
    const int modes[] = {vexa::bmCopy, vexa::bmAlpha, vexa::bmAdd};
    for (int i = 0; i < 3; ++i) {
      auto* layer = vexa::NewGraphicLayer(studio.Project.GraphicLayers, -1);
      auto e = std::make_unique<vexa::TGraphicSourceImageEvent>();
      e->StartTime = 0;
      e->EndTime = 3600 * 1000;  // an hour of still pictures
      e->BlendMode = modes[i];
      e->FileName = WriteFrame(dir_, "layer" + std::to_string(i) + ".bmp", static_cast<uint32_t>(i + 1));
      layer->ListForKind(vexa::kind::Image)->Add(std::move(e));
    }
    studio.PrepareSession();
    studio.ComposeFrame();
  }
  ~ThreeLayers() {
    studio.FinishSession();
    std::filesystem::remove_all(dir_);
  }
  TVexaStudio studio;

 private:
  std::filesystem::path dir_;
};

void BM_ComposeRecomposed(benchmark::State& state) {
  ThreeLayers p;
  uint32_t f = 1;
  for (auto _ : state) {
    p.studio.SeekFrame(f);
    p.studio.ComposeFrame();
    f = f % 1000 + 1;
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ComposeUnchanged(benchmark::State& state) {
  ThreeLayers p;
  for (auto _ : state) {
    if (p.studio.FrameIndex + 1 >= p.studio.FrameCount) {
      state.PauseTiming();
      p.studio.SeekFrame(1);
      p.studio.ComposeFrame();
      state.ResumeTiming();
    }
    p.studio.ComposeFrame();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ComposeRecomposed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComposeUnchanged)->Unit(benchmark::kMicrosecond);

}  // namespace
