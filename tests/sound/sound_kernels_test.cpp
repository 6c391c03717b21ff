// The sample kernels: exact results on both the 8-frame groups and the frame-by-frame tail.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "sound/gain_ramp.h"
#include "sound/level.h"
#include "sound/mix_into.h"
#include "sound/resample_nearest.h"
#include "sound/reverse_frames.h"

namespace vexa {
namespace {

// n stereo frames with every sample set to v.
std::vector<int16_t> Frames(size_t n, int16_t left, int16_t right) {
  std::vector<int16_t> v(2 * n);
  for (size_t i = 0; i < n; ++i) {
    v[2 * i] = left;
    v[2 * i + 1] = right;
  }
  return v;
}

size_t Bytes(const std::vector<int16_t>& v) {
  return v.size() * 2;
}

TEST(GainRamp, OneWholeStretchUsesStartThenTheRestUsesEnd) {
  auto v = Frames(1000, 1000, -1000);  // S = 1: frames 0..511, then 488 tail frames
  ApplyGainRamp(v.data(), Bytes(v), 0.5f, 0.25f, 0.75f, 1.0f);
  for (size_t f = 0; f < 1000; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(v[2 * f], f < 512 ? 500 : 250);
    EXPECT_EQ(v[2 * f + 1], f < 512 ? -750 : -1000);
  }
}

TEST(GainRamp, StretchesStepEvenlyFromStartToEnd) {
  auto v = Frames(3 * 512 + 5, 1000, 1000);  // S = 3, then 5 tail frames (also the n mod 8 frames)
  ApplyGainRamp(v.data(), Bytes(v), 0.0f, 1.0f, 1.0f, 0.0f);
  const int16_t left[] = {0, 500, 1000}, right[] = {1000, 500, 0};
  for (size_t k = 0; k < 3; ++k) {
    EXPECT_EQ(v[2 * (512 * k)], left[k]);
    EXPECT_EQ(v[2 * (512 * k + 511) + 1], right[k]);
  }
  EXPECT_EQ(v[2 * 1536], 1000);
  EXPECT_EQ(v[2 * 1540 + 1], 0);
}

TEST(GainRamp, NoWholeStretchUsesStartButTheLastFramesModEightUseEnd) {
  auto v = Frames(13, 100, 100);  // S = 0; 13 mod 8 = 5 frames at the end values
  ApplyGainRamp(v.data(), Bytes(v), 1.0f, 0.0f, 0.5f, 2.0f);
  for (size_t f = 0; f < 13; ++f) {
    SCOPED_TRACE(f);
    EXPECT_EQ(v[2 * f], f < 8 ? 100 : 0);
    EXPECT_EQ(v[2 * f + 1], f < 8 ? 50 : 200);
  }
}

TEST(GainRamp, RoundsHalvesToEvenAndSaturates) {
  // 16 frames go through the 8-frame groups, the 5 of the second block one by one.
  for (size_t n : {16u, 5u}) {
    SCOPED_TRACE(n);
    std::vector<int16_t> v(2 * n);
    const int16_t in[] = {3, 5, -3, -5, 30000, -30000, 32767, -32768};
    const int16_t want[] = {2, 2, -2, -2, 32767, -32768, 32767, -32768};
    for (size_t i = 0; i < v.size(); ++i)
      v[i] = in[i % 8];
    // n mod 8 frames at the end use the end value: keep start and end equal per channel.
    ApplyGainRamp(v.data(), Bytes(v), 0.5f, 0.5f, 0.5f, 0.5f);
    for (size_t i = 0; i < v.size(); i += 8)
      for (size_t j = 0; j < 4 && i + j < v.size(); ++j)
        EXPECT_EQ(v[i + j], want[j]) << i + j;
    std::vector<int16_t> w(2 * n);
    for (size_t i = 0; i < w.size(); ++i)
      w[i] = in[4 + i % 4];
    ApplyGainRamp(w.data(), Bytes(w), 2.0f, 2.0f, 2.0f, 2.0f);
    for (size_t i = 0; i < w.size(); ++i)
      EXPECT_EQ(w[i], want[4 + i % 4]) << i;
  }
}

TEST(GainRamp, ProductsAreFormedInSinglePrecision) {
  // 32767 / 1000 is 32.7669983 as a float; 500 times that is 16383.499 in single precision
  // (16383.500000000002 in double, which would round to 16384).
  // 32767 / 1003 is 32.6689949; 358 times that is exactly 11695.5 in single precision, which
  // rounds to the even 11696 (double gives 11695.4995 and 11695).
  for (size_t n : {8u, 3u}) {
    auto v = Frames(n, 500, 358);
    const float g1 = 32767.0f / 1000.0f, g2 = 32767.0f / 1003.0f;
    ApplyGainRamp(v.data(), Bytes(v), g1, g1, g2, g2);
    for (size_t f = 0; f < n; ++f) {
      EXPECT_EQ(v[2 * f], 16383);
      EXPECT_EQ(v[2 * f + 1], 11696);
    }
  }
}

TEST(GainRamp, IgnoresATrailingPartialFrameAndEmptyBlocks) {
  std::vector<int16_t> v = {100, 100, 100};  // one frame and a half
  ApplyGainRamp(v.data(), 6, 0.5f, 0.5f, 0.5f, 0.5f);
  EXPECT_EQ(v, (std::vector<int16_t>{50, 50, 100}));
  ApplyGainRamp(nullptr, 0, 0.5f, 0.5f, 0.5f, 0.5f);
}

TEST(MixInto, HalvesBothSidesWithArithmeticShifts) {
  // 9 samples: one group of 8 and one sample on its own.
  std::vector<int16_t> mix = {101, -1, 32767, -32768, 0, -3, 7, 1, 101};
  const std::vector<int16_t> block = {-3, -1, 32767, -32768, -32768, -3, 7, 1, -3};
  MixInto(mix.data(), block.data(), Bytes(mix));
  EXPECT_EQ(mix, (std::vector<int16_t>{48, -2, 32766, -32768, -16384, -4, 6, 0, 48}));
}

TEST(Level, PeakCountsMinus32768AsItsMagnitude) {
  std::vector<int16_t> v(20, 0);
  v[3] = 1200;
  v[11] = -1300;
  EXPECT_EQ(PeakLevel(v.data(), Bytes(v)), 1300u);
  v[17] = -32768;  // beyond the groups of 8
  EXPECT_EQ(PeakLevel(v.data(), Bytes(v)), 32768u);
  v[17] = 32767;
  EXPECT_EQ(PeakLevel(v.data(), Bytes(v)), 32767u);
  EXPECT_EQ(PeakLevel(v.data(), 0), 0u);
}

TEST(Level, PeakCountsATrailingHalfFrameButNotAnOddByte) {
  const std::vector<int16_t> v = {10, -20, 3000, 4000};
  EXPECT_EQ(PeakLevel(v.data(), 6), 3000u);  // a frame and one sample
  EXPECT_EQ(PeakLevel(v.data(), 7), 3000u);  // the half sample does not count
}

TEST(Level, DoubleSaturates) {
  std::vector<int16_t> v = {16383, 16384, -16384, -16385, 100, -1, 0, 32767, 16383, -16385};
  DoubleLevel(v.data(), Bytes(v));
  EXPECT_EQ(v, (std::vector<int16_t>{32766, 32767, -32768, -32768, 200, -2, 0, 32767, 32766, -32768}));
}

// Frames numbered 0..n-1 (left = number, right = -number) and their numbers after a kernel.
std::vector<int16_t> Numbered(size_t n) {
  std::vector<int16_t> v(2 * n);
  for (size_t i = 0; i < n; ++i) {
    v[2 * i] = static_cast<int16_t>(i);
    v[2 * i + 1] = static_cast<int16_t>(-static_cast<int>(i));
  }
  return v;
}
std::vector<int> Numbers(const std::vector<int16_t>& v) {
  std::vector<int> n;
  for (size_t i = 0; i + 1 < v.size(); i += 2) {
    EXPECT_EQ(v[i + 1], -v[i]) << "frame " << i / 2 << " split";
    n.push_back(v[i]);
  }
  return n;
}

TEST(ResampleNearest, DoublingRepeatsEachFrame) {
  const auto src = Numbered(4);
  std::vector<int16_t> dst(16, 99);
  ResampleNearest(src.data(), Bytes(src), dst.data(), Bytes(dst));
  EXPECT_EQ(Numbers(dst), (std::vector<int>{0, 0, 1, 1, 2, 2, 3, 3}));
}

TEST(ResampleNearest, HalvingDropsEveryOtherFrame) {
  const auto src = Numbered(8);
  std::vector<int16_t> dst(8, 99);
  ResampleNearest(src.data(), Bytes(src), dst.data(), Bytes(dst));
  EXPECT_EQ(Numbers(dst), (std::vector<int>{0, 2, 4, 6}));
}

TEST(ResampleNearest, EqualLengthsCopyUntilTheShortStepCatchesUp) {
  // Step 65535 falls 1/65536 short per frame: the first 32769 frames come through unchanged,
  // then one frame is repeated.
  const size_t n = 32772;
  std::vector<int16_t> src(2 * n);
  for (size_t i = 0; i < n; ++i)
    src[2 * i] = static_cast<int16_t>(i), src[2 * i + 1] = static_cast<int16_t>(i);
  std::vector<int16_t> dst(src.size());
  ResampleNearest(src.data(), Bytes(src), dst.data(), Bytes(dst));
  for (size_t i = 0; i <= 32768; ++i)
    ASSERT_EQ(dst[2 * i], static_cast<int16_t>(i)) << i;
  EXPECT_EQ(dst[2 * 32769], static_cast<int16_t>(32768));
  EXPECT_EQ(dst[2 * 32770], static_cast<int16_t>(32769));
}

TEST(ResampleNearest, FarStretchStaysInsideTheSource) {
  // One frame stretched over 1000: the rounded walk reaches frame 1, which does not exist.
  const std::vector<int16_t> src = {7, -7};
  std::vector<int16_t> dst(2000, 0);
  ResampleNearest(src.data(), Bytes(src), dst.data(), Bytes(dst));
  for (size_t i = 0; i < dst.size(); i += 2)
    ASSERT_TRUE(dst[i] == 7 && dst[i + 1] == -7) << i;
  const auto two = Numbered(2);
  std::vector<int16_t> out(2 * 3000);
  ResampleNearest(two.data(), Bytes(two), out.data(), Bytes(out));
  auto nums = Numbers(out);
  EXPECT_EQ(nums.front(), 0);
  EXPECT_EQ(nums.back(), 1);
}

TEST(ResampleNearest, EmptySourceGivesSilence) {
  std::vector<int16_t> dst(8, 5);
  ResampleNearest(nullptr, 0, dst.data(), Bytes(dst));
  EXPECT_EQ(dst, std::vector<int16_t>(8, 0));
}

TEST(ReverseFrames, KeepsTheSidesOfEachFrame) {
  auto v = Numbered(5);
  ReverseFrames(v.data(), Bytes(v));
  EXPECT_EQ(Numbers(v), (std::vector<int>{4, 3, 2, 1, 0}));
  std::vector<int16_t> odd = {1, 2, 3, 4, 5};  // two frames and a half
  ReverseFrames(odd.data(), 10);
  EXPECT_EQ(odd, (std::vector<int16_t>{3, 4, 1, 2, 5}));
}

TEST(Kernels, GroupsOfEightAgreeWithFrameByFrame) {
  // The whole block runs through the 8-frame groups; one frame at a time never does.
  std::mt19937 rng(12345);
  std::uniform_int_distribution<int> sample(-32768, 32767);
  std::uniform_real_distribution<float> gain(0.0f, 3.0f);
  const size_t n = 4096;
  std::vector<int16_t> a(2 * n), b(2 * n);
  for (auto& s : a)
    s = static_cast<int16_t>(sample(rng));
  for (auto& s : b)
    s = static_cast<int16_t>(sample(rng));
  for (int round = 0; round < 8; ++round) {
    const float gl = gain(rng), gr = gain(rng);
    auto whole = a;
    ApplyGainRamp(whole.data(), Bytes(whole), gl, gl, gr, gr);
    auto single = a;
    for (size_t f = 0; f < n; ++f)
      ApplyGainRamp(single.data() + 2 * f, 4, gl, gl, gr, gr);
    ASSERT_EQ(whole, single) << gl << " " << gr;
  }
  auto mixed = a, mixedOne = a, doubled = b, doubledOne = b;
  MixInto(mixed.data(), b.data(), Bytes(mixed));
  DoubleLevel(doubled.data(), Bytes(doubled));
  for (size_t i = 0; i < 2 * n; ++i) {
    MixInto(mixedOne.data() + i, b.data() + i, 2);
    DoubleLevel(doubledOne.data() + i, 2);
  }
  EXPECT_EQ(mixed, mixedOne);
  EXPECT_EQ(doubled, doubledOne);
  uint32_t peak = 0;
  for (size_t i = 0; i < 2 * n; ++i)
    peak = std::max(peak, PeakLevel(b.data() + i, 2));
  EXPECT_EQ(PeakLevel(b.data(), Bytes(b)), peak);
}

}  // namespace
}  // namespace vexa
