// A stretch of a render's frames.
#pragma once

#include <cstdint>
#include <optional>

namespace vexa {

// Frames First ... Last of a session, counted from 0; Last left out means to the end.
struct TFrameRange {
  uint32_t First = 0;
  std::optional<uint32_t> Last;
  bool Whole() const { return First == 0 && !Last; }
};

// The range within a session of frameCount frames as [first, end); false when it holds no frame
// of the session.
bool ClipFrameRange(const TFrameRange& range, uint32_t frameCount, uint32_t& first, uint32_t& end);

}  // namespace vexa
