#include "movie_render_cli.h"

#include <algorithm>

#include <filesystem>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <vector>

#include "graphic_render_cli.h"
#include "media/movie_writer.h"
#include "media/warning_sink.h"
#include "render_options.h"
#include "media/video_codecs.h"
#include "model/project.h"
#include "render/movie_render_command.h"
#include "render/random32.h"
#include "render/still_render_command.h"
#include "render/studio.h"
#include "sound/render_sound.h"
#include "sound/sound_render_command.h"
#include "stop_signals.h"

namespace vexa::app {

namespace {

std::string Seconds(uint64_t frames, uint32_t fps) {
  std::ostringstream o;
  o << std::fixed << std::setprecision(3) << static_cast<double>(frames) / std::max<uint32_t>(fps, 1) << " s";
  return o.str();
}

void SeedIfAsked(const TGraphicRenderArgs& args) {
  if (args.Seed) SeedRandom32(*args.Seed);
}

// Damage worked around while decoding sound, as it is met.
class TStderrWarnings : public TWarningSink {
 public:
  void Warn(const std::string& text) override { std::cerr << "vexa-render: warning: " + text + '\n'; }
};

TSoundRenderHooks SoundHooks(TStopSignals& signals, TWarningSink& warnings) {
  TSoundRenderHooks hooks;
  hooks.Warnings = &warnings;
  hooks.StopRequested = [&signals] { return signals.StopRequested(); };
  hooks.TempFiles = &signals;
  return hooks;
}

}  // namespace

std::string_view AcceptedOutputs() {
  return ".avi, .mp4, .mkv, .mov";
}

bool TakeOutputOption(int argc, char** argv, int& i, TGraphicRenderArgs& args, std::string& error) {
  const std::string_view a = argv[i];
  const bool hasValue = i + 1 < argc;
  if (a == "--frames") {
    if (!hasValue || !ParseFrameRange(argv[i + 1], args.Frames))
      error = "--frames needs A-B, A- or -B (frames counted from 0, A <= B)";
    else
      ++i;
    return true;
  }
  if (a == "--seed") {
    uint64_t v = 0;
    if (!hasValue || !ParseUnsigned(argv[i + 1], UINT32_MAX, v)) {
      error = "--seed needs a whole number from 0 to 4294967295";
    } else {
      args.Seed = static_cast<uint32_t>(v);
      ++i;
    }
    return true;
  }
  if (a == "--still") {
    if (i + 2 >= argc) {
      error = "--still needs a time and a file name: --still T OUT.png";
    } else {
      args.StillTime = argv[++i];
      args.StillFile = argv[++i];
    }
    return true;
  }
  if (a == "-q" || a == "--quiet") {
    args.Quiet = true;
    return true;
  }
  return false;
}

void OutputOptionHelp(std::ostream& out) {
  out << "  -o OUT.mp4|OUT.mkv|OUT.mov\n"
         "                  one finished file with the pictures and the project's sound (AAC, 192\n"
         "                  kbit/s, cut to the pictures' length; none when the project has no\n"
         "                  sound). The codec is H.264 unless --codec names another that the\n"
         "                  container takes. Constant quality, no data rate cap:\n";
  for (const TVideoCodec* c : AvailableVideoCodecs())
    if (MovieContainerTakes(TMovieContainer::Matroska, *c))
      out << "                    " << std::left << std::setw(8) << c->Name << MovieQualityMapping(*c) << '\n';
  out << "                  (the default --quality 10000 gives CRF 18 for H.264). MP4 and MOV files\n"
         "                  carry their index at the front. --bytes-per-second applies to AVI only.\n"
         "                  Any other extension than .avi, .mp4, .mkv, .mov is refused.\n"
         "  --frames A-B    render frames A to B only (counted from 0; \"A-\" to the end, \"-B\" from the\n"
         "                  start), to any output; the sound in the file, and --wav, cover the same\n"
         "                  stretch. The frames before A are composed but not written, so each\n"
         "                  piece holds exactly the frames of the whole render (with --seed).\n"
         "  --still T OUT.png\n"
         "                  write the frame shown at time T (seconds, \"12.5\", or h:mm:ss.mmm) as\n"
         "                  a PNG picture: the frame the AVI holds, background included\n"
         "  --seed N        seed the random source (noise and vibration effects) with N: the same\n"
         "                  project and seed give the same pictures, also rendered in pieces.\n"
         "                  Without it the source is seeded from the clock and renders differ.\n"
         "  -q, --quiet     print errors only\n"
         "  --version       print the program's version\n"
         "  Replacing files: an existing output file is replaced only when the render finishes,\n"
         "  or when it is stopped with Ctrl+C (the file then holds the frames so far). A render\n"
         "  that fails never touches an existing file; neither does a stop before the first\n"
         "  frame of a movie.\n";
}

int RunMovieRender(TVexaStudio& studio, const TGraphicRenderArgs& args, TGraphicRenderMonitor& monitor,
                   std::ostream& out, std::ostream& err, TStopSignals& signals) {
  const TVideoCodec* codec = args.Codec.empty() ? &DefaultCompressedCodec() : FindVideoCodec(args.Codec);
  const auto container = MovieContainerOf(*args.Output);
  if (!codec || !VideoCodecAvailable(*codec) || !MovieContainerTakes(*container, *codec)) {
    err << "vexa-render: " << *args.Output << ": the codec \"" << (codec ? codec->Name : args.Codec)
        << "\" cannot go into a " << MovieContainerName(*container) << " file; these can:\n";
    for (const TVideoCodec* c : AvailableVideoCodecs())
      if (MovieContainerTakes(*container, *c)) err << "  " << c->Name << '\n';
    return 2;
  }
  const TProject& project = studio.Project;
  TMovieRenderRequest request;
  request.FileName = *args.Output;
  request.Video.Codec = std::string(codec->Name);
  if (args.Quality) request.Video.Quality = *args.Quality;
  if (args.KeyInterval) request.Video.KeyFrameEvery = *args.KeyInterval;
  request.Frames = args.Frames;
  TStderrWarnings warnings;
  const TSoundRenderHooks hooks = SoundHooks(signals, warnings);
  // A mix stopped by a signal gives no sound; the frame loop then stops before the first frame.
  request.MixSound = [&project, &hooks](std::vector<int16_t>& mix) {
    return MixProjectSound(project, mix, hooks) == TSoundRenderResult::Written;
  };
  request.TempFiles = &signals;
  QuietCodecLogs();
  SeedIfAsked(args);
  const TMovieRenderOutcome outcome = RunMovieRenderCommand(studio, request, &monitor);
  if (!outcome.OnDisk()) {
    err << outcome.FileName << ": " << outcome.Message;
    if (!outcome.Detail.empty()) err << " (" << outcome.Detail << ")";
    err << '\n';
    return outcome.Status == TGraphicRenderStatus::Cancelled ? signals.ExitStatus() : 1;
  }
  if (!args.Quiet) {
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(outcome.FileName, ec);
    out << outcome.FileName << ": " << outcome.Message << '\n'
        << "  " << MovieContainerName(*container) << ", " << outcome.Codec->Name << ", " << project.Width << " x "
        << project.Height << ", frames " << outcome.FirstFrame << " to "
        << outcome.FirstFrame + outcome.FramesWritten - 1 << " (" << outcome.FramesWritten << " at " << project.FPS
        << " fps, " << Seconds(outcome.FramesWritten, project.FPS) << "), "
        << (outcome.SoundFrames ? "AAC sound of " + Seconds(outcome.SoundFrames, kMovieSoundRate) : "no sound")
        << ", " << (ec ? 0 : bytes) << " bytes\n";
  }
  return outcome.Status == TGraphicRenderStatus::Finished ? 0 : signals.ExitStatus();
}

int RunStillRender(TVexaStudio& studio, const std::string& time, const std::string& file,
                   const TGraphicRenderArgs& args, std::ostream& out, std::ostream& err, TStopSignals& signals) {
  uint64_t ms = 0;
  if (!ParseTimeText(time, ms)) {
    err << "vexa-render: --still needs a time in seconds (12.5) or h:mm:ss.mmm, not \"" << time << "\"\n";
    return 2;
  }
  QuietCodecLogs();  // movie sources decode through FFmpeg
  SeedIfAsked(args);
  const uint32_t frame = FrameAtTime(ms, studio.Project.FPS);
  const TStillRenderOutcome outcome = RunStillRenderCommand(studio, frame, file, &signals);
  if (!outcome.Written) {
    err << file << ": " << outcome.Message;
    if (!outcome.Detail.empty()) err << " (" << outcome.Detail << ")";
    err << '\n';
    return 1;
  }
  if (!args.Quiet) out << file << ": " << outcome.Message << " (frame " << frame << " of " << outcome.FrameCount << ")\n";
  return 0;
}

int RunSoundStretch(TVexaStudio& studio, const TGraphicRenderArgs& args, const std::string& chosen,
                    std::ostream& out, std::ostream& err, TStopSignals& signals) {
  const TProject& project = studio.Project;
  const std::string file = SoundRenderFileName(chosen);
  uint32_t first = 0, end = 0;
  const bool frames = studio.PrepareSession();
  const uint32_t count = studio.FrameCount;
  studio.FinishSession();
  if (!frames || !ClipFrameRange(args.Frames, count, first, end)) {
    err << file << ": " << kMsgRangeOutside << '\n';
    return 1;
  }
  TStderrWarnings warnings;
  const TSoundRenderHooks hooks = SoundHooks(signals, warnings);
  std::vector<int16_t> mix;
  TSoundRenderResult result = MixProjectSound(project, mix, hooks);
  if (result == TSoundRenderResult::NothingToRender) {
    err << file << ": " << kSoundRenderFailed << " (" << NoSoundReason(project) << ")\n";
    return 1;
  }
  const uint64_t from = SoundFrameOf(first, project.FPS), to = SoundFrameOf(end, project.FPS);
  if (result == TSoundRenderResult::Written) {
    mix.resize(std::max<size_t>(mix.size(), 2 * to), 0);  // silence where the mix is shorter
    result = WriteMixWave(mix.data() + 2 * from, to - from, file, hooks);
  }
  if (result == TSoundRenderResult::Stopped) {
    err << file << ": " << kSoundRenderCancelled << '\n';
    return signals.ExitStatus();
  }
  if (!args.Quiet)
    out << file << ": " << kSoundRenderDone << " (frames " << first << " to " << end - 1
        << ", " << Seconds(to - from, kMovieSoundRate) << ")\n";
  return 0;
}

}  // namespace vexa::app
