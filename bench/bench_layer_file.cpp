// Saving and loading a graphic layer of 2 700 events (100 of every kind) as a layer file.
// Baseline: libbz2's one-shot calls on the same INI text, the least that any save or load of
// the format has to do; the ratio shows what building and parsing the INI, reading the kind
// table and the safe file replacement cost on top.
#include <benchmark/benchmark.h>
#include <bzlib.h>

#include <filesystem>
#include <string>

#include <unistd.h>

#include "model/event_kinds.h"
#include "persist/ext_ini_file.h"
#include "persist/layer_file.h"

namespace {

using namespace vexa;

std::string LayerPath() {
  static const std::string path =
      (std::filesystem::temp_directory_path() / ("vexa-bench-" + std::to_string(::getpid()) + ".vxgl"))
          .string();
  return path;
}

std::unique_ptr<TGraphicLayer> MakeLayer() {
  auto layer = std::make_unique<TGraphicLayer>();
  layer->Name = "ベンチマーク";
  layer->FileName = LayerPath();
  for (int i = 0; i < 100; ++i)
    for (const TKindInfo& k : AllKinds()) {
      if (k.Slot < 0) continue;
      std::unique_ptr<TEvent> e = NewEventWithInitialValues(k.Code);
      e->StartTime = static_cast<uint32_t>(i * 1000);
      e->EndTime = e->StartTime + 999;
      e->EventNumber = static_cast<uint32_t>(i);
      layer->ListForKind(k.Code)->Add(std::move(e));
    }
  return layer;
}

const TGraphicLayer& Layer() {
  static const auto layer = MakeLayer();
  return *layer;
}

const std::string& Text() {
  static const std::string text = [] {
    TExtIniFile ini{std::string()};
    WriteGraphicLayerIni(Layer(), "/tmp", ini);
    return ini.BuildText();
  }();
  return text;
}

std::string Compressed() {
  std::string out(Text().size() + Text().size() / 100 + 1024, '\0');
  unsigned len = static_cast<unsigned>(out.size());
  BZ2_bzBuffToBuffCompress(out.data(), &len, const_cast<char*>(Text().data()),
                           static_cast<unsigned>(Text().size()), 9, 0, 30);
  out.resize(len);
  return out;
}

void BM_SaveGraphicLayer(benchmark::State& state) {
  for (auto _ : state)
    SaveGraphicLayer(Layer());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_SaveGraphicLayer)->Unit(benchmark::kMillisecond);

void BM_Baseline_Bzip2Compress(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(Compressed());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_Baseline_Bzip2Compress)->Unit(benchmark::kMillisecond);

void BM_LoadGraphicLayer(benchmark::State& state) {
  SaveGraphicLayer(Layer());
  for (auto _ : state) {
    TGraphicLayer layer;
    layer.FileName = LayerPath();
    LoadGraphicLayer(layer);
    benchmark::DoNotOptimize(layer.EventCount());
  }
  std::filesystem::remove(LayerPath());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_LoadGraphicLayer)->Unit(benchmark::kMillisecond);

void BM_Baseline_Bzip2Decompress(benchmark::State& state) {
  const std::string packed = Compressed();
  std::string out(Text().size(), '\0');
  for (auto _ : state) {
    unsigned len = static_cast<unsigned>(out.size());
    BZ2_bzBuffToBuffDecompress(out.data(), &len, const_cast<char*>(packed.data()),
                               static_cast<unsigned>(packed.size()), 0, 0);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}
BENCHMARK(BM_Baseline_Bzip2Decompress)->Unit(benchmark::kMillisecond);

}  // namespace
