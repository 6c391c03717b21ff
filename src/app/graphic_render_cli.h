// The graphic render of vexa-render: its options, the codec list, the progress display and
// Ctrl+C as the stop button.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "render/frame_range.h"

namespace vexa {
class TVexaStudio;
}

namespace vexa::app {

class TStopSignals;

struct TGraphicRenderArgs {
  std::optional<std::string> Output;  // -o OUT.avi
  std::string Codec;                  // --codec NAME; empty = the default compressed codec
  std::optional<int32_t> Quality, KeyInterval, BytesPerSecond;
  bool ListCodecs = false;
  TFrameRange Frames;                  // --frames A-B
  std::optional<uint32_t> Seed;        // --seed N
  std::optional<std::string> StillTime, StillFile;  // --still T OUT.png
  bool Quiet = false;                  // -q: errors only
};

// The usage lines of the graphic render, and the help of its options.
void GraphicRenderUsageLines(std::ostream& out);
void GraphicRenderOptionHelp(std::ostream& out);
// True when argv[i] is one of the graphic render options; it and its value are then consumed
// (i moves to the last argument used). A bad value sets error.
bool TakeGraphicRenderOption(int argc, char** argv, int& i, TGraphicRenderArgs& args, std::string& error);
// The names --codec takes, one per line with what each does.
void PrintCodecList(std::ostream& out);
// Renders the pictures of studio's project to args.Output; the exit status (0 only when every frame was
// written, 128 + the signal's number when stopped by one (130 for Ctrl+C), 1 on failure, 2 for a
// bad option).
int RunGraphicRender(TVexaStudio& studio, const TGraphicRenderArgs& args, std::ostream& out,
                     std::ostream& err, TStopSignals& signals);
// "1:02:03" (or "2:03" under an hour) of a number of seconds.
std::string ClockText(double seconds);

}  // namespace vexa::app
