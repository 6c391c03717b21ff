#include "ui/logic/rhythm.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
}

TEST(RhythmTime, QuarterNotesAt120) {
  EXPECT_EQ(RhythmTime(120, 4, 4, 0, 1), 500);   // one beat
  EXPECT_EQ(RhythmTime(120, 4, 4, 2, 3), 5500);  // bar 2, beat 3
  EXPECT_EQ(RhythmTime(120, 4, 4, 0, 0), 0);
}

TEST(RhythmTime, EighthNotesAt120) {
  EXPECT_EQ(RhythmTime(120, 6, 8, 0, 1), 250);
  EXPECT_EQ(RhythmTime(120, 6, 8, 1, 0), 1500);
}

TEST(RhythmTime, RoundsHalfToEven) {
  // At 960 BPM a quarter note lasts 62.5 ms.
  EXPECT_EQ(RhythmTime(960, 4, 4, 0, 1), 62);
  EXPECT_EQ(RhythmTime(960, 4, 4, 0, 3), 188);
  // A third-note beat at 120 BPM lasts 666.66... ms.
  EXPECT_EQ(RhythmTime(120, 3, 3, 0, 1), 667);
}

TEST(RhythmTime, LargestBarDoesNotWrap) {
  // 100 beats of 500 ms in each of 2147483647 bars: far beyond 32 bits.
  EXPECT_EQ(RhythmTime(120, 100, 4, 2147483647, 0), int64_t{214748364700} * 500);
}

}  // namespace
}  // namespace vexa
