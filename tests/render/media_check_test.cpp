// The media check before a render: every file the render would leave out is named with its
// place and reason; files that are fine, or that the events' modes do not use, are not.
#include <gtest/gtest.h>

#include <fstream>

#include "bitmap/text_font.h"
#include "render/media_check.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::ScratchDir;

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// A PCM WAV file of the given format holding `frames` silent 16-bit frames.
std::string Wave(uint16_t channels, uint32_t rate, uint32_t frames) {
  const uint32_t data = frames * channels * 2u;
  std::string h = "RIFF";
  auto put = [&h](uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
      h += static_cast<char>(v >> (8 * i));
  };
  put(36 + data, 4);
  h += "WAVEfmt ";
  put(16, 4), put(1, 2), put(channels, 2), put(rate, 4), put(rate * channels * 2u, 4);
  put(channels * 2u, 2), put(16, 2);
  h += "data";
  put(data, 4);
  return h + std::string(data, '\0');
}

class MediaCheck : public ::testing::Test {
 protected:
  // Which finding names the path (nullptr when none).
  const TMediaFinding* Find(const std::vector<TMediaFinding>& found, const std::string& path) {
    for (const TMediaFinding& f : found)
      if (f.File.Path == path) return &f;
    return nullptr;
  }
  ScratchDir Dir;
  TProject P;
};

TEST_F(MediaCheck, EveryFileLeftOutIsNamedWithItsPlaceAndReason) {
  const std::string good = test::WritePicture(Dir, "good.bmp", 4, 4, 0);
  const std::string tiff = Dir.File("photo.tif"), broken = Dir.File("broken.bmp"),
                    junkMovie = Dir.File("junk.avi");
  WriteBytes(tiff, "II*\0");
  WriteBytes(broken, "BM not a picture");
  WriteBytes(junkMovie, std::string(4000, 'x'));
  TGraphicLayer& g = test::AddLayer(P, "背景");
  test::AddImage(g, 0, 1000, good);
  test::AddImage(g, 1000, 2000, Dir.File("gone.bmp"));
  test::AddImage(g, 2000, 3000, Dir.File("gone.bmp"));  // two events: both are named
  test::AddImage(g, 3000, 4000, tiff);
  test::AddImage(g, 4000, 5000, broken);
  test::AddEvent<TGraphicSourceMovieEvent>(g, 0, 100).FileName = Dir.File("gone.avi");
  test::AddEvent<TGraphicSourceMovieEvent>(g, 100, 200).FileName = junkMovie;
  auto& usedMask = test::AddEvent<TGraphicEffectAlphaMaskEvent>(g, 0, 100);
  usedMask.MaskType = 1, usedMask.MaskFileName = Dir.File("mask.bmp");
  test::AddEvent<TGraphicEffectAlphaMaskEvent>(g, 100, 200).MaskFileName = Dir.File("unused-mask.bmp");
  test::AddEvent<TGraphicEffectTransitionEvent>(g, 0, 100).RuleFileName = Dir.File("rule.bmp");
  test::AddEvent<TGraphicEffectTransitionEvent>(g, 100, 200);  // no rule: a cross-fade
  auto& text = test::AddEvent<TGraphicSourceTextEvent>(g, 200, 300);
  text.Text = "abc", text.Font.Name = kFallbackFontFamily, text.Font.ColorType = 1;
  text.Font.TextureFileName = Dir.File("texture.png");
  NewGraphicLayer(P.GraphicLayers, -1)->FileName = Dir.File("lost.vxgl");  // as a missing layer file loads

  const std::string empty = Dir.File("empty.wav"), noise = Dir.File("noise.ogg"), mono = Dir.File("ok.wav");
  const std::string noChannels = Dir.File("none.wav"), aiff = Dir.File("song.aiff");
  WriteBytes(empty, "");
  WriteBytes(noise, std::string(5000, '\x5A'));
  WriteBytes(mono, Wave(1, 22050, 100));
  WriteBytes(noChannels, Wave(0, 44100, 100));
  WriteBytes(aiff, "FORM");
  TSoundLayer* s = NewSoundLayer(P.SoundLayers, -1);
  s->Name = "BGM";
  for (const std::string& f : {empty, noise, mono, noChannels, aiff, Dir.File("gone.wav")}) {
    auto e = std::make_unique<TSoundSourceEvent>();
    e->StartTime = static_cast<uint32_t>(s->Events.Count()) * 1000;
    e->FileName = f;
    s->Events.Add(std::move(e));
  }

  const std::vector<TMediaFinding> found = CheckProjectMedia(P);
  for (const std::string& f : {Dir.File("gone.bmp"), tiff, broken, Dir.File("gone.avi"), junkMovie,
                               Dir.File("mask.bmp"), Dir.File("rule.bmp"), Dir.File("texture.png"),
                               Dir.File("lost.vxgl"), empty, noise, noChannels, aiff, Dir.File("gone.wav")}) {
    const TMediaFinding* finding = Find(found, f);
    ASSERT_TRUE(finding) << f;
    EXPECT_TRUE(finding->LeftOut()) << f;
    EXPECT_NE(finding->Reason, "") << f;
    EXPECT_EQ(finding->Reason.find(f), std::string::npos) << "the place names the file already: " << f;
  }
  for (const std::string& f : {good, Dir.File("unused-mask.bmp"), mono})
    EXPECT_FALSE(Find(found, f)) << f;
  EXPECT_EQ(found.size(), 15u);  // gone.bmp twice

  const TMediaFinding& gone = *Find(found, Dir.File("gone.bmp"));
  EXPECT_EQ(gone.File.Use, TFileUse::Picture);
  EXPECT_EQ(gone.File.LayerName, "背景");
  EXPECT_EQ(gone.File.LayerIndex, 0);
  ASSERT_TRUE(gone.File.Event);
  EXPECT_EQ(gone.File.Event->StartTime, 1000u);
  EXPECT_EQ(gone.Reason, "No such file or directory");
  EXPECT_NE(Find(found, tiff)->Reason.find(".tif"), std::string::npos);
  EXPECT_EQ(Find(found, Dir.File("lost.vxgl"))->File.Event, nullptr);
  const TMediaFinding& aiffFinding = *Find(found, aiff);
  EXPECT_TRUE(aiffFinding.File.SoundLayer);
  EXPECT_EQ(aiffFinding.File.Event->StartTime, 4000u);
}

