// The transform effects end to end in small sessions: the worked examples, seeking against
// rendering from the start, and the order of effects by start time.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "bitmap/bilinear.h"
#include "bitmap/crop_bitmap.h"
#include "bitmap/mirror_bitmap.h"
#include "render/effects/transform_effects.h"
#include "render/random32.h"
#include "render/studio.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::AddEvent;
using test::AddImage;
using test::AddLayer;
using test::ScratchDir;

// A picture whose every pixel differs from its neighbours, opaque except for one
// half-transparent column, written as a BMP.
TABitmap Pattern(int32_t w, int32_t h, uint32_t seed) {
  TABitmap b;
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const uint32_t v =
          (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u) ^ seed;
      b.SetPixel(x, y, (v & 0x00FFFFFF) | (x == 3 ? 0x80000000u : 0));
    }
  return b;
}

std::string WritePattern(const ScratchDir& dir, const std::string& name, int32_t w, int32_t h,
                         uint32_t seed) {
  const std::string path = dir.File(name);
  Pattern(w, h, seed).SaveToFile(path);
  return path;
}

void Configure(TVexaStudio& s, uint32_t w, uint32_t h, uint32_t fps) {
  s.Project.Width = w;
  s.Project.Height = h;
  s.Project.FPS = fps;
  s.Project.BackColor = 0x00302010;
}

TRenderLayer& Layer(TVexaStudio& s, int i = 0) {
  return *s.RenderLayers[i];
}

template <class State>
State& StateOf(TVexaStudio& s, int32_t code, int layer = 0) {
  auto* state = dynamic_cast<State*>(Layer(s, layer).ListForKind(code)->EffectState.get());
  EXPECT_NE(state, nullptr);
  return *state;
}

bool Same(const TABitmap& a, const TABitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int32_t y = 0; y < a.Height(); ++y)
    for (int32_t x = 0; x < a.Width(); ++x)
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
  return true;
}

std::vector<uint32_t> Pixels(const TABitmap& b) {
  return std::vector<uint32_t>(b.Pixels(), b.Pixels() + static_cast<size_t>(b.Width()) * b.Height());
}

// Every frame of a render from the start equals the same frame of a fresh session seeked to
// it, and of one session that keeps jumping around.
void ExpectSeekMatchesSequential(const std::function<void(TVexaStudio&)>& build) {
  TVexaStudio seq;
  build(seq);
  ASSERT_TRUE(seq.PrepareSession());
  std::vector<std::vector<uint32_t>> frames;
  for (uint32_t f = 0; f < seq.FrameCount; ++f) {
    seq.ComposeFrame();
    frames.push_back(Pixels(seq.FrameBitmap));
  }
  TVexaStudio roamer;
  build(roamer);
  ASSERT_TRUE(roamer.PrepareSession());
  for (uint32_t f = 0; f < seq.FrameCount; ++f) {
    TVexaStudio fresh;
    build(fresh);
    ASSERT_TRUE(fresh.PrepareSession());
    fresh.SeekFrame(f);
    fresh.ComposeFrame();
    ASSERT_EQ(Pixels(fresh.FrameBitmap), frames[f]) << "seek to frame " << f;
  }
  for (uint32_t f = 0; f < seq.FrameCount; ++f) {
    const uint32_t r = (f * 7 + 3) % seq.FrameCount;
    roamer.SeekFrame(r);
    roamer.ComposeFrame();
    ASSERT_EQ(Pixels(roamer.FrameBitmap), frames[r]) << "jump to frame " << r;
    if (r + 1 < seq.FrameCount) {
      roamer.ComposeFrame();
      ASSERT_EQ(Pixels(roamer.FrameBitmap), frames[r + 1]) << "frame after the jump to " << r;
    }
  }
}

