// The text that `vexa-render --info` prints for a project.
#pragma once

#include <ostream>

#include "model/project.h"

namespace vexa {

void PrintProjectInfo(const TProject& project, std::ostream& out);

}  // namespace vexa
