// DrawTextAlpha: one line of text into the transparency bytes of a picture, drawn at twice the
// font size and reduced 2 x 2, so that glyph edges get intermediate transparency.
#pragma once

#include <cstdint>
#include <string_view>

#include "bitmap/bitmap.h"
#include "bitmap/text_font.h"

namespace vexa {

// Draws `line` with `face` at `points` with its box's top-left at (x, y): the alpha byte of a
// target pixel becomes the ink's transparency (0 inside glyphs) where the line has ink and
// stays as it was where it has none. Colour bytes are never touched. Nothing happens for an
// empty target.
void DrawTextAlpha(TABitmap& target, int32_t x, int32_t y, std::string_view line, const TTextFace& face,
                   int32_t points);

}  // namespace vexa
