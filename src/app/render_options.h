// The values of vexa-render's options for stretches of frames and times.
#pragma once

#include <cstdint>
#include <string_view>

#include "render/frame_range.h"

namespace vexa::app {

// A whole decimal number up to max.
bool ParseUnsigned(std::string_view text, uint64_t max, uint64_t& value);
// "A-B", "A-" or "-B" (frames counted from 0, A <= B); false for anything else.
bool ParseFrameRange(std::string_view text, TFrameRange& range);
// Seconds ("12.5") or [h:]mm:ss[.mmm] ("1:02.5", "0:01:02.500") in milliseconds; false when
// the text is neither.
bool ParseTimeText(std::string_view text, uint64_t& ms);

}  // namespace vexa::app
