#pragma once

#include "bitmap/bitmap.h"
#include "model/events.h"
#include "render/render_pass.h"

namespace vexa {

class TVexaStudio;

// Puts the picture of a text event into target: the text's colour (or texture) everywhere,
// the glyph shapes in the alpha bytes. False for an empty text (target untouched). Pictures
// are kept in the session's TextCache under the event's identity until the event passes.
bool RenderTextSource(TVexaStudio& studio, const TGraphicSourceTextEvent& event, TABitmap& target);

// Text source (kind 0): builds the picture when the event becomes current and in every forced
// pass.
TSourceResult RunTextSource(TSourcePass& p);

}  // namespace vexa
