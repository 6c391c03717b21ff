#include "ui/logic/event_adjust_form.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

using F = TEventAdjustForm;
using P = TTimeFields;

TGraphicEffectFadeEvent EventAt(uint32_t start, uint32_t end) {
  TGraphicEffectFadeEvent e;
  e.StartTime = start;
  e.EndTime = end;
  return e;
}

TEST(EventAdjustForm, Defaults) {
  F f;
  EXPECT_EQ(f.RhythmField(F::Bpm).Value(), 120);
  EXPECT_EQ(f.RhythmField(F::Bpm).Min(), 1);
  EXPECT_EQ(f.RhythmField(F::Bpm).Max(), 1000);
  EXPECT_EQ(f.RhythmField(F::Numerator).Value(), 4);
  EXPECT_EQ(f.RhythmField(F::Denominator).Value(), 4);
  EXPECT_EQ(f.RhythmField(F::Bar).Value(), 0);
  EXPECT_EQ(f.RhythmField(F::Bar).Max(), 2147483647);
  EXPECT_EQ(f.RhythmField(F::Note).Max(), 3);
  EXPECT_TRUE(f.RhythmField(F::Note).Enabled());
  EXPECT_EQ(f.StartChoice, TStartChoice::NoChange);
  EXPECT_EQ(f.EndChoice, TEndChoice::NoChange);
  EXPECT_EQ(f.TimeValue(F::Start), 0u);
}

TEST(EventAdjustForm, OpensOnTheFirstSelectedEvent) {
  F f;
  f.Open(EventAt(5000, 6000));
  EXPECT_EQ(f.TimeField(F::Start, P::Second).Value(), 5);
  EXPECT_EQ(f.TimeField(F::End, P::Second).Value(), 6);
  EXPECT_EQ(f.TimeValue(F::Start), 5000u);
  EXPECT_EQ(f.TimeValue(F::End), 6000u);
  EXPECT_EQ(f.TimeValue(F::Interval), 1000u);
  EXPECT_FALSE(f.Updating());
}

TEST(EventAdjustForm, TimeBeyondTheFieldsIsCutByTheirLimits) {
  F f;
  f.Open(EventAt(3723004, 4294967295u));
  EXPECT_EQ(f.TimeValue(F::Start), 3723004u);
  // 1193:02:47.295: the hour field stops at 9.
  EXPECT_EQ(f.TimeField(F::End, P::Hour).Value(), 9);
  EXPECT_EQ(f.TimeField(F::End, P::Minute).Value(), 2);
  EXPECT_EQ(f.TimeField(F::End, P::Second).Value(), 47);
  EXPECT_EQ(f.TimeField(F::End, P::Millisecond).Value(), 295);
}

TEST(EventAdjustForm, FieldValuesStayWithinTheirLimits) {
  F f;
  f.SetTimeField(F::Start, P::Minute, 75);
  EXPECT_EQ(f.TimeField(F::Start, P::Minute).Value(), 59);
  f.SetTimeField(F::Start, P::Hour, 12);
  EXPECT_EQ(f.TimeField(F::Start, P::Hour).Value(), 9);
  f.SetTimeField(F::Start, P::Millisecond, -4);
  EXPECT_EQ(f.TimeField(F::Start, P::Millisecond).Value(), 0);
  f.SetTimeField(F::Start, P::Second, 59);
  f.SetTimeField(F::Start, P::Millisecond, 999);
  EXPECT_EQ(f.TimeValue(F::Start), 35999999u);
  f.SetRhythmField(F::Bpm, 0);
  EXPECT_EQ(f.RhythmField(F::Bpm).Value(), 1);
}

TEST(EventAdjustForm, StartOrEndChangeRecomputesTheInterval) {
  F f;
  f.Open(EventAt(5000, 6000));
  f.SetTimeField(F::End, P::Second, 9);
  EXPECT_EQ(f.TimeValue(F::Interval), 4000u);
  f.SetTimeField(F::Start, P::Second, 1);
  EXPECT_EQ(f.TimeValue(F::Interval), 8000u);
  EXPECT_EQ(f.TimeValue(F::End), 9000u);
}

