#include "render/movie_render_command.h"

#include <algorithm>
#include <exception>

#include "model/output_guard.h"
#include "render/studio.h"

namespace vexa {

uint64_t SoundFrameOf(uint64_t frame, uint32_t fps) {
  return fps == 0 ? 0 : (frame * kMovieSoundRate * 2 + fps) / (2 * uint64_t{fps});
}

namespace {

void RenderInto(TVexaStudio& studio, const TMovieRenderRequest& request, TGraphicRenderMonitor* monitor,
                TMovieRenderOutcome& out) {
  const TProject& project = studio.Project;
  if (const auto input = InputAtOutput(project, out.FileName)) {
    out.Status = TGraphicRenderStatus::OutputIsInput;
    out.Message = kMsgOutputIsInput;
    out.Detail = OutputIsInputDetail(out.FileName, *input);
    return;
  }
  if (std::string why = GraphicRenderSizeProblem(project); !why.empty()) {
    out.Status = TGraphicRenderStatus::OpenFailed;
    out.Message = kMsgMovieOpenFailed;
    out.ErrorCode = kAviBadSettings;
    out.Detail = std::move(why);
    return;
  }

  std::vector<int16_t> mix;
  bool sound = false;
  if (request.MixSound) {
    try {
      sound = request.MixSound(mix);
    } catch (const std::exception& e) {
      out.Status = TGraphicRenderStatus::Failed;
      out.Message = kMsgSoundMixFailed;
      out.Detail = e.what();
      return;
    }
  }

  if (!studio.PrepareSession()) {
    out.Status = TGraphicRenderStatus::NoFrames;
    out.Message = kMsgRenderInitFailed;
    return;
  }
  uint32_t first = 0, end = 0;
  if (!ClipFrameRange(request.Frames, studio.FrameCount, first, end)) {
    studio.FinishSession();
    out.Status = TGraphicRenderStatus::NoFrames;
    out.Message = kMsgRangeOutside;
    out.Detail = "the project has frames 0 to " + std::to_string(studio.FrameCount - 1);
    return;
  }
  out.FirstFrame = first;
  out.FrameCount = end - first;

  TMovieWriteSettings settings = request.Video;
  settings.Width = static_cast<int32_t>(project.Width);
  settings.Height = static_cast<int32_t>(project.Height);
  settings.Rate = static_cast<int32_t>(project.FPS);
  settings.Title = project.ProjectName;
  settings.Sound = sound;
  TMovieWriter writer;
  writer.TempFiles = request.TempFiles;
  const int32_t opened = writer.Open(request.FileName, settings);
  if (opened != 0) {
    studio.FinishSession();
    out.Status = TGraphicRenderStatus::OpenFailed;
    out.Message = kMsgMovieOpenFailed;
    out.ErrorCode = opened;
    out.Detail = MovieErrorText(opened);
    return;
  }
  out.Codec = writer.Codec();
  out.Options.Handler = std::string(out.Codec->FourCC);
  out.Options.Quality = settings.Quality;
  out.Options.KeyFrameEvery = settings.KeyFrameEvery;
  if (monitor) monitor->Started(out.FrameCount, *out.Codec);

  // The sound of each frame follows it into the file, cut to the picture: silence where the
  // mix is shorter.
  const uint32_t fps = project.FPS;
  uint64_t frame = first;
  std::vector<int16_t> silence;
  auto write = [&](const TABitmap& picture) -> int32_t {
    int32_t err = writer.WriteFrame(picture);
    if (err != 0 || !sound) return err;
    const uint64_t from = SoundFrameOf(frame, fps), to = SoundFrameOf(frame + 1, fps);
    ++frame;
    const uint64_t mixFrames = mix.size() / 2;
    const uint64_t have = from < mixFrames ? std::min(to, mixFrames) - from : 0;
    if (have) err = writer.WriteSound(mix.data() + 2 * from, have);
    if (err == 0 && to - from > have) {
      silence.assign(2 * (to - from - have), 0);
      err = writer.WriteSound(silence.data(), to - from - have);
    }
    return err;
  };
  const TFrameLoopResult loop = RunFrameLoop(studio, first, end, write, monitor);
  studio.FinishSession();
  out.FramesWritten = loop.FramesWritten;
  out.Status = loop.Status;
  out.ErrorCode = loop.ErrorCode;
  out.Detail = loop.Detail;
  switch (loop.Status) {
    case TGraphicRenderStatus::Finished:
      out.Message = kMsgMovieRenderDone;
      break;
    case TGraphicRenderStatus::Cancelled:
      out.Message = kMsgRenderCancelled;
      break;
    case TGraphicRenderStatus::WriteFailed:
      out.Message = kMsgFrameWriteFailed;
      out.Detail = MovieErrorText(loop.ErrorCode);
      break;
    default:
      out.Message = kMsgRenderFailed;
      break;
  }
  if (!out.Written() || out.FramesWritten == 0) {
    // A movie without a frame is no movie: a stop before the first frame leaves the disk alone.
    writer.Abandon();
    if (out.Written()) out.Detail = "stopped before the first frame; nothing was written";
    return;
  }
  out.SoundFrames = writer.SoundFramesWritten();
  const int32_t closed = writer.Close();
  if (closed != 0) {
    out.Status = TGraphicRenderStatus::WriteFailed;
    out.Message = kMsgFrameWriteFailed;
    out.ErrorCode = closed;
    out.Detail = MovieErrorText(closed);
  }
}

}  // namespace

TMovieRenderOutcome RunMovieRenderCommand(TVexaStudio& studio, const TMovieRenderRequest& request,
                                          TGraphicRenderMonitor* monitor) {
  TMovieRenderOutcome out;
  out.FileName = request.FileName;
  try {
    RenderInto(studio, request, monitor, out);
  } catch (const std::exception& e) {
    // Raised outside the frame loop (the session's first pictures): the writer and the session
    // are gone already, and the old file is as it was.
    studio.FinishSession();
    out.Status = TGraphicRenderStatus::Failed;
    out.Message = kMsgRenderFailed;
    out.Detail = e.what();
  }
  return out;
}

}  // namespace vexa
