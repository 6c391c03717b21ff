// Every command kind undone and done again: the project, the rows and the selections come back
// exactly, also when the user switched layers (which refills and renumbers views) in between.
#include "editor_fixture.h"
#include "persist/project_file.h"
#include "temp_folder.h"

namespace vexa {
namespace {

using test::AddEvent;

constexpr TViewId kLayers = TViewId::GraphicLayers;
constexpr TViewId kSources = TViewId::GraphicSources;
constexpr TViewId kEffects = TViewId::GraphicEffects;
constexpr TViewId kSoundLayers = TViewId::SoundLayers;
constexpr TViewId kSounds = TViewId::SoundEvents;

class Undo : public test::TEditorFixture {
 protected:
  void SetUp() override {
    TGraphicLayer& a = Graphic("A");
    AddEvent<TGraphicSourceTextEvent>(a, 0, 1000);
    AddEvent<TGraphicSourceMovieEvent>(a, 200, 300);
    for (uint32_t i = 0; i < 4; ++i)
      AddEvent<TGraphicEffectFadeEvent>(a, 400 - 100 * i, 900);
    AddEvent<TGraphicEffectRotateEvent>(Graphic("B"), 10, 20);
    TSoundLayer& s = Sound("S");
    for (uint32_t i = 0; i < 3; ++i)
      AddEvent<TSoundSourceEvent>(s, 1000 * i, 1000 * i + 500)->SampleAppointMode = 1;
    Rebuild();
    Select(kLayers, {0});
    Select(kSoundLayers, {0});

    TGraphicLayer file;
    file.Name = "File";
    file.FileName = dir / "f.vxgl";
    AddEvent<TGraphicEffectBlinkEvent>(file, 1, 2);
    SaveGraphicLayer(file);
    layerFile = file.FileName;
  }
  testing::TTempFolder dir;
  std::string layerFile;
};

TEST_F(Undo, EveryCommandKindWalksBackAndForthExactly) {
  prompt.OnDialog = [](TEventAdjustForm& f) {
    f.StartChoice = TStartChoice::Add;
    f.SetTimeField(TEventAdjustForm::Start, TTimeFields::Second, 2);
  };
  // Each step: the user's selection (no command), then one command.
  struct TStep {
    std::function<void()> Select, Command;
  };
  auto none = [] {};
  const std::vector<TStep> steps = {
      {[&] { Select(kEffects, {1, 2}), act.CopyEvents(kEffects), Select(kEffects, {0}); },
       [&] { act.PasteEvents(kEffects); }},
      {[&] { Select(kEffects, {0, 3}); }, [&] { act.CutEvents(kEffects); }},
      {[&] { Select(kEffects, {1}); }, [&] { act.DeleteEvents(kEffects); }},
      {[&] { Select(kEffects, {0, 1, 2}); }, [&] { act.PasteTimes(kEffects); }},
      {[&] { Select(kEffects, {0}); }, [&] { act.AdjustTimes(kEffects); }},  // moves it in its list
      {[&] { Select(kEffects, {0, 1}, 0); }, [&] { act.DropRows(kEffects, 2); }},
      {none, [&] { act.SortByStartTime(kEffects); }},
      {[&] { Select(kSources, {0}); }, [&] { act.AddEvent(kSources, NewEventWithInitialValues(kind::Image)); }},
      {[&] { Select(kSources, {1}); },
       [&] {
         auto e = CopyEvent(*Row(kSources, 1));
         e->StartTime = 5;
         act.EditEvent(kSources, *e);
       }},
      {[&] { Select(kSources, {2}), Select(kSounds, {1}); }, [&] { act.SyncSound(); }},
      {[&] { Select(kSounds, {0}); }, [&] { act.SyncMovie(); }},
      {[&] { Select(kSounds, {0, 2}), act.CopyEvents(kSounds); }, [&] { act.PasteEvents(kSounds); }},
      {[&] { Select(kLayers, {1}); }, [&] { act.AddLayer(kLayers); }},
      {[&] { Select(kLayers, {0, 2}), act.CopyLayers(kLayers), Select(kLayers, {1}); },
       [&] { act.PasteLayers(kLayers); }},
      {none, [&] { act.RenameLayer(kLayers, 2, "改名"); }},
      {[&] { Select(kLayers, {0, 1}, 0); }, [&] { act.DropRows(kLayers, 3); }},
      {[&] { Select(kLayers, {4}); }, [&] { act.DeleteLayers(kLayers); }},
      {[&] { Select(kLayers, {0}), prompt.Files.push_back({layerFile}); }, [&] { act.OpenLayerFiles(kLayers); }},
      {[&] { Select(kLayers, {}), prompt.Files.push_back({layerFile}); }, [&] { act.OpenLayerFiles(kLayers); }},
      {[&] { Select(kSoundLayers, {0}); }, [&] { act.DeleteLayers(kSoundLayers); }},
      {[&] { Select(kLayers, {1}); }, [&] { act.ApplyProjectSettings({"設定", 320, 240, 15, 0xFF}); }},
  };
  std::vector<std::string> before, after;
  for (size_t i = 0; i < steps.size(); ++i) {
    steps[i].Select();
    before.push_back(Dump());
    steps[i].Command();
    ASSERT_EQ(doc.History().Count(), i + 1) << "step " << i << " made no command";
    after.push_back(Dump());
    ASSERT_NE(before.back(), after.back()) << "step " << i << " changed nothing";
    doc.History().Undo();
    ASSERT_EQ(Dump(), before.back()) << "step " << i;
    doc.History().Redo();
    ASSERT_EQ(Dump(), after.back()) << "step " << i;
  }
  EXPECT_TRUE(prompt.Errors.empty()) << prompt.Errors.front();
  // All the way back, then forward again.
  for (size_t i = steps.size(); i-- > 0;) {
    doc.History().Undo();
    ASSERT_EQ(Dump(), before[i]) << "undo " << i;
  }
  for (size_t i = 0; i < steps.size(); ++i) {
    doc.History().Redo();
    ASSERT_EQ(Dump(), after[i]) << "redo " << i;
  }
  EXPECT_EQ(doc.History().UndoText(), "プロジェクト設定");
}

TEST_F(Undo, RestoresRowsAfterTheUserSwitchedLayers) {
  // A paste at the top gives a row order that a refill would not give.
  Select(kEffects, {3});
  act.CopyEvents(kEffects);
  Select(kEffects, {0});
  act.PasteEvents(kEffects);
  const std::string pasted = Dump();
  Select(kLayers, {1});
  Select(kLayers, {0});  // refilled: rows and EventNumbers in list order now
  EXPECT_NE(Dump(), pasted);
  Select(kEffects, {4});
  act.DeleteEvents(kEffects);
  const std::string deleted = Dump();
  doc.History().Undo();
  doc.History().Undo();
  doc.History().Redo();
  EXPECT_EQ(Dump(), pasted);  // the pasted order and numbers, not the refilled ones
  doc.History().Redo();
  EXPECT_EQ(Dump(), deleted);
}

TEST_F(Undo, ASaveInBetweenKeepsItsFileColumn) {
  act.AddLayer(kLayers);  // selected, "**未保存**"
  prompt.Files.push_back({dir / "new"});
  act.SaveLayers(kLayers);
  const std::string saved = doc.LayerRows(TTabId::Graphic)[0].FileText;
  EXPECT_EQ(saved, dir / "new.vxgl");
  act.RenameLayer(kLayers, 0, "x");
  doc.History().Undo();
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[0].FileText, saved);
  EXPECT_EQ(doc.LayerRows(TTabId::Graphic)[0].Caption, "新規レイヤー1");
}

TEST_F(Undo, OpeningAProjectForgetsTheHistory) {
  TProject other;
  other.FileName = dir / "other.vxpj";
  SaveProject(other, false);
  Select(kEffects, {0});
  act.DeleteEvents(kEffects);
  prompt.Files.push_back({other.FileName});
  act.OpenProject();
  EXPECT_FALSE(doc.History().CanUndo());
  // Nothing of the old project's rows is kept for later undos.
  const std::string opened = Dump();
  act.ApplyProjectSettings({"x", 640, 480, 30, 0});
  doc.History().Undo();
  EXPECT_EQ(Dump(), opened);
}

}  // namespace
}  // namespace vexa