TEST_F(MediaCheck, AFontThatIsNotInstalledNamesItsReplacementAndScopesLimitTheCheck) {
  TGraphicLayer& g = test::AddLayer(P, "字幕");
  for (uint32_t start : {0u, 1000u}) {
    auto& text = test::AddEvent<TGraphicSourceTextEvent>(g, start, start + 1000);
    text.Text = "字幕", text.Font.Name = "Vexa No Such Face";
  }
  auto& installed = test::AddEvent<TGraphicSourceTextEvent>(g, 2000, 3000);
  installed.Text = "ok", installed.Font.Name = kFallbackFontFamily;
  auto sound = std::make_unique<TSoundSourceEvent>();
  sound->FileName = Dir.File("gone.wav");
  NewSoundLayer(P.SoundLayers, -1)->Events.Add(std::move(sound));

  const std::vector<TMediaFinding> all = CheckProjectMedia(P);
  ASSERT_EQ(all.size(), 2u);
  const TMediaFinding& font = *Find(all, "Vexa No Such Face");
  EXPECT_EQ(font.File.Use, TFileUse::Font);
  EXPECT_FALSE(font.LeftOut());
  EXPECT_EQ(font.Replacement, FontFamilyOf(FallbackFontFile(0)));  // once per face
  EXPECT_EQ(font.File.Event->StartTime, 0u);
  EXPECT_TRUE(Find(all, Dir.File("gone.wav")));

  TMediaCheckScope graphic;
  graphic.Sound = false;
  EXPECT_EQ(CheckProjectMedia(P, graphic).size(), 1u);
  TMediaCheckScope soundOnly;
  soundOnly.Graphic = false;
  const auto sounds = CheckProjectMedia(P, soundOnly);
  ASSERT_EQ(sounds.size(), 1u);
  EXPECT_EQ(sounds[0].File.Path, Dir.File("gone.wav"));
}

}  // namespace
}  // namespace vexa
