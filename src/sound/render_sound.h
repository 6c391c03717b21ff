// The sound render: every sound event of a project mixed into one 44.1 kHz 16-bit stereo WAV.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexa {

struct TProject;
class TTempFileWatch;
class TWarningSink;

inline constexpr uint32_t kMixSampleRate = 44100;

// Frames of the mix for a project whose last sound event ends at maxEndTime ms: one second
// more than that, at 44.1 kHz.
uint64_t MixFrames(uint32_t maxEndTime);

// Decodes the chosen stretch of each sound event's file, fits it to the event's span, applies
// its volume and balance envelopes, places it in one mix at the event's start, brings the mix
// to full scale and writes it to fileName (an existing file is replaced only once the new one
// is complete).
// False, and no file, when the project has no sound layer or no sound event ends after time 0.
// Raises EAuException when a codec is missing, and ESoundError when the mix would not fit in
// memory or in a WAV file, or when the file cannot be written; the file that was there then
// stays as it was.
bool RenderSound(const TProject& project, const std::string& fileName);

// What a caller may hand the render besides the project and the file name; every member is
// optional and borrowed.
struct TSoundRenderHooks {
  // Told once per sound file that plays despite damage (a stretch skipped, a file cut short).
  TWarningSink* Warnings = nullptr;
  // Asked between events, between decoded blocks and, from the writer's thread, between the
  // blocks it writes; true ends the render without writing the file (the file that was there
  // stays as it was).
  std::function<bool()> StopRequested;
  // Told about the temporary file the writer makes.
  TTempFileWatch* TempFiles = nullptr;
};

enum class TSoundRenderResult {
  Written,
  NothingToRender,  // no sound layer, or no sound event ends after time 0; no file written
  Stopped,          // StopRequested said so; no file written
};

// RenderSound with hooks; raises as above.
TSoundRenderResult RenderSound(const TProject& project, const std::string& fileName,
                               const TSoundRenderHooks& hooks);

// The mix RenderSound writes, normalised, as interleaved 16-bit stereo frames at 44.1 kHz
// (MixFrames of the last end long): Written when mix holds it, otherwise as RenderSound (mix is
// then empty or partial). Raises as RenderSound does.
TSoundRenderResult MixProjectSound(const TProject& project, std::vector<int16_t>& mix,
                                   const TSoundRenderHooks& hooks = {});
// Writes frames of such a mix as a WAV file, replacing an existing one only once complete:
// Written or Stopped; raises ESoundError when it cannot.
TSoundRenderResult WriteMixWave(const int16_t* samples, uint64_t frames, const std::string& fileName,
                                const TSoundRenderHooks& hooks = {});

// Why the project has no sound to render, in words; empty when it has some.
std::string NoSoundReason(const TProject& project);

}  // namespace vexa
