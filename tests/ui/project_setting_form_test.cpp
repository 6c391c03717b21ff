#include "ui/logic/project_setting_form.h"

#include <gtest/gtest.h>

namespace vexa {
namespace {

TEST(ProjectSettingForm, ConfirmingUnchangedLeavesTheProjectAndNamesItInTheCaption) {
  TProject project;
  TProjectSettingForm form(project);
  EXPECT_EQ(form.Values(), TProjectSettings::Of(project));
  TProjectSettingChange(project, form.Values()).Do();
  EXPECT_EQ(TProjectSettings::Of(project), TProjectSettings::Of(TProject{}));
  EXPECT_EQ(MainWindowCaption(project.ProjectName), "Vexa Studio - 新規プロジェクト");
  EXPECT_EQ(MainWindowCaption(""), "Vexa Studio - ");
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

TEST(ProjectSettingForm, TheChangeUndoesItself) {
  TProject project;
  TProjectSettingForm form(project);
  form.ProjectName = "夏";
  form.Width.Set(1280);
  form.BackColor = 0x00FF00;
  TProjectSettingChange change(project, form.Values());
  change.Do();
  EXPECT_EQ(project.ProjectName, "夏");
  EXPECT_EQ(project.Width, 1280u);
  EXPECT_EQ(project.BackColor, 0x00FF00);
  change.Undo();
  EXPECT_EQ(TProjectSettings::Of(project), TProjectSettings::Of(TProject{}));
}

}  // namespace
}  // namespace vexa
