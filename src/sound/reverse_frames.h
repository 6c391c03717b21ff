// Playing 16-bit stereo PCM backwards.
#pragma once

#include <cstddef>

namespace vexa {

// Reverses the order of the 4-byte frames in place; each frame keeps its left and right sample.
// A trailing partial frame stays where it is.
void ReverseFrames(void* block, size_t bytes);

}  // namespace vexa
