#include "sound/render_sound.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <set>
#include <vector>

#include "media/audio_converter.h"
#include "media/audio_open.h"
#include "media/audio_stream_in.h"
#include "media/warning_sink.h"
#include "model/project.h"
#include "sound/event_plan.h"
#include "sound/gain_ramp.h"
#include "sound/level.h"
#include "sound/memory_available.h"
#include "sound/mix_into.h"
#include "sound/resample_nearest.h"
#include "sound/reverse_frames.h"
#include "sound/sample_block.h"
#include "sound/sound_error.h"
#include "sound/wave_out.h"

namespace vexa {
namespace {

constexpr size_t kFrameBytes = 4;
// A block quieter than this after mixing is doubled back to its level.
constexpr uint32_t kDoubleBelow = 0x3FFF;

bool FileExists(const std::string& name) {
  std::error_code ec;
  return !name.empty() && std::filesystem::exists(name, ec) && !std::filesystem::is_directory(name, ec);
}

// hh:mm:ss.mmm of a length in milliseconds.
std::string Duration(uint64_t ms) {
  char text[48];
  std::snprintf(text, sizeof text, "%02llu:%02llu:%02llu.%03llu",
                static_cast<unsigned long long>(ms / 3600000),
                static_cast<unsigned long long>(ms / 60000 % 60),
                static_cast<unsigned long long>(ms / 1000 % 60), static_cast<unsigned long long>(ms % 1000));
  return text;
}

// Refuses a buffer that the system cannot give, before asking for it.
void CheckMemory(uint64_t bytes, const std::string& what) {
  const uint64_t available = AvailableMemoryBytes();
  if (available != 0 && bytes > available)
    throw ESoundError("Cannot render the sound: " + what + " needs " + std::to_string(bytes) +
                      " bytes of memory, and only " + std::to_string(available) + " bytes are available.");
}

// Ends the input's read on every path, failures included.
class TFlushGuard {
 public:
  explicit TFlushGuard(TAuInput& input) : input_(input) {}
  ~TFlushGuard() { input_.Flush(); }
  TFlushGuard(const TFlushGuard&) = delete;
  TFlushGuard& operator=(const TFlushGuard&) = delete;

 private:
  TAuInput& input_;
};

bool Stopping(const TSoundRenderHooks& hooks) {
  return hooks.StopRequested && hooks.StopRequested();
}

// Reads the planned stretch into block, fitted to TargetRate one delivered block at a time;
// false when asked to stop on the way.
bool ReadStretch(TAuInput& reading, uint32_t sampleRate, const TSoundEventPlan& plan, TSampleBlock& block,
                 const TSoundRenderHooks& hooks) {
  block.Clear();
  const uint64_t expected = plan.ExpectedBytes;
  CheckMemory(expected, "one sound event (" + std::to_string(expected / kFrameBytes) + " frames)");
  block.Reserve(static_cast<size_t>(expected));
  const double scale = static_cast<double>(plan.TargetRate) / sampleRate;
  reading.Init();
  TFlushGuard flush(reading);
  while (block.Bytes() < expected) {
    if (Stopping(hooks)) return false;
    const uint8_t* data = nullptr;
    const size_t asked = static_cast<size_t>(expected - block.Bytes());
    size_t bytes = asked;
    reading.GetData(data, bytes);
    if (bytes == 0 || data == nullptr) break;
    const bool full = bytes == asked;
    bytes -= bytes % kFrameBytes;
    if (plan.TargetRate == sampleRate) {
      std::memcpy(block.Append(bytes), data, bytes);
    } else {
      auto out = static_cast<size_t>(std::nearbyint(scale * static_cast<double>(bytes)));
      out -= out % kFrameBytes;
      // A whole request that shrinks to nothing means every later one does too (they can be no
      // larger): the rest of the stretch would add nothing, so it is not read.
      if (out == 0 && full) break;
      ResampleNearest(data, bytes, block.Append(out), out);
    }
  }
  return true;
}

// The decoder of a file for this render. The cache matches names without regard to letter
// case, but here "Take.wav" and "take.wav" may be two different files: a name that only
// matches another file's decoder in that way gets a decoder of its own.
class TRenderDecoders {
 public:
  TAuDecoder* Open(const std::string& name) {
    TAuDecoder* decoder = OpenDecoder(name, cache_);
    if (decoder == nullptr || decoder->FileName() == name) return decoder;
    std::error_code ec;
    if (std::filesystem::equivalent(decoder->FileName(), name, ec)) return decoder;
    for (const auto& own : own_)
      if (own->FileName() == name) return own.get();
    std::unique_ptr<TAuDecoder> made = OpenDecoder(name);
    if (!made) return nullptr;
    own_.push_back(std::move(made));
    return own_.back().get();
  }

