#include "graphic_render_cli.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <utility>

#include "media/movie_writer.h"
#include "media/video_codecs.h"
#include "movie_render_cli.h"
#include "model/project.h"
#include "render/graphic_render_command.h"
#include "render/random32.h"
#include "render/studio.h"
#include "stop_signals.h"

namespace vexa::app {

namespace {

bool ParseNumber(const char* text, int64_t min, int64_t max, int32_t& value) {
  try {
    size_t used = 0;
    const long long v = std::stoll(text, &used, 10);
    if (used != std::string(text).size() || v < min || v > max) return false;
    value = static_cast<int32_t>(v);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Progress on the standard error: a bar redrawn in place on a terminal, otherwise a plain line
// every tenth of the frames and at least once a second.
class TProgressDisplay : public TGraphicRenderMonitor {
 public:
  TProgressDisplay(std::ostream& out, bool terminal, uint32_t fps, const TStopSignals& signals, bool quiet)
      : out_(out), terminal_(terminal && !quiet), quiet_(quiet), fps_(fps), signals_(signals) {}

  void Started(uint32_t frameCount, const TVideoCodec&) override {
    start_ = lastLine_ = std::chrono::steady_clock::now();
    count_ = frameCount;
    const double seconds = fps_ ? static_cast<double>(frameCount) / fps_ : 0;
    // A project that runs for days is usually a mistake (an event ending at 4294967295 ms):
    // say so before the hours go by.
    if (seconds > kDaySeconds && !quiet_) {
      // One piece, so that a message of the signal watcher cannot land inside it.
      std::ostringstream notice;
      notice << "vexa-render: the project is " << ClockText(seconds) << " long (" << frameCount
             << " frames at " << fps_ << " fps); Ctrl+C stops the render and keeps the frames so far\n";
      out_ << notice.str() << std::flush;
    }
  }
  void FrameWritten(uint32_t written, uint32_t frameCount) override {
    if (quiet_) return;
    const auto now = std::chrono::steady_clock::now();
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double fps = elapsed > 0 ? written / elapsed : 0;
    const double left = fps > 0 ? (frameCount - written) / fps : 0;
    std::ostringstream line;
    line << "frame " << written << " of " << frameCount << "  " << std::fixed << std::setprecision(1) << fps
         << " fps  " << ClockText(left) << " left";
    if (terminal_) {
      const int width = 30;
      const int filled = frameCount ? static_cast<int>(int64_t{width} * written / frameCount) : width;
      out_ << "\r[" << std::string(filled, '#') << std::string(width - filled, '.') << "] " << line.str()
           << "   " << std::flush;
      if (written == frameCount) out_ << '\n';
    } else {
      const uint32_t step = std::max<uint32_t>(frameCount / 10, 1);
      if (written % step == 0 || written == frameCount || now - lastLine_ >= std::chrono::seconds(1)) {
        out_ << line.str() + '\n' << std::flush;
        lastLine_ = now;
      }
    }
    last_ = written;
  }
  bool StopRequested() override { return signals_.StopRequested(); }
  // Ends a bar that stopped before the last frame.
  void Finish() {
    if (terminal_ && last_ != count_) out_ << '\n';
  }

 private:
  static constexpr double kDaySeconds = 86400;
  std::ostream& out_;
  bool terminal_;
  bool quiet_;
  uint32_t fps_;
  const TStopSignals& signals_;
  std::chrono::steady_clock::time_point start_, lastLine_;
  uint32_t count_ = 0, last_ = 0;
};

}  // namespace

std::string ClockText(double seconds) {
  const auto s = static_cast<int64_t>(seconds + 0.5);
  std::ostringstream o;
  if (s >= 3600)
    o << s / 3600 << ':' << std::setw(2) << std::setfill('0') << s / 60 % 60 << ':';
  else
    o << s / 60 << ':';
  o << std::setw(2) << std::setfill('0') << s % 60;
  return o.str();
}

void GraphicRenderUsageLines(std::ostream& out) {
  out << "       vexa-render PROJECT.vxpj -o OUT.avi [--codec NAME] [--quality N] [--keyint N]\n"
         "                   [--bytes-per-second N] [--frames A-B] [--seed N] [-q]\n"
         "       vexa-render PROJECT.vxpj -o OUT.mp4|OUT.mkv|OUT.mov [--codec NAME] [--quality N]\n"
         "                   [--keyint N] [--frames A-B] [--seed N] [-q]\n"
         "       vexa-render PROJECT.vxpj --still T OUT.png [--seed N]\n"
         "       vexa-render --list-codecs | --version\n";
}

void GraphicRenderOptionHelp(std::ostream& out) {
  out << "  -o OUT.avi      render the pictures of PROJECT into the AVI file OUT (no sound: see\n"
         "                  --wav); the file appears only when it is complete\n"
         "  --codec NAME    the video codec (see --list-codecs); without it a widely playable\n"
         "                  compressed codec is used and named; \"uncompressed\" stores the frames as\n"
         "                  24-bit bottom-up BI_RGB rows\n"
         "  --quality N     codec quality 0 ... 10000 (default 10000, the best)\n"
         "  --keyint N      a key frame every N frames (default: 8 seconds of frames)\n"
         "  --bytes-per-second N\n"
         "                  target data rate (default 102400); 0 lets the quality alone decide\n"
         "  --list-codecs   print the codec names and how each uses quality and data rate\n"
         "  Progress goes to the standard error: a bar with frame k of N, frames per second and\n"
         "  the time left on a terminal, plain lines otherwise (at least one a second). Ctrl+C,\n"
         "  SIGTERM or SIGHUP stops the render and keeps the frames so far as a playable file\n"
         "  (exit status 128 + the signal's number: 130 for Ctrl+C); a second one stops at once\n"
         "  and leaves the old OUT as it was. Exit status 0 means every frame was written, 1 a\n"
         "  failure, 2 a bad option.\n";
  OutputOptionHelp(out);
}

bool TakeGraphicRenderOption(int argc, char** argv, int& i, TGraphicRenderArgs& args, std::string& error) {
  const std::string a = argv[i];
  const bool hasValue = i + 1 < argc;
  auto number = [&](int64_t min, int64_t max, std::optional<int32_t>& target) {
    int32_t v = 0;
    if (!hasValue || !ParseNumber(argv[i + 1], min, max, v)) {
      error = a + " needs a whole number from " + std::to_string(min) + " to " + std::to_string(max);
    } else {
      target = v;
      ++i;
    }
    return true;
  };
  if (a == "-o" || a == "--output") {
    if (!hasValue)
      error = a + " needs a file name";
    else
      args.Output = argv[++i];
    return true;
  }
  if (a == "--codec") {
    if (!hasValue)
      error = "--codec needs a name (see --list-codecs)";
    else
      args.Codec = argv[++i];
    return true;
  }
  if (a == "--quality") return number(0, kMaxQuality, args.Quality);
  if (a == "--keyint") return number(0, INT32_MAX, args.KeyInterval);
  if (a == "--bytes-per-second") return number(0, INT32_MAX, args.BytesPerSecond);
  if (a == "--list-codecs") {
    args.ListCodecs = true;
    return true;
  }
  return false;
}

void PrintCodecList(std::ostream& out) {
  const TVideoCodec& def = DefaultCompressedCodec();
  for (const TVideoCodec* c : AvailableVideoCodecs()) {
    out << std::left << std::setw(14) << c->Name << c->Title << (c == &def ? "  [default]" : "") << '\n'
        << std::setw(14) << "" << c->QualityMapping << '\n';
  }
}

int RunGraphicRender(TVexaStudio& studio, const TGraphicRenderArgs& args, std::ostream& out,
                     std::ostream& err, TStopSignals& signals) {
  if (MovieContainerOf(*args.Output)) {
    TProgressDisplay progress(err, ::isatty(STDERR_FILENO) != 0, studio.Project.FPS, signals, args.Quiet);
    const int status = RunMovieRender(studio, args, progress, out, err, signals);
    progress.Finish();
    return status;
  }
  const TVideoCodec* codec = args.Codec.empty() ? &DefaultCompressedCodec() : FindVideoCodec(args.Codec);
  if (!codec || !VideoCodecAvailable(*codec)) {
    err << "vexa-render: unknown or unavailable codec \"" << args.Codec << "\"; these work:\n";
    PrintCodecList(err);
    return 2;
  }
  const TProject& project = studio.Project;
  TCodecOptions options = DefaultCodecOptions(static_cast<int32_t>(project.FPS));
  options.Handler = std::string(codec->Name);
  if (args.Quality) options.Quality = *args.Quality;
  if (args.KeyInterval) options.KeyFrameEvery = *args.KeyInterval;
  if (args.KeyInterval && *args.KeyInterval == 0) options.Flags &= ~kCompressKeyFrames;
  if (args.BytesPerSecond) options.BytesPerSecond = *args.BytesPerSecond;
  if (args.BytesPerSecond && *args.BytesPerSecond == 0) options.Flags &= ~kCompressDataRate;
  if (args.Codec.empty() && !args.Quiet)
    out << "codec: " << codec->Name << " (" << codec->Title << "; --codec chooses another)\n";

  QuietCodecLogs();
  TFixedCodecChoice choice(options);
  TProgressDisplay progress(err, ::isatty(STDERR_FILENO) != 0, project.FPS, signals, args.Quiet);
  if (args.Seed) SeedRandom32(*args.Seed);
  const TGraphicRenderOutcome outcome =
      RunGraphicRenderCommand(studio, *args.Output, choice, &progress, &signals, args.Frames);
  progress.Finish();

  if (!outcome.Written()) {
    err << outcome.FileName << ": " << outcome.Message;
    if (!outcome.Detail.empty()) err << " (" << outcome.Detail << ")";
    err << '\n';
    return 1;
  }
  std::error_code ec;
  const auto bytes = std::filesystem::file_size(outcome.FileName, ec);
  if (!args.Quiet)
    out << outcome.FileName << ": " << outcome.Message << '\n'
      << "  codec " << outcome.Codec->Name << " (" << outcome.Codec->FourCC << "), " << project.Width << " x "
      << project.Height << ", " << outcome.FramesWritten << " frames at " << project.FPS << " fps, "
      << std::fixed << std::setprecision(3)
      << static_cast<double>(outcome.FramesWritten) / std::max<uint32_t>(project.FPS, 1) << " s, "
      << (ec ? 0 : bytes) << " bytes\n";
  return outcome.Status == TGraphicRenderStatus::Finished ? 0 : signals.ExitStatus();
}

}  // namespace vexa::app
