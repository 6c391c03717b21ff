#pragma once

#include "render/render_pass.h"

namespace vexa {

// Image source (kind 1): loads the picture when the event becomes current and in every forced
// pass.
TSourceResult RunImageSource(TSourcePass& p);

}  // namespace vexa
