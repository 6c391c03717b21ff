#include "ui/logic/time_adjust.h"

#include <gtest/gtest.h>

#include "fake_ui.h"

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

TEST(AdjustTimesCommand, AdjustsEverySelectedEventFromTheFirstOnesTimes) {
  auto a = EventAt(5000, 6000), b = EventAt(100, 200), c = EventAt(0, 50);
  TEvent* selected[] = {&a, &b, &c};
  test::TFakeUi ui;
  uint32_t shownStart = 0, shownEnd = 0;
  ui.OnDialog = [&](TEventAdjustForm& f) {
    shownStart = f.TimeValue(TEventAdjustForm::Start);
    shownEnd = f.TimeValue(TEventAdjustForm::End);
    f.StartChoice = TStartChoice::Add;
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Second, 1);
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Millisecond, 0);
    f.EndChoice = TEndChoice::FitInterval;
    f.SetTimeField(TEventAdjustForm::Interval, TTimeFields::Second, 2);
    f.SetTimeField(TEventAdjustForm::Interval, TTimeFields::Millisecond, 0);
  };
  EXPECT_TRUE(AdjustTimesCommand(selected, ui));
  EXPECT_EQ(shownStart, 5000u);
  EXPECT_EQ(shownEnd, 6000u);
  ASSERT_EQ(ui.Confirmations.size(), 1u);
  EXPECT_EQ(ui.Confirmations[0], "選択したイベントの修正を開始します。よろしいですか？");
  EXPECT_EQ(a.StartTime, 6000u);
  EXPECT_EQ(a.EndTime, 8000u);
  EXPECT_EQ(b.StartTime, 1100u);
  EXPECT_EQ(b.EndTime, 3100u);
  EXPECT_EQ(c.StartTime, 1000u);
  EXPECT_EQ(c.EndTime, 3000u);
  EXPECT_EQ(ui.Refreshed, (std::vector<TEvent*>{&a, &b, &c}));
  EXPECT_EQ(ui.Refills, 0);
}

TEST(AdjustTimesCommand, CancelNoAndEmptySelectionChangeNothing) {
  auto a = EventAt(5000, 6000);
  TEvent* selected[] = {&a};
  auto directToZero = [](TEventAdjustForm& f) {
    f.StartChoice = TStartChoice::Direct;
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Second, 0);
  };

  test::TFakeUi cancel;
  cancel.OnDialog = directToZero;
  cancel.DialogAnswer = false;
  EXPECT_FALSE(AdjustTimesCommand(selected, cancel));
  EXPECT_TRUE(cancel.Confirmations.empty());

  test::TFakeUi no;
  no.OnDialog = directToZero;
  no.ConfirmAnswer = false;
  EXPECT_FALSE(AdjustTimesCommand(selected, no));
  EXPECT_EQ(no.Confirmations.size(), 1u);

  test::TFakeUi none;
  EXPECT_FALSE(AdjustTimesCommand({}, none));
  EXPECT_EQ(none.DialogsShown, 0);

  EXPECT_EQ(a.StartTime, 5000u);
  EXPECT_EQ(a.EndTime, 6000u);
  EXPECT_TRUE(cancel.Refreshed.empty() && no.Refreshed.empty());
}

TEST(AdjustTimesCommand, EffectListsGoBackToTimeOrder) {
  TGraphicLayer layer;
  TEventList& positions = *layer.ListForKind(kind::Position);
  TEvent* early = positions.Add(std::make_unique<TGraphicEffectPositionEvent>());
  TEvent* late = positions.Add(std::make_unique<TGraphicEffectPositionEvent>());
  early->StartTime = 1000, early->EndTime = 2000, early->EventNumber = 0;
  late->StartTime = 3000, late->EndTime = 4000, late->EventNumber = 1;
  TEvent* fade = layer.ListForKind(kind::Fade)->Add(std::make_unique<TGraphicEffectFadeEvent>());
  fade->StartTime = 0;

  TEvent* selected[] = {early};
  test::TFakeUi ui;
  ui.OnDialog = [](TEventAdjustForm& f) {
    f.StartChoice = TStartChoice::Add;
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Second, 5);
  };
  EXPECT_TRUE(AdjustTimesCommand(selected, ui, &layer));
  EXPECT_EQ(early->StartTime, 6000u);
  ASSERT_EQ(positions.Count(), 2);
  EXPECT_EQ(positions[0], late);
  EXPECT_EQ(positions[1], early);
  EXPECT_EQ(ui.Refills, 1);

  // A shift that keeps the order leaves the view as it is.
  test::TFakeUi ui2;
  ui2.OnDialog = ui.OnDialog;
  TEvent* both[] = {late, early};
  EXPECT_TRUE(AdjustTimesCommand(both, ui2, &layer));
  EXPECT_EQ(positions[0], late);
  EXPECT_EQ(ui2.Refills, 0);
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
