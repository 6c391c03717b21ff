#include <gtest/gtest.h>

#include "ui/logic/event_rows.h"

namespace vexa {
namespace {

template <class T>
T* AddEvent(TGraphicLayer& layer, uint32_t start, uint32_t end) {
  auto e = std::make_unique<T>();
  e->StartTime = start;
  e->EndTime = end;
  return static_cast<T*>(layer.ListForKind(T::KindCode)->Add(std::move(e)));
}

TEST(DescribeEvent, FillsEveryColumnAndNumbersTheEvent) {
  TGraphicEffectRotateEvent r;
  r.StartTime = 3723004;
  r.EndTime = 4294967295u;
  r.StartAngle = -500;
  r.EndAngle = 1000;
  r.EventNumber = 42;
  TEventRow row;
  DescribeEvent(r, row, 3);
  EXPECT_EQ(row.Event, &r);
  EXPECT_EQ(row.Caption, "01:02:03.004");
  EXPECT_EQ(row.EndText, "1193:02:47.295");
  EXPECT_EQ(row.KindText, "回転");
  EXPECT_EQ(row.Summary, "-500度 → 1000度");
  EXPECT_EQ(r.EventNumber, 3u);
}

TEST(FillSourceView, SlotOrderWhateverTheTimes) {
  TGraphicLayer layer;
  auto* master = AddEvent<TGraphicSourceMasterEvent>(layer, 0, 10);
  auto* movie = AddEvent<TGraphicSourceMovieEvent>(layer, 100, 200);
  auto* image2 = AddEvent<TGraphicSourceImageEvent>(layer, 50, 60);
  auto* image1 = AddEvent<TGraphicSourceImageEvent>(layer, 900, 1000);
  auto* text = AddEvent<TGraphicSourceTextEvent>(layer, 5000, 6000);
  AddEvent<TGraphicEffectFadeEvent>(layer, 0, 1);  // not a source

  const std::vector<TEventRow> rows = FillSourceView(layer);
  ASSERT_EQ(rows.size(), 5u);
  const TEvent* order[] = {text, image2, image1, movie, master};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].Event, order[i]) << i;
    EXPECT_EQ(order[i]->EventNumber, i) << i;
  }
  EXPECT_EQ(rows[0].KindText, "テキスト");
  EXPECT_EQ(rows[4].Summary, "マスターレイヤー");
  EXPECT_EQ(rows[3].Caption, "00:00:00.100");
  EXPECT_EQ(rows[3].EndText, "00:00:00.200");
}

TEST(FillEffectView, VibrationFollowsBlinkAndNegaPrecedesBrightness) {
  TGraphicLayer layer;
  auto* bright = AddEvent<TGraphicEffectBrightnessEvent>(layer, 0, 1);
  auto* nega = AddEvent<TGraphicEffectNegaEvent>(layer, 0, 1);
  auto* vib = AddEvent<TGraphicEffectVibrationEvent>(layer, 0, 1);
  auto* blink = AddEvent<TGraphicEffectBlinkEvent>(layer, 0, 1);
  auto* swap = AddEvent<TGraphicEffectSwapLayerEvent>(layer, 0, 1);
  auto* pos = AddEvent<TGraphicEffectPositionEvent>(layer, 0, 1);
  AddEvent<TGraphicSourceTextEvent>(layer, 0, 1);  // not an effect

  const std::vector<TEventRow> rows = FillEffectView(layer);
  ASSERT_EQ(rows.size(), 6u);
  const TEvent* order[] = {pos, blink, vib, nega, bright, swap};
  for (size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].Event, order[i]) << i;
    EXPECT_EQ(order[i]->EventNumber, i) << i;
  }
  EXPECT_EQ(rows[2].KindText, "振動");
}

TEST(FillSoundView, RowsShowTheFileNameAndNumberTheEvents) {
  TSoundLayer layer;
  for (int i = 0; i < 3; ++i) {
    auto e = std::make_unique<TSoundSourceEvent>();
    e->FileName = "C:\\snd\\take" + std::to_string(i) + ".wav";
    e->EventNumber = 7;
    layer.Events.Add(std::move(e));
  }
  const std::vector<TEventRow> rows = FillSoundView(layer);
  ASSERT_EQ(rows.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(rows[static_cast<size_t>(i)].Event, layer.Events[i]);
    EXPECT_EQ(rows[static_cast<size_t>(i)].KindText, "take" + std::to_string(i) + ".wav");
    EXPECT_EQ(layer.Events[i]->EventNumber, static_cast<uint32_t>(i));
  }
}

TEST(RowInsertIndex, InsideTheRowsOrAtTheEnd) {
  EXPECT_EQ(RowInsertIndex(0, 3), 0);
  EXPECT_EQ(RowInsertIndex(2, 3), 2);
  EXPECT_EQ(RowInsertIndex(3, 3), 3);
  EXPECT_EQ(RowInsertIndex(10, 3), 3);
  EXPECT_EQ(RowInsertIndex(-1, 3), 3);
  EXPECT_EQ(RowInsertIndex(0, 0), 0);
}

}  // namespace
}  // namespace vexa
