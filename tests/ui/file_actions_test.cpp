// Opening and saving projects and layers through a scripted prompt.
#include <filesystem>

#include "editor_fixture.h"
#include "persist/project_file.h"
#include "temp_folder.h"
#include "ui/logic/autosave.h"
#include "ui/logic/recent_projects.h"

namespace vexa {
namespace {

using test::AddEvent;
using testing::ReadFile;

constexpr TViewId kLayers = TViewId::GraphicLayers;

class FileActions : public test::TEditorFixture {
 protected:
  void SetUp() override {
    project.ProjectName = "P";
    AddEvent<TGraphicSourceTextEvent>(Graphic("G1"), 0, 10);
    AddEvent<TGraphicEffectFadeEvent>(Graphic("G2"), 5, 6);
    AddEvent<TSoundSourceEvent>(Sound("S1"), 1, 2);
    Rebuild();
  }
  std::vector<std::string> Titles() const {
    std::vector<std::string> t;
    for (const TFileChooser& c : prompt.Choosers)
      t.push_back(c.Title);
    return t;
  }
  testing::TTempFolder dir;
};

TEST_F(FileActions, SavingAProjectAsksOnlyForMissingNames) {
  prompt.Files = {{dir / "g1.VXGL"}, {""}, {dir / "s1"}, {dir / "proj"}};
  act.SaveProject();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"G1 の保存", "G2 の保存", "S1 の保存", "P の保存"}));
  EXPECT_EQ(prompt.Choosers[0].Filter, "グラフィックレイヤーファイル(*.vxgl)|*.vxgl");
  EXPECT_EQ(prompt.Choosers[2].Filter, "サウンドレイヤーファイル(*.vxsl)|*.vxsl");
  EXPECT_EQ(prompt.Choosers[3].Filter, "プロジェクトファイル(*.vxpj)|*.vxpj");
  EXPECT_EQ(prompt.Choosers[0].ProposedName, "G1");
  EXPECT_EQ(prompt.Choosers[3].ProposedName, "P");
  // The extension is added unless the name ends with it in any letter case.
  EXPECT_EQ(project.GraphicLayers[0]->FileName, dir / "g1.VXGL");
  EXPECT_EQ(project.SoundLayers[0]->FileName, dir / "s1.vxsl");
  EXPECT_EQ(project.FileName, dir / "proj.vxpj");
  // A cancelled layer is skipped; the project is still written.
  EXPECT_TRUE(project.GraphicLayers[1]->FileName.empty());
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[0].FileText, "g1.VXGL");
  EXPECT_TRUE(std::filesystem::exists(project.FileName));
  EXPECT_TRUE(prompt.Errors.empty());

  // The second time only the layer without a name is asked for.
  prompt.Choosers.clear();
  act.SaveProject();
  EXPECT_EQ(Titles(), std::vector<std::string>{"G2 の保存"});

  // Opening asks first, then shows its chooser; the unsaved layer comes back empty.
  TProject other;
  TProjectDocument otherDoc(other);
  test::TFakePrompt p;
  TMainActions a(otherDoc, p);
  p.Files.push_back({project.FileName});
  a.OpenProject();
  EXPECT_EQ(p.Confirmations, std::vector<std::string>{"現在のプロジェクトは消去されます。読み込みを続行しますか？"});
  EXPECT_EQ(p.Choosers[0].Title, "プロジェクトの読み込み");
  ASSERT_EQ(other.GraphicLayers.Count(), 2);
  EXPECT_EQ(other.GraphicLayers[0]->EventCount(), 1);
  EXPECT_EQ(other.GraphicLayers[1]->EventCount(), 0);
  EXPECT_EQ(otherDoc.LayerRows(TTabId::Graphic)[0].FileText, "g1.VXGL");
  EXPECT_EQ(otherDoc.WindowCaption(), "Vexa Studio - P");
}

