// What vexa-render adds around the AVI render: finished movie files with sound, stretches of
// frames, stills, a fixed seed for the random source, and the option texts for them.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "render/frame_range.h"

namespace vexa {
class TVexaStudio;
class TGraphicRenderMonitor;
}  // namespace vexa

namespace vexa::app {

struct TGraphicRenderArgs;
class TStopSignals;

// The output kinds -o takes, for messages: ".avi, .mp4, .mkv, .mov".
std::string_view AcceptedOutputs();

// When argv[i] is --frames, --seed or -q/--quiet it and its value are consumed into args (a bad
// value sets error) and true is returned.
bool TakeOutputOption(int argc, char** argv, int& i, TGraphicRenderArgs& args, std::string& error);
void OutputOptionHelp(std::ostream& out);

// Renders to the MP4, Matroska or QuickTime file args.Output with the project's sound; progress
// and the stop request through monitor. The exit status as RunGraphicRender's.
// signals: the stop request of the sound mix and the watch over temporary files.
int RunMovieRender(TVexaStudio& studio, const TGraphicRenderArgs& args, TGraphicRenderMonitor& monitor,
                   std::ostream& out, std::ostream& err, TStopSignals& signals);
// Writes the frame at time text as a PNG; the exit status (0, 1, or 2 for a bad time).
int RunStillRender(TVexaStudio& studio, const std::string& time, const std::string& file,
                   const TGraphicRenderArgs& args, std::ostream& out, std::ostream& err, TStopSignals& signals);
// Writes the sound of the frames args.Frames asks for as a WAV; the exit status.
int RunSoundStretch(TVexaStudio& studio, const TGraphicRenderArgs& args, const std::string& file,
                    std::ostream& out, std::ostream& err, TStopSignals& signals);

}  // namespace vexa::app