TEST(PositionEffect, DirectionsMoveTheNamedPointOfThePicture) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 640, 480, 30);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 2000, WritePattern(dir, "a.bmp", 100, 50, 1));
  auto& e = AddEvent<TGraphicEffectPositionEvent>(l, 0, 1000);
  e.PositionType = 2;
  e.StartDirection = 0;
  e.EndDirection = 8;
  e.OriginDirection = 4;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  // (-50, -25): the picture's centre on the frame's top-left corner, clipped.
  EXPECT_EQ(Layer(s).SrcX, 50);
  EXPECT_EQ(Layer(s).SrcY, 25);
  EXPECT_EQ(Layer(s).DstX, 0);
  EXPECT_EQ(Layer(s).DrawWidth, 50);
  for (int f = 1; f <= 28; ++f)
    s.ComposeFrame();  // StepCount 28 steps on
  EXPECT_EQ(Layer(s).DstX, 590);
  EXPECT_EQ(Layer(s).DstY, 455);
  EXPECT_EQ(Layer(s).DrawWidth, 50);
  EXPECT_EQ(Layer(s).DrawHeight, 25);
  // The frame shows the picture's top-left pixel there.
  EXPECT_EQ(s.FrameBitmap.Pixel(590, 455) & 0xFFFFFF, Pattern(100, 50, 1).Pixel(0, 0) & 0xFFFFFF);
}

TEST(PositionEffect, PixelsAndPercentAgreeSequentiallyAndAfterSeeking) {
  ScratchDir dir;
  const std::string file = WritePattern(dir, "a.bmp", 40, 30, 2);
  for (int32_t type : {0, 1}) {
    auto build = [&](TVexaStudio& s) {
      Configure(s, 640, 480, 30);
      TGraphicLayer& l = AddLayer(s.Project);
      AddImage(l, 0, 1000, file);
      auto& e = AddEvent<TGraphicEffectPositionEvent>(l, 0, 1000);
      e.PositionType = type;
      e.EndX = 280;
      e.StartY = e.EndY = 0;
      if (type == 1) e.EndX = 4375;  // 640 x 43.75 = 28000 over 28 steps: 1000 per frame
    };
    TVexaStudio s;
    build(s);
    ASSERT_TRUE(s.PrepareSession());
    for (int f = 0; f <= 15; ++f)
      s.ComposeFrame();
    const int32_t at15 = Layer(s).DstX;
    TVexaStudio seek;
    build(seek);
    ASSERT_TRUE(seek.PrepareSession());
    seek.SeekFrame(15);
    seek.ComposeFrame();
    // Frame 15 at x 150 (or 15000), sequentially and after the seek.
    const int64_t expected = type == 0 ? 150 : 15000;
    EXPECT_EQ(StateOf<TPositionState>(s, kind::Position).X.Rounded(), expected);
    EXPECT_EQ(StateOf<TPositionState>(seek, kind::Position).X.Rounded(), expected);
    if (type == 0) {
      EXPECT_EQ(at15, 150);
      EXPECT_EQ(Layer(seek).DstX, 150);
      for (int f = 16; f <= 29; ++f)
        s.ComposeFrame();
      EXPECT_EQ(Layer(s).DstX, 290);  // the last frame, one step past the end
    }
  }
}

TEST(SizeEffect, PercentOfTheLayerPictureResizesOverFreshPaper) {
  ScratchDir dir;
  const TABitmap src = Pattern(200, 100, 3);
  TVexaStudio s;
  Configure(s, 640, 480, 30);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 2000, WritePattern(dir, "a.bmp", 200, 100, 3));
  auto& e = AddEvent<TGraphicEffectSizeEvent>(l, 0, 1000);
  e.SizeType = 1;
  e.StartWidth = e.StartHeight = 100;
  e.EndWidth = e.EndHeight = 50;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  EXPECT_EQ(Layer(s).WorkBitmap.Width(), 200);
  s.ComposeFrame();
  EXPECT_NEAR(StateOf<TSizeState>(s, kind::Size).Units.X(StateOf<TSizeState>(s, kind::Size).W.Value),
              200 - 100.0 / 28, 1e-9);
  for (int f = 2; f <= 14; ++f)
    s.ComposeFrame();
  ASSERT_EQ(Layer(s).WorkBitmap.Width(), 150);
  ASSERT_EQ(Layer(s).WorkBitmap.Height(), 75);
  TABitmap expected;
  expected.SetSize(150, 75);
  ResizeBilinear(src, expected);
  EXPECT_TRUE(Same(Layer(s).WorkBitmap, expected));
}

