// The colour effects end to end in small sessions: each kind's frame against its kernel applied
// to the source picture, interpolation of the values, seeking against rendering from the
// start, and the noise kinds with a fixed seed.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "bitmap/colour_filters.h"
#include "render/random32.h"
#include "render/studio.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::AddEvent;
using test::AddImage;
using test::AddLayer;
using test::Pixels;
using test::ScratchDir;

constexpr int32_t kW = 9, kH = 5;

// Every pixel different, with assorted alpha bytes so that a filter touching them shows.
TABitmap Pattern(uint32_t seed) {
  TABitmap b;
  b.SetSize(kW, kH);
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x)
      b.SetPixel(x, y, (static_cast<uint32_t>(x * 7 + y * 31 + 1) * 2654435761u) ^ seed);
  return b;
}

// A project of kW x kH at 10 frames per second: one layer with the pattern as an image source
// drawn by copy from 0 to 2000 ms (20 frames).
struct TFixture {
  ScratchDir Dir;
  TProject Project;
  TGraphicLayer* Layer = nullptr;
  TABitmap Picture;

  TFixture() {
    Project.Width = kW;
    Project.Height = kH;
    Project.FPS = 10;
    Picture = Pattern(0x5A5A1234);
    const std::string file = Dir.File("pattern.bmp");
    Picture.SaveToFile(file);
    Layer = &AddLayer(Project);
    AddImage(*Layer, 0, 2000, file, bmCopy);
  }

  // Every frame of a sequential render.
  std::vector<std::vector<uint32_t>> Render() {
    TVexaStudio s;
    s.Project.Width = Project.Width;
    s.Project.Height = Project.Height;
    s.Project.FPS = Project.FPS;
    CopyGraphicLayers(Project.GraphicLayers, s.Project.GraphicLayers);
    EXPECT_TRUE(s.PrepareSession());
    std::vector<std::vector<uint32_t>> frames;
    for (uint32_t f = 0; f < s.FrameCount; ++f) {
      s.ComposeFrame();
      frames.push_back(Pixels(s.FrameBitmap));
    }
    return frames;
  }

  std::vector<uint32_t> Expected(const std::function<void(TABitmap&)>& kernel) const {
    TABitmap b;
    b.Assign(Picture);
    kernel(b);
    return Pixels(b);
  }
};

// Each kind with constant values from 500 to 1500 ms: frames 5 ... 14 show the kernel's result,
// the frames before show the plain picture.
TEST(ColourEffects, EachKindShowsItsKernel) {
  struct TCase {
    const char* Name;
    std::function<void(TGraphicLayer&)> Add;
    std::function<void(TABitmap&)> Kernel;
  };
  const std::vector<TCase> cases = {
      {"monochrome", [](TGraphicLayer& l) { AddEvent<TGraphicEffectMonoYUVEvent>(l, 500, 1500); },
       [](TABitmap& b) { ToMonochrome(b); }},
      {"tone",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectSepiaEvent>(l, 500, 1500);
         e.StartRed = e.EndRed = 235;
         e.StartGreen = e.EndGreen = 200;
         e.StartBlue = e.EndBlue = 135;
       },
       [](TABitmap& b) { ToneChange(b, 235, 200, 135); }},
      {"tone low bits",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectSepiaEvent>(l, 500, 1500);
         e.StartRed = e.EndRed = 256 + 10;
         e.StartGreen = e.EndGreen = 20;
         e.StartBlue = e.EndBlue = 30;
       },
       [](TABitmap& b) { ToneChange(b, 10, 20, 30); }},
      {"brightness",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectBrightnessEvent>(l, 500, 1500);
         e.StartPower = e.EndPower = -70;
       },
       [](TABitmap& b) { AdjustBrightness(b, -70); }},
      {"brightness beyond the range",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectBrightnessEvent>(l, 500, 1500);
         e.StartPower = e.EndPower = 300;
       },
       [](TABitmap& b) { AdjustBrightness(b, 255); }},
      {"colour revision",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectColorRevisionEvent>(l, 500, 1500);
         e.StartRed = e.EndRed = 100;
         e.StartBlue = e.EndBlue = -100;
       },
       [](TABitmap& b) { AdjustChannels(100, 0, -100, b); }},
      {"discolour",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectDiscolorEvent>(l, 500, 1500);
         e.StartPower = e.EndPower = 180;
       },
       [](TABitmap& b) { FadeToGray(b, 180); }},
      {"negative", [](TGraphicLayer& l) { AddEvent<TGraphicEffectNegaEvent>(l, 500, 1500); },
       [](TABitmap& b) { InvertColors(b); }},
      {"mosaic",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectMosaicEvent>(l, 500, 1500);
         e.PositionType = 0;
         e.StartX = e.EndX = 1;
         e.StartY = e.EndY = 1;
         e.StartX2 = e.EndX2 = 8;
         e.StartY2 = e.EndY2 = 5;
         e.StartPower = e.EndPower = 100;
       },
       [](TABitmap& b) { Pixelate(1, 1, 7, 4, b, 100); }},
      {"split blur twice",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectSplitBlurEvent>(l, 500, 1500);
         e.StartPower = e.EndPower = 200;
         e.StartLoop = e.EndLoop = 2;
       },
       [](TABitmap& b) {
         SplitBlurPass(b, 200);
         SplitBlurPass(b, 200);
       }},
      {"split blur without loops",
       [](TGraphicLayer& l) {
         auto& e = AddEvent<TGraphicEffectSplitBlurEvent>(l, 500, 1500);
         e.StartPower = e.EndPower = 200;
       },
       [](TABitmap&) {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TFixture f;
    c.Add(*f.Layer);
    const auto frames = f.Render();
    ASSERT_EQ(frames.size(), 20u);
    const std::vector<uint32_t> plain = Pixels(f.Picture), filtered = f.Expected(c.Kernel);
    for (uint32_t k = 0; k < 20; ++k)
      ASSERT_EQ(frames[k], k >= 5 && k < 15 ? filtered : plain) << "frame " << k;
    test::ExpectSeekMatchesSequential(f.Project, 20);
  }
}

