// What the preview runner needs of its sound: the rendered WAV played from a chosen sample,
// and how far the listener has got. The real one plays through the sound device; tests put a
// sound on a fake clock here.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

class TPreviewSound {
 public:
  virtual ~TPreviewSound() = default;
  // Takes the WAV file; its rate and length are known from then on. Raises on failure.
  virtual void Open(const std::string& wavFile) = 0;
  virtual uint32_t SampleRate() const = 0;
  virtual int64_t TotalSamples() const = 0;
  // Plays from startSample to the end of the file (any earlier playing stopped first).
  // Raises when the output refuses.
  virtual void Play(int64_t startSample) = 0;
  // Stops and returns once the device takes nothing more.
  virtual void Stop() = 0;
  // Frames heard since the last Play, and whether the last frame of the file was heard.
  virtual int64_t FramesHeard() const = 0;
  virtual bool Ended() const = 0;
};

}  // namespace vexa
