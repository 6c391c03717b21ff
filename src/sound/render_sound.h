// The sound render: every sound event of a project mixed into one 44.1 kHz 16-bit stereo WAV.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

struct TProject;

inline constexpr uint32_t kMixSampleRate = 44100;

// Frames of the mix for a project whose last sound event ends at maxEndTime ms: one second
// more than that, at 44.1 kHz.
uint64_t MixFrames(uint32_t maxEndTime);

// Decodes the chosen stretch of each sound event's file, fits it to the event's span, applies
// its volume and balance envelopes, places it in one mix at the event's start, brings the mix
// to full scale and writes it to fileName (an existing file is replaced only once the new one
// is complete).
// False, and no file, when the project has no sound layer or no sound event ends after time 0.
// Raises EAuException when a codec is missing, and ESoundError when the mix would not fit in
// memory or in a WAV file, or when the file cannot be written; the file that was there then
// stays as it was.
bool RenderSound(const TProject& project, const std::string& fileName);

}  // namespace vexa
