// The alpha mask, the transition and the layer order effect end to end in small sessions.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bitmap/bilinear.h"
#include "bitmap/rule_blend.h"
#include "render/numeric.h"
#include "render/studio.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::AddEvent;
using test::AddImage;
using test::AddLayer;
using test::Pixels;
using test::ScratchDir;
using test::WritePicture;

void Configure(TVexaStudio& s, const TProject& p) {
  s.Project.Width = p.Width;
  s.Project.Height = p.Height;
  s.Project.FPS = p.FPS;
  s.Project.BackColor = p.BackColor;
  CopyGraphicLayers(p.GraphicLayers, s.Project.GraphicLayers);
}

std::vector<std::vector<uint32_t>> RenderAll(const TProject& p) {
  TVexaStudio s;
  Configure(s, p);
  EXPECT_TRUE(s.PrepareSession());
  std::vector<std::vector<uint32_t>> frames;
  for (uint32_t f = 0; f < s.FrameCount; ++f) {
    s.ComposeFrame();
    frames.push_back(Pixels(s.FrameBitmap));
  }
  return frames;
}

TABitmap Gradient(int32_t w, int32_t h, uint32_t seed) {
  TABitmap b;
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, ((static_cast<uint32_t>(x * 13 + y * 101) * 2654435761u) ^ seed) & 0x00FFFFFF);
  return b;
}

std::string Save(const ScratchDir& dir, const std::string& name, const TABitmap& b) {
  const std::string path = dir.File(name);
  b.SaveToFile(path);
  return path;
}

// ---- alpha mask ----

TEST(AlphaMask, KeyColourMakesEverythingElseOpaque) {
  ScratchDir dir;
  TProject p;
  p.Width = 6;
  p.Height = 4;
  p.FPS = 10;
  TABitmap picture;
  picture.SetSize(6, 4);
  picture.Fill(0xFF00FF00);  // green, fully transparent (like the paper around a text)
  picture.SetPixel(1, 1, 0x00123456);
  picture.SetPixel(4, 2, 0x00123456);
  TGraphicLayer& l = AddLayer(p);
  AddImage(l, 0, 1000, Save(dir, "key.bmp", picture), bmCopy);
  auto& mask = AddEvent<TGraphicEffectAlphaMaskEvent>(l, 0, 1000);
  mask.MaskType = 0;
  mask.Color = 0x563412;  // 0x00BBGGRR of the pixel colour 0x123456
  const auto frames = RenderAll(p);
  TABitmap expected;
  expected.Assign(picture);
  expected.SetAlpha(0);
  expected.SetPixel(1, 1, 0xFF123456);
  expected.SetPixel(4, 2, 0xFF123456);
  EXPECT_EQ(frames[0], Pixels(expected));
  test::ExpectSeekMatchesSequential(p, 10);
}

TEST(AlphaMask, MaskPictureIsStretchedAndItsWhiteHalfVanishes) {
  ScratchDir dir;
  TProject p;
  p.Width = 16;
  p.Height = 8;
  p.FPS = 10;
  p.BackColor = 0x000000FF;  // red background
  TABitmap mask;
  mask.SetSize(4, 2);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 4; ++x)
      mask.SetPixel(x, y, x < 2 ? 0 : 0x00FFFFFF);
  TGraphicLayer& l = AddLayer(p);
  AddImage(l, 0, 1000, WritePicture(dir, "blue.bmp", 16, 8, 0x000000FF), bmAlpha);  // opaque blue
  auto& e = AddEvent<TGraphicEffectAlphaMaskEvent>(l, 0, 1000);
  e.MaskType = 1;
  e.MaskFileName = Save(dir, "mask.bmp", mask);

  // What the layer picture becomes: the mask stretched to 16 x 8 gives the transparency.
  TABitmap stretched;
  stretched.SetSize(16, 8);
  ScaleBilinear(mask, stretched);
  TVexaStudio s;
  Configure(s, p);
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  const TABitmap& work = s.RenderLayers[0]->WorkBitmap;
  ASSERT_EQ(work.Width(), 16);
  for (int32_t y = 0; y < 8; ++y)
    for (int32_t x = 0; x < 16; ++x)
      ASSERT_EQ(work.Pixel(x, y), (stretched.Pixel(x, y) & 0xFF) << 24 | 0x0000FF) << x << "," << y;
  // The left quarter stays blue; the right quarter shows the red background (the resampler
  // turns white 255 into 253, so a trace of blue remains).
  EXPECT_EQ(s.FrameBitmap.Pixel(0, 3) & 0xFFFFFF, 0x0000FFu);
  const uint32_t right = s.FrameBitmap.Pixel(15, 3);
  EXPECT_GE((right >> 16) & 0xFF, 250u);
  EXPECT_LE(right & 0xFF, 2u);
  test::ExpectSeekMatchesSequential(p, 10);
}

