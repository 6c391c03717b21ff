// The rule that guards every render command: an output must never replace a file that the
// project reads (its project file, its layer files and every picture, movie, sound, mask, rule
// picture or texture its events name).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "project_files.h"

namespace vexa {

inline constexpr std::string_view kMsgOutputIsInput =
    "出力先のファイルはプロジェクトで使用中のため、上書きできません。";

// The project's file that writing to output would replace, compared by file identity (device and
// inode), so other spellings of a name and hard or symbolic links are caught too. Nothing when
// output names no existing file or one the project does not use.
std::optional<TFileReference> InputAtOutput(const TProject& project, const std::string& output);

// True when the two names reach the same existing file.
bool SameExistingFile(const std::string& a, const std::string& b);

// Which input a name reaches, for the detail of the refusal: `"out.avi" is the movie "a.avi"
// of graphic layer 2 "動画" (event at 00:00:01.000)`.
std::string OutputIsInputDetail(const std::string& output, const TFileReference& input);

}  // namespace vexa
