// RenderLayer with stand-in effects plugged in through the session's effect lookup: the
// two-pass change detection, the re-run, and the marks that keep incremental frames equal to
// freshly rendered ones.
#include <gtest/gtest.h>

#include "render/interpolation.h"
#include "render/render_pass.h"
#include "render/studio.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::AddEvent;
using test::AddImage;
using test::AddLayer;
using test::ScratchDir;
using test::WritePicture;

int gPixelWork = 0;

// A picture effect: inverts the colours; its state change is its initialisation.
void FakeInvert(TEffectPass& p) {
  if (p.Stepping() && p.NeedsInit()) {
    p.List.CursorLoaded = true;
    p.Layer.PictureChanged = 1;
  }
  if (p.PixelWork()) {
    ++gPixelWork;
    TABitmap& b = p.Layer.WorkBitmap;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        b.SetPixel(x, y, b.Pixel(x, y) ^ 0x00FFFFFFu);
    p.Layer.PictureChanged = 1;
  }
}

struct TFakeMoveState : TEffectState {
  TInterpolated X;
};

// A placement effect: moves the layer right from StartX to EndX.
void FakeMove(TEffectPass& p) {
  auto& e = static_cast<TGraphicEffectPositionEvent&>(p.Event);
  auto& st = p.StateAs<TFakeMoveState>();
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      MakeInterpolationStart(e, p.Studio.CurrentTime, p.Studio.FrameDuration, p.Studio.SeekFlag != 0)
          .Init(st.X, e.StartX, e.EndX);
      p.List.CursorLoaded = true;
      p.Layer.NeedsRedraw = 1;
    } else if (st.X.Advance()) {
      p.Layer.NeedsRedraw = 1;
    }
  }
  p.Pass.X = static_cast<int32_t>(st.X.Rounded());
}

TEffectFn FakeLookup(int32_t code) {
  if (code == kind::Nega) return &FakeInvert;
  if (code == kind::Position) return &FakeMove;
  return nullptr;
}

TEST(RenderLayer, APictureEffectThatEndsLeavesNoTrace) {
  ScratchDir dir;
  TProject p;
  p.Width = 6;
  p.Height = 4;
  p.FPS = 10;
  TGraphicLayer& l = AddLayer(p);
  AddImage(l, 0, 3000, WritePicture(dir, "a.bmp", 6, 4, 0x00102030), bmCopy);
  AddEvent<TGraphicEffectNegaEvent>(l, 1000, 2000);
  test::ExpectSeekMatchesSequential(p, 30, &FakeLookup);

  TVexaStudio s;
  s.Project.Width = 6;
  s.Project.Height = 4;
  s.Project.FPS = 10;
  CopyGraphicLayers(p.GraphicLayers, s.Project.GraphicLayers);
  s.EffectLookup = &FakeLookup;
  ASSERT_TRUE(s.PrepareSession());
  gPixelWork = 0;
  for (uint32_t f = 0; f < 30; ++f) {
    s.ComposeFrame();
    EXPECT_EQ(s.FrameBitmap.Pixel(3, 2), f >= 10 && f < 20 ? 0x00EFDFCFu : 0x00102030u) << f;
  }
  // The inversion ran once, in the re-run of its first frame; the frames after it reused it.
  EXPECT_EQ(gPixelWork, 1);
}

TEST(RenderLayer, PlacementChangesAndEndingSourcesAreRedrawn) {
  ScratchDir dir;
  TProject p;
  p.Width = 10;
  p.Height = 4;
  p.FPS = 10;
  p.BackColor = 0x00FF00;
  TGraphicLayer& moving = AddLayer(p);
  AddImage(moving, 0, 1000, WritePicture(dir, "a.bmp", 3, 3, 0x00FFFFFF), bmCopy);
  auto& move = AddEvent<TGraphicEffectPositionEvent>(moving, 300, 2000);  // outlives its source
  move.StartX = 0;
  move.EndX = 15;
  TGraphicLayer& still = AddLayer(p);
  AddImage(still, 0, 2500, WritePicture(dir, "b.bmp", 2, 2, 0x00000080), bmCopy);
  test::ExpectSeekMatchesSequential(p, 25, &FakeLookup);

  TVexaStudio s;
  s.Project.Width = 10;
  s.Project.Height = 4;
  s.Project.FPS = 10;
  s.Project.BackColor = 0x00FF00;
  CopyGraphicLayers(p.GraphicLayers, s.Project.GraphicLayers);
  s.EffectLookup = &FakeLookup;
  ASSERT_TRUE(s.PrepareSession());
  for (uint32_t f = 0; f < 12; ++f)
    s.ComposeFrame();
  // Frame 11: the moving layer's source has ended; only the still layer and the green
  // background remain, although the move goes on.
  EXPECT_EQ(s.RenderLayers[0]->SourceActive, 0);
  for (int x = 2; x < 10; ++x)
    EXPECT_EQ(s.FrameBitmap.Pixel(x, 1), 0x0000FF00u) << x;
  EXPECT_EQ(s.FrameBitmap.Pixel(1, 1), 0x00000080u);
}

}  // namespace
}  // namespace vexa
