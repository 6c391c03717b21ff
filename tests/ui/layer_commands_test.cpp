// The main window's commands on its layer views, and opening layer files.
#include "editor_fixture.h"
#include "temp_folder.h"

namespace vexa {
namespace {

using test::AddEvent;

constexpr TViewId kLayers = TViewId::GraphicLayers;
constexpr TViewId kSoundLayers = TViewId::SoundLayers;

class LayerCommands : public test::TEditorFixture {
 protected:
  void SetUp() override {
    for (const char* name : {"A", "B", "C"})
      AddEvent<TGraphicEffectFadeEvent>(Graphic(name), 0, 100);
    Rebuild();
  }
  std::vector<std::string> Captions(TTabId tab) const {
    std::vector<std::string> c;
    for (const TLayerRow& r : doc.LayerRows(tab).Rows())
      c.push_back(r.Caption);
    return c;
  }
  bool RowsMatchLayers() const {
    const TLayerRowModel& rows = doc.LayerRows(TTabId::Graphic);
    if (rows.Count() != project.GraphicLayers.Count()) return false;
    for (int i = 0; i < rows.Count(); ++i)
      if (rows[i].Graphic != project.GraphicLayers[i]) return false;
    return true;
  }
};

TEST_F(LayerCommands, AddInsertsAtTheSelectedRowWithTheSharedCounter) {
  Select(kLayers, {1});
  act.AddLayer(kLayers);
  EXPECT_EQ(project.GraphicLayers[1]->Name, "新規レイヤー1");
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[1].Graphic, project.GraphicLayers[1]);
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[1].FileText, "**未保存**");
  EXPECT_EQ(doc.Selection(kLayers).SelectedRows(), std::vector<int>{1});
  EXPECT_EQ(doc.ShownGraphicLayer(), project.GraphicLayers[1]);  // its (empty) views show
  EXPECT_EQ(doc.RowCount(TViewId::GraphicEffects), 0);
  // The counter is shared with sound layers; without a selection the layer goes to the end.
  act.AddLayer(kSoundLayers);
  EXPECT_EQ(project.SoundLayers[0]->Name, "新規レイヤー2");
  Select(kLayers, {});
  act.AddLayer(kLayers);
  EXPECT_EQ(project.GraphicLayers[4]->Name, "新規レイヤー3");
  EXPECT_TRUE(RowsMatchLayers());
}

TEST_F(LayerCommands, PastedLayersShowCopyCaptionsButKeepTheirNames) {
  Select(kLayers, {0, 2});
  act.CopyLayers(kLayers);
  EXPECT_TRUE(MenuState(doc, kLayers).Paste);
  Select(kLayers, {1});
  act.PasteLayers(kLayers);
  EXPECT_EQ(Captions(TTabId::Graphic), (std::vector<std::string>{"A", "A のコピー0", "C のコピー1", "B", "C"}));
  EXPECT_EQ(project.GraphicLayers[1]->Name, "A");
  EXPECT_EQ(project.GraphicLayers[2]->Name, "C");
  EXPECT_TRUE(project.GraphicLayers[2]->FileName.empty());
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[2].FileText, "");
  EXPECT_EQ(project.GraphicLayers[2]->EventCount(), 1);
  EXPECT_NE(project.GraphicLayers[2]->ListForKind(kind::Fade)->Last(),
            project.GraphicLayers[4]->ListForKind(kind::Fade)->Last());  // deep copies
  EXPECT_TRUE(RowsMatchLayers());
}