// Brightness from 0 to 90 over 0 ... 1000 ms: 9 steps of 10, one per frame.
TEST(ColourEffects, ValuesMoveFromStartToEnd) {
  TFixture f;
  auto& e = AddEvent<TGraphicEffectBrightnessEvent>(*f.Layer, 0, 1000);
  e.StartPower = 0;
  e.EndPower = 90;
  const auto frames = f.Render();
  for (int k = 0; k < 10; ++k)
    ASSERT_EQ(frames[size_t(k)], f.Expected([&](TABitmap& b) { AdjustBrightness(b, 10 * k); })) << k;
  test::ExpectSeekMatchesSequential(f.Project, 20);
}

// Colour revision from (R +100, B -100) to (R -100, B +100): a signed sweep through 0.
TEST(ColourEffects, ColourRevisionSweepsThroughNegativeAmounts) {
  TFixture f;
  auto& e = AddEvent<TGraphicEffectColorRevisionEvent>(*f.Layer, 0, 1000);
  e.StartRed = 90;
  e.EndRed = -90;
  e.StartBlue = -90;
  e.EndBlue = 90;
  const auto frames = f.Render();
  for (int k = 0; k < 10; ++k)
    ASSERT_EQ(frames[size_t(k)], f.Expected([&](TABitmap& b) {
      AdjustChannels(90 - 20 * k, 0, -90 + 20 * k, b);
    })) << k;
}

// Split blur with the loop count from -3 to 6 over 0 ... 1000 ms: Round(Loop) passes, none
// while the count is 0 or negative.
TEST(ColourEffects, SplitBlurRunsNoPassForANegativeLoopCount) {
  TFixture f;
  auto& e = AddEvent<TGraphicEffectSplitBlurEvent>(*f.Layer, 0, 1000);
  e.StartPower = e.EndPower = 40;
  e.StartLoop = -3;
  e.EndLoop = 6;
  const auto frames = f.Render();
  for (int k = 0; k < 10; ++k)
    ASSERT_EQ(frames[size_t(k)], f.Expected([&](TABitmap& b) {
      for (int i = 0; i < k - 3; ++i)
        SplitBlurPass(b, 40);
    })) << k;
}

