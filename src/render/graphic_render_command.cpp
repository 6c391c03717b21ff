#include "render/graphic_render_command.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>

#include "model/project.h"
#include "persist/cp932.h"
#include "model/output_guard.h"
#include "render/render_loop.h"
#include "render/numeric.h"
#include "render/studio.h"

namespace vexa {

namespace {

constexpr size_t kMaxStreamName = 63;

bool IsCp932Lead(uint8_t c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// The first bytes of a code page 932 text, at most max, without splitting a character.
std::string CutCp932(const std::string& s, size_t max) {
  size_t i = 0;
  while (i < s.size()) {
    const size_t n = IsCp932Lead(static_cast<uint8_t>(s[i])) ? 2 : 1;
    if (i + n > max) break;
    i += n;
  }
  return s.substr(0, std::min(i, s.size()));
}

// The same for UTF-8 (names that code page 932 cannot hold stay UTF-8).
std::string CutUtf8(const std::string& s, size_t max) {
  if (s.size() <= max) return s;
  size_t i = max;
  while (i > 0 && (static_cast<uint8_t>(s[i]) & 0xC0) == 0x80)
    --i;
  return s.substr(0, i);
}

// Ends the session on every path, exceptions included.
class TSessionGuard {
 public:
  explicit TSessionGuard(TVexaStudio& studio) : studio_(studio) {}
  ~TSessionGuard() { studio_.FinishSession(); }
  TSessionGuard(const TSessionGuard&) = delete;
  TSessionGuard& operator=(const TSessionGuard&) = delete;

 private:
  TVexaStudio& studio_;
};

void RenderInto(TVexaStudio& studio, TCodecChoice& choice, TGraphicRenderMonitor* monitor,
                TTempFileWatch* tempFiles, const TFrameRange& range, TGraphicRenderOutcome& out) {
  if (const auto input = InputAtOutput(studio.Project, out.FileName)) {
    out.Status = TGraphicRenderStatus::OutputIsInput;
    out.Message = kMsgOutputIsInput;
    out.Detail = OutputIsInputDetail(out.FileName, *input);
    return;
  }
  // Refused before the codec choice and before any file is made.
  if (std::string why = GraphicRenderSizeProblem(studio.Project); !why.empty()) {
    out.Status = TGraphicRenderStatus::OpenFailed;
    out.Message = kMsgAviOpenFailed;
    out.ErrorCode = kAviBadSettings;
    out.Detail = std::move(why);
    return;
  }

  TAVICompressor writer;
  writer.Chooser = &choice;
  writer.TempFiles = tempFiles;
  const int32_t openResult = writer.Open(out.FileName, GraphicRenderSettings(studio.Project));
  if (openResult != 0) {
    out.Status = TGraphicRenderStatus::OpenFailed;
    out.Message = kMsgAviOpenFailed;
    out.ErrorCode = openResult;
    out.Detail = AviErrorText(openResult);
    return;
  }
  // An error raised on the way drops the file instead of finishing it over the old one.
  struct TAbandonOnExit {
    TAVICompressor& Writer;
    ~TAbandonOnExit() { Writer.Abandon(); }
  } abandon{writer};
  out.Codec = writer.Codec();
  out.Options = writer.Options();

  TSessionGuard session(studio);
  if (!studio.PrepareSession()) {
    // Nothing to render: the old file (if any) stays; no empty movie replaces it.
    writer.Abandon();
    out.Status = TGraphicRenderStatus::NoFrames;
    out.Message = kMsgRenderInitFailed;
    out.Detail = NoFramesReason(studio.Project);
    return;
  }
  uint32_t first = 0, end = 0;
  if (!ClipFrameRange(range, studio.FrameCount, first, end)) {
    writer.Abandon();
    out.Status = TGraphicRenderStatus::NoFrames;
    out.Message = kMsgRangeOutside;
    out.Detail = "the project has frames 0 to " + std::to_string(studio.FrameCount - 1);
    return;
  }
  out.FrameCount = end - first;
  if (monitor) monitor->Started(out.FrameCount, *writer.Codec());

  // Composition goes on while the writer encodes the frame before.
  const TFrameLoopResult loop =
      RunFrameLoop(studio, first, end, [&](const TABitmap& frame) { return writer.WriteFrame(frame); }, monitor);
  studio.FinishSession();
  out.Status = loop.Status;
  out.FramesWritten = loop.FramesWritten;
  out.Detail = loop.Detail;
  switch (loop.Status) {
    case TGraphicRenderStatus::Finished:
      out.Message = kMsgGraphicRenderDone;
      break;
    case TGraphicRenderStatus::Cancelled:
      out.Message = kMsgRenderCancelled;
      break;
    case TGraphicRenderStatus::WriteFailed:
      out.Message = kMsgFrameWriteFailed;
      out.ErrorCode = loop.ErrorCode;
      out.Detail = AviErrorText(loop.ErrorCode);
      break;
    default:
      out.Message = kMsgRenderFailed;
      break;
  }

  if (!out.Written()) {
    writer.Abandon();
    return;
  }
  const int32_t closed = writer.Close();
  if (closed != 0) {
    out.Status = TGraphicRenderStatus::WriteFailed;
    out.Message = kMsgFrameWriteFailed;
    out.ErrorCode = closed;
    out.Detail = AviErrorText(closed);
  }
}

}  // namespace

std::string GraphicRenderFileName(const std::string& chosen) {
  std::string ext = std::filesystem::path(chosen).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".avi" ? chosen : chosen + ".avi";
}

TAVIWriteSettings GraphicRenderSettings(const TProject& project) {
  TAVIWriteSettings s;
  s.Width = static_cast<int32_t>(project.Width);
  s.Height = static_cast<int32_t>(project.Height);
  s.Handler.clear();
  s.Quality = kDefaultQuality;
  s.Rate = static_cast<int32_t>(project.FPS);
  std::string name;
  s.StreamName = Utf8ToCp932(project.ProjectName, name) ? CutCp932(name, kMaxStreamName)
                                                        : CutUtf8(project.ProjectName, kMaxStreamName);
  s.KeyFrameEvery = static_cast<int32_t>(project.FPS) * kDefaultKeyFrameSeconds;
  s.BytesPerSecond = kDefaultBytesPerSecond;
  s.CompressFlags = kDefaultCompressFlags;
  s.Compress = 1;
  s.ShowOptions = 1;
  s.BitCount = 24;
  return s;
}

std::string GraphicRenderSizeProblem(const TProject& project) {
  const uint64_t w = project.Width, h = project.Height;
  if (w >= 1 && h >= 1 && w <= kMaxBitmapSide && h <= kMaxBitmapSide && w * h <= kMaxBitmapPixels) return {};
  return "the picture size " + std::to_string(w) + " x " + std::to_string(h) +
         " is more than a picture can hold: 1 to " + std::to_string(kMaxBitmapSide) + " pixels a side, " +
         std::to_string(kMaxBitmapPixels) + " pixels in all";
}

std::string NoFramesReason(const TProject& project) {
  if (project.FPS == 0) return "the frame rate is 0";
  if (project.GraphicLayers.Empty()) return "the project has no graphic layers";
  uint32_t lastEnd = 0;
  bool any = false;
  for (const auto& layer : project.GraphicLayers)
    for (int s = 0; s < SourceSlotCount; ++s)
      for (const TEvent* e : layer->Slots[static_cast<size_t>(s)]) {
        any = true;
        lastEnd = std::max(lastEnd, e->EndTime);
      }
  if (!any) return "no graphic layer has a source event (text, picture, movie or master)";
  if (Round(static_cast<double>(lastEnd) / (1000.0 / project.FPS)) == 0)
    return "every source event ends within the first half frame";
  return {};
}

TGraphicRenderOutcome RunGraphicRenderCommand(TVexaStudio& studio, const std::string& chosen,
                                              TCodecChoice& choice, TGraphicRenderMonitor* monitor,
                                              TTempFileWatch* tempFiles, const TFrameRange& range) {
  TGraphicRenderOutcome out;
  out.FileName = GraphicRenderFileName(chosen);
  try {
    RenderInto(studio, choice, monitor, tempFiles, range, out);
  } catch (const std::exception& e) {
    // Raised outside the frame loop (the writer's set-up, the session's first pictures): the
    // writer and the session are gone already, and the old file is as it was.
    out.Status = TGraphicRenderStatus::Failed;
    out.Message = kMsgRenderFailed;
    out.Detail = e.what();
  }
  return out;
}

}  // namespace vexa
