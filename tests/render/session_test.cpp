#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "render/interpolation.h"
#include "render/numeric.h"
#include "render/studio.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::AddEvent;
using test::AddImage;
using test::AddLayer;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-0.5), 0);
  EXPECT_EQ(Round(-1.5), -2);
  EXPECT_EQ(Round(2.4999), 2);
  EXPECT_EQ(Trunc(-2.9), -2);
  EXPECT_EQ(Trunc(29.999), 29);
  EXPECT_EQ(Round(std::nan("")), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(Round(1e300), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(ClampInt64(5, 0, 3), 3);
  EXPECT_EQ(ClampInt64(-5, 0, 3), 0);
  EXPECT_EQ(ClampInt64(2, 0, 3), 2);
}

TEST(Session, FrameCountFromTheSourceEvents) {
  for (auto [fps, frames] : {std::pair{30u, 30u}, std::pair{25u, 25u}}) {
    TVexaStudio s;
    s.Project.FPS = fps;
    AddImage(AddLayer(s.Project), 0, 1000, "missing.bmp");
    ASSERT_TRUE(s.PrepareSession());
    EXPECT_EQ(s.FrameCount, frames);
    EXPECT_EQ(s.FrameBitmap.Width(), 640);
    EXPECT_EQ(s.FrameBitmap.Height(), 480);
  }
}

TEST(Session, AlongEarlyEventIsNotCutShortByALaterShortOne) {
  TVexaStudio s;
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 5000, "a.bmp");
  AddImage(l, 1000, 2000, "b.bmp");
  auto& fx = AddEvent<TGraphicEffectPositionEvent>(l, 0, 9000);  // effects do not lengthen it
  (void)fx;
  ASSERT_TRUE(s.PrepareSession());
  EXPECT_EQ(s.FrameCount, 150u);
}

TEST(Session, NothingToRenderLeavesNoSession) {
  TVexaStudio s;
  EXPECT_FALSE(s.PrepareSession());
  EXPECT_FALSE(s.InSession());
  TGraphicLayer& l = AddLayer(s.Project);
  AddEvent<TGraphicEffectFadeEvent>(l, 0, 5000);
  EXPECT_FALSE(s.PrepareSession());
  AddImage(l, 0, 10, "a.bmp");  // ends before half a frame
  EXPECT_FALSE(s.PrepareSession());
  EXPECT_FALSE(s.InSession());
  EXPECT_TRUE(s.RenderLayers.Empty());
}

TEST(Session, ClockRunsAsASumAndSeeksByIndex) {
  TVexaStudio s;
  AddImage(AddLayer(s.Project), 0, 1000, "missing.bmp");
  ASSERT_TRUE(s.PrepareSession());
  double sum = 0;
  for (int i = 0; i < 29; ++i) {
    s.ComposeFrame();
    sum += 1000.0 / 30;
  }
  EXPECT_EQ(s.CurrentTime, sum);
  EXPECT_EQ(s.FrameIndex, 29u);
  s.ComposeFrame();  // the last frame
  EXPECT_EQ(s.FrameIndex, 30u);
  const double t = s.CurrentTime;
  s.ComposeFrame();  // past the end: nothing happens
  EXPECT_EQ(s.FrameIndex, 30u);
  EXPECT_EQ(s.CurrentTime, t);
  s.SeekFrame(30);  // beyond the last frame: ignored
  EXPECT_EQ(s.FrameIndex, 30u);
  EXPECT_EQ(s.SeekFlag, 0);
  s.SeekFrame(7);
  EXPECT_EQ(s.FrameIndex, 7u);
  EXPECT_EQ(s.CurrentTime, 7 * (1000.0 / 30));
  EXPECT_EQ(s.SeekFlag, 1);
  s.ComposeFrame();
  EXPECT_EQ(s.SeekFlag, 0);
}

