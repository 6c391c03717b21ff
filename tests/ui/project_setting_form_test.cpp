#include "ui/logic/project_setting_form.h"

#include "editor_fixture.h"

namespace vexa {
namespace {

using ProjectSettings = test::TEditorFixture;

TEST_F(ProjectSettings, ConfirmingUnchangedLeavesTheProjectAndNamesItInTheCaption) {
  TProjectSettingForm form(project);
  EXPECT_EQ(form.Values(), TProjectSettings::Of(project));
  EXPECT_EQ(doc.WindowCaption(), "Vexa Studio");
  act.ApplyProjectSettings(form.Values());
  EXPECT_EQ(TProjectSettings::Of(project), TProjectSettings::Of(TProject{}));
  EXPECT_EQ(doc.History().Count(), 0u);  // nothing to undo
  EXPECT_EQ(doc.WindowCaption(), "Vexa Studio - 新規プロジェクト");
  form.ProjectName.clear();
  act.ApplyProjectSettings(form.Values());
  EXPECT_EQ(doc.WindowCaption(), "Vexa Studio - *");  // an empty name, and a change since the save
}

TEST(ProjectSettingForm, FieldsHoldTheDialogsLimits) {
  TProject project;
  project.Width = 50;     // only a hand-edited file has these
  project.Height = 9000;
  project.FPS = 0;
  TProjectSettingForm form(project);
  EXPECT_EQ(form.Width.Value(), 100);
  EXPECT_EQ(form.Height.Value(), 4000);
  EXPECT_EQ(form.Fps.Value(), 1);
  form.Fps.Set(61);
  EXPECT_EQ(form.Values().FPS, 60u);
}

TEST_F(ProjectSettings, TheChangeIsACommandThatUndoesItself) {
  TProjectSettingForm form(project);
  form.ProjectName = "夏";
  form.Width.Set(1280);
  form.BackColor = 0x00FF00;
  act.ApplyProjectSettings(form.Values());
  EXPECT_EQ(project.ProjectName, "夏");
  EXPECT_EQ(project.Width, 1280u);
  EXPECT_EQ(project.BackColor, 0x00FF00);
  EXPECT_EQ(doc.WindowCaption(), "Vexa Studio - *夏");
  doc.History().Undo();
  EXPECT_EQ(TProjectSettings::Of(project), TProjectSettings::Of(TProject{}));
  EXPECT_EQ(doc.WindowCaption(), "Vexa Studio - 新規プロジェクト");
}

}  // namespace
}  // namespace vexa
