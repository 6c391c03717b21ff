#include "render/render_loop.h"

#include <algorithm>
#include <exception>

#include "render/frame_to_24.h"
#include "render/studio.h"

namespace vexa {

bool ClipFrameRange(const TFrameRange& range, uint32_t frameCount, uint32_t& first, uint32_t& end) {
  first = range.First;
  end = range.Last ? static_cast<uint32_t>(std::min<uint64_t>(uint64_t{*range.Last} + 1, frameCount)) : frameCount;
  return first < end;
}

TFrameLoopResult RunFrameLoop(TVexaStudio& studio, uint32_t first, uint32_t end, const TFramePipeline::TWrite& write,
                              TGraphicRenderMonitor* monitor) {
  TFrameLoopResult result;
  TFramePipeline pipeline(write);
  TABitmap frame24;
  uint32_t handed = 0;
  try {
    while (studio.FrameIndex < end) {
      if (monitor && monitor->StopRequested()) {
        result.Status = TGraphicRenderStatus::Cancelled;
        break;
      }
      const bool written = studio.FrameIndex >= first;
      studio.ComposeFrame();
      // Also before the range: the next frames start from the frame as the writer leaves it.
      PackFrame24ClearAlpha(studio.FrameBitmap, frame24);
      if (!written) continue;
      if (const int32_t err = pipeline.Push(frame24)) {
        result.Status = TGraphicRenderStatus::WriteFailed;
        result.ErrorCode = err;
        break;
      }
      ++handed;
      if (monitor) monitor->FrameWritten(handed, end - first);
    }
  } catch (const std::exception& e) {
    result.Status = TGraphicRenderStatus::Failed;
    result.Detail = e.what();
  }
  const int32_t err = pipeline.Drain();
  if (err != 0 && result.Status != TGraphicRenderStatus::Failed) {
    result.Status = TGraphicRenderStatus::WriteFailed;
    result.ErrorCode = err;
  }
  result.FramesWritten = pipeline.Written();
  return result;
}

}  // namespace vexa
