// Files dropped on the main window: source events at the end of the shown layers or in new
// layers, as one step; project and layer files through their open commands.
#include <filesystem>

#include "editor_fixture.h"
#include "persist/project_file.h"
#include "temp_folder.h"
#include "ui/logic/file_drop.h"
#include "ui/logic/recent_projects.h"

namespace vexa {
namespace {

using test::AddEvent;

class FileDrop : public test::TEditorFixture {
 protected:
  void SetUp() override {
    AddEvent<TGraphicSourceImageEvent>(Graphic("G"), 0, 7000);
    AddEvent<TGraphicEffectFadeEvent>(*project.GraphicLayers[0], 0, 90000);  // effects do not count
    Sound("S");
    Rebuild();
    media.Movies[dir / "clip.avi"] = {true, 25.0, 0, 99, 320, 240};             // 100 frames: 4 s
    media.Sounds[dir / "beat.ogg"] = {true, 44100, 44100 * 2 + 22050, {}};      // 2.5 s
  }
  std::vector<std::pair<uint32_t, uint32_t>> Times(TViewId view) const {
    std::vector<std::pair<uint32_t, uint32_t>> t;
    for (const TEventRow& r : doc.EventRows(view).Rows())
      t.emplace_back(r.Event->StartTime, r.Event->EndTime);
    return t;
  }
  testing::TTempFolder dir;
  test::TFakeMedia media;
};

TEST_F(FileDrop, MediaFollowTheShownLayersOrFillNewOnesInOneStep) {
  Select(TViewId::GraphicLayers, {0});
  act.DropFiles({dir / "a.PNG", dir / "clip.avi", dir / "notes.txt", dir / "lost.avi"}, media);
  ASSERT_EQ(doc.History().Count(), 1u);
  EXPECT_EQ(Times(TViewId::GraphicSources),
            (std::vector<std::pair<uint32_t, uint32_t>>{{0, 7000}, {7000, 12000}, {12000, 16000}, {16000, 21000}}));
  const auto* movie = EventAs<TGraphicSourceMovieEvent>(doc.EventRows(TViewId::GraphicSources)[2].Event);
  ASSERT_NE(movie, nullptr);
  EXPECT_EQ(movie->FileName, dir / "clip.avi");
  EXPECT_EQ(movie->BlendMode, 0);  // the movie dialog's initial values
  EXPECT_EQ(movie->EndFrame, 2147483647u);
  EXPECT_EQ(doc.Selection(TViewId::GraphicSources).SelectedRows(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(prompt.Messages, std::vector<std::string>{"次のファイルは追加できません：\n" + dir / "notes.txt"});

  // With no sound layer shown, a sound gets a layer of its own, in the same step as the picture.
  const std::string before = Dump();
  act.DropFiles({dir / "beat.ogg", dir / "b.bmp"}, media);
  ASSERT_EQ(doc.History().Count(), 2u);
  EXPECT_EQ(doc.History().UndoText(), "ファイルの追加");
  ASSERT_EQ(project.SoundLayers.Count(), 2);
  EXPECT_EQ(doc.LayerRows(TTabId::Sound)[1].Caption, "新規レイヤー1");
  EXPECT_EQ(doc.LayerRows(TTabId::Sound)[1].FileText, "**未保存**");
  EXPECT_EQ(Times(TViewId::SoundEvents), (std::vector<std::pair<uint32_t, uint32_t>>{{0, 2500}}));
  EXPECT_EQ(Times(TViewId::GraphicSources).back(), (std::pair<uint32_t, uint32_t>{21000, 26000}));
  doc.History().Undo();
  EXPECT_EQ(Dump(), before);

  // No graphic layer shown either: a new graphic layer too.
  Select(TViewId::GraphicLayers, {});
  act.DropFiles({dir / "a.png"}, media);
  ASSERT_EQ(project.GraphicLayers.Count(), 2);
  EXPECT_EQ(project.GraphicLayers[1]->EventCount(), 1);
  EXPECT_EQ(doc.ShownGraphicLayer(), project.GraphicLayers[1]);
}

TEST_F(FileDrop, ProjectAndLayerFilesOpenAsTheirCommandsDo) {
  TProject other;
  other.ProjectName = "落とした";
  other.FileName = dir / "other.vxpj";
  TGraphicLayer& layer = *NewGraphicLayer(other.GraphicLayers, -1);
  layer.Name = "L";
  layer.FileName = dir / "l.vxgl";
  AddEvent<TGraphicEffectBlinkEvent>(layer, 1, 2);
  SaveProject(other, true);

  prompt.ConfirmAnswer = false;
  act.DropFiles({other.FileName}, media);
  EXPECT_EQ(prompt.Confirmations, std::vector<std::string>{"現在のプロジェクトは消去されます。読み込みを続行しますか？"});
  EXPECT_NE(project.ProjectName, "落とした");
  prompt.ConfirmAnswer = true;
  act.DropFiles({other.FileName, layer.FileName}, media);
  EXPECT_EQ(project.ProjectName, "落とした");
  EXPECT_TRUE(prompt.Choosers.empty());  // no chooser for what was dropped
  ASSERT_EQ(project.GraphicLayers.Count(), 2);  // the project's layer, and the dropped file again
  EXPECT_EQ(project.GraphicLayers[1]->FileName, layer.FileName);
  EXPECT_EQ(DroppedFileKind("x.VxSl"), TDroppedFile::SoundLayerFile);
}

TEST_F(FileDrop, RecentProjectsAreTheLastTenOpenedOrSavedThatStillExist) {
  TRecentProjects recent(dir / "config/vexa-studio/vexa-studio.ini");
  act.SetProjectFileHook([&](const std::string& f) { recent.Add(f); });
  std::vector<std::string> files;
  for (int i = 0; i < 12; ++i) {
    project.ProjectName = "p" + std::to_string(i);
    prompt.Files.insert(prompt.Files.end(), {{""}, {""}, {dir / ("p" + std::to_string(i))}});  // layers skipped
    act.SaveProjectAs();
    files.insert(files.begin(), dir / ("p" + std::to_string(i) + ".vxpj"));
  }
  prompt.Files.push_back({files[5]});
  act.OpenProject();
  std::rotate(files.begin(), files.begin() + 5, files.begin() + 6);
  files.resize(10);
  EXPECT_EQ(recent.List(), files);
  std::filesystem::remove(files[1]);
  files.erase(files.begin() + 1);
  EXPECT_EQ(recent.List(), files);
  EXPECT_EQ(TRecentProjects(dir / "config/vexa-studio/vexa-studio.ini").List(), files);  // kept on disk
}

}  // namespace
}  // namespace vexa