TEST_F(FileActions, LayerSavesAndSaveAsFillTheFileColumn) {
  Select(kLayers, {0, 1});
  prompt.Files = {{dir / "a"}, {""}};
  act.SaveLayers(kLayers);
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[0].FileText, dir / "a.vxgl");  // the full path
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[1].FileText, "");
  prompt.Choosers.clear();
  prompt.Files = {{dir / "b.vxgl"}, {dir / "c"}};
  act.SaveLayersAs(kLayers);
  EXPECT_EQ(prompt.Choosers[0].ProposedName, dir / "a.vxgl");  // the layer's current file
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[0].FileText, "b.vxgl");
  EXPECT_EQ(project.GraphicLayers[1]->FileName, dir / "c.vxgl");
  EXPECT_TRUE(std::filesystem::exists(dir / "a.vxgl"));
}

TEST_F(FileActions, AFailedSaveKeepsTheOldFilesAndNames) {
  project.FileName = dir / "good.vxpj";
  project.GraphicLayers[0]->FileName = dir / "g1.vxgl";
  project.GraphicLayers[1]->FileName = dir / "g2.vxgl";
  project.SoundLayers[0]->FileName = dir / "s1.vxsl";
  SaveProject(project, true);
  const std::string projectBytes = ReadFile(project.FileName);
  // The second layer's file cannot be replaced: a folder stands in its place.
  std::filesystem::remove(dir / "g2.vxgl");
  std::filesystem::create_directories(dir / "g2.vxgl");
  project.ProjectName = "changed";
  act.SaveProject();
  ASSERT_EQ(prompt.Errors.size(), 1u);
  EXPECT_NE(prompt.Errors[0].find(dir / "g2.vxgl"), std::string::npos) << prompt.Errors[0];
  EXPECT_EQ(ReadFile(project.FileName), projectBytes);  // the save stopped before the project

  // A name chosen for a save that fails is not kept: the next save asks again.
  project.GraphicLayers[1]->FileName.clear();
  prompt.Files = {{dir / "g2.vxgl"}};
  act.SaveProject();
  EXPECT_TRUE(project.GraphicLayers[1]->FileName.empty());
}

TEST_F(FileActions, AProjectThatFailsPartWayLoadsWhatItCanAndForgetsItsNames) {
  project.FileName = dir / "p.vxpj";
  project.GraphicLayers[0]->FileName = dir / "g1.vxgl";
  project.GraphicLayers[1]->FileName = dir / "g2.vxgl";
  project.SoundLayers[0]->FileName = dir / "s1.vxsl";
  SaveProject(project, true);
  const std::string damaged = "BZh91AY&SY damaged";
  testing::WriteFile(dir / "g2.vxgl", damaged);
  const std::string projectBytes = ReadFile(project.FileName);

  prompt.Files.push_back({dir / "p.vxpj"});
  act.OpenProject();
  ASSERT_EQ(prompt.Errors.size(), 1u);
  EXPECT_NE(prompt.Errors[0].find(dir / "g2.vxgl"), std::string::npos) << prompt.Errors[0];
  // The first layer and the failed one are in; the sound layer after it never loaded.
  ASSERT_EQ(project.GraphicLayers.Count(), 2);
  EXPECT_EQ(project.GraphicLayers[0]->Name, "G1");
  EXPECT_EQ(project.GraphicLayers[0]->FileName, dir / "g1.vxgl");
  EXPECT_TRUE(project.GraphicLayers[1]->FileName.empty());
  EXPECT_EQ(project.SoundLayers.Count(), 0);
  EXPECT_TRUE(project.FileName.empty());
  EXPECT_EQ(doc.RowCount(kLayers), 2);  // as saved: X and G2

  // Saving asks for the names instead of writing over the damaged layer and the project.
  prompt.Choosers.clear();
  act.SaveProject();
  EXPECT_EQ(Titles(), (std::vector<std::string>{" の保存", "P の保存"}));
  EXPECT_EQ(ReadFile(dir / "g2.vxgl"), damaged);
  EXPECT_EQ(ReadFile(dir / "p.vxpj"), projectBytes);
}

