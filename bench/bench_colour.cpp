// The colour filters on a 1920 x 1080 frame, reported as frames per second ("items"), next to
// memcpy of the same 8 MB as the baseline: a filter that runs at memcpy speed is bound by
// memory, not by arithmetic.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bitmap/colour_filters.h"
#include "bitmap/rule_blend.h"

namespace {

using vexa::TABitmap;

constexpr int32_t kW = 1920, kH = 1080;

TABitmap Frame(uint32_t seed) {
  TABitmap b;
  b.SetSize(kW, kH);
  std::mt19937 rng(seed);
  uint32_t* p = b.Pixels();
  for (size_t i = 0; i < size_t(kW) * kH; ++i)
    p[i] = static_cast<uint32_t>(rng()) & 0x00FFFFFF;
  return b;
}

void Count(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * int64_t(kW) * kH * 4);
}

void BM_Memcpy(benchmark::State& state) {
  const TABitmap src = Frame(1);
  TABitmap dst = Frame(2);
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), src.ByteSize());
    benchmark::ClobberMemory();
  }
  Count(state);
}
BENCHMARK(BM_Memcpy);

// Each filter runs on the same frame again and again; the filters that drift towards a fixed
// point (brightness to white, blur to flat) still do the same work per pixel.
template <class F>
void Run(benchmark::State& state, F filter) {
  TABitmap b = Frame(3);
  for (auto _ : state) {
    filter(b);
    benchmark::ClobberMemory();
  }
  Count(state);
}

void BM_ToMonochrome(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::ToMonochrome(b); });
}
void BM_ToneChange(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::ToneChange(b, 235, 200, 135); });
}
void BM_AdjustBrightness(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::AdjustBrightness(b, 40); });
}
void BM_AdjustChannels(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::AdjustChannels(30, -20, 10, b); });
}
void BM_FadeToGray(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::FadeToGray(b, 128); });
}
void BM_AddColorNoise(benchmark::State& s) {
  std::mt19937 rng(5);
  Run(s, [&](TABitmap& b) { vexa::AddColorNoise(b, 64, vexa::TRandomDraw(rng)); });
}
void BM_AddBrightnessNoise(benchmark::State& s) {
  std::mt19937 rng(6);
  Run(s, [&](TABitmap& b) { vexa::AddBrightnessNoise(b, 64, vexa::TRandomDraw(rng)); });
}
void BM_InvertColors(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::InvertColors(b); });
}
void BM_Pixelate(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::Pixelate(0, 0, kW, kH, b, 5); });
}
void BM_SplitBlurPass(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::SplitBlurPass(b, 20); });
}
void BM_SplitBlurTruncated(benchmark::State& s) {
  Run(s, [](TABitmap& b) { vexa::split_blur::TruncatedPass(b, 20); });
}
void BM_RuleBlend(benchmark::State& state) {
  const TABitmap fresh = Frame(7), rule = Frame(8);
  TABitmap old = Frame(9);
  for (auto _ : state) {
    vexa::RuleBlend(fresh, old, rule, 6, 128);
    benchmark::ClobberMemory();
  }
  Count(state);
}

BENCHMARK(BM_ToMonochrome);
BENCHMARK(BM_ToneChange);
BENCHMARK(BM_AdjustBrightness);
BENCHMARK(BM_AdjustChannels);
BENCHMARK(BM_FadeToGray);
BENCHMARK(BM_AddColorNoise);
BENCHMARK(BM_AddBrightnessNoise);
BENCHMARK(BM_InvertColors);
BENCHMARK(BM_Pixelate);
BENCHMARK(BM_SplitBlurPass);
BENCHMARK(BM_SplitBlurTruncated);
BENCHMARK(BM_RuleBlend);

}  // namespace
