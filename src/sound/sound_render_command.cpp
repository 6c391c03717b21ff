#include "sound/sound_render_command.h"

#include <exception>

#include "model/output_guard.h"

namespace vexa {

std::string SoundRenderFileName(const std::string& chosen) {
  // The extension starts at the last dot of the last path component.
  const size_t slash = chosen.find_last_of('/');
  const size_t dot = chosen.find_last_of('.');
  std::string ext;
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) ext = chosen.substr(dot);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext == ".wav" ? chosen : chosen + ".wav";
}

TSoundRenderOutcome RunSoundRenderCommand(const TProject& project, const std::string& chosen,
                                          const TSoundRenderHooks& hooks) {
  TSoundRenderOutcome outcome;
  outcome.FileName = SoundRenderFileName(chosen);
  outcome.Message = kSoundRenderFailed;
  try {
    if (const auto input = InputAtOutput(project, outcome.FileName)) {
      outcome.Status = TSoundRenderStatus::OutputIsInput;
      outcome.Message = std::string(kMsgOutputIsInput);
      outcome.Detail = OutputIsInputDetail(outcome.FileName, *input);
      return outcome;
    }
    switch (RenderSound(project, outcome.FileName, hooks)) {
      case TSoundRenderResult::Written:
        outcome.Status = TSoundRenderStatus::Finished;
        outcome.Written = true;
        outcome.Message = kSoundRenderDone;
        break;
      case TSoundRenderResult::NothingToRender:
        outcome.Status = TSoundRenderStatus::NothingToRender;
        outcome.Detail = NoSoundReason(project);
        break;
      case TSoundRenderResult::Stopped:
        outcome.Status = TSoundRenderStatus::Cancelled;
        outcome.Message = kSoundRenderCancelled;
        break;
    }
  } catch (const std::exception& e) {
    outcome.Status = TSoundRenderStatus::Failed;
    outcome.Detail = e.what();
  }
  return outcome;
}

}  // namespace vexa