TEST(SizeEffect, BelowTwoPixelsKeepsTheUnscaledPicture) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 320, 240, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 60, 40, 4));
  auto& e = AddEvent<TGraphicEffectSizeEvent>(l, 0, 1000);
  e.SizeType = 0;
  e.StartWidth = e.EndWidth = 1;
  e.StartHeight = e.EndHeight = 30;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  EXPECT_EQ(Layer(s).WorkBitmap.Width(), 60);
  EXPECT_EQ(Layer(s).WorkBitmap.Height(), 40);
  EXPECT_EQ(Layer(s).SourceActive, 1);
}

TEST(RotateEffect, QuarterTurnAboutTheTopLeftCornerKeepsTheCornerInPlace) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 320, 240, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 100, 50, 5));
  auto& pos = AddEvent<TGraphicEffectPositionEvent>(l, 0, 1000);
  pos.StartX = pos.EndX = 150;
  pos.StartY = pos.EndY = 60;
  auto& e = AddEvent<TGraphicEffectRotateEvent>(l, 0, 1000);
  e.OriginDirection = 0;
  e.StartAngle = e.EndAngle = 250;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  ASSERT_EQ(Layer(s).WorkBitmap.Width(), 50);
  ASSERT_EQ(Layer(s).WorkBitmap.Height(), 100);
  // The picture now hangs to the left of the corner (150, 60), which stays in place.
  const int32_t right = Layer(s).DstX + Layer(s).DrawWidth;
  EXPECT_NEAR(right, 150, 2);
  EXPECT_NEAR(Layer(s).DstY, 60, 2);
  // Frames that reuse the turned picture keep it where it was.
  const int32_t x = Layer(s).DstX, y = Layer(s).DstY;
  for (int f = 1; f < 5; ++f) {
    s.ComposeFrame();
    EXPECT_EQ(Layer(s).DstX, x);
    EXPECT_EQ(Layer(s).DstY, y);
  }
}

TEST(RotateEffect, WholeTurnsLeaveThePictureUnchanged) {
  ScratchDir dir;
  for (int32_t angle : {1000, -1000}) {
    TVexaStudio s;
    Configure(s, 320, 240, 25);
    TGraphicLayer& l = AddLayer(s.Project);
    AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 30, 20, 6));
    auto& e = AddEvent<TGraphicEffectRotateEvent>(l, 0, 1000);
    e.StartAngle = e.EndAngle = angle;
    ASSERT_TRUE(s.PrepareSession());
    s.ComposeFrame();
    EXPECT_TRUE(Same(Layer(s).WorkBitmap, Pattern(30, 20, 6)));
    EXPECT_EQ(Layer(s).DstX, 0);
  }
}

TEST(TrimEffect, PercentKeepsTheMiddleColumnsAtTheLayerPosition) {
  ScratchDir dir;
  const TABitmap src = Pattern(200, 40, 7);
  TVexaStudio s;
  Configure(s, 320, 240, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 200, 40, 7));
  auto& e = AddEvent<TGraphicEffectTrimEvent>(l, 0, 1000);
  e.TrimType = 1;
  e.StartX = e.EndX = 25;
  e.StartX2 = e.EndX2 = 75;
  e.StartY = e.EndY = 0;
  e.StartY2 = e.EndY2 = 100;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  TABitmap expected;
  CropBitmap(50, 0, 100, 40, expected, src);
  EXPECT_TRUE(Same(Layer(s).WorkBitmap, expected));
  EXPECT_EQ(Layer(s).DstX, 0);
}

