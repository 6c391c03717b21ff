// The graphic render command: composes every frame of the project and writes it into an AVI
// file. The command-line renderer calls it now; the editor's menu item calls it the same way,
// answering the codec choice with its dialog and the progress with its progress window.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/avi_writer.h"
#include "media/temp_file_watch.h"
#include "media/video_codecs.h"
#include "render/frame_range.h"

namespace vexa {

class TVexaStudio;
struct TProject;

inline constexpr std::string_view kMsgAviOpenFailed = "AVIの初期化に失敗しました。";
inline constexpr std::string_view kMsgRenderInitFailed = "レンダリングの初期化中にエラーが発生しました。";
inline constexpr std::string_view kMsgGraphicRenderDone = "グラフィックのレンダリングは正常終了しました。";
inline constexpr std::string_view kMsgRenderCancelled = "キャンセルされました。";
inline constexpr std::string_view kMsgFrameWriteFailed = "フレームの書き込みに失敗しました。";
inline constexpr std::string_view kMsgRenderFailed = "レンダリング中にエラーが発生しました。";

// The chosen name with ".avi" appended unless it already ends in ".avi" (any letter case).
std::string GraphicRenderFileName(const std::string& chosen);

// The writer settings of the command for a project: its size and frame rate, 24-bit frames,
// its name as the stream name (code page 932, at most 63 bytes), the codec defaults, and the
// codec asked for through the codec choice.
TAVIWriteSettings GraphicRenderSettings(const TProject& project);

// Why the project's picture size cannot be rendered (zero, or more than a picture of the
// engine holds); empty when it can.
std::string GraphicRenderSizeProblem(const TProject& project);
// Why a session of the project has no frames, in words; empty when it has some.
std::string NoFramesReason(const TProject& project);

// Progress of a render, reported between frames; StopRequested is asked before every frame.
class TGraphicRenderMonitor {
 public:
  virtual ~TGraphicRenderMonitor() = default;
  virtual void Started(uint32_t frameCount, const TVideoCodec& codec) { (void)frameCount, (void)codec; }
  virtual void FrameWritten(uint32_t written, uint32_t frameCount) { (void)written, (void)frameCount; }
  virtual bool StopRequested() { return false; }
};

enum class TGraphicRenderStatus {
  Finished,       // every frame written
  Cancelled,      // stopped; the frames so far are in a complete file
  OpenFailed,     // codec choice cancelled, a size the engine cannot hold, or the writer could not
                  // start; nothing on disk changed
  OutputIsInput,  // the chosen file is one the project reads; nothing on disk changed
  NoFrames,       // the project has nothing to render; nothing on disk changed
  WriteFailed,    // a frame or the file could not be written; nothing on disk changed
  Failed,         // an error while composing a frame; nothing on disk changed
};

struct TGraphicRenderOutcome {
  TGraphicRenderStatus Status = TGraphicRenderStatus::Failed;
  std::string FileName;  // the name written (after the ".avi" rule)
  std::string Message;   // the message to show
  std::string Detail;    // the reason behind a failure, for logs and the command line
  int32_t ErrorCode = 0;
  uint32_t FramesWritten = 0;
  uint32_t FrameCount = 0;
  const TVideoCodec* Codec = nullptr;
  TCodecOptions Options;
  // True when the file on disk is the render's (finished or stopped).
  bool Written() const {
    return Status == TGraphicRenderStatus::Finished || Status == TGraphicRenderStatus::Cancelled;
  }
};

// Renders studio's project to the chosen name. The file appears under that name only when it
// is complete; a failure leaves an existing file of that name as it was. A name that reaches
// one of the project's own files, and a picture size the engine cannot hold, are refused before
// anything is made. Errors of the engine end the render as Failed; none is raised. tempFiles
// (may be nullptr) is told about the file being written.
// range: frames First ... Last only (those before are composed, not written, so that the frames
// written are exactly those of the whole render).
TGraphicRenderOutcome RunGraphicRenderCommand(TVexaStudio& studio, const std::string& chosen,
                                              TCodecChoice& choice, TGraphicRenderMonitor* monitor = nullptr,
                                              TTempFileWatch* tempFiles = nullptr, const TFrameRange& range = {});

}  // namespace vexa