TEST(EventAdjustForm, IntervalChangeRecomputesTheEnd) {
  F f;
  f.Open(EventAt(5000, 6000));
  f.SetTimeField(F::Interval, P::Minute, 1);
  EXPECT_EQ(f.TimeValue(F::Interval), 61000u);
  EXPECT_EQ(f.TimeValue(F::End), 66000u);
  EXPECT_EQ(f.TimeValue(F::Start), 5000u);
}

TEST(EventAdjustForm, EndBeforeStartShowsNoIntervalAndKeepsTheEnd) {
  F f;
  f.Open(EventAt(6000, 5000));
  EXPECT_EQ(f.TimeValue(F::Interval), 0u);
  // Filling the interval must not feed back into the end.
  EXPECT_EQ(f.TimeValue(F::End), 5000u);
  EXPECT_EQ(f.TimeValue(F::Start), 6000u);
}

TEST(EventAdjustForm, NumeratorLimitsTheNoteField) {
  F f;
  f.SetRhythmField(F::Note, 3);
  f.SetRhythmField(F::Numerator, 3);  // 3/4
  EXPECT_EQ(f.RhythmField(F::Note).Max(), 2);
  EXPECT_EQ(f.RhythmField(F::Note).Value(), 2);
  EXPECT_TRUE(f.RhythmField(F::Note).Enabled());
  f.SetRhythmField(F::Note, 5);
  EXPECT_EQ(f.RhythmField(F::Note).Value(), 2);

  f.SetRhythmField(F::Numerator, 1);  // 1/4: no beat to choose
  EXPECT_EQ(f.RhythmField(F::Note).Max(), 0);
  EXPECT_EQ(f.RhythmField(F::Note).Value(), 0);
  EXPECT_FALSE(f.RhythmField(F::Note).Enabled());

  f.SetRhythmField(F::Numerator, 6);
  EXPECT_EQ(f.RhythmField(F::Note).Max(), 5);
  EXPECT_TRUE(f.RhythmField(F::Note).Enabled());
}

TEST(EventAdjustForm, RhythmButtons) {
  F f;
  f.Open(EventAt(1000, 8000));
  f.SetRhythmField(F::Bar, 2);
  f.SetRhythmField(F::Note, 3);  // 120 BPM 4/4: 5500 ms

  f.RhythmToStart();
  EXPECT_EQ(f.TimeValue(F::Start), 5500u);
  EXPECT_EQ(f.TimeValue(F::End), 8000u);
  EXPECT_EQ(f.TimeValue(F::Interval), 2500u);

  f.SetRhythmField(F::Bar, 5);
  f.SetRhythmField(F::Note, 0);  // 10000 ms
  f.RhythmToEnd();
  EXPECT_EQ(f.TimeValue(F::End), 10000u);
  EXPECT_EQ(f.TimeValue(F::Interval), 4500u);

  f.SetRhythmField(F::Bar, 0);
  f.SetRhythmField(F::Note, 1);  // one beat
  f.RhythmToInterval();
  EXPECT_EQ(f.TimeValue(F::Interval), 500u);
  EXPECT_EQ(f.TimeValue(F::End), 6000u);
  EXPECT_EQ(f.TimeValue(F::Start), 5500u);
}

TEST(EventAdjustForm, SixEightAtTheStartButton) {
  F f;
  f.SetRhythmField(F::Numerator, 6);
  f.SetRhythmField(F::Denominator, 8);
  f.SetRhythmField(F::Bar, 1);
  EXPECT_EQ(f.RhythmValue(), 1500);
  f.RhythmToStart();
  EXPECT_EQ(f.TimeValue(F::Start), 1500u);
}

TEST(EventAdjustForm, ResultCarriesValuesAndChoices) {
  F f;
  f.Open(EventAt(5000, 6000));
  f.StartChoice = TStartChoice::Add;
  f.EndChoice = TEndChoice::FitInterval;
  const TTimeAdjustment a = f.Result();
  EXPECT_EQ(a.Start, 5000u);
  EXPECT_EQ(a.End, 6000u);
  EXPECT_EQ(a.Interval, 1000u);
  EXPECT_EQ(a.StartChoice, TStartChoice::Add);
  EXPECT_EQ(a.EndChoice, TEndChoice::FitInterval);
}

}  // namespace
}  // namespace vexa
