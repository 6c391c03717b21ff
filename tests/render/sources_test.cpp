// Text, picture and movie sources inside a render session.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "bitmap/picture_decoders.h"
#include "bitmap/text_font.h"
#include "movie_test_files.h"
#include "picture_encoders.h"
#include "render/source_text.h"
#include "render/studio.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::AddEvent;
using test::AddLayer;
using test::ScratchDir;

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> RgbaPng(int w, int h, uint32_t rgba) {
  test::PngPicture s;
  s.width = w;
  s.height = h;
  s.colorType = 6;
  for (int y = 0; y < h; ++y) {
    test::Bytes row;
    for (int x = 0; x < w; ++x)
      row.insert(row.end(), {uint8_t(rgba >> 24), uint8_t(rgba >> 16), uint8_t(rgba >> 8), uint8_t(rgba)});
    s.rows.push_back(row);
  }
  return test::EncodePng(s);
}

// ---- LoadPictureFile ----

TEST(PictureSource, EveryFormatLoadsThroughTheCache) {
  ScratchDir dir;
  TVexaStudio studio;
  const std::string png = dir.File("a.png"), jpeg = dir.File("b.jpeg"), jpg = dir.File("c.JPG"),
                    gif = dir.File("d.gif");
  WriteBytes(png, RgbaPng(4, 3, 0x20406080));  // alpha 0x80
  WriteBytes(jpeg, test::EncodeJpeg(8, 8, 3, test::Bytes(8 * 8 * 3, 200), 95));
  WriteBytes(jpg, test::EncodeJpeg(8, 8, 1, test::Bytes(8 * 8, 60), 95));
  test::GifPicture g;
  g.screenWidth = g.width = 2;
  g.screenHeight = g.height = 1;
  g.paletteRgb = {255, 0, 0, 0, 0, 255};
  g.transparent = 0;
  g.indices = {0, 1};
  WriteBytes(gif, test::EncodeGif(g));

  TABitmap t;
  ASSERT_TRUE(studio.LoadPictureFile(png, t));
  EXPECT_EQ(t.Width(), 4);
  EXPECT_EQ(t.Pixel(1, 1), 0x7F204060u);  // transparency 255 - 0x80
  ASSERT_TRUE(studio.LoadPictureFile(jpeg, t));
  EXPECT_EQ(t.Width(), 8);
  EXPECT_EQ(t.Pixel(0, 0) >> 24, 0u);
  EXPECT_NEAR(int(t.Pixel(3, 3) & 0xFF), 200, 3);
  ASSERT_TRUE(studio.LoadPictureFile(jpg, t));
  EXPECT_NEAR(int(t.Pixel(3, 3) & 0xFF), 60, 3);
  ASSERT_TRUE(studio.LoadPictureFile(gif, t));
  EXPECT_EQ(t.Pixel(0, 0), 0xFFFF0000u);  // red keyed out
  EXPECT_EQ(t.Pixel(1, 0), 0x000000FFu);  // blue stays opaque

  // A rebuild costs a copy, not a decode: the file's new content is not even read.
  WriteBytes(png, RgbaPng(4, 3, 0x000000FF));
  ASSERT_TRUE(studio.LoadPictureFile(png, t));
  EXPECT_EQ(t.Pixel(1, 1), 0x7F204060u);
}

TEST(PictureSource, OtherExtensionsAndDamagedFiles) {
  ScratchDir dir;
  TVexaStudio studio;
  TABitmap t;
  t.SetSize(2, 2);
  const std::string tif = dir.File("x.tif");
  WriteBytes(tif, {'I', 'I', 42, 0});
  EXPECT_FALSE(studio.LoadPictureFile(tif, t));
  EXPECT_EQ(t.Pixel(0, 0), 0xFFFFFFFFu);  // untouched

  const std::string bad = dir.File("bad.png");
  std::vector<uint8_t> png = RgbaPng(16, 16, 0x11223344);
  png.resize(png.size() / 2);
  WriteBytes(bad, png);
  EXPECT_THROW(studio.LoadPictureFile(bad, t), TBitmapError);
  EXPECT_EQ(t.Width(), 2);
  EXPECT_EQ(t.Pixel(0, 0), 0xFFFFFFFFu);
}