TEST(TrimEffect, RectanglesPastThePictureKeepThePartOnIt) {
  ScratchDir dir;
  const TABitmap src = Pattern(50, 40, 8);
  TVexaStudio s;
  Configure(s, 320, 240, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 50, 40, 8));
  auto& e = AddEvent<TGraphicEffectTrimEvent>(l, 0, 1000);
  e.TrimType = 0;
  e.StartX = e.EndX = 10;
  e.StartX2 = e.EndX2 = 500;  // far past the right edge
  e.StartY = e.EndY = 5;
  e.StartY2 = e.EndY2 = 30;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  TABitmap expected;
  CropBitmap(10, 5, 40, 25, expected, src);
  EXPECT_TRUE(Same(Layer(s).WorkBitmap, expected));
  // A degenerate rectangle leaves the picture as the source gave it.
  TVexaStudio d;
  Configure(d, 320, 240, 25);
  TGraphicLayer& dl = AddLayer(d.Project);
  AddImage(dl, 0, 1000, WritePattern(dir, "a.bmp", 50, 40, 8));
  auto& de = AddEvent<TGraphicEffectTrimEvent>(dl, 0, 1000);
  de.TrimType = 0;
  de.StartX = de.EndX = 20;
  de.StartX2 = de.EndX2 = 21;  // one pixel wide
  de.StartY2 = de.EndY2 = 30;
  ASSERT_TRUE(d.PrepareSession());
  d.ComposeFrame();
  EXPECT_TRUE(Same(Layer(d).WorkBitmap, src));
}

// A left edge of -10 pixels: the rectangle from -10 to 30 is 40 wide and keeps the part that
// lies on the picture, columns 0 ... 29.
TEST(TrimEffect, NegativeLeftEdgeKeepsThePartOnThePicture) {
  ScratchDir dir;
  const TABitmap src = Pattern(50, 40, 9);
  TVexaStudio s;
  Configure(s, 320, 240, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 50, 40, 9));
  auto& e = AddEvent<TGraphicEffectTrimEvent>(l, 0, 1000);
  e.TrimType = 0;
  e.StartX = e.EndX = -10;
  e.StartX2 = e.EndX2 = 30;
  e.StartY = e.EndY = 0;
  e.StartY2 = e.EndY2 = 40;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  TABitmap expected;
  CropBitmap(0, 0, 30, 40, expected, src);
  EXPECT_TRUE(Same(Layer(s).WorkBitmap, expected));
}

TEST(MirrorEffect, StaysMirroredWhileASizeChangeRebuildsThePicture) {
  ScratchDir dir;
  const TABitmap src = Pattern(64, 32, 9);
  TVexaStudio s;
  Configure(s, 320, 240, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 64, 32, 9));
  AddEvent<TGraphicEffectMirrorHorzEvent>(l, 0, 1000);
  auto& size = AddEvent<TGraphicEffectSizeEvent>(l, 80, 760);  // 16 steps from frame 2 on
  size.SizeType = 0;
  size.StartWidth = 64;
  size.EndWidth = 32;
  size.StartHeight = size.EndHeight = 32;
  ASSERT_TRUE(s.PrepareSession());
  TABitmap mirrored;
  MirrorHorizontal(src, mirrored);
  s.ComposeFrame();
  EXPECT_TRUE(Same(Layer(s).WorkBitmap, mirrored));
  for (int f = 1; f < 10; ++f) {
    s.ComposeFrame();
    // The size effect runs from frame 2 on.
    TABitmap expected;
    if (f < 2) {
      expected.Assign(mirrored);
    } else {
      expected.SetSize(Layer(s).WorkBitmap.Width(), 32);
      ResizeBilinear(mirrored, expected);
    }
    ASSERT_TRUE(Same(Layer(s).WorkBitmap, expected)) << "frame " << f;
  }
  // Mirror vertical on its own.
  TVexaStudio v;
  Configure(v, 320, 240, 25);
  TGraphicLayer& vl = AddLayer(v.Project);
  AddImage(vl, 0, 1000, WritePattern(dir, "a.bmp", 64, 32, 9));
  AddEvent<TGraphicEffectMirrorVertEvent>(vl, 0, 1000);
  ASSERT_TRUE(v.PrepareSession());
  v.ComposeFrame();
  TABitmap flipped;
  MirrorVertical(src, flipped);
  EXPECT_TRUE(Same(Layer(v).WorkBitmap, flipped));
}

