// Rate change of 16-bit stereo PCM by repeating or dropping whole frames.
#pragma once

#include <cstddef>

namespace vexa {

// Fills the target's frames from the source's with a 16.16 fixed-point step of
// trunc(sourceFrames / targetFrames * 65535) and rounded advances; no sample is interpolated.
// Frames are 4 bytes; partial frames at the ends of either buffer are ignored. A step that
// would run past the source's last frame repeats that frame; an empty source gives silence.
void ResampleNearest(const void* source, size_t sourceBytes, void* target, size_t targetBytes);

}  // namespace vexa
