// The transform kernels at 1920 x 1080, in frames per second (items per second). Baseline:
// memcpy of the same 1920 x 1080 x 4 bytes in the same program, the least that any kernel
// writing a whole frame has to do.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bitmap/bilinear.h"
#include "bitmap/bitmap.h"
#include "bitmap/rotate_bitmap.h"

namespace {

using namespace vexa;

constexpr int32_t kWidth = 1920, kHeight = 1080;

TABitmap RandomPicture(int32_t w, int32_t h) {
  TABitmap b;
  b.SetSize(w, h);
  std::mt19937 rng(1);
  for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i)
    b.Pixels()[i] = static_cast<uint32_t>(rng());
  return b;
}

void BM_Memcpy(benchmark::State& state) {
  const TABitmap src = RandomPicture(kWidth, kHeight);
  TABitmap dst;
  dst.SetSize(kWidth, kHeight);
  for (auto _ : state) {
    std::memcpy(dst.Bits(), src.Bits(), src.ByteSize());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(src.ByteSize()));
}
BENCHMARK(BM_Memcpy);

// Source size from the arguments; the target is always 1920 x 1080.
void BM_ResizeBilinear(benchmark::State& state) {
  const TABitmap src =
      RandomPicture(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  TABitmap dst;
  dst.SetSize(kWidth, kHeight);
  for (auto _ : state) {
    ResizeBilinear(src, dst);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ResizeBilinear)->Args({1280, 720})->Args({1920, 1080})->Args({3840, 2160});

void BM_ScaleBilinear(benchmark::State& state) {
  const TABitmap src =
      RandomPicture(static_cast<int32_t>(state.range(0)), static_cast<int32_t>(state.range(1)));
  TABitmap dst;
  dst.SetSize(kWidth, kHeight);
  for (auto _ : state) {
    ScaleBilinear(src, dst);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ScaleBilinear)->Args({1280, 720})->Args({1920, 1080})->Args({3840, 2160});

// A 1920 x 1080 picture turned by the angle in units of 1/1000 turn (the target grows).
void BM_RotateBitmap(benchmark::State& state) {
  const TABitmap src = RandomPicture(kWidth, kHeight);
  TABitmap dst;
  for (auto _ : state) {
    RotateBitmap(src, dst, kWidth / 2, kHeight / 2, static_cast<int32_t>(state.range(0)));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RotateBitmap)->Arg(37)->Arg(125)->Arg(250);

}  // namespace
