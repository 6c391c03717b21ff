// The whole-picture kernels and the blend kernels at 1920 x 1080 and 4000 x 4000, as frames
// per second ("items_per_second"), next to memcpy of the same bytes as the baseline.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bitmap/bitmap.h"
#include "bitmap/blend.h"

namespace {

using vexa::TABitmap;

// Random colours; alpha random too unless the picture is to be opaque.
TABitmap Picture(int32_t w, int32_t h, uint32_t seed, bool randomAlpha) {
  TABitmap b;
  b.SetSize(w, h);
  std::mt19937 rng(seed);
  uint32_t* p = b.Pixels();
  for (size_t i = 0; i < size_t(w) * h; ++i)
    p[i] = static_cast<uint32_t>(rng()) & (randomAlpha ? ~0u : 0x00FFFFFFu);
  return b;
}

int32_t W(const benchmark::State& s) {
  return static_cast<int32_t>(s.range(0));
}
int32_t H(const benchmark::State& s) {
  return static_cast<int32_t>(s.range(1));
}

void Frames(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations());
}

void BM_Memcpy(benchmark::State& state) {
  const size_t bytes = size_t(W(state)) * H(state) * 4;
  std::vector<uint8_t> a(bytes, 1), b(bytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  Frames(state);
}

void BM_BlendCopy(benchmark::State& state) {
  TABitmap s = Picture(W(state), H(state), 1, true), d = Picture(W(state), H(state), 2, true);
  for (auto _ : state) {
    vexa::BlendCopy(0, 0, W(state), H(state), 0, 0, s, d);
    benchmark::ClobberMemory();
  }
  Frames(state);
}

void BM_Fill(benchmark::State& state) {
  TABitmap d = Picture(W(state), H(state), 2, true);
  for (auto _ : state) {
    d.Fill(0x00336699);
    benchmark::ClobberMemory();
  }
  Frames(state);
}

void BM_SetAlpha(benchmark::State& state) {
  TABitmap d = Picture(W(state), H(state), 2, true);
  for (auto _ : state) {
    d.SetAlpha(0);
    benchmark::ClobberMemory();
  }
  Frames(state);
}

// One blend of a whole random-alpha picture over an opaque one per iteration.
using TBlendCall = void (*)(const TABitmap& s, TABitmap& d, int32_t w, int32_t h);

template <TBlendCall Call>
void BM_Blend(benchmark::State& state) {
  TABitmap s = Picture(W(state), H(state), 1, true), d = Picture(W(state), H(state), 2, false);
  for (auto _ : state) {
    Call(s, d, W(state), H(state));
    benchmark::ClobberMemory();
  }
  Frames(state);
}

void Alpha(const TABitmap& s, TABitmap& d, int32_t w, int32_t h) {
  vexa::BlendAlpha(s, 0, 0, w, h, 0, 0, d);
}
void AlphaOpacity(const TABitmap& s, TABitmap& d, int32_t w, int32_t h) {
  vexa::BlendAlphaOpacity(s, 0, 0, w, h, 0, 0, d, 160);
}
void Add(const TABitmap& s, TABitmap& d, int32_t w, int32_t h) {
  vexa::BlendAdd(s, 0, 0, w, h, 0, 0, d, 200);
}
void Sub(const TABitmap& s, TABitmap& d, int32_t w, int32_t h) {
  vexa::BlendSub(s, 0, 0, w, h, 0, 0, d, 200);
}
// The narrower SIMD forms and the plain path, for comparison with the chosen one.
void AlphaAvx2(const TABitmap& s, TABitmap& d, int32_t w, int32_t h) {
  vexa::avx2::BlendAlpha(s, 0, 0, w, h, 0, 0, d);
}
void AlphaSse2(const TABitmap& s, TABitmap& d, int32_t w, int32_t h) {
  vexa::sse2::BlendAlpha(s, 0, 0, w, h, 0, 0, d);
}
void AlphaPlain(const TABitmap& s, TABitmap& d, int32_t w, int32_t h) {
  vexa::plain::BlendAlpha(s, 0, 0, w, h, 0, 0, d);
}

#define SIZES ->Args({1920, 1080})->Args({4000, 4000})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_Memcpy) SIZES;
BENCHMARK(BM_BlendCopy) SIZES;
BENCHMARK(BM_Fill) SIZES;
BENCHMARK(BM_SetAlpha) SIZES;
BENCHMARK(BM_Blend<Alpha>)->Name("BM_BlendAlpha") SIZES;
BENCHMARK(BM_Blend<AlphaOpacity>)->Name("BM_BlendAlphaOpacity") SIZES;
BENCHMARK(BM_Blend<Add>)->Name("BM_BlendAdd") SIZES;
BENCHMARK(BM_Blend<Sub>)->Name("BM_BlendSub") SIZES;
BENCHMARK(BM_Blend<AlphaAvx2>)->Name("BM_BlendAlphaAvx2") SIZES;
BENCHMARK(BM_Blend<AlphaSse2>)->Name("BM_BlendAlphaSse2") SIZES;
BENCHMARK(BM_Blend<AlphaPlain>)->Name("BM_BlendAlphaPlain") SIZES;

}  // namespace
