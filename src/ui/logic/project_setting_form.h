// The project settings dialog without its widgets: the name, the picture format and the
// background colour of the project, with the limits and steps of the dialog's fields. OK hands
// the values to TMainActions::ApplyProjectSettings, which changes the project by a command.
#pragma once

#include <cstdint>
#include <string>

#include "model/project.h"
#include "ui/logic/spin_field.h"

namespace vexa {

// The project-wide values the dialog edits.
struct TProjectSettings {
  std::string ProjectName;
  uint32_t Width = 0;
  uint32_t Height = 0;
  uint32_t FPS = 0;
  int32_t BackColor = 0;  // 0x00BBGGRR

  static TProjectSettings Of(const TProject& project);
  bool operator==(const TProjectSettings&) const = default;
};

class TProjectSettingForm {
 public:
  static constexpr int64_t kSizeStep = 4;
  static constexpr int64_t kFpsStep = 1;

  // The fields filled from the project. A size or rate outside the fields' limits (only a
  // hand-edited file has one) shows as the nearest limit.
  explicit TProjectSettingForm(const TProject& project);

  std::string ProjectName;
  TSpinField Width{100, 4000, 640};
  TSpinField Height{100, 4000, 480};
  TSpinField Fps{1, 60, 30};
  int32_t BackColor = 0;

  // What OK hands to the project.
  TProjectSettings Values() const;
};

}  // namespace vexa