TEST(AlphaMask, MissingOrDamagedMaskLeavesThePictureOpaque) {
  for (const char* name : {"missing.bmp", "damaged.bmp", "unknown.xyz"}) {
    SCOPED_TRACE(name);
    ScratchDir dir;
    TProject p;
    p.Width = 5;
    p.Height = 3;
    p.FPS = 10;
    TGraphicLayer& l = AddLayer(p);
    AddImage(l, 0, 1000, WritePicture(dir, "half.bmp", 5, 3, 0x80336699), bmCopy);
    auto& e = AddEvent<TGraphicEffectAlphaMaskEvent>(l, 0, 1000);
    e.MaskType = 1;
    e.MaskFileName = dir.File(name);
    if (std::string(name) != "missing.bmp") {
      std::FILE* f = std::fopen(e.MaskFileName.c_str(), "wb");
      ASSERT_NE(f, nullptr);
      std::fputs("BM not really a picture", f);
      std::fclose(f);
    }
    const auto frames = RenderAll(p);
    for (uint32_t px : frames[0])
      ASSERT_EQ(px, 0x00336699u);
  }
}

// ---- transition ----

struct TTransitionFixture {
  ScratchDir Dir;
  TProject Project;
  TABitmap Old = Gradient(12, 6, 0x111111), New = Gradient(12, 6, 0xABCDEF), Rule;
  TGraphicEffectTransitionEvent* Event = nullptr;

  // Picture Old from 0 to 1000 ms, picture New from 1000 to 2000 ms with a transition over it.
  explicit TTransitionFixture(bool ruleOfOtherSize = false) {
    Project.Width = 12;
    Project.Height = 6;
    Project.FPS = 10;
    Rule.SetSize(ruleOfOtherSize ? 5 : 12, ruleOfOtherSize ? 4 : 6);
    for (int32_t y = 0; y < Rule.Height(); ++y)
      for (int32_t x = 0; x < Rule.Width(); ++x) {
        const uint32_t c = static_cast<uint32_t>((x * 23 + y * 41) % 256);
        Rule.SetPixel(x, y, c * 0x010101u);
      }
    TGraphicLayer& l = AddLayer(Project);
    AddImage(l, 0, 1000, Save(Dir, "old.bmp", Old), bmCopy);
    AddImage(l, 1000, 2000, Save(Dir, "new.bmp", New), bmCopy);
    Event = &AddEvent<TGraphicEffectTransitionEvent>(l, 1000, 2000);
    Event->RuleFileName = Save(Dir, "rule.bmp", Rule);
  }

  std::vector<uint32_t> Blend(int32_t width, int64_t power) const {
    TABitmap rule;
    if (Rule.Width() == 12) {
      rule.Assign(Rule);
    } else {
      rule.SetSize(12, 6);
      ScaleBilinear(Rule, rule);
    }
    TABitmap out;
    out.Assign(Old);
    RuleBlend(New, out, rule, width, power);
    return Pixels(out);
  }
};