TEST(FadeEffect, OpacityRunsFromStartToEndAndStaysInRange) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 320, 240, 30);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 2000, WritePattern(dir, "a.bmp", 30, 30, 10));
  auto& e = AddEvent<TGraphicEffectFadeEvent>(l, 0, 1000);  // StepCount 28, 30 frames
  e.StartAlpha = 255;
  e.EndAlpha = 0;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  EXPECT_EQ(Layer(s).Opacity, 255);
  for (int f = 1; f <= 28; ++f)
    s.ComposeFrame();
  EXPECT_EQ(Layer(s).Opacity, 0);
  s.ComposeFrame();  // frame 29, one step past EndAlpha
  EXPECT_LT(StateOf<TFadeState>(s, kind::Fade).Alpha.Rounded(), 0);
  EXPECT_EQ(Layer(s).Opacity, 0);
  // A half-way opacity blends the layer over the background.
  TVexaStudio h;
  Configure(h, 320, 240, 25);
  TGraphicLayer& hl = AddLayer(h.Project);
  AddImage(hl, 0, 2000, test::WritePicture(dir, "white.bmp", 30, 30, 0x00FFFFFF));
  auto& he = AddEvent<TGraphicEffectFadeEvent>(hl, 0, 2000);
  he.StartAlpha = he.EndAlpha = 128;
  ASSERT_TRUE(h.PrepareSession());
  h.ComposeFrame();
  // k = (255 * 128) >> 8 = 127; blue (0xFF * 127 + 0x30 * 128) >> 8.
  EXPECT_EQ(h.FrameBitmap.Pixel(5, 5) & 0xFF, (255u * 127 + 0x30u * 128) >> 8);
}

TEST(TileEffect, RepeatsThePictureUpToTheSize) {
  ScratchDir dir;
  const TABitmap src = Pattern(30, 20, 11);
  TVexaStudio s;
  Configure(s, 320, 240, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 30, 20, 11));
  auto& e = AddEvent<TGraphicEffectTileEvent>(l, 0, 1000);
  e.SizeType = 0;
  e.StartWidth = e.EndWidth = 100;
  e.StartHeight = e.EndHeight = 50;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  const TABitmap& w = Layer(s).WorkBitmap;
  ASSERT_EQ(w.Width(), 100);
  ASSERT_EQ(w.Height(), 50);
  for (int32_t y = 0; y < 50; ++y)
    for (int32_t x = 0; x < 100; ++x)
      ASSERT_EQ(w.Pixel(x, y), src.Pixel(x % 30, y % 20));
}

TEST(BlinkEffect, PhasesOfAHundredMillisecondsAtTwentyFiveFrames) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 100, 80, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, test::WritePicture(dir, "white.bmp", 40, 40, 0x00FFFFFF));
  auto& e = AddEvent<TGraphicEffectBlinkEvent>(l, 0, 1000);
  e.StartInterval = e.EndInterval = 100;
  ASSERT_TRUE(s.PrepareSession());
  // Countdown 100, 60, 20, -20: the phase turns in the 4th frame, then every 3 frames.
  for (int f = 0; f < 12; ++f) {
    s.ComposeFrame();
    const bool visible = (f / 3) % 2 == 0;
    EXPECT_EQ(StateOf<TBlinkState>(s, kind::Blink).Sign, visible ? 1 : -1) << "frame " << f;
    // The layer shows white, or the frame shows the bare background.
    EXPECT_EQ(s.FrameBitmap.Pixel(10, 10) & 0xFFFFFF, visible ? 0xFFFFFFu : 0x102030u) << "frame " << f;
  }
}