// ---- text ----

TGraphicSourceTextEvent TextEvent(const std::string& text, int32_t align, int32_t colorType = 0) {
  TGraphicSourceTextEvent e;
  e.Text = text;
  e.Font.Name = "ＭＳ Ｐゴシック";
  e.Font.Size = 20;
  e.Font.Color = 0x00336699;  // red 0x99, green 0x66, blue 0x33
  e.Font.ColorType = colorType;
  e.Font.Align = align;
  return e;
}

struct Box {
  int32_t w0, h0, w1, h1;
};
Box LineBoxes(const std::string& first, const std::string& second) {
  const TTextFace face("ＭＳ Ｐゴシック", 0);
  const int32_t px = FontPixelSize(40);
  const TTextExtent a = face.Extent(first, px), b = face.Extent(second, px);
  return {a.Width / 2 + 2, a.Height / 2 + 2, b.Width / 2 + 2, b.Height / 2 + 2};
}

int LeftmostInk(const TABitmap& b, int y0, int y1) {
  for (int x = 0; x < b.Width(); ++x)
    for (int y = y0; y < y1; ++y)
      if ((b.Pixel(x, y) >> 24) < 128) return x;
  return -1;
}

TEST(TextSource, RightAlignedShortLineEndsFlushWithTheLongOne) {
  TVexaStudio studio;
  const TGraphicSourceTextEvent e = TextEvent("ab\r\nあいうえお漢字", 2);
  TABitmap t;
  ASSERT_TRUE(RenderTextSource(studio, e, t));
  const Box box = LineBoxes("ab", "あいうえお漢字");
  ASSERT_EQ(t.Width(), std::max(box.w0, box.w1));
  ASSERT_EQ(t.Height(), box.h0 + box.h1);
  // The first line starts at MaxW - w0, right of where the second line starts.
  EXPECT_GE(LeftmostInk(t, 0, box.h0), t.Width() - box.w0);
  EXPECT_LT(LeftmostInk(t, box.h0, t.Height()), 4);
  // Colour everywhere, glyphs only in the alpha bytes, the rest transparent.
  int transparent = 0;
  for (int y = 0; y < t.Height(); ++y)
    for (int x = 0; x < t.Width(); ++x) {
      ASSERT_EQ(t.Pixel(x, y) & 0xFFFFFFu, 0x996633u);
      transparent += (t.Pixel(x, y) >> 24) == 255;
    }
  EXPECT_GT(transparent, t.Width() * t.Height() / 3);
  EXPECT_LT(transparent, t.Width() * t.Height());
}

TEST(TextSource, CentredLinesUseRoundHalfToEven) {
  // Widths are made to differ by an odd number so that the half matters; the line is placed
  // at Round(slack / 2) whichever way it falls.
  for (const char* second : {"abcdefgh", "abcdefghi", "MMMMMMMMMM"}) {
    TVexaStudio studio;  // the cache is keyed by the event's address, which the loop reuses
    const TGraphicSourceTextEvent e = TextEvent(std::string("i\r\n") + second, 1);
    TABitmap t;
    ASSERT_TRUE(RenderTextSource(studio, e, t));
    const Box box = LineBoxes("i", second);
    const int slack = box.w1 - box.w0;
    const int expect = static_cast<int>(std::nearbyint(slack / 2.0));
    // The narrow 'i' is inked within its box, which starts at `expect`.
    const int ink = LeftmostInk(t, 0, box.h0);
    EXPECT_GE(ink, expect) << second;
    EXPECT_LT(ink, expect + box.w0) << second;
  }
}