TEST(Transition, WipesFromTheOldPictureToTheNewOne) {
  TTransitionFixture f;
  f.Event->StartPower = 0;
  f.Event->EndPower = 255;
  f.Event->StartVag = f.Event->EndVag = 8;
  const auto frames = RenderAll(f.Project);
  ASSERT_EQ(frames.size(), 20u);
  EXPECT_EQ(frames[9], Pixels(f.Old));
  // Power 0: only rule-black pixels are touched and they keep Old exactly.
  EXPECT_EQ(frames[10], Pixels(f.Old));
  // 9 steps of 255 / 9; the picture to leave stays the old one throughout.
  for (int k = 0; k < 10; ++k)
    ASSERT_EQ(frames[size_t(10 + k)], f.Blend(8, Round(255.0 / 9.0 * k))) << "frame " << 10 + k;
  EXPECT_NE(frames[14], Pixels(f.Old));
  EXPECT_NE(frames[14], Pixels(f.New));
}

TEST(Transition, HalfWayWithTheWidestBand) {
  TTransitionFixture f;
  f.Event->StartPower = f.Event->EndPower = 128;
  f.Event->StartVag = f.Event->EndVag = 8;
  const auto frames = RenderAll(f.Project);
  // m = 256: every pixel is (New * (256 - c) + Old * c) >> 8.
  std::vector<uint32_t> expected;
  for (int32_t y = 5; y >= 0; --y)  // memory order: bottom row first
    for (int32_t x = 0; x < 12; ++x) {
      const uint32_t c = f.Rule.Pixel(x, y) & 0xFF, n = f.New.Pixel(x, y), o = f.Old.Pixel(x, y);
      uint32_t px = 0;
      for (int k = 0; k < 32; k += 8)
        px |= ((((n >> k) & 0xFF) * (256 - c) + ((o >> k) & 0xFF) * c) >> 8) << k;
      expected.push_back(px);
    }
  EXPECT_EQ(frames[12], expected);
}

TEST(Transition, WidthAndPowerAreClamped) {
  TTransitionFixture f(true);  // and a rule of another size, stretched
  f.Event->StartPower = 300;
  f.Event->EndPower = 300;
  f.Event->StartVag = 0;
  f.Event->EndVag = 20;
  const auto frames = RenderAll(f.Project);
  EXPECT_EQ(frames[10], f.Blend(1, 255));  // Vag 0 counts as 1, power 300 as 255
  // 1 ... 8 over 9 steps: Round(1 + 7 / 9 * 5) = 5 in the sixth frame.
  EXPECT_EQ(frames[15], f.Blend(5, 255));
}

// Power from ClampInt64(300, 0, 255) = 255 down to ClampInt64(-20, 0, 255) = 0.
TEST(Transition, NegativeEndPowerClampsToZero) {
  TTransitionFixture f;
  f.Event->StartPower = 300;
  f.Event->EndPower = -20;
  f.Event->StartVag = f.Event->EndVag = 8;
  const auto frames = RenderAll(f.Project);
  for (int k = 0; k < 10; ++k)
    ASSERT_EQ(frames[size_t(10 + k)], f.Blend(8, Round(255.0 - 255.0 / 9.0 * k))) << "frame " << 10 + k;
  EXPECT_EQ(frames[19], Pixels(f.Old));  // power 0: the picture to leave
}

TEST(Transition, SourceThatContinuesShowsNoChange) {
  ScratchDir dir;
  TProject p;
  p.Width = 8;
  p.Height = 4;
  p.FPS = 10;
  const TABitmap picture = Gradient(8, 4, 77);
  TGraphicLayer& l = AddLayer(p);
  AddImage(l, 0, 2000, Save(dir, "a.bmp", picture), bmCopy);
  auto& t = AddEvent<TGraphicEffectTransitionEvent>(l, 500, 1500);
  t.StartPower = 0;
  t.EndPower = 255;
  t.StartVag = t.EndVag = 3;
  t.RuleFileName = dir.File("no-rule.bmp");  // missing: a black rule, a uniform cross-fade
  const auto frames = RenderAll(p);
  for (size_t k = 0; k < frames.size(); ++k)
    ASSERT_EQ(frames[k], Pixels(picture)) << k;
}