TEST_F(LayerCommands, DeleteRenameAndDragKeepRowsAndLayersInStep) {
  Select(kLayers, {0});
  prompt.ConfirmAnswer = false;
  act.DeleteLayers(kLayers);
  EXPECT_EQ(project.GraphicLayers.Count(), 3);
  prompt.ConfirmAnswer = true;
  act.DeleteLayers(kLayers);
  EXPECT_EQ(prompt.Confirmations.back(), "選択したレイヤーを削除してもよろしいですか？");
  EXPECT_EQ(Captions(TTabId::Graphic), (std::vector<std::string>{"B", "C"}));
  EXPECT_FALSE(doc.Selection(TViewId::GraphicSources).Enabled());

  act.RenameLayer(kLayers, 1, "名前");
  EXPECT_EQ(project.GraphicLayers[1]->Name, "名前");
  EXPECT_EQ(Captions(TTabId::Graphic)[1], "名前");

  // Dragging rebuilds the layer list (the stacking order) from the rows.
  Select(kLayers, {0}, 0);
  act.DropRows(kLayers, 1);
  EXPECT_EQ(project.GraphicLayers[0]->Name, "名前");
  EXPECT_EQ(project.GraphicLayers[1]->Name, "B");
  EXPECT_TRUE(RowsMatchLayers());
}

class LayerFiles : public LayerCommands {
 protected:
  // A layer file named `file` holding one blink event and the layer name `name`.
  std::string LayerFile(const std::string& file, const std::string& name) {
    TGraphicLayer l;
    l.Name = name;
    l.FileName = dir / file;
    AddEvent<TGraphicEffectBlinkEvent>(l, 5, 6);
    SaveGraphicLayer(l);
    return l.FileName;
  }
  testing::TTempFolder dir;
};

TEST_F(LayerFiles, OpeningWithALayerSelectedMergesAndRenamesIt) {
  const std::string x = LayerFile("x.vxgl", "X"), y = LayerFile("y.vxgl", "Y");
  project.GraphicLayers[1]->FileName = "/keep/b.vxgl";
  Rebuild();
  Select(kLayers, {1});
  prompt.Files.push_back({x, y});
  act.OpenLayerFiles(kLayers);
  ASSERT_EQ(prompt.Choosers.size(), 1u);
  EXPECT_EQ(prompt.Choosers[0].Title, "グラフィックレイヤーの読み込み");
  EXPECT_EQ(prompt.Choosers[0].Filter, "グラフィックレイヤーファイル(*.vxgl)|*.vxgl");
  const TGraphicLayer& b = *project.GraphicLayers[1];
  EXPECT_EQ(b.Name, "Y");
  EXPECT_EQ(b.FileName, "/keep/b.vxgl");
  EXPECT_EQ(b.ListForKind(kind::Blink)->Count(), 2);
  EXPECT_EQ(b.ListForKind(kind::Fade)->Count(), 1);
  EXPECT_EQ(doc.RowCount(TViewId::GraphicEffects), 3);  // the views show the merged events
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[1].FileText, "b.vxgl");
}

TEST_F(LayerFiles, AFileThatFailsLeavesNoLayerWithoutARow) {
  const std::string good = LayerFile("good.vxgl", "Good");
  const std::string bad = dir / "bad.vxgl";
  testing::WriteFile(bad, "BZh9 this is no bzip2 stream");
  const std::string never = LayerFile("never.vxgl", "Never");
  prompt.Files.push_back({good, bad, never});
  act.OpenLayerFiles(kLayers);
  // What loaded before the failure is in, with its row; the failed file and those after it not.
  ASSERT_EQ(project.GraphicLayers.Count(), 4);
  EXPECT_EQ(project.GraphicLayers[3]->Name, "Good");
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[3].FileText, good);
  EXPECT_TRUE(doc.Selection(kLayers).IsSelected(3));
  EXPECT_TRUE(RowsMatchLayers());
  ASSERT_EQ(prompt.Errors.size(), 1u);
  EXPECT_NE(prompt.Errors[0].find(bad), std::string::npos) << prompt.Errors[0];
  EXPECT_NE(prompt.Errors[0].find("BZ_"), std::string::npos) << prompt.Errors[0];

  // Merging stops the same way: the selected layer takes nothing from the failed file.
  Select(kLayers, {0});
  prompt.Files.push_back({bad});
  act.OpenLayerFiles(kLayers);
  EXPECT_EQ(project.GraphicLayers[0]->Name, "A");
  EXPECT_EQ(project.GraphicLayers[0]->EventCount(), 1);
  EXPECT_EQ(prompt.Errors.size(), 2u);
}

}  // namespace
}  // namespace vexa
