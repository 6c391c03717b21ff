// Creation of the decoders whose codec libraries may be absent from a build. Internal to the
// media library.
#pragma once

#include <memory>

namespace vexa {

class TAuDecoder;

// The general FFmpeg decoder (any container FFmpeg reads, mono or stereo out), or null in a
// build without FFmpeg.
std::unique_ptr<TAuDecoder> NewGeneralDecoder();

}  // namespace vexa
