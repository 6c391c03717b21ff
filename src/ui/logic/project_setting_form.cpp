#include "ui/logic/project_setting_form.h"

namespace vexa {

TProjectSettings TProjectSettings::Of(const TProject& project) {
  return {project.ProjectName, project.Width, project.Height, project.FPS, project.BackColor};
}

TProjectSettingForm::TProjectSettingForm(const TProject& project)
    : ProjectName(project.ProjectName), BackColor(project.BackColor) {
  Width.Set(project.Width);
  Height.Set(project.Height);
  Fps.Set(project.FPS);
}

TProjectSettings TProjectSettingForm::Values() const {
  return {ProjectName, static_cast<uint32_t>(Width.Value()), static_cast<uint32_t>(Height.Value()),
          static_cast<uint32_t>(Fps.Value()), BackColor};
}

}  // namespace vexa
