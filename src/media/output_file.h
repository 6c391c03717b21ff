// Output files that appear only when complete: a temporary file next to the target, renamed
// over it at the end.
#pragma once

#include <string>

#include "media/temp_file_watch.h"

namespace vexa {

// Creates a new, empty file next to target under a name nobody else uses (".NAME.XXXXXXXX.part")
// and stores its path; 0, or a negative FFmpeg-style error (AVERROR(errno)). watch (may be
// nullptr) is told about the file in the same step.
int CreateTemporaryOutput(const std::string& target, std::string& path, TTempFileWatch* watch = nullptr);
// The file a rename must replace: a symbolic link is followed so that the link stays.
std::string ReplacedPath(const std::string& target);

}  // namespace vexa