// Which source event of layer 0 is active in each frame, rendering sequentially.
std::vector<int> ActiveSourcePerFrame(TVexaStudio& s, const std::vector<const TEvent*>& events) {
  std::vector<int> out;
  for (uint32_t f = 0; f < s.FrameCount; ++f) {
    s.ComposeFrame();
    TRenderLayer& l = *s.RenderLayers[0];
    int which = -1;
    if (l.SourceActive)
      for (size_t i = 0; i < events.size(); ++i)
        if (l.MergedSources.Current() == events[i]) which = static_cast<int>(i);
    out.push_back(which);
  }
  return out;
}

TEST(Session, EventsFollowEachOtherOnTheRoundedClock) {
  test::ScratchDir dir;
  const std::string pic = test::WritePicture(dir, "p.bmp", 4, 4, 0);
  TVexaStudio s;
  TGraphicLayer& l = AddLayer(s.Project);
  const TEvent* a = &AddImage(l, 500, 1000, pic);
  const TEvent* b = &AddImage(l, 1000, 2000, pic);
  ASSERT_TRUE(s.PrepareSession());
  std::vector<int> got = ActiveSourcePerFrame(s, {a, b});
  ASSERT_EQ(got.size(), 60u);
  for (int f = 0; f < 60; ++f)
    EXPECT_EQ(got[static_cast<size_t>(f)], f < 15 ? -1 : f < 30 ? 0 : 1) << f;
}

TEST(Session, OverlappingEventsWaitForTheEarlierOne) {
  test::ScratchDir dir;
  const std::string pic = test::WritePicture(dir, "p.bmp", 4, 4, 0);
  TVexaStudio s;
  TGraphicLayer& l = AddLayer(s.Project);
  const TEvent* a = &AddImage(l, 0, 2000, pic);
  const TEvent* hidden = &AddImage(l, 500, 1500, pic);  // over before a ends: never shows
  const TEvent* late = &AddImage(l, 1000, 3000, pic);   // still running when a ends
  ASSERT_TRUE(s.PrepareSession());
  std::vector<int> got = ActiveSourcePerFrame(s, {a, hidden, late});
  for (int f = 0; f < 90; ++f)
    EXPECT_EQ(got[static_cast<size_t>(f)], f < 60 ? 0 : 2) << f;
}

TEST(Session, AnEffectStoredBehindALaterOneNeverApplies) {
  TVexaStudio s;
  s.Project.FPS = 10;
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 8000, "missing.bmp");
  const TEvent* late = &AddEvent<TGraphicEffectPositionEvent>(l, 5000, 6000);
  const TEvent* early = &AddEvent<TGraphicEffectPositionEvent>(l, 1000, 2000);
  ASSERT_TRUE(s.PrepareSession());
  int lateFrames = 0;
  for (uint32_t f = 0; f < s.FrameCount; ++f) {
    s.ComposeFrame();
    for (TEvent* e : s.RenderLayers[0]->ActiveEffects) {
      EXPECT_NE(e, early) << f;
      if (e == late) ++lateFrames;
    }
  }
  EXPECT_EQ(lateFrames, 10);
}

TEST(Session, MasterLayerIsTheFirstWithAnExactName) {
  TVexaStudio s;
  AddImage(AddLayer(s.Project, "master"), 0, 1000, "x.bmp");  // case matters
  AddLayer(s.Project, "Master");
  AddLayer(s.Project, "マスター");
  ASSERT_TRUE(s.PrepareSession());
  EXPECT_EQ(s.MasterLayer, s.RenderLayers[1]);
  s.FinishSession();
  EXPECT_EQ(s.MasterLayer, nullptr);
  EXPECT_TRUE(s.RenderLayers.Empty());
  EXPECT_EQ(s.Project.GraphicLayers[0]->EventCount(), 1);  // the project keeps its events
}

