// What the editor says and names around its render commands.
#include <gtest/gtest.h>

#include "ui/logic/media_findings_text.h"
#include "ui/logic/movie_render_name.h"

namespace vexa {
namespace {

TEST(MovieRenderFileName, KeepsAMovieExtensionAndAddsMp4Otherwise) {
  EXPECT_EQ(MovieRenderFileName("/a/clip.MKV"), "/a/clip.MKV");
  EXPECT_EQ(MovieRenderFileName("clip.mov"), "clip.mov");
  EXPECT_EQ(MovieRenderFileName("clip"), "clip.mp4");
  EXPECT_EQ(MovieRenderFileName("clip.avi"), "clip.avi.mp4");
  // The save dialogs start beside the project, under its name.
  EXPECT_EQ(ProposedRenderFile("/p/夏.d/demo.vxpj", ".wav"), "/p/夏.d/demo.wav");
  EXPECT_EQ(ProposedRenderFile("", ".avi"), "");
}

TEST(MediaFindingsText, NamesEachFileOnceAndCountsItsOtherUses) {
  TGraphicSourceImageEvent image;
  image.StartTime = 1500;
  auto finding = [&](TFileUse use, std::string path, std::string replacement = {}) {
    TMediaFinding f;
    f.File = {use, std::move(path), true, use == TFileUse::Sound, 1, "空", &image};
    f.Reason = "No such file or directory";
    f.Replacement = std::move(replacement);
    return f;
  };
  EXPECT_TRUE(MediaFindingsText({}).Text.empty());

  std::vector<TMediaFinding> findings = {finding(TFileUse::Picture, "/p/sky.bmp"),
                                         finding(TFileUse::Picture, "/p/sky.bmp"),
                                         finding(TFileUse::Font, "Gone Sans", "IPAPGothic")};
  const TMediaFindingsText t = MediaFindingsText(findings);
  EXPECT_NE(t.Text.find("次のファイルは見つからないか読み込めないため、レンダリングから除かれます。"), std::string::npos);
  EXPECT_NE(t.Text.find("画像「/p/sky.bmp」（グラフィックレイヤー 2「空」、00:00:01.500 のイベント）："
                        "No such file or directory（ほか 1 件）"),
            std::string::npos);
  EXPECT_NE(t.Text.find("フォント「Gone Sans」"), std::string::npos);
  EXPECT_NE(t.Text.find("「IPAPGothic」で描画します"), std::string::npos);
  EXPECT_EQ(t.Text.find("sky.bmp", t.Text.find("sky.bmp") + 1), std::string::npos);  // named once
  EXPECT_TRUE(t.Details.empty());

  // A long list shows its first lines and keeps every line for the details.
  findings.clear();
  for (int i = 0; i < 12; ++i)
    findings.push_back(finding(TFileUse::Sound, "/s/" + std::to_string(i) + ".wav"));
  const TMediaFindingsText many = MediaFindingsText(findings);
  EXPECT_NE(many.Text.find("/s/7.wav"), std::string::npos);
  EXPECT_EQ(many.Text.find("/s/8.wav"), std::string::npos);
  EXPECT_NE(many.Text.find("ほか 4 件"), std::string::npos);
  EXPECT_NE(many.Details.find("/s/11.wav"), std::string::npos);
  EXPECT_NE(many.Text.find("サウンドレイヤー 2"), std::string::npos);
}

}  // namespace
}  // namespace vexa
