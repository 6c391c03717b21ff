// The working values of one event: rates, clamps and the expected length.
#include <gtest/gtest.h>

#include "model/events.h"
#include "sound/event_plan.h"

namespace vexa {
namespace {

TSoundSourceEvent Event(uint32_t start, uint32_t end, int64_t from, int64_t to, int mode = 0) {
  TSoundSourceEvent e;
  e.StartTime = start;
  e.EndTime = end;
  e.SampleAppointMode = mode;
  e.StartSample = from;
  e.EndSample = to;
  e.StartVolume = e.EndVolume = 256;
  return e;
}

TEST(EventPlan, TwoSecondsOfA48kFileSqueezedIntoOneSecond) {
  const auto p = PlanSoundEvent(Event(0, 1000, 0, 96000), 48000, 200000);
  EXPECT_EQ(p.DstEnd, 48000.0);
  EXPECT_EQ(p.Ratio, 0.5);
  EXPECT_EQ(p.TargetRate, 22050u);
  EXPECT_EQ(p.First, 0);
  EXPECT_EQ(p.Last, 96000);
  EXPECT_EQ(p.ExpectedBytes, 44100u * 4);  // the span, at 44.1 kHz
  EXPECT_TRUE(p.Plays);
  EXPECT_FALSE(p.Reversed);
}

TEST(EventPlan, MillisecondsAreRoundedToFramesHalvesToEven) {
  // 22050 Hz: 1 ms is 22.05 frames, 10 ms 220.5, 30 ms 661.5.
  auto p = PlanSoundEvent(Event(0, 1000, 10, 30, 1), 22050, 100000);
  EXPECT_EQ(p.SrcStart, 220.0);
  EXPECT_EQ(p.SrcEnd, 662.0);
  EXPECT_EQ(p.First, 220);
  EXPECT_EQ(p.Last, 662);
  p = PlanSoundEvent(Event(10, 30, 0, 1000, 1), 22050, 100000);
  EXPECT_EQ(p.DstStart, 220.0);
  EXPECT_EQ(p.DstEnd, 662.0);
  EXPECT_EQ(p.OutFrame, 441u);
}

TEST(EventPlan, ReversedStretchReadsFromItsEndAndClampsToTheFile) {
  const auto p = PlanSoundEvent(Event(0, 1000, 50000, -20), 44100, 44100);
  EXPECT_TRUE(p.Reversed);
  EXPECT_LT(p.Ratio, 0.0);
  EXPECT_EQ(p.First, 0);                   // -20 clamped to the first frame
  EXPECT_EQ(p.Last, 44099);                // 50000 limited to the last
  EXPECT_EQ(p.TargetRate, 38880u);         // 44100 * 44100 / 50020 = 38880.6, truncated
  EXPECT_EQ(p.ExpectedBytes, 38879u * 4);  // 38880 / 44100 * 44099 = 38879.1
}

TEST(EventPlan, EmptyStretchOrSpanPlaysNothing) {
  EXPECT_FALSE(PlanSoundEvent(Event(0, 1000, 500, 500), 44100, 44100).Plays);  // 0 / 0
  EXPECT_FALSE(PlanSoundEvent(Event(700, 700, 0, 500), 44100, 44100).Plays);   // rate 0
  EXPECT_FALSE(PlanSoundEvent(Event(0, 1000, 0, 500), 44100, 0).Plays);        // no frames
  EXPECT_FALSE(PlanSoundEvent(Event(0, 1000, 0, 500), 0, 44100).Plays);        // no rate
  // Starting past the file's end: first and last meet at the last frame.
  EXPECT_FALSE(PlanSoundEvent(Event(0, 1000, 50000, 60000), 44100, 44100).Plays);
}

TEST(EventPlan, AFewFramesOverAVeryLongSpanSaturateTheRate) {
  const auto p = PlanSoundEvent(Event(0, 4000000000u, 0, 1), 44100, 44100);
  EXPECT_EQ(p.TargetRate, 4294967295u);
  EXPECT_EQ(p.ExpectedBytes, 97392u * 4);  // 4294967295 / 44100 * 1, rounded
}

TEST(EventPlan, VolumeAndBalanceAreClampedAndScaled) {
  auto e = Event(0, 1000, 0, 100);
  e.StartVolume = 300;
  e.EndVolume = -5;
  e.StartPan = -200;
  e.EndPan = 64;
  auto p = PlanSoundEvent(e, 44100, 44100);
  EXPECT_EQ(p.VolStart, 1.0f);
  EXPECT_EQ(p.VolEnd, 0.0f);
  EXPECT_EQ(p.PanStart, 0.0f);
  EXPECT_EQ(p.PanEnd, 0.75f);
  e.StartVolume = 128;
  e.StartPan = 2147483647;  // no overflow on adding 128
  p = PlanSoundEvent(e, 44100, 44100);
  EXPECT_EQ(p.VolStart, 0.5f);
  EXPECT_EQ(p.PanStart, 1.0f);
}

TEST(EventPlan, StartTimeTimes44Point1IsTheFirstFrame) {
  EXPECT_EQ(PlanSoundEvent(Event(1, 2, 0, 1), 44100, 10).OutFrame, 44u);
  EXPECT_EQ(PlanSoundEvent(Event(1000, 2000, 0, 1), 44100, 10).OutFrame, 44100u);
  EXPECT_EQ(PlanSoundEvent(Event(4294967295u, 0, 0, 1), 44100, 10).OutFrame, 189408057710u);
}

}  // namespace
}  // namespace vexa