TEST(ColourEffects, MosaicInPercentAndDegenerateRectangles) {
  {
    // Percent, (0, 0) to (100, 100) at strength 255: the bottom-left pixel's colour everywhere.
    TFixture f;
    auto& e = AddEvent<TGraphicEffectMosaicEvent>(*f.Layer, 0, 2000);
    e.PositionType = 1;
    e.StartX2 = e.EndX2 = e.StartY2 = e.EndY2 = 100;
    e.StartPower = e.EndPower = 255;
    const auto frames = f.Render();
    const uint32_t colour = f.Picture.Pixel(0, kH - 1) & 0xFFFFFF;
    const std::vector<uint32_t> plain = Pixels(f.Picture);
    for (size_t i = 0; i < plain.size(); ++i)
      ASSERT_EQ(frames[3][i], (plain[i] & 0xFF000000u) | colour);
  }
  {
    // X2 left of X: no valid picture for the rest of the pass, so the negative that follows does
    // no pixel work either and the plain picture shows.
    TFixture f;
    auto& m = AddEvent<TGraphicEffectMosaicEvent>(*f.Layer, 0, 2000);
    m.StartX = m.EndX = 6;
    m.StartX2 = m.EndX2 = 2;
    m.StartY2 = m.EndY2 = 5;
    m.StartPower = m.EndPower = 255;
    AddEvent<TGraphicEffectNegaEvent>(*f.Layer, 0, 2000);
    const auto frames = f.Render();
    EXPECT_EQ(frames[0], Pixels(f.Picture));
    EXPECT_EQ(frames[7], Pixels(f.Picture));
  }
}

TEST(ColourEffects, NoiseWithAFixedSeed) {
  for (bool colour : {false, true}) {
    SCOPED_TRACE(colour ? "colour noise" : "brightness noise");
    TFixture f;
    if (colour) {
      auto& e = AddEvent<TGraphicEffectNoiseColorEvent>(*f.Layer, 0, 2000);
      e.StartPower = e.EndPower = 200;
    } else {
      auto& e = AddEvent<TGraphicEffectNoiseBrightnessEvent>(*f.Layer, 0, 2000);
      e.StartPower = e.EndPower = 200;
    }
    SeedRandom32(1234);
    const auto frames = f.Render();
    // Frame 0 runs the kernel once, on the freshly loaded picture.
    SeedRandom32(1234);
    const std::vector<uint32_t> expected = f.Expected([&](TABitmap& b) {
      if (colour)
        AddColorNoise(b, 200, TRandomDraw(&Random32));
      else
        AddBrightnessNoise(b, 200, TRandomDraw(&Random32));
    });
    EXPECT_EQ(frames[0], expected);
    EXPECT_NE(frames[0], Pixels(f.Picture));
    // Nothing is rebuilt while the power stands still, so the grain stays.
    for (size_t k = 1; k < frames.size(); ++k)
      ASSERT_EQ(frames[k], frames[0]) << k;
  }
}

TEST(ColourEffects, NoiseGrainChangesWithEveryRebuild) {
  TFixture f;
  auto& e = AddEvent<TGraphicEffectNoiseBrightnessEvent>(*f.Layer, 0, 1000);
  e.StartPower = 100;
  e.EndPower = 190;  // a new rounded value every frame
  SeedRandom32(99);
  const auto frames = f.Render();
  for (size_t k = 1; k < 10; ++k)
    EXPECT_NE(frames[k], frames[k - 1]) << k;
}

// Seeking reproduces the frames of a sequential render for every kind with moving values.
TEST(ColourEffects, SeekMatchesSequentialWithMovingValues) {
  TFixture f;
  auto& tone = AddEvent<TGraphicEffectSepiaEvent>(*f.Layer, 0, 1500);
  // Steps of 156 / 14 and 230 / 14: no frame lands on a rounding tie, where a running sum and
  // a product may round apart.
  tone.StartRed = 255;
  tone.EndRed = 99;
  tone.StartGreen = 10;
  tone.EndGreen = 240;
  tone.StartBlue = 128;
  tone.EndBlue = 128;
  auto& mosaic = AddEvent<TGraphicEffectMosaicEvent>(*f.Layer, 300, 1800);
  mosaic.PositionType = 1;
  mosaic.StartX = 0;
  mosaic.EndX = 40;
  mosaic.StartX2 = 60;
  mosaic.EndX2 = 100;
  mosaic.StartY2 = mosaic.EndY2 = 100;
  mosaic.StartPower = 10;
  mosaic.EndPower = 255;
  auto& blur = AddEvent<TGraphicEffectSplitBlurEvent>(*f.Layer, 700, 2000);
  blur.StartPower = 1;
  blur.EndPower = 255;
  blur.StartLoop = 1;
  blur.EndLoop = 3;
  auto& fade = AddEvent<TGraphicEffectDiscolorEvent>(*f.Layer, 100, 1900);
  fade.StartPower = 0;
  fade.EndPower = 255;
  test::ExpectSeekMatchesSequential(f.Project, 20);
}

}  // namespace
}  // namespace vexa
