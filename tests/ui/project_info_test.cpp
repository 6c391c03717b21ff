// `vexa-render --info`: every event as one line of its row texts under its layer.
#include "project_info.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vexa {
namespace {

TEST(PrintProjectInfo, EventsFollowTheirLayerInListViewOrder) {
  TProject p;
  TGraphicLayer* g = NewGraphicLayer(p.GraphicLayers, -1);
  g->Name = "背景";
  auto fade = std::make_unique<TGraphicEffectFadeEvent>();
  fade->StartTime = 0, fade->EndTime = 1000, fade->EndAlpha = 255;
  g->ListForKind(kind::Fade)->Add(std::move(fade));
  auto pos = std::make_unique<TGraphicEffectPositionEvent>();
  pos->StartTime = 500, pos->EndTime = 1500, pos->OriginDirection = 4, pos->EndX = 100, pos->EndY = 50;
  g->ListForKind(kind::Position)->Add(std::move(pos));
  auto text = std::make_unique<TGraphicSourceTextEvent>();
  text->StartTime = 3723004, text->EndTime = 4294967295u, text->Text = "上\r\n下\n末\t尾";
  g->ListForKind(kind::Text)->Add(std::move(text));

  TSoundLayer* s = NewSoundLayer(p.SoundLayers, -1);
  s->Name = "BGM";
  auto snd = std::make_unique<TSoundSourceEvent>();
  snd->FileName = "C:\\music\\song.wav", snd->EndTime = 61000, snd->StartVolume = 256, snd->EndVolume = 128;
  snd->StartPan = -10;
  s->Events.Add(std::move(snd));

  std::ostringstream out;
  PrintProjectInfo(p, out);
  EXPECT_EQ(out.str(),
            "ProjectName\t新規プロジェクト\n"
            "Width\t640\n"
            "Height\t480\n"
            "FPS\t30\n"
            "BackColor\t000000\n"
            "GraphicLayers\t1\n"
            "GraphicLayer\t背景\t\t3 events\n"
            "01:02:03.004\t1193:02:47.295\tテキスト\t上\\n下\\n末\\t尾\n"
            "00:00:00.500\t00:00:01.500\t移動\t原点：中央, X：0 → 100Y：0 → 50\n"
            "00:00:00.000\t00:00:01.000\tフェード\t0 → 255\n"
            "SoundLayers\t1\n"
            "SoundLayer\tBGM\t\t1 events\n"
            "00:00:00.000\t00:01:01.000\tsong.wav\t音量（256 → 128）, ステレオバランス（-10 → 0）\n");
}

TEST(PrintProjectInfo, ListingDoesNotRenumberEvents) {
  TProject p;
  TGraphicLayer* g = NewGraphicLayer(p.GraphicLayers, -1);
  auto e = std::make_unique<TGraphicEffectNegaEvent>();
  e->EventNumber = 9;
  const TEvent* nega = g->ListForKind(kind::Nega)->Add(std::move(e));
  std::ostringstream out;
  PrintProjectInfo(p, out);
  EXPECT_NE(out.str().find("00:00:00.000\t00:00:00.000\tネガ反転\t\n"), std::string::npos);
  EXPECT_EQ(nega->EventNumber, 9u);
}

TEST(PrintProjectInfo, RowsWhoseFileIsLeftOutAreMarked) {
  TProject p;
  TGraphicLayer* g = NewGraphicLayer(p.GraphicLayers, -1);
  g->Name = "絵";
  auto image = std::make_unique<TGraphicSourceImageEvent>();
  image->FileName = "/gone/sky.bmp", image->EndTime = 1000;
  const TEvent* sky = g->ListForKind(kind::Image)->Add(std::move(image));
  auto text = std::make_unique<TGraphicSourceTextEvent>();
  text->Text = "t", text->EndTime = 1000;
  const TEvent* caption = g->ListForKind(kind::Text)->Add(std::move(text));
  NewSoundLayer(p.SoundLayers, -1)->FileName = "/gone/s.vxsl";

  std::vector<TMediaFinding> findings(3);
  findings[0].File = {TFileUse::Picture, "/gone/sky.bmp", true, false, 0, "絵", sky};
  findings[0].Reason = "No such file or directory";
  findings[1].File = {TFileUse::Font, "Gone Face", true, false, 0, "絵", caption};  // replaced: no mark
  findings[1].Reason = "not installed", findings[1].Replacement = "IPAPGothic";
  findings[2].File = {TFileUse::SoundLayerFile, "/gone/s.vxsl", true, true, 0, "", nullptr};
  findings[2].Reason = "No such file or directory";
  std::ostringstream out;
  PrintProjectInfo(p, out, findings);
  const std::string listing = out.str();
  EXPECT_NE(listing.find("\t静止画\tsky.bmp\t!! picture: No such file or directory\n"), std::string::npos)
      << listing;
  EXPECT_NE(listing.find("\tテキスト\tt\n"), std::string::npos) << listing;
  EXPECT_NE(
      listing.find("SoundLayer\t\t/gone/s.vxsl\t0 events\t!! sound layer file: No such file or directory\n"),
      std::string::npos)
      << listing;
}

}  // namespace
}  // namespace vexa