 private:
  TDecoderCache cache_;
  std::vector<std::unique_ptr<TAuDecoder>> own_;
};

}  // namespace

uint64_t MixFrames(uint32_t maxEndTime) {
  return (uint64_t{maxEndTime} + 1000) * 441 / 10;
}

bool RenderSound(const TProject& project, const std::string& fileName) {
  return RenderSound(project, fileName, TSoundRenderHooks{}) == TSoundRenderResult::Written;
}

std::string NoSoundReason(const TProject& project) {
  if (project.SoundLayers.Empty()) return "the project has no sound layers";
  for (const auto& layer : project.SoundLayers)
    for (const TEvent* e : layer->Events)
      if (e->EndTime > 0) return {};
  return "no sound event ends after 0 ms";
}

TSoundRenderResult MixProjectSound(const TProject& project, std::vector<int16_t>& mix,
                                   const TSoundRenderHooks& hooks) {
  mix.clear();
  if (project.SoundLayers.Empty()) return TSoundRenderResult::NothingToRender;

  // Sorting acts on a working copy, so the project's own lists keep their order.
  TLayerList<TSoundLayerView> layers;
  CopySoundLayers(project.SoundLayers, layers);

  uint32_t maxEnd = 0;
  for (const auto& layer : layers)
    for (const TEvent* e : layer->Events)
      maxEnd = std::max(maxEnd, e->EndTime);
  if (maxEnd == 0) return TSoundRenderResult::NothingToRender;

  const uint64_t frames = MixFrames(maxEnd);
  const uint64_t mixBytes = frames * kFrameBytes;
  const std::string length = "the mix of " + Duration(uint64_t{maxEnd} + 1000) + " (" +
                             std::to_string(frames) + " frames of 44.1 kHz 16-bit stereo)";
  CheckMemory(mixBytes, length);
  if (mixBytes > kWaveMaxDataBytes)
    throw ESoundError("Cannot render the sound: " + length + " is longer than a WAV file can hold (" +
                      std::to_string(mixBytes) + " bytes of samples, 4 GiB at most).");
  try {
    mix.assign(static_cast<size_t>(frames) * 2, 0);
  } catch (const std::bad_alloc&) {
    throw ESoundError("Cannot render the sound: " + length + " needs " + std::to_string(mixBytes) +
                      " bytes of memory, which the system cannot give.");
  }

  TRenderDecoders decoders;
  TAudioConverter converter;
  converter.OutBitsPerSample = 16;
  converter.OutChannels = 2;
  TSampleBlock block;
  bool placedAny = false;
  // Each file that plays despite damage is named once.
  std::set<const TAuDecoder*> warned;
  auto reportDamage = [&](const TAuDecoder& decoder) {
    if (!hooks.Warnings) return;
    const std::string warning = decoder.Warning();
    if (!warning.empty() && warned.insert(&decoder).second) hooks.Warnings->Warn(warning);
  };

  for (const auto& layer : layers) {
    layer->Events.Cursor = 0;
    layer->Events.SortByTime();
    for (TEvent* e : layer->Events) {
      if (Stopping(hooks)) return TSoundRenderResult::Stopped;
      const auto* event = EventAs<TSoundSourceEvent>(e);
      if (event == nullptr || !FileExists(event->FileName)) continue;
      TAuDecoder* decoder = decoders.Open(event->FileName);
      if (decoder == nullptr) continue;
      decoder->Loop = false;

      const uint32_t rate = decoder->SampleRate();
      const TSoundEventPlan plan = PlanSoundEvent(*event, rate, decoder->TotalSamples());
      // Nothing of a block that starts past the mix's end would land in it.
      if (!plan.Plays || plan.OutFrame >= frames) continue;

      converter.Input = decoder;
      const bool direct = decoder->BitsPerSample() == 16 && decoder->Channels() == 2;
      TAuInput& reading = direct ? static_cast<TAuInput&>(*decoder) : converter;
      if (reading.BitsPerSample() != 16 || reading.Channels() != 2) continue;
      decoder->StartSample = plan.First;
      decoder->EndSample = plan.Last;
      const bool read = ReadStretch(reading, rate, plan, block, hooks);
      reportDamage(*decoder);
      if (!read) return TSoundRenderResult::Stopped;

      if (plan.Reversed) ReverseFrames(block.Data(), block.Bytes());
      size_t n = static_cast<size_t>(std::min<uint64_t>(block.Bytes(), plan.ExpectedBytes));
      if (plan.VolStart != 1.0f || plan.VolEnd != 1.0f)
        ApplyGainRamp(block.Data(), n, plan.VolStart, plan.VolEnd, plan.VolStart, plan.VolEnd);
      // The balance is always applied: at the centre both sides are halved.
      ApplyGainRamp(block.Data(), n, 1.0f - plan.PanStart, 1.0f - plan.PanEnd, plan.PanStart, plan.PanEnd);

      const uint64_t offset = plan.OutFrame * kFrameBytes;
      n = static_cast<size_t>(std::min<uint64_t>(n, mixBytes - offset));
      if (n == 0) continue;
      int16_t* at = mix.data() + offset / 2;
      if (!placedAny) {
        // The first block lands on silence: copied, it keeps its level.
        std::memcpy(at, block.Data(), n);
        placedAny = true;
      } else {
        // Every later block is combined, so no block erases what another put there.
        MixInto(at, block.Data(), n);
        if (PeakLevel(at, n) < kDoubleBelow) DoubleLevel(at, n);
      }
    }
  }

  const uint32_t peak = PeakLevel(mix.data(), mixBytes);
  if (peak > 0 && peak < 32767) {
    const float gain = 32767.0f / static_cast<float>(peak);
    ApplyGainRamp(mix.data(), mixBytes, gain, gain, gain, gain);
  }

  return TSoundRenderResult::Written;
}

TSoundRenderResult WriteMixWave(const int16_t* samples, uint64_t frames, const std::string& fileName,
                                const TSoundRenderHooks& hooks) {
  const uint64_t bytes = frames * kFrameBytes;
  if (bytes > kWaveMaxDataBytes)
    throw ESoundError("Cannot render the sound: " + std::to_string(frames) +
                      " frames are more than a WAV file can hold (4 GiB at most).");
  TStreamIn stream;
  stream.InSampleRate = kMixSampleRate;
  stream.InBitsPerSample = 16;
  stream.InChannels = 2;
  stream.SetStream(reinterpret_cast<const uint8_t*>(samples), bytes);
  stream.StartSample = 0;
  stream.EndSample = -1;
  if (Stopping(hooks)) return TSoundRenderResult::Stopped;
  TWaveOut writer;
  writer.Input = &stream;
  writer.FileName = fileName;
  writer.TempFiles = hooks.TempFiles;
  writer.StopWhen = hooks.StopRequested;
  writer.Run();
  if (!writer.Wait()) {
    // A writer that stopped drops its unfinished file; the old one stays.
    if (Stopping(hooks)) return TSoundRenderResult::Stopped;
    throw ESoundError(writer.Error());
  }
  return TSoundRenderResult::Written;
}

TSoundRenderResult RenderSound(const TProject& project, const std::string& fileName,
                               const TSoundRenderHooks& hooks) {
  std::vector<int16_t> mix;
  const TSoundRenderResult mixed = MixProjectSound(project, mix, hooks);
  if (mixed != TSoundRenderResult::Written) return mixed;
  return WriteMixWave(mix.data(), mix.size() / 2, fileName, hooks);
}

}  // namespace vexa