TEST(Session, EventActivityCodes) {
  TVexaStudio s;
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 3000, "x.bmp");
  AddEvent<TGraphicEffectFadeEvent>(l, 1000, 2000);
  AddEvent<TGraphicEffectFadeEvent>(l, 2000, 2500);
  ASSERT_TRUE(s.PrepareSession());
  TRenderLayer& r = *s.RenderLayers[0];
  TEventRefList& fades = *r.ListForKind(kind::Fade);
  EXPECT_EQ(s.EventActivity(*r.ListForKind(kind::Size)), activity::Empty);
  s.CurrentTime = 500;
  EXPECT_EQ(s.EventActivity(fades), activity::NotStarted);
  s.CurrentTime = 999.5;  // rounds to 1000 (ties to even) and counts as started
  EXPECT_EQ(s.EventActivity(fades), activity::Active);
  s.CurrentTime = 1966.6;  // the next frame starts at 2000: still covered
  EXPECT_EQ(s.EventActivity(fades), activity::Active);
  s.CurrentTime = 1970;
  EXPECT_EQ(s.EventActivity(fades), activity::PassedMoreFollow);
  fades.Cursor = 1;
  s.CurrentTime = 2600;
  EXPECT_EQ(s.EventActivity(fades), activity::PassedLast);
}

TEST(Session, PassedTextEventsLeaveTheTextCache) {
  TVexaStudio s;
  TGraphicLayer& l = AddLayer(s.Project);
  const TEvent* text = &AddEvent<TGraphicSourceTextEvent>(l, 0, 1000);
  AddImage(l, 0, 2000, "x.bmp");
  ASSERT_TRUE(s.PrepareSession());
  TRenderLayer& r = *s.RenderLayers[0];
  TEventRefList& texts = *r.ListForKind(kind::Text);
  s.TextCache[TVexaStudio::TextCacheKey(text)].SetSize(2, 2);
  s.CurrentTime = 500;
  s.EventActivity(texts);
  EXPECT_EQ(s.TextCache.size(), 1u);
  s.CurrentTime = 1500;
  EXPECT_EQ(s.EventActivity(texts), activity::PassedLast);
  EXPECT_TRUE(s.TextCache.empty());
}

TEST(Interpolation, StepsFromStartToEnd) {
  TGraphicEffectPositionEvent e;
  e.StartTime = 0;
  e.EndTime = 1000;
  const double d = 1000.0 / 30;
  TInterpolationStart st = MakeInterpolationStart(e, 0, d, false);
  EXPECT_EQ(st.StepCount, 28);  // 29.999... truncated, minus 1
  TInterpolated x;
  st.Init(x, 0, 280);
  EXPECT_EQ(x.Step, 10);
  EXPECT_EQ(x.Rounded(), 0);
  for (int f = 1; f <= 15; ++f)
    EXPECT_TRUE(x.Advance());
  EXPECT_EQ(x.Rounded(), 150);
  // After a seek to frame 15 the state is rebuilt from the time.
  TInterpolationStart seek = MakeInterpolationStart(e, 15 * d, d, true);
  EXPECT_EQ(seek.Elapsed, 15);
  TInterpolated y;
  seek.Init(y, 0, 280);
  EXPECT_EQ(y.Rounded(), 150);
  for (int f = 16; f <= 29; ++f)
    x.Advance();
  EXPECT_EQ(x.Rounded(), 290);  // the last frame lies one step beyond End
}

TEST(Interpolation, EventsShorterThanTwoFramesHoldTheirStartValue) {
  const double d = 1000.0 / 30;
  for (uint32_t end : {0u, 20u, 40u, 60u}) {
    TGraphicEffectFadeEvent e;
    e.StartTime = 0;
    e.EndTime = end;
    TInterpolationStart st = MakeInterpolationStart(e, 0, d, true);
    EXPECT_LE(st.StepCount, 0) << end;
    TInterpolated v;
    st.Init(v, 40, 200);
    EXPECT_TRUE(std::isfinite(v.Value));
    EXPECT_EQ(v.Rounded(), 40);
    EXPECT_FALSE(v.Advance());
    EXPECT_EQ(v.Rounded(), 40);
  }
}

}  // namespace
}  // namespace vexa
