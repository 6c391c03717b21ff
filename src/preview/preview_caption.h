// The preview's small rules of arithmetic and text: the seek bar's range, the frame a chosen
// second seeks to, and the window caption.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

inline const std::string kPreviewCaption = "プレビュー";

// The seek bar runs from 0 to this many whole seconds (rounded down).
uint32_t SeekMaximum(uint32_t frameCount, uint32_t fps);
// The frame that a seek to `seconds` shows: its first frame, or the last frame of the project
// when the second starts at or past the end (the bar's last second of a project of whole
// seconds).
uint32_t SeekTargetFrame(uint32_t seconds, uint32_t fps, uint32_t frameCount);
// "プレビュー - HH:MM:SS.mmm" of a time in milliseconds.
std::string PreviewCaption(uint64_t ms);

}  // namespace vexa