TEST(TextSource, TextureTilesTheBoxAndAMissingTextureLeavesFreshPaper) {
  ScratchDir dir;
  TVexaStudio studio;
  const std::string texture = test::WritePicture(dir, "tex.bmp", 3, 3, 0x00102030u);
  TGraphicSourceTextEvent e = TextEvent("Tx", 0, 1);
  e.Font.TextureFileName = texture;
  TABitmap t;
  ASSERT_TRUE(RenderTextSource(studio, e, t));
  EXPECT_EQ(t.Pixel(0, 0) & 0xFFFFFFu, 0x102030u);
  EXPECT_EQ(t.Pixel(t.Width() - 1, t.Height() - 1) & 0xFFFFFFu, 0x102030u);

  TGraphicSourceTextEvent missing = TextEvent("Tx", 0, 1);
  missing.Font.TextureFileName = dir.File("none.bmp");
  ASSERT_TRUE(RenderTextSource(studio, missing, t));
  EXPECT_EQ(t.Pixel(0, 0) & 0xFFFFFFu, 0xFFFFFFu);

  TGraphicSourceTextEvent empty = TextEvent("", 0);
  TABitmap untouched;
  untouched.SetSize(3, 3);
  EXPECT_FALSE(RenderTextSource(studio, empty, untouched));
  EXPECT_EQ(untouched.Width(), 3);
}

TEST(TextSource, CachedUntilTheEventPasses) {
  TVexaStudio studio;
  studio.Project.Width = 200;
  studio.Project.Height = 100;
  studio.Project.FPS = 30;
  TGraphicLayer& layer = AddLayer(studio.Project);
  auto& first = AddEvent<TGraphicSourceTextEvent>(layer, 0, 500);
  first.Text = "first";
  first.Font = TextEvent("", 0).Font;
  auto& second = AddEvent<TGraphicSourceTextEvent>(layer, 500, 1000);
  second.Text = "second";
  second.Font = first.Font;
  ASSERT_TRUE(studio.PrepareSession());
  studio.ComposeFrame();
  const std::string key = TVexaStudio::TextCacheKey(&first);
  EXPECT_EQ(studio.TextCache.count(key), 1u);
  // The text is on the frame in its colour.
  bool inked = false;
  for (int x = 0; x < 60; ++x)
    inked |= (studio.FrameBitmap.Pixel(x, 12) & 0xFFFFFFu) == 0x996633u;
  EXPECT_TRUE(inked);
  while (studio.FrameIndex < 16)
    studio.ComposeFrame();
  EXPECT_EQ(studio.TextCache.count(key), 0u);
  EXPECT_EQ(studio.TextCache.count(TVexaStudio::TextCacheKey(&second)), 1u);
}

// ---- movies ----

class MovieSource : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = test::MakeTempFolder("movie-source");
    movie_ = folder_ + "/numbers.avi";
    ASSERT_TRUE(test::MakeNumberedMovie(movie_, 60, "30", "-c:v mpeg4 -q:v 2 -bf 2 -g 12"));
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }

  TGraphicSourceMovieEvent& AddMovie(TProject& p, uint32_t start, uint32_t end, int32_t mode, uint32_t first,
                                     uint32_t last, const std::string& name = "layer") {
    auto& e = AddEvent<TGraphicSourceMovieEvent>(AddLayer(p, name), start, end);
    e.FileName = movie_;
    e.FrameAppointMode = mode;
    e.StartFrame = first;
    e.EndFrame = last;
    e.BlendMode = bmAlpha;
    return e;
  }
  static void Setup(TProject& p) {
    p.Width = test::kMovieWidth;
    p.Height = test::kMovieHeight;
    p.FPS = 30;
  }
  static inline std::string folder_, movie_;
};

