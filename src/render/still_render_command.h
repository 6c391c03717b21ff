// A still: one frame of the project as a PNG file, exactly as the AVI render would hold it
// (the background included, no alpha).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/temp_file_watch.h"

namespace vexa {

class TVexaStudio;

inline constexpr std::string_view kMsgStillDone = "静止画を書き出しました。";
inline constexpr std::string_view kMsgStillFailed = "静止画の書き出しに失敗しました。";

// The frame shown at time ms (milliseconds from the start) at fps frames per second: the last
// frame that starts at or before it.
uint32_t FrameAtTime(uint64_t ms, uint32_t fps);

struct TStillRenderOutcome {
  bool Written = false;
  uint32_t Frame = 0;
  uint32_t FrameCount = 0;
  std::string Message;
  std::string Detail;
};

// Composes frames 0 ... frame (those before are not written, so effects with a history show as
// in the full render) and writes the last as a PNG to fileName. An existing file is replaced
// only by a complete one; a name that reaches one of the project's own files is refused. Errors
// of the engine are reported, none is raised. tempFiles (may be nullptr) is told about the
// temporary file.
TStillRenderOutcome RunStillRenderCommand(TVexaStudio& studio, uint32_t frame, const std::string& fileName,
                                          TTempFileWatch* tempFiles = nullptr);

}  // namespace vexa