TEST(VibrationEffect, HopsReachPlusOrMinusTheRangeWithTheDrawnSigns) {
  ScratchDir dir;
  const uint32_t seed = 12345;
  TVexaStudio s;
  Configure(s, 200, 200, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 2000, WritePattern(dir, "a.bmp", 40, 40, 12));
  auto& pos = AddEvent<TGraphicEffectPositionEvent>(l, 0, 2000);
  pos.StartX = pos.EndX = pos.StartY = pos.EndY = 50;
  auto& e = AddEvent<TGraphicEffectVibrationEvent>(l, 0, 2000);
  e.PositionType = 0;
  e.StartInterval = e.EndInterval = 160;  // 4 frames per hop
  e.StartMinX = e.EndMinX = e.StartMaxX = e.EndMaxX = 5;
  e.StartMinY = e.EndMinY = e.StartMaxY = e.EndMaxY = 5;
  ASSERT_TRUE(s.PrepareSession());
  SeedRandom32(seed);
  // The same draws, made here: two targets first, then per hop two sign draws and two targets.
  TRandomSource model(seed);
  model.Next();
  model.Next();
  int signX = 1, signY = 1;
  for (int f = 0; f < 48; ++f) {
    s.ComposeFrame();
    const int32_t dx = Layer(s).DstX - 50, dy = Layer(s).DstY - 50;
    ASSERT_LE(std::abs(dx), 5);
    ASSERT_LE(std::abs(dy), 5);
    if (f % 4 == 3) {
      // A target is reached in the last frame of each hop.
      EXPECT_EQ(dx, 5 * signX) << "frame " << f;
      EXPECT_EQ(dy, 5 * signY) << "frame " << f;
      if ((model.Next() & 0xFF) > 25) signX = -signX;
      if ((model.Next() & 0xFF) > 25) signY = -signY;
      model.Next();
      model.Next();
    }
  }
  EXPECT_EQ(StateOf<TVibrationState>(s, kind::Vibration).HopFrames, 4);
}

TEST(VibrationEffect, TheNextEventOfTheListStartsWhereThePreviousLeftOff) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 200, 200, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 2000, WritePattern(dir, "a.bmp", 40, 40, 13));
  for (uint32_t start : {0u, 200u}) {
    auto& e = AddEvent<TGraphicEffectVibrationEvent>(l, start, start + 200);
    e.StartInterval = e.EndInterval = 1000;  // one slow hop per event: 25 frames
    e.StartMinX = e.EndMinX = e.StartMaxX = e.EndMaxX = 100;
  }
  ASSERT_TRUE(s.PrepareSession());
  SeedRandom32(1);
  for (int f = 0; f < 5; ++f)
    s.ComposeFrame();  // the first event: frames 0 to 4
  const double left = StateOf<TVibrationState>(s, kind::Vibration).OffsetX;
  EXPECT_DOUBLE_EQ(left, 5 * 4.0);  // 100 / 25 per frame, five frames
  s.ComposeFrame();                 // the second event's first frame: from 20 towards 100
  EXPECT_DOUBLE_EQ(StateOf<TVibrationState>(s, kind::Vibration).OffsetX, left + (100 - left) / 25);
}

TEST(VibrationEffect, IntervalsBelowAFrameLastOneFrameAndReversedRangesStayInside) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 200, 200, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 40, 40, 14));
  auto& pos = AddEvent<TGraphicEffectPositionEvent>(l, 0, 1000);
  pos.StartX = pos.EndX = pos.StartY = pos.EndY = 50;
  auto& e = AddEvent<TGraphicEffectVibrationEvent>(l, 0, 1000);
  e.StartInterval = e.EndInterval = 0;
  e.StartMinX = e.EndMinX = 9;  // maximum below the minimum
  e.StartMaxX = e.EndMaxX = 3;
  ASSERT_TRUE(s.PrepareSession());
  for (int f = 0; f < 20; ++f) {
    s.ComposeFrame();
    EXPECT_EQ(StateOf<TVibrationState>(s, kind::Vibration).HopFrames, 1);
    // Every frame is a hop straight to the target: 3 ... 9 pixels either way.
    const int32_t dx = std::abs(Layer(s).DstX - 50);
    EXPECT_GE(dx, 3);
    EXPECT_LE(dx, 9);
  }
}

