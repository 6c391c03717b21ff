// Relinking moved media: what counts as missing, the folder search (by name, then without
// letter case, preferring the folders that end like the old path), and the relink commands.
#include <filesystem>

#include "editor_fixture.h"
#include "temp_folder.h"
#include "ui/logic/relink.h"

namespace vexa {
namespace {

using test::AddEvent;

class Relink : public test::TEditorFixture {
 protected:
  void SetUp() override {
    TGraphicLayer& g = Graphic("G");
    image = AddEvent<TGraphicSourceImageEvent>(g, 0, 1000);
    image->FileName = "/gone/project/pics/a.png";
    AddEvent<TGraphicSourceImageEvent>(g, 1000, 2000)->FileName = "/gone/project/pics/a.png";
    AddEvent<TGraphicSourceMovieEvent>(g, 0, 10)->FileName = dir / "here.avi";
    auto* unused = AddEvent<TGraphicEffectAlphaMaskEvent>(g, 0, 10);
    unused->MaskType = 0;  // colour key: its picture is never opened
    unused->MaskFileName = "/gone/mask.png";
    rule = AddEvent<TGraphicEffectTransitionEvent>(g, 0, 10);
    rule->RuleFileName = "/gone/rule.png";
    AddEvent<TSoundSourceEvent>(Sound("S"), 0, 10)->FileName = "snd\\Beat.WAV";  // as a layer file keeps it
    testing::WriteFile(dir / "here.avi", "");
    testing::WriteFile(dir / "new/other/a.png", "");
    testing::WriteFile(dir / "new/pics/a.png", "");
    testing::WriteFile(dir / "new/deep/er/beat.wav", "");
    Rebuild();
    Select(TViewId::GraphicLayers, {0});
    Select(TViewId::SoundLayers, {0});
  }
  std::vector<std::string> MissingPaths(const TRelinkForm& form) const {
    std::vector<std::string> paths;
    for (const TMissingMedia& m : form.Missing())
      paths.push_back(m.Path);
    return paths;
  }
  testing::TTempFolder dir;
  TGraphicSourceImageEvent* image = nullptr;
  TGraphicEffectTransitionEvent* rule = nullptr;
};

TEST_F(Relink, ListsEachMissingFileOnceWithItsUses) {
  TRelinkForm form(doc);
  EXPECT_EQ(MissingPaths(form),
            (std::vector<std::string>{"/gone/project/pics/a.png", "/gone/rule.png", "snd\\Beat.WAV"}));
  EXPECT_EQ(form.Missing()[0].Uses.size(), 2u);
  EXPECT_EQ(TRelinkForm::UseText(form.Missing()[0]), "静止画 - G 00:00:00.000 (他 1 件)");
  EXPECT_EQ(TRelinkForm::UseText(form.Missing()[2]), "サウンド - S 00:00:00.000");
}

TEST_F(Relink, AFolderSearchRelinksEveryMatchAsOneStep) {
  TRelinkForm form(doc);
  const std::string before = Dump();
  EXPECT_EQ(form.SearchFolder(dir / "new"), 2);
  ASSERT_EQ(doc.History().Count(), 1u);
  EXPECT_EQ(doc.History().UndoText(), "メディアの再リンク");
  // Of the two "a.png" the one in "pics", like the old path; the sound by name without case.
  EXPECT_EQ(image->FileName, dir / "new/pics/a.png");
  EXPECT_EQ(EventAs<TSoundSourceEvent>(project.SoundLayers[0]->Events[0])->FileName, dir / "new/deep/er/beat.wav");
  EXPECT_EQ(doc.EventRows(TViewId::SoundEvents)[0].KindText, "beat.wav");  // the row follows
  EXPECT_EQ(MissingPaths(form), std::vector<std::string>{"/gone/rule.png"});
  EXPECT_EQ(form.SearchFolder(dir / "new"), 0);  // nothing more there: no step
  EXPECT_EQ(doc.History().Count(), 1u);

  doc.History().Undo();
  EXPECT_EQ(Dump(), before);
  form.Refresh();
  EXPECT_EQ(form.Missing().size(), 3u);

  // One file pointed at by the user.
  EXPECT_TRUE(form.RelinkFile(1, dir / "new/other/a.png"));
  EXPECT_EQ(rule->RuleFileName, dir / "new/other/a.png");
  EXPECT_EQ(MissingPaths(form), (std::vector<std::string>{"/gone/project/pics/a.png", "snd\\Beat.WAV"}));
}

}  // namespace
}  // namespace vexa
