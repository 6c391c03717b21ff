// The sound render command, shared by the command line and the editor's render menu: the file
// name rule, the render and the message that reports it. The editor adds its save dialog
// (kSoundRenderTitle, kSoundRenderFilter), the hourglass and the disabled window around it.
#pragma once

#include <string>

#include "sound/render_sound.h"

namespace vexa {

struct TProject;

inline const std::string kSoundRenderTitle = "サウンドのレンダリング";
inline const std::string kSoundRenderFilter = "Waveファイル(*.wav)|*.wav";
inline const std::string kSoundRenderDone = "サウンドのレンダリングは正常終了しました。";
inline const std::string kSoundRenderFailed = "サウンドのレンダリング中に異常が発生しました。";
inline const std::string kSoundRenderCancelled = "キャンセルされました。";

// The chosen name with ".wav" appended unless its extension already is ".wav" in any letter
// case: "mix" gives "mix.wav", "mix.mp3" gives "mix.mp3.wav", "take.WAV" stays.
std::string SoundRenderFileName(const std::string& chosen);

enum class TSoundRenderStatus {
  Finished,         // the file is written
  Cancelled,        // stopped; nothing on disk changed
  NothingToRender,  // no sound to render; nothing on disk changed
  OutputIsInput,    // the chosen file is one the project reads; nothing on disk changed
  Failed,           // an error of the render (a missing codec, a mix too large, a file that
                    // cannot be written); nothing on disk changed
};

struct TSoundRenderOutcome {
  std::string FileName;  // the file written (or that would have been)
  bool Written = false;
  TSoundRenderStatus Status = TSoundRenderStatus::Failed;
  std::string Message;  // kSoundRenderDone, kSoundRenderFailed, kSoundRenderCancelled or kMsgOutputIsInput
  std::string Detail;   // the reason behind a failure, in words
};

// Renders the project's sound to the chosen name. Errors of the render are caught and come back
// as a Failed outcome whose Detail says why; a name that reaches one of the project's own files
// is refused before anything is written.
TSoundRenderOutcome RunSoundRenderCommand(const TProject& project, const std::string& chosen,
                                          const TSoundRenderHooks& hooks = {});

}  // namespace vexa