TEST(Transition, MissingRuleCrossFadesUniformly) {
  TTransitionFixture f;
  f.Event->RuleFileName = f.Dir.File("nothing.bmp");
  f.Event->StartPower = f.Event->EndPower = 64;
  f.Event->StartVag = f.Event->EndVag = 8;
  const auto frames = RenderAll(f.Project);
  // A black rule: m = 128 for every pixel, half way between Old and New.
  TABitmap black;
  black.SetSize(12, 6);
  black.Fill(0);
  TABitmap out;
  out.Assign(f.Old);
  RuleBlend(f.New, out, black, 8, 64);
  EXPECT_EQ(frames[12], Pixels(out));
}

// ---- layer order ----

// Layers named after their colours, each an opaque picture covering the frame, drawn by copy:
// the frame shows the colour of the top layer.
struct TOrderFixture {
  ScratchDir Dir;
  TProject Project;
  std::vector<TGraphicLayer*> Layers;

  explicit TOrderFixture(const std::vector<std::pair<std::string, uint32_t>>& layers) {
    Project.Width = 4;
    Project.Height = 4;
    Project.FPS = 10;
    for (const auto& [name, colour] : layers) {
      TGraphicLayer& l = AddLayer(Project, name);
      AddImage(l, 0, 3000, WritePicture(Dir, name + std::to_string(Layers.size()) + ".bmp", 4, 4, colour),
               bmCopy);
      Layers.push_back(&l);
    }
  }

  TGraphicEffectSwapLayerEvent& Add(size_t layer, uint32_t start, uint32_t end, int32_t action,
                                    int32_t index) {
    auto& e = AddEvent<TGraphicEffectSwapLayerEvent>(*Layers[layer], start, end);
    e.TargetMode = 0;
    e.Index = index;
    e.ActionMode = action;
    return e;
  }
};

std::string Order(const TVexaStudio& s) {
  std::string names;
  for (const auto& l : s.RenderLayers)
    names += l->Name;
  return names;
}

TEST(LayerOrder, SwapLastsForTheSessionAndShowsAtOnce) {
  TOrderFixture f({{"A", 0x000000AA}, {"B", 0x0000BB00}, {"C", 0x00CC0000}});
  f.Add(2, 1000, 1500, 0, 0);  // C exchanges places with the first layer
  TVexaStudio s;
  Configure(s, f.Project);
  ASSERT_TRUE(s.PrepareSession());
  for (uint32_t k = 0; k < 30; ++k) {
    s.ComposeFrame();
    const bool swapped = k >= 10;
    ASSERT_EQ(Order(s), swapped ? "CBA" : "ABC") << k;
    ASSERT_EQ(s.FrameBitmap.Pixel(1, 1), swapped ? 0x000000AAu : 0x00CC0000u) << k;
  }
  // The project keeps its own order.
  EXPECT_EQ(s.Project.GraphicLayers[0]->Name, "A");
  EXPECT_EQ(s.Project.GraphicLayers[2]->Name, "C");
}

