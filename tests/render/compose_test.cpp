#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

#include "bitmap/blend.h"
#include "render/studio.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::AddImage;
using test::AddLayer;
using test::ExpectSeekMatchesSequential;
using test::Pixels;
using test::ScratchDir;
using test::WritePicture;

// Background (red 0x80, green 0x40, blue 0x20); layer 0: a 4 x 3 picture (blue 200, green 100,
// red 50, alpha 64) alpha-blended from 200 to 1000 ms; layer 1: a 5 x 2 picture (blue 10,
// green 20, red 200, alpha 255) added from 500 to 2000 ms. 10 frames per second.
void BuildTwoLayerProject(TProject& p, const ScratchDir& dir) {
  p.Width = 8;
  p.Height = 6;
  p.FPS = 10;
  p.BackColor = 0x00204080;
  AddImage(AddLayer(p), 200, 1000, WritePicture(dir, "under.bmp", 4, 3, 0x403264C8), bmAlpha);
  AddImage(AddLayer(p), 500, 2000, WritePicture(dir, "over.bmp", 5, 2, 0xFFC8140A), bmAdd);
}

TEST(Compose, TwoLayersOverAColouredBackgroundByHand) {
  ScratchDir dir;
  TVexaStudio s;
  BuildTwoLayerProject(s.Project, dir);
  ASSERT_TRUE(s.PrepareSession());
  ASSERT_EQ(s.FrameCount, 20u);
  const uint32_t bg = 0x00804020;
  // Alpha blend, t = 64: (S * 191 + D * 65) >> 8 per byte.
  //   blue (200*191 + 32*65) >> 8 = 157, green (100*191 + 64*65) >> 8 = 90,
  //   red (50*191 + 128*65) >> 8 = 69, alpha (64*191 + 0*65) >> 8 = 47.
  const uint32_t under = 0x2F455A9D;
  // Add at opacity 255: (S * 255) >> 8 = 9, 19, 199 added with saturation; alpha kept.
  const uint32_t overUnder = 0x2FFF6DA6;  // 157+9, 90+19, 69+199 -> 255
  const uint32_t overBg = 0x00FF5329;     // 32+9, 64+19, 128+199 -> 255
  for (uint32_t f = 0; f < 20; ++f) {
    s.ComposeFrame();
    const bool u = f >= 2 && f < 10, o = f >= 5;
    for (int y = 0; y < 6; ++y)
      for (int x = 0; x < 8; ++x) {
        uint32_t want = bg;
        const bool inU = u && x < 4 && y < 3, inO = o && x < 5 && y < 2;
        if (inU && inO)
          want = overUnder;
        else if (inU)
          want = under;
        else if (inO)
          want = overBg;
        ASSERT_EQ(s.FrameBitmap.Pixel(x, y), want) << "frame " << f << " at " << x << "," << y;
      }
  }
}

TEST(Compose, FramesWithoutChangesAreNotRecomposed) {
  ScratchDir dir;
  TVexaStudio s;
  BuildTwoLayerProject(s.Project, dir);
  ASSERT_TRUE(s.PrepareSession());
  std::vector<int> redraws;
  for (uint32_t f = 0; f < 20; ++f) {
    s.ComposeFrame();
    redraws.push_back(s.RenderLayers[0]->NeedsRedraw + s.RenderLayers[1]->NeedsRedraw);
  }
  // Layer 0 appears in frame 2 and leaves in frame 10, layer 1 appears in frame 5.
  for (uint32_t f = 0; f < 20; ++f)
    EXPECT_EQ(redraws[f] != 0, f == 2 || f == 5 || f == 10) << f;
}

TEST(Compose, LayersNarrowerThanTwoPixelsAreNotDrawn) {
  ScratchDir dir;
  for (int w : {1, 2}) {
    TVexaStudio s;
    s.Project.Width = 4;
    s.Project.Height = 4;
    AddImage(AddLayer(s.Project), 0, 1000, WritePicture(dir, "thin.bmp", w, 3, 0x00FFFFFF), bmCopy);
    ASSERT_TRUE(s.PrepareSession());
    s.ComposeFrame();
    EXPECT_EQ(s.FrameBitmap.Pixel(0, 0), w == 2 ? 0x00FFFFFFu : 0u) << w;
  }
}

TEST(Compose, MissingPicturesAndUnknownBlendModesDrawNothing) {
  ScratchDir dir;
  TVexaStudio s;
  s.Project.Width = 4;
  s.Project.Height = 4;
  s.Project.BackColor = 0x0000FF;  // red
  AddImage(AddLayer(s.Project), 0, 1000, dir.File("missing.bmp"));
  AddImage(AddLayer(s.Project), 0, 1000, WritePicture(dir, "p.bmp", 4, 4, 0), 7);
  ASSERT_TRUE(s.PrepareSession());
  s.ComposeFrame();
  EXPECT_EQ(s.FrameBitmap.Pixel(2, 2), 0x00FF0000u);
  EXPECT_EQ(s.RenderLayers[0]->SourceActive, 0);
}

