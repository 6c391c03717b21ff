#include "sound/sound_render_command.h"

#include "sound/render_sound.h"

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

TSoundRenderOutcome RunSoundRenderCommand(const TProject& project, const std::string& chosen) {
  TSoundRenderOutcome outcome;
  outcome.FileName = SoundRenderFileName(chosen);
  outcome.Written = RenderSound(project, outcome.FileName);
  outcome.Message = outcome.Written ? kSoundRenderDone : kSoundRenderFailed;
  return outcome;
}

}  // namespace vexa
