// Last touches to a finished AVI file's stream header that the muxer does not write the way
// our frame format needs.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

// Sets the video stream's quality field (strh) to quality and, when rawFrameBytes is non-zero,
// the image size of its BITMAPINFOHEADER (strf) to rawFrameBytes.
// 0, or a negative FFmpeg-style error code (AVERROR_INVALIDDATA when the headers are not found).
int FinishAviHeader(const std::string& path, int32_t quality, uint32_t rawFrameBytes);

}  // namespace vexa
