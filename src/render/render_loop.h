// The frame loop that the render commands share: frames before the asked range are composed
// but not written (the frames of the range are then exactly those of a render from frame 0,
// whatever effects with a history or random draws came before), the frames of the range are
// composed here and written on the writer's own thread meanwhile.
#pragma once

#include <cstdint>
#include <string>

#include "render/frame_pipeline.h"
#include "render/frame_range.h"
#include "render/graphic_render_command.h"

namespace vexa {

class TVexaStudio;

inline constexpr std::string_view kMsgRangeOutside = "指定されたフレームはプロジェクトにありません。";

struct TFrameLoopResult {
  TGraphicRenderStatus Status = TGraphicRenderStatus::Finished;  // Finished, Cancelled, WriteFailed or Failed
  uint32_t FramesWritten = 0;
  int32_t ErrorCode = 0;    // of the writer
  std::string Detail;       // what the composition raised
};

// Runs a prepared session over frames [first, end): composes each, packs it to 24 bits (the
// composed frame's alpha bytes become 0, as after the conversion there and back) and hands it
// to write on the pipeline's thread. Asks monitor for a stop before every frame and reports
// each frame handed over. Waits for the writer before it returns; does not finish the session.
TFrameLoopResult RunFrameLoop(TVexaStudio& studio, uint32_t first, uint32_t end, const TFramePipeline::TWrite& write,
                              TGraphicRenderMonitor* monitor);

}  // namespace vexa