TEST_F(FileActions, AProjectFileThatCannotBeReadChangesNothing) {
  const std::string before = Dump();
  testing::WriteFile(dir / "big.vxpj", "[GraphicLayerList]\r\nCount=99999\r\n");
  prompt.Files.push_back({dir / "big.vxpj"});
  act.OpenProject();
  EXPECT_EQ(prompt.Errors.size(), 1u);
  EXPECT_EQ(Dump(), before);
  // No, and a cancelled chooser, change nothing either.
  prompt.ConfirmAnswer = false;
  act.OpenProject();
  prompt.ConfirmAnswer = true;
  act.OpenProject();
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(doc.WindowCaption(), "Vexa Studio");
  // The command line's way in asks nothing and says when the file is not there.
  const size_t asked = prompt.Confirmations.size();
  EXPECT_FALSE(act.OpenProjectFile(dir / "gone.vxpj"));
  EXPECT_EQ(prompt.Confirmations.size(), asked);
  ASSERT_EQ(prompt.Errors.size(), 2u);
  EXPECT_EQ(prompt.Errors[1], "ファイルが見つかりません。\n" + (dir / "gone.vxpj"));
  EXPECT_EQ(Dump(), before);
}

// The undo buttons name the step they would take; opening another project forgets them.
TEST_F(FileActions, UndoButtonsNameTheirStepsAndAProjectOpenedForgetsThem) {
  testing::TTempFolder dir;
  const std::string file = dir / "p.vxpj";
  prompt.Files = {{dir / "g1.vxgl"}, {dir / "g2.vxgl"}, {dir / "s1.vxsl"}, {file}};
  EXPECT_FALSE(UndoButtons(doc.History()).CanUndo);
  EXPECT_EQ(UndoButtons(doc.History()).UndoTip, "元に戻す");
  Select(kLayers, {0});
  act.RenameLayer(kLayers, 0, "X");
  act.SaveProject();
  act.DeleteLayers(kLayers);
  TUndoButtons b = UndoButtons(doc.History());
  EXPECT_TRUE(b.CanUndo);
  EXPECT_FALSE(b.CanRedo);
  act.Undo();
  b = UndoButtons(doc.History());
  EXPECT_EQ(b.UndoTip, "元に戻す: " + doc.History().UndoText());
  EXPECT_EQ(b.RedoTip, "やり直し: " + doc.History().RedoText());
  EXPECT_TRUE(b.CanRedo);
  EXPECT_FALSE(doc.History().RedoText().empty());

  // The recent list: a vanished project is dropped with a message; an existing one opens
  // after the question and forgets the history.
  const TRecentProjects recent(dir / "config/vexa-studio.ini");
  recent.Add(file);
  recent.Add(dir / "gone.vxpj");
  EXPECT_EQ(recent.Entries(), (std::vector<std::string>{dir / "gone.vxpj", file}));
  act.OpenRecentProject(dir / "gone.vxpj", recent);
  ASSERT_EQ(prompt.Messages.size(), 1u);
  EXPECT_NE(prompt.Messages[0].find("gone.vxpj"), std::string::npos);
  EXPECT_EQ(recent.Entries(), std::vector<std::string>{file});
  act.OpenRecentProject(file, recent);
  EXPECT_EQ(prompt.Confirmations.back(), main_text::kConfirmOpenProject);
  EXPECT_EQ(doc.RowCount(kLayers), 2);  // as saved: X and G2
  EXPECT_EQ(doc.History().Count(), 0u);
  EXPECT_FALSE(UndoButtons(doc.History()).CanUndo);
}

TEST(AutosaveInterval, ReadFromTheSettingsFileInSecondsWithAFloor) {
  testing::TTempFolder dir;
  const std::string ini = dir / "vexa-studio.ini";
  EXPECT_EQ(ReadAutosaveInterval(ini), TAutosave::kDefaultInterval);
  EXPECT_EQ(ReadAutosaveInterval(""), TAutosave::kDefaultInterval);
  testing::WriteFile(ini, "[Autosave]\nInterval=120\n");
  EXPECT_EQ(ReadAutosaveInterval(ini), std::chrono::seconds(120));
  testing::WriteFile(ini, "[Autosave]\nInterval=1\n");
  EXPECT_EQ(ReadAutosaveInterval(ini), std::chrono::seconds(5));
  testing::WriteFile(ini, "[Autosave]\nInterval=0\n");
  EXPECT_EQ(ReadAutosaveInterval(ini), TAutosave::kDefaultInterval);
}

}  // namespace
}  // namespace vexa
