#include "render/still_render_command.h"

#include <exception>

#include "media/png_writer.h"
#include "model/output_guard.h"
#include "render/frame_to_24.h"
#include "render/graphic_render_command.h"
#include "render/render_loop.h"
#include "render/studio.h"

namespace vexa {

uint32_t FrameAtTime(uint64_t ms, uint32_t fps) {
  const uint64_t frame = ms * fps / 1000;
  return frame > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(frame);
}

TStillRenderOutcome RunStillRenderCommand(TVexaStudio& studio, uint32_t frame, const std::string& fileName,
                                          TTempFileWatch* tempFiles) {
  TStillRenderOutcome out;
  out.Frame = frame;
  if (const auto input = InputAtOutput(studio.Project, fileName)) {
    out.Message = kMsgOutputIsInput;
    out.Detail = OutputIsInputDetail(fileName, *input);
    return out;
  }
  if (std::string why = GraphicRenderSizeProblem(studio.Project); !why.empty()) {
    out.Message = kMsgStillFailed;
    out.Detail = std::move(why);
    return out;
  }
  bool prepared = false;
  try {
    prepared = studio.PrepareSession();
  } catch (const std::exception& e) {
    studio.FinishSession();
    out.Message = kMsgRenderFailed;
    out.Detail = e.what();
    return out;
  }
  if (!prepared) {
    out.Message = kMsgRenderInitFailed;
    out.Detail = NoFramesReason(studio.Project);
    return out;
  }
  out.FrameCount = studio.FrameCount;
  if (frame >= studio.FrameCount) {
    studio.FinishSession();
    out.Message = kMsgRangeOutside;
    out.Detail = "the project has frames 0 to " + std::to_string(out.FrameCount - 1);
    return out;
  }
  TABitmap frame24;
  try {
    while (studio.FrameIndex <= frame) {
      studio.ComposeFrame();
      PackFrame24ClearAlpha(studio.FrameBitmap, frame24);
    }
  } catch (const std::exception& e) {
    studio.FinishSession();
    out.Message = kMsgRenderFailed;
    out.Detail = e.what();
    return out;
  }
  studio.FinishSession();
  std::string error;
  out.Written = WritePngFile(frame24, fileName, error, tempFiles);
  out.Message = out.Written ? kMsgStillDone : kMsgStillFailed;
  out.Detail = error;
  return out;
}

}  // namespace vexa