TEST(LayerOrder, MovesToTheFrontAndToTheBack) {
  struct TCase {
    size_t Layer;
    int32_t Action, Index;
    const char* Expected;
  };
  const TCase cases[] = {
      {3, 1, 0, "ADBC"},   // D to the front of A
      {0, 1, 1, "BCAD"},   // A to the front of B: it ends at index 2, above C
      {0, 2, 2, "BCAD"},   // A to the back of C
      {3, 2, 0, "DABC"},   // D to the back of A
      {0, 1, 3, "BCDA"},   // A to the front of the top layer: to the top
      {1, 0, 99, "ADCB"},  // an index past the list is clamped to the top layer
      {1, 7, 0, "ABCD"},   // an unknown action does nothing
  };
  for (const TCase& c : cases) {
    TOrderFixture f({{"A", 1}, {"B", 2}, {"C", 3}, {"D", 4}});
    f.Add(c.Layer, 0, 3000, c.Action, c.Index);
    TVexaStudio s;
    Configure(s, f.Project);
    ASSERT_TRUE(s.PrepareSession());
    for (int k = 0; k < 5; ++k)
      s.ComposeFrame();
    EXPECT_EQ(Order(s), c.Expected) << "layer " << c.Layer << " action " << c.Action << " index " << c.Index;
  }
}

TEST(LayerOrder, ByName) {
  {
    // Two layers share the name: the lower one is the target.
    TOrderFixture f({{"A", 1}, {"X", 2}, {"X", 3}, {"D", 4}});
    auto& e = f.Add(3, 0, 3000, 0, 0);
    e.TargetMode = 1;
    e.LayerName = "X";
    TVexaStudio s;
    Configure(s, f.Project);
    ASSERT_TRUE(s.PrepareSession());
    s.ComposeFrame();
    EXPECT_EQ(Order(s), "ADXX");
    EXPECT_EQ(s.RenderLayers[3]->WorkBitmap.Pixel(0, 0) & 0xFFFFFF, 2u);  // the lower X went to the top
  }
  {
    // No layer of that name: the order stays; the target an earlier event of the list found
    // (index 0, where C itself now is) is not used again.
    TOrderFixture f({{"A", 1}, {"B", 2}, {"C", 3}});
    auto& first = f.Add(2, 0, 500, 0, 0);
    first.TargetMode = 1;
    first.LayerName = "A";
    auto& second = f.Add(2, 1000, 1500, 1, 0);
    second.TargetMode = 1;
    second.LayerName = "nobody";
    TVexaStudio s;
    Configure(s, f.Project);
    ASSERT_TRUE(s.PrepareSession());
    for (int k = 0; k < 20; ++k)
      s.ComposeFrame();
    EXPECT_EQ(Order(s), "CBA");
  }
}

TEST(LayerOrder, MasterLayerKeepsItsIdentity) {
  TOrderFixture f({{"A", 1}, {"Master", 2}, {"C", 3}});
  AddEvent<TGraphicSourceMasterEvent>(*f.Layers[1], 0, 3000);
  f.Add(1, 0, 3000, 1, 2);  // the master layer to the top
  TVexaStudio s;
  Configure(s, f.Project);
  ASSERT_TRUE(s.PrepareSession());
  TRenderLayer* master = s.MasterLayer;
  ASSERT_NE(master, nullptr);
  s.ComposeFrame();
  s.ComposeFrame();
  EXPECT_EQ(Order(s), "ACMaster");
  EXPECT_EQ(s.MasterLayer, master);
  EXPECT_EQ(s.RenderLayers[2], master);
}

TEST(LayerOrder, SeekIntoTheEventGivesTheSequentialFrame) {
  TOrderFixture f({{"A", 0x000000AA}, {"B", 0x0000BB00}, {"C", 0x00CC0000}});
  f.Add(0, 500, 3000, 1, 2);
  const auto frames = RenderAll(f.Project);
  for (uint32_t k = 5; k < frames.size(); ++k) {
    TVexaStudio s;
    Configure(s, f.Project);
    ASSERT_TRUE(s.PrepareSession());
    s.SeekFrame(k);
    s.ComposeFrame();
    ASSERT_EQ(Pixels(s.FrameBitmap), frames[k]) << k;
    ASSERT_EQ(Order(s), "BCA");
  }
}

}  // namespace
}  // namespace vexa
