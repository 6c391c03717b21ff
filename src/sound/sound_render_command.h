// The sound render command, shared by the command line and the editor's render menu: the file
// name rule, the render and the message that reports it. The editor adds its save dialog
// (kSoundRenderTitle, kSoundRenderFilter), the hourglass and the disabled window around it.
#pragma once

#include <string>

namespace vexa {

struct TProject;

inline const std::string kSoundRenderTitle = "サウンドのレンダリング";
inline const std::string kSoundRenderFilter = "Waveファイル(*.wav)|*.wav";
inline const std::string kSoundRenderDone = "サウンドのレンダリングは正常終了しました。";
inline const std::string kSoundRenderFailed = "サウンドのレンダリング中に異常が発生しました。";

// The chosen name with ".wav" appended unless its extension already is ".wav" in any letter
// case: "mix" gives "mix.wav", "mix.mp3" gives "mix.mp3.wav", "take.WAV" stays.
std::string SoundRenderFileName(const std::string& chosen);

struct TSoundRenderOutcome {
  std::string FileName;  // the file written (or that would have been)
  bool Written = false;
  std::string Message;  // kSoundRenderDone or kSoundRenderFailed
};

// Renders the project's sound to the chosen name. Errors of the render (a missing codec, a
// mix too large, a file that cannot be written) are raised, not turned into a message: the
// caller's general error report shows them instead.
TSoundRenderOutcome RunSoundRenderCommand(const TProject& project, const std::string& chosen);

}  // namespace vexa
