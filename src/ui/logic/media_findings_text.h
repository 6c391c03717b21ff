// What the editor says before a render about the files the render cannot use: one line per
// file (its first use named, further uses counted), so that the user can cancel and mend the
// project, or go on and render what is there.
#pragma once

#include <span>
#include <string>

#include "render/media_check.h"

namespace vexa {

struct TMediaFindingsText {
  std::string Text;     // the box's text: what happens, the first lines, the question
  std::string Details;  // every line, when the text had to leave some out; else empty
};

// The Japanese name of a file's use ("動画", "マスク画像", ...).
std::string_view FileUseText(TFileUse use);

// Empty texts for no findings.
TMediaFindingsText MediaFindingsText(std::span<const TMediaFinding> findings);

// How many lines the box's text shows before it refers to the details.
inline constexpr size_t kMediaFindingsShown = 8;

}  // namespace vexa
