#include "persist/project_file.h"

#include <gtest/gtest.h>

#include "persist/bzip2_codec.h"
#include "persist/layer_file.h"
#include "persist/persist_error.h"
#include "temp_folder.h"

namespace vexa {
namespace {

using testing::EntriesIn;
using testing::ReadFile;
using testing::TTempFolder;
using testing::WriteFile;

std::string Lines(std::initializer_list<std::string> lines) {
  std::string s;
  for (const std::string& l : lines)
    s += l + "\r\n";
  return s;
}

TGraphicLayer& AddGraphic(TProject& p, const std::string& name, const std::string& file) {
  TGraphicLayer& l = *NewGraphicLayer(p.GraphicLayers, -1);
  l.Name = name;
  l.FileName = file;
  return l;
}

TSoundLayer& AddSound(TProject& p, const std::string& name, const std::string& file) {
  TSoundLayer& l = *NewSoundLayer(p.SoundLayers, -1);
  l.Name = name;
  l.FileName = file;
  return l;
}

TEST(ProjectFile, TextMatchesTheFormat) {
  TTempFolder t;
  TProject p;
  p.ProjectName = "Demo";
  p.FileName = t / "proj/demo.vxpj";
  p.Width = 1280, p.Height = 720, p.FPS = 60, p.BackColor = 0x00102030;
  AddGraphic(p, "Back", t / "proj/layers/back.vxgl");
  AddGraphic(p, "Never saved", "");
  AddGraphic(p, "Shared", t / "shared/logo.vxgl");
  AddSound(p, "BGM", t / "proj/bgm.vxsl");
  SaveProject(p, false);
  EXPECT_EQ(ReadFile(p.FileName), Lines({"[General]",
                                         "ProjectName=Demo",
                                         "Width=1280",
                                         "Height=720",
                                         "FPS=60",
                                         "BackColor=$00102030",
                                         "",
                                         "[GraphicLayerList]",
                                         "Count=3",
                                         "0Full=" + t.Path() + "/proj/layers/back.vxgl",
                                         "0=layers\\back.vxgl",
                                         "1Full=",
                                         "1=",
                                         "2Full=" + t.Path() + "/shared/logo.vxgl",
                                         "2=..\\shared\\logo.vxgl",
                                         "",
                                         "[SoundLayerList]",
                                         "Count=1",
                                         "0Full=" + t.Path() + "/proj/bgm.vxsl",
                                         "0=bgm.vxsl",
                                         ""}));
}

TEST(ProjectFile, SavingWithLayersWritesEveryLayerFile) {
  TTempFolder t;
  TProject p;
  p.FileName = t / "p/demo.vxpj";
  TGraphicLayer& g = AddGraphic(p, "G", t / "p/g.vxgl");
  auto e = NewEvent(kind::Fade);
  e->StartTime = 42;
  g.ListForKind(kind::Fade)->Add(std::move(e));
  AddSound(p, "S", t / "p/s.vxsl");
  SaveProject(p, true);

  TProject back;
  back.FileName = p.FileName;
  ASSERT_TRUE(LoadProject(back, true));
  ASSERT_EQ(back.GraphicLayers.Count(), 1);
  EXPECT_EQ(back.GraphicLayers[0]->Name, "G");
  ASSERT_EQ(back.GraphicLayers[0]->ListForKind(kind::Fade)->Count(), 1);
  EXPECT_EQ(back.GraphicLayers[0]->ListForKind(kind::Fade)->Last()->StartTime, 42u);
  ASSERT_EQ(back.SoundLayers.Count(), 1);
  EXPECT_EQ(back.SoundLayers[0]->Name, "S");
  EXPECT_EQ(back.SoundLayers[0]->FileName, t.Path() + "/p/s.vxsl");
}

TEST(ProjectFile, AMovedProjectFolderStillFindsEveryLayer) {
  TTempFolder t;
  TProject p;
  p.ProjectName = "日本語の名前";
  p.FileName = t / "old/demo.vxpj";
  p.BackColor = 0x00FFFFFF;
  for (int i = 0; i < 3; ++i)
    AddGraphic(p, "G" + std::to_string(i), t / ("old/layers/g" + std::to_string(i) + ".vxgl"));
  AddSound(p, "S", t / "old/s.vxsl");
  SaveProject(p, true);
  std::filesystem::rename(t.Path() + "/old", t.Path() + "/new");

  TProject back;
  back.FileName = t.Path() + "/new/demo.vxpj";
  ASSERT_TRUE(LoadProject(back, true));
  EXPECT_EQ(back.ProjectName, "日本語の名前");
  EXPECT_EQ(back.BackColor, 0x00FFFFFF);
  ASSERT_EQ(back.GraphicLayers.Count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(back.GraphicLayers[i]->Name, "G" + std::to_string(i));
    EXPECT_EQ(back.GraphicLayers[i]->FileName, t.Path() + "/new/layers/g" + std::to_string(i) + ".vxgl");
  }
  ASSERT_EQ(back.SoundLayers.Count(), 1);
  EXPECT_EQ(back.SoundLayers[0]->FileName, t.Path() + "/new/s.vxsl");
}

TEST(ProjectFile, MissingKeysTakeTheDefaults) {
  TTempFolder t;
  TProject p;
  p.FileName = t / "bare.vxpj";
  WriteFile(p.FileName, Lines({"[Other]", "x=1"}));
  p.ProjectName = "before";
  p.Width = 1;
  ASSERT_TRUE(LoadProject(p, true));
  EXPECT_EQ(p.ProjectName, "エラー");
  EXPECT_EQ(p.Width, 640u);
  EXPECT_EQ(p.Height, 480u);
  EXPECT_EQ(p.FPS, 30u);
  EXPECT_EQ(p.BackColor, 0);
  EXPECT_EQ(p.GraphicLayers.Count(), 0);
  EXPECT_EQ(p.SoundLayers.Count(), 0);
}

TEST(ProjectFile, MissingLayerFilesLeaveEmptyLayersInPlace) {
  TTempFolder t;
  TProject p;
  p.FileName = t / "p.vxpj";
  AddGraphic(p, "A", t / "a.vxgl");
  AddGraphic(p, "Gone", t / "gone/b.vxgl");
  AddGraphic(p, "Unsaved", "");
  AddGraphic(p, "C", t / "c.vxgl");
  SaveGraphicLayer(*p.GraphicLayers[0]);
  SaveGraphicLayer(*p.GraphicLayers[3]);
  SaveProject(p, false);

  TProject back;
  back.FileName = p.FileName;
  ASSERT_TRUE(LoadProject(back, true));
  ASSERT_EQ(back.GraphicLayers.Count(), 4);
  EXPECT_EQ(back.GraphicLayers[0]->Name, "A");
  EXPECT_EQ(back.GraphicLayers[1]->Name, "");
  EXPECT_EQ(back.GraphicLayers[1]->FileName, "gone\\b.vxgl");  // the relative text as read
  EXPECT_EQ(back.GraphicLayers[2]->Name, "");
  EXPECT_EQ(back.GraphicLayers[2]->FileName, "");
  EXPECT_EQ(back.GraphicLayers[3]->Name, "C");
}

TEST(ProjectFile, ACorruptLayerStopsTheLoadKeepingTheLayersSoFar) {
  TTempFolder t;
  TProject p;
  p.FileName = t / "p.vxpj";
  AddGraphic(p, "A", t / "a.vxgl");
  AddGraphic(p, "Bad", t / "bad.vxgl");
  AddGraphic(p, "C", t / "c.vxgl");
  AddSound(p, "S", t / "s.vxsl");
  SaveProject(p, true);
  WriteFile(t.Path() + "/bad.vxgl", "garbage");

  TProject back;
  back.FileName = p.FileName;
  try {
    LoadProject(back, true);
    ADD_FAILURE() << "no error";
  } catch (const TBzip2Error& e) {
    EXPECT_STREQ(e.what(), "BZ_DATA_ERROR_MAGIC");
    EXPECT_EQ(e.Path(), t.Path() + "/bad.vxgl");
  }
  ASSERT_EQ(back.GraphicLayers.Count(), 2);
  EXPECT_EQ(back.GraphicLayers[0]->Name, "A");
  EXPECT_EQ(back.GraphicLayers[1]->EventCount(), 0);
  EXPECT_EQ(back.SoundLayers.Count(), 0);
}

TEST(ProjectFile, SavingReplacesTheOldFileCompletely) {
  TTempFolder t;
  TProject p;
  p.FileName = t / "p.vxpj";
  WriteFile(p.FileName, Lines({"[General]", "Obsolete=1", "[Extra]", "k=v"}));
  SaveProject(p, false);
  std::string text = ReadFile(p.FileName);
  EXPECT_EQ(text.find("Obsolete"), std::string::npos);
  EXPECT_EQ(text.find("[Extra]"), std::string::npos);
  EXPECT_EQ(text.find("ProjectName=新規プロジェクト"), std::string::npos);  // stored as code page 932
  EXPECT_NE(text.find("ProjectName=\x90\x56\x8B\x4B"), std::string::npos);
}

TEST(ProjectFile, FailuresAreReportedAndLoseNothing) {
  TTempFolder t;
  TProject p;
  p.FileName = t / "p.vxpj";
  SaveProject(p, false);
  const std::string old = ReadFile(p.FileName);

  // A layer that cannot be saved stops the save before the project file is touched.
  p.ProjectName = "changed";
  AddGraphic(p, "L", p.FileName + "/in-a-file.vxgl");
  try {
    SaveProject(p, true);
    ADD_FAILURE() << "reported success";
  } catch (const TPersistError& e) {
    EXPECT_EQ(e.Path(), p.FileName + "/in-a-file.vxgl");
  }
  EXPECT_EQ(ReadFile(p.FileName), old);

  TProject elsewhere;
  elsewhere.FileName = p.FileName + "/p.vxpj";  // its folder is a regular file
  EXPECT_THROW(SaveProject(elsewhere, false), TPersistError);
  elsewhere.FileName.clear();
  EXPECT_THROW(SaveProject(elsewhere, false), TPersistError);
  EXPECT_EQ(EntriesIn(t.Path()), 1u);
}

TEST(ProjectFile, MissingFilesAndAbsurdCountsAreHandled) {
  TTempFolder t;
  TProject p;
  p.FileName = t.Path() + "/absent.vxpj";
  p.ProjectName = "kept";
  EXPECT_FALSE(LoadProject(p, true));
  EXPECT_EQ(p.ProjectName, "kept");

  p.FileName = t / "huge.vxpj";
  WriteFile(p.FileName, Lines({"[GraphicLayerList]", "Count=2147483647"}));
  EXPECT_THROW(LoadProject(p, true), TPersistError);
  EXPECT_EQ(p.GraphicLayers.Count(), 0);
  // Without layers the count is not looked at.
  EXPECT_TRUE(LoadProject(p, false));
}

}  // namespace
}  // namespace vexa
