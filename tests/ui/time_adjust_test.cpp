#include "ui/logic/time_adjust.h"

#include <gtest/gtest.h>

#include "model/event_kinds.h"

namespace vexa {
namespace {

TTimeAdjustment Adjust(TStartChoice sc, uint32_t s, TEndChoice ec, uint32_t e, uint32_t interval = 0) {
  TTimeAdjustment a;
  a.StartChoice = sc;
  a.Start = s;
  a.EndChoice = ec;
  a.End = e;
  a.Interval = interval;
  return a;
}

TGraphicEffectFadeEvent EventAt(uint32_t start, uint32_t end) {
  TGraphicEffectFadeEvent e;
  e.StartTime = start;
  e.EndTime = end;
  return e;
}

TEST(AdjustEventTimes, DirectAndNoChange) {
  auto e = EventAt(5000, 6000);
  AdjustEventTimes(e, Adjust(TStartChoice::Direct, 100, TEndChoice::NoChange, 999));
  EXPECT_EQ(e.StartTime, 100u);
  EXPECT_EQ(e.EndTime, 6000u);
  AdjustEventTimes(e, Adjust(TStartChoice::NoChange, 7, TEndChoice::Direct, 200));
  EXPECT_EQ(e.StartTime, 100u);
  EXPECT_EQ(e.EndTime, 200u);  // an end before the start is allowed
}

TEST(AdjustEventTimes, SubStopsAtZero) {
  auto e = EventAt(1000, 3000);
  AdjustEventTimes(e, Adjust(TStartChoice::Sub, 5000, TEndChoice::Sub, 2000));
  EXPECT_EQ(e.StartTime, 0u);
  EXPECT_EQ(e.EndTime, 1000u);
  AdjustEventTimes(e, Adjust(TStartChoice::Sub, 1, TEndChoice::Sub, 4294967295u));
  EXPECT_EQ(e.StartTime, 0u);
  EXPECT_EQ(e.EndTime, 0u);
}

TEST(AdjustEventTimes, AddStopsAtTheTopOfTheRange) {
  auto e = EventAt(4294967000u, 4294966000u);
  AdjustEventTimes(e, Adjust(TStartChoice::Add, 1000, TEndChoice::Add, 1295));
  EXPECT_EQ(e.StartTime, 4294967295u);
  EXPECT_EQ(e.EndTime, 4294967295u);
  auto f = EventAt(1, 2);
  AdjustEventTimes(f, Adjust(TStartChoice::Add, 4294967295u, TEndChoice::Add, 4294967293u));
  EXPECT_EQ(f.StartTime, 4294967295u);
  EXPECT_EQ(f.EndTime, 4294967295u);
}

TEST(AdjustEventTimes, FitIntervalCountsFromTheAdjustedStart) {
  auto e = EventAt(5000, 6000);
  AdjustEventTimes(e, Adjust(TStartChoice::Add, 1000, TEndChoice::FitInterval, 0, 2000));
  EXPECT_EQ(e.StartTime, 6000u);
  EXPECT_EQ(e.EndTime, 8000u);

  auto top = EventAt(4294967000u, 0);
  AdjustEventTimes(top, Adjust(TStartChoice::NoChange, 0, TEndChoice::FitInterval, 0, 35999999));
  EXPECT_EQ(top.EndTime, 4294967295u);
}

TEST(SortEffectLists, TiesKeepTheirRowOrder) {
  TGraphicLayer layer;
  TEventList& blinks = *layer.ListForKind(kind::Blink);
  TEvent* second = blinks.Add(std::make_unique<TGraphicEffectBlinkEvent>());
  TEvent* first = blinks.Add(std::make_unique<TGraphicEffectBlinkEvent>());
  second->StartTime = first->StartTime = 700;
  second->EventNumber = 5;
  first->EventNumber = 4;
  EXPECT_TRUE(SortEffectLists(layer));
  EXPECT_EQ(blinks[0], first);
  EXPECT_FALSE(SortEffectLists(layer));
}

}  // namespace
}  // namespace vexa