// Negative ranges are displacements to the left and up: with minimum = maximum = -7 (and -3
// vertically) the first target is exactly (-7, -3); later hops only flip the signs. A negative
// interval is not below one frame when compared without sign, so it stays, and every frame is
// a hop.
TEST(VibrationEffect, NegativeMinimaAndIntervals) {
  ScratchDir dir;
  TVexaStudio s;
  Configure(s, 200, 200, 25);
  TGraphicLayer& l = AddLayer(s.Project);
  AddImage(l, 0, 1000, WritePattern(dir, "a.bmp", 40, 40, 15));
  auto& pos = AddEvent<TGraphicEffectPositionEvent>(l, 0, 1000);
  pos.StartX = pos.EndX = pos.StartY = pos.EndY = 50;
  auto& e = AddEvent<TGraphicEffectVibrationEvent>(l, 0, 1000);
  e.StartInterval = e.EndInterval = -100;
  e.StartMinX = e.EndMinX = e.StartMaxX = e.EndMaxX = -7;
  e.StartMinY = e.EndMinY = e.StartMaxY = e.EndMaxY = -3;
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  EXPECT_EQ(Layer(s).DstX, 43);
  EXPECT_EQ(Layer(s).DstY, 47);
  EXPECT_DOUBLE_EQ(StateOf<TVibrationState>(s, kind::Vibration).Interval.Value, -100);
  for (int f = 1; f < 20; ++f) {
    s.ComposeFrame();
    EXPECT_EQ(StateOf<TVibrationState>(s, kind::Vibration).HopFrames, 1);
    EXPECT_EQ(std::abs(Layer(s).DstX - 50), 7) << "frame " << f;
    EXPECT_EQ(std::abs(Layer(s).DstY - 50), 3) << "frame " << f;
  }
  // A range from -5 to 5 keeps every displacement inside it.
  TVexaStudio r;
  Configure(r, 200, 200, 25);
  TGraphicLayer& rl = AddLayer(r.Project);
  AddImage(rl, 0, 1000, WritePattern(dir, "a.bmp", 40, 40, 15));
  auto& rp = AddEvent<TGraphicEffectPositionEvent>(rl, 0, 1000);
  rp.StartX = rp.EndX = rp.StartY = rp.EndY = 50;
  auto& re = AddEvent<TGraphicEffectVibrationEvent>(rl, 0, 1000);
  re.StartInterval = re.EndInterval = 0;
  re.StartMinX = re.EndMinX = -5;
  re.StartMaxX = re.EndMaxX = 5;
  ASSERT_TRUE(r.PrepareSession());
  for (int f = 0; f < 20; ++f) {
    r.ComposeFrame();
    EXPECT_LE(std::abs(Layer(r).DstX - 50), 5) << "frame " << f;
  }
}