TEST(Compose, SequentialAndSeekRendersAgree) {
  ScratchDir dir;
  TProject p;
  p.Width = 12;
  p.Height = 9;
  p.FPS = 30;
  p.BackColor = 0x00336699;
  const std::string a = WritePicture(dir, "a.bmp", 6, 5, 0x40102030);
  const std::string b = WritePicture(dir, "b.bmp", 14, 3, 0x00F0E0D0);
  const std::string c = WritePicture(dir, "c.BMP", 9, 9, 0xA0505050);
  TGraphicLayer& l0 = AddLayer(p);
  AddImage(l0, 100, 600, a, bmAlpha);
  AddImage(l0, 600, 900, b, bmCopy);   // follows at once
  AddImage(l0, 1200, 1500, c, bmSub);  // after a gap
  TGraphicLayer& l1 = AddLayer(p);
  AddImage(l1, 0, 400, c, bmAdd);
  AddImage(l1, 300, 1000, a, bmAlpha);  // overlaps: shows from 400 on
  AddImage(l1, 1000, 1100, dir.File("gone.bmp"), bmAlpha);
  TGraphicLayer& l2 = AddLayer(p);
  AddImage(l2, 500, 1700, dir.File("c.bmp"), bmAlpha);  // no file of that exact name
  AddImage(l2, 1650, 1800, b, bmCopy);
  ExpectSeekMatchesSequential(p, 54);
}

TEST(Compose, SequentialAndSeekRendersAgreeWithAMasterLayer) {
  ScratchDir dir;
  TProject p;
  p.Width = 10;
  p.Height = 7;
  p.FPS = 25;
  p.BackColor = 0x000000FF;
  TGraphicLayer& l0 = AddLayer(p);
  AddImage(l0, 0, 400, WritePicture(dir, "a.bmp", 6, 5, 0x80102030), bmAlpha);
  AddImage(l0, 600, 1000, WritePicture(dir, "b.bmp", 10, 7, 0x00123456), bmAdd);
  AddLayer(p, "Master");
  ExpectSeekMatchesSequential(p, 25);
}

TEST(LoadPictureFile, CacheSharesOneFileNamedInTwoCasesButNotTwoFiles) {
  ScratchDir dir;
  TVexaStudio s;
  const std::string lower = WritePicture(dir, "pic.bmp", 2, 2, 0x00FF0000);
  const std::string upper = WritePicture(dir, "PIC.BMP", 3, 3, 0x000000FF);
  TABitmap t;
  ASSERT_TRUE(s.LoadPictureFile(lower, t));
  ASSERT_TRUE(s.LoadPictureFile(upper, t));
  // Two files on this file system: each shows its own picture.
  EXPECT_EQ(s.ImageCache.Count(), 2);
  EXPECT_EQ(t.Width(), 3);
  EXPECT_EQ(t.Pixel(1, 1), 0x000000FFu);
  // One file reached through a name differing only in case shares the entry.
  const std::string mixed = dir.File("Pic.bmp");
  std::filesystem::create_symlink(lower, mixed);
  ASSERT_TRUE(s.LoadPictureFile(mixed, t));
  EXPECT_EQ(s.ImageCache.Count(), 2);
  EXPECT_EQ(t.Width(), 2);
  EXPECT_EQ(t.Pixel(1, 1), 0x00FF0000u);
}

TEST(LoadPictureFile, MissingUnknownAndDamagedFiles) {
  ScratchDir dir;
  TVexaStudio s;
  TABitmap t;
  t.SetSize(3, 2);
  t.Fill(0x12345678);
  EXPECT_FALSE(s.LoadPictureFile(dir.File("none.bmp"), t));
  EXPECT_EQ(t.Width(), 3);
  EXPECT_EQ(t.Pixel(2, 1), 0u);  // black, opaque, at the old size
  {
    std::ofstream f(dir.File("x.tif"));
    f << "II*";
  }
  t.Fill(0x12345678);
  EXPECT_FALSE(s.LoadPictureFile(dir.File("x.tif"), t));
  EXPECT_EQ(t.Pixel(2, 1), 0x12345678u);  // untouched
  {
    std::ofstream f(dir.File("bad.bmp"), std::ios::binary);
    f << "BM this is not a picture";
  }
  EXPECT_THROW(s.LoadPictureFile(dir.File("bad.bmp"), t), TBitmapError);
  EXPECT_EQ(t.Pixel(2, 1), 0x12345678u);
  EXPECT_EQ(s.ImageCache.Count(), 0);
}

uint64_t NoMemory() {
  return 1024;
}

TEST(LoadPictureFile, LowMemoryEmptiesTheCacheBeforeDecoding) {
  ScratchDir dir;
  TVexaStudio s;
  const std::string a = WritePicture(dir, "a.bmp", 2, 2, 1), b = WritePicture(dir, "b.bmp", 2, 2, 2),
                    c = WritePicture(dir, "c.bmp", 2, 2, 3);
  TABitmap t;
  ASSERT_TRUE(s.LoadPictureFile(a, t));
  ASSERT_TRUE(s.LoadPictureFile(b, t));
  EXPECT_EQ(s.ImageCache.Count(), 2);
  s.AvailableMemory = &NoMemory;
  ASSERT_TRUE(s.LoadPictureFile(b, t));  // cached: no decoding, nothing emptied
  EXPECT_EQ(s.ImageCache.Count(), 2);
  ASSERT_TRUE(s.LoadPictureFile(c, t));
  EXPECT_EQ(s.ImageCache.Count(), 1);
  EXPECT_EQ(t.Pixel(0, 0), 3u);
  EXPECT_GT(SystemAvailableMemory(), 0u);
}

}  // namespace
}  // namespace vexa
