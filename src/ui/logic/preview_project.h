// The small project that the Preview button of an editing dialog plays: the event as the
// dialog's controls give it, moved to start at 0, with its companions (a centring position
// under a source, sample pictures under an effect, the words "Sound Only" over a sound).
// The preview window makes its render engine from it and owns both while it plays.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/project.h"
#include "ui/logic/event_form.h"

namespace vexa {

// What the preview takes from the open project: its picture format.
struct TPreviewFormat {
  uint32_t Width = 640;
  uint32_t Height = 480;
  uint32_t FPS = 30;
  int32_t BackColor = 0;
};
TPreviewFormat PreviewFormatOf(const TProject& project);

// The preview project of the form's event, or nullptr for a dialog without a Preview button
// (master, layer order change). samples is the sample image list; companions it lacks are
// left out. An event whose end lies before its start previews with length 0, which the
// preview window reports as nothing to render.
std::unique_ptr<TProject> BuildPreviewProject(const TEventForm& form, const TPreviewFormat& format,
                                              std::span<const std::string> samples);

// The text of the sound preview.
inline constexpr std::string_view kSoundOnlyText = "Sound Only";

}  // namespace vexa