TEST(TransformEffects, ApplyInTheOrderOfTheirStartTimes) {
  ScratchDir dir;
  const TABitmap src = Pattern(40, 40, 15);
  const std::string file = WritePattern(dir, "a.bmp", 40, 40, 15);
  for (bool sizeFirst : {true, false}) {
    TVexaStudio s;
    Configure(s, 320, 240, 25);
    TGraphicLayer& l = AddLayer(s.Project);
    AddImage(l, 0, 1000, file);
    auto& trim = AddEvent<TGraphicEffectTrimEvent>(l, sizeFirst ? 40 : 0, 1000);
    trim.TrimType = 0;
    trim.StartX2 = trim.EndX2 = trim.StartY2 = trim.EndY2 = 20;
    auto& size = AddEvent<TGraphicEffectSizeEvent>(l, sizeFirst ? 0 : 40, 1000);
    size.SizeType = 0;
    size.StartWidth = size.EndWidth = size.StartHeight = size.EndHeight = 10;
    ASSERT_TRUE(s.PrepareSession());
    for (int f = 0; f < 3; ++f)
      s.ComposeFrame();
    TABitmap expected;
    if (sizeFirst) {
      // Resized to 10 x 10 first; the trim rectangle then covers all of it.
      expected.SetSize(10, 10);
      ResizeBilinear(src, expected);
    } else {
      TABitmap part;
      CropBitmap(0, 0, 20, 20, part, src);
      expected.SetSize(10, 10);
      ResizeBilinear(part, expected);
    }
    EXPECT_TRUE(Same(Layer(s).WorkBitmap, expected)) << (sizeFirst ? "size first" : "trim first");
  }
}

TEST(TransformEffects, SeekingGivesTheFramesOfARenderFromTheStart) {
  ScratchDir dir;
  const std::string a = WritePattern(dir, "a.bmp", 48, 36, 16);
  const std::string b = WritePattern(dir, "b.bmp", 33, 21, 17);
  const std::string c = WritePattern(dir, "c.bmp", 25, 25, 18);
  // Spans of 680 ms at 25 frames per second have 16 steps: every step is exact.
  auto build = [&](TVexaStudio& s) {
    Configure(s, 160, 120, 25);
    TGraphicLayer& l1 = AddLayer(s.Project, "one");
    {
      AddImage(l1, 0, 1000, a);
      auto& pos = AddEvent<TGraphicEffectPositionEvent>(l1, 0, 680);
      pos.PositionType = 1;
      pos.StartX = 10, pos.EndX = 60, pos.StartY = 50, pos.EndY = -10;
      auto& size = AddEvent<TGraphicEffectSizeEvent>(l1, 80, 760);
      size.SizeType = 1;
      size.StartWidth = 100, size.EndWidth = 180, size.StartHeight = 100, size.EndHeight = 60;
      auto& rot = AddEvent<TGraphicEffectRotateEvent>(l1, 160, 840);
      rot.OriginDirection = 4;
      rot.StartAngle = 0, rot.EndAngle = 320;
    }
    TGraphicLayer& l2 = AddLayer(s.Project, "two");
    {
      AddImage(l2, 0, 1000, b);
      auto& trim = AddEvent<TGraphicEffectTrimEvent>(l2, 40, 720);
      trim.TrimType = 1;
      trim.StartX = 0, trim.EndX = 32, trim.StartY = 0, trim.EndY = 16;
      trim.StartX2 = trim.EndX2 = trim.StartY2 = trim.EndY2 = 100;
      AddEvent<TGraphicEffectMirrorHorzEvent>(l2, 200, 600);
      auto& fade = AddEvent<TGraphicEffectFadeEvent>(l2, 120, 800);
      fade.StartAlpha = 255, fade.EndAlpha = 32;
      auto& tile = AddEvent<TGraphicEffectTileEvent>(l2, 0, 680);
      tile.SizeType = 2;
      tile.StartWidth = 20, tile.EndWidth = 52, tile.StartHeight = 30, tile.EndHeight = 46;
    }
    TGraphicLayer& l3 = AddLayer(s.Project, "three");
    {
      AddImage(l3, 0, 1000, c);
      auto& move = AddEvent<TGraphicEffectPositionEvent>(l3, 0, 1000);
      move.PositionType = 2, move.StartDirection = 2, move.EndDirection = 6, move.OriginDirection = 4;
      auto& blink = AddEvent<TGraphicEffectBlinkEvent>(l3, 80, 1000);
      blink.StartInterval = 40, blink.EndInterval = 200;
      AddEvent<TGraphicEffectMirrorVertEvent>(l3, 0, 1000);
    }
  };
  ExpectSeekMatchesSequential(build);
}

}  // namespace
}  // namespace vexa
