// The finished-file render: the pictures of a project, or a stretch of its frames, with its
// sound in one MP4, Matroska or QuickTime file. The command-line renderer calls it; the editor's
// render menu calls it the same way, with its progress window as the monitor.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "media/movie_writer.h"
#include "render/graphic_render_command.h"
#include "render/render_loop.h"

namespace vexa {

class TVexaStudio;

inline constexpr std::string_view kMsgMovieOpenFailed = "動画ファイルの初期化に失敗しました。";
inline constexpr std::string_view kMsgMovieRenderDone = "動画のレンダリングは正常終了しました。";
inline constexpr std::string_view kMsgSoundMixFailed = "サウンドのレンダリング中に異常が発生しました。";

// The first sound frame (44.1 kHz) of a picture frame: frame * 44100 / fps, rounded. The sound of
// frames [a, b) is [SoundFrameOf(a), SoundFrameOf(b)), so pieces of a render meet exactly.
uint64_t SoundFrameOf(uint64_t frame, uint32_t fps);

struct TMovieRenderRequest {
  std::string FileName;  // ".mp4", ".mkv" or ".mov"
  TMovieWriteSettings Video;  // Codec, Quality, KeyFrameEvery; size, rate, title and sound are the command's
  TFrameRange Frames;
  // The project's whole sound mix, 44.1 kHz 16-bit interleaved stereo from time 0; false when
  // the project has no sound (the file then has pictures only). Errors are raised. Unset: no
  // sound is written.
  std::function<bool(std::vector<int16_t>& mix)> MixSound;
  // Told about the temporary file being written (borrowed; may be nullptr).
  TTempFileWatch* TempFiles = nullptr;
};

struct TMovieRenderOutcome : TGraphicRenderOutcome {
  uint32_t FirstFrame = 0;      // the first frame written, counted from 0
  uint64_t SoundFrames = 0;     // 44.1 kHz frames of sound written (0: no sound stream)
  // True when a file is on disk (a stop before the first frame leaves none).
  bool OnDisk() const { return Written() && FramesWritten > 0; }
};

// Renders studio's project as the request says. The file appears under its name only when it is
// complete (or stopped, with the frames so far); a failure leaves an existing file as it was. A
// name that reaches one of the project's own files is refused before anything is made. Errors of
// the engine end the render as Failed; none is raised.
TMovieRenderOutcome RunMovieRenderCommand(TVexaStudio& studio, const TMovieRenderRequest& request,
                                          TGraphicRenderMonitor* monitor = nullptr);

}  // namespace vexa