TEST_F(MovieSource, EveryOtherFrameWhenTheRangeIsTwiceTheSpan) {
  TVexaStudio studio;
  Setup(studio.Project);
  AddMovie(studio.Project, 0, 1000, 0, 0, 56);
  ASSERT_TRUE(studio.PrepareSession());
  ASSERT_EQ(studio.FrameCount, 30u);
  for (int f = 0; f < 30; ++f) {
    studio.ComposeFrame();
    ASSERT_EQ(test::ReadPictureNumber(studio.FrameBitmap), 2 * f) << "project frame " << f;
  }
  EXPECT_EQ(studio.MovieCache.size(), 1u);
}

TEST_F(MovieSource, EndFrameMaxMeansTheLastFrameAndMillisecondsModeConverts) {
  {
    TVexaStudio studio;
    Setup(studio.Project);
    AddMovie(studio.Project, 0, 1000, 0, 0, 2147483647);
    ASSERT_TRUE(studio.PrepareSession());
    for (int f = 0; f < 29; ++f)
      studio.ComposeFrame();
    EXPECT_EQ(test::ReadPictureNumber(studio.FrameBitmap), 59);  // frame 28 reaches LastFrame
  }
  {
    // 1000 ms to 1500 ms into a 30 fps movie: frames 30 to 45, half a step per project frame.
    TVexaStudio studio;
    Setup(studio.Project);
    AddMovie(studio.Project, 0, 1000, 1, 1000, 1500);
    ASSERT_TRUE(studio.PrepareSession());
    studio.ComposeFrame();
    EXPECT_EQ(test::ReadPictureNumber(studio.FrameBitmap), 30);
    studio.SeekFrame(28);
    studio.ComposeFrame();
    EXPECT_EQ(test::ReadPictureNumber(studio.FrameBitmap), 45);
  }
}

TEST_F(MovieSource, SeekingGivesTheSameFramesAsPlaying) {
  TProject p;
  Setup(p);
  // Backwards, over an even range so that no frame position falls on a half, where the
  // stepped and the seeked positions may round apart.
  AddMovie(p, 0, 1000, 0, 50, 6);
  test::ExpectSeekMatchesSequential(p, 30);
}

TEST_F(MovieSource, TwoLayersShareOneReader) {
  TVexaStudio studio;
  Setup(studio.Project);
  AddMovie(studio.Project, 0, 1000, 0, 0, 28, "low");
  AddMovie(studio.Project, 0, 1000, 0, 31, 59, "high");
  ASSERT_TRUE(studio.PrepareSession());
  for (int f = 0; f < 10; ++f) {
    studio.ComposeFrame();
    EXPECT_EQ(test::ReadPictureNumber(studio.RenderLayers[0]->WorkBitmap), f);
    EXPECT_EQ(test::ReadPictureNumber(studio.RenderLayers[1]->WorkBitmap), 31 + f);
  }
  EXPECT_EQ(studio.MovieCache.size(), 1u);
}

TEST_F(MovieSource, MissingOrBrokenFilesShowNothing) {
  ScratchDir dir;
  TVexaStudio studio;
  Setup(studio.Project);
  studio.Project.BackColor = 0x000000FF;  // red background
  auto& e = AddMovie(studio.Project, 0, 1000, 0, 0, 10);
  e.FileName = dir.File("none.avi");
  ASSERT_TRUE(studio.PrepareSession());
  studio.ComposeFrame();
  EXPECT_EQ(studio.RenderLayers[0]->SourceActive, 0);
  EXPECT_EQ(studio.FrameBitmap.Pixel(10, 10) & 0xFFFFFFu, 0xFF0000u);

  const std::string junk = dir.File("junk.avi");
  WriteBytes(junk, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '});
  e.FileName = junk;
  TVexaStudio again;
  Setup(again.Project);
  auto& e2 = AddMovie(again.Project, 0, 1000, 0, 0, 10);
  e2.FileName = junk;
  ASSERT_TRUE(again.PrepareSession());
  again.ComposeFrame();
  EXPECT_EQ(again.RenderLayers[0]->SourceActive, 0);
  EXPECT_TRUE(again.MovieCache.empty());
}

}  // namespace
}  // namespace vexa
