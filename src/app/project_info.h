// The text that `vexa-render --info` prints for a project.
#pragma once

#include <ostream>
#include <vector>

#include "model/project.h"
#include "render/media_check.h"

namespace vexa {

// With findings, every row of an event (and every layer line) whose file is left out ends in
// one more column: "!! " followed by what the file is and why, "!! picture: No such file or
// directory".
void PrintProjectInfo(const TProject& project, std::ostream& out,
                      const std::vector<TMediaFinding>& findings = {});

}  // namespace vexa
