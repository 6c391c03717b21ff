// The preview's sound on the sound device: the rendered WAV read by a TWaveIn and played by a
// TDXAudioOut.
#pragma once

#include <functional>
#include <string>

#include "audio_out/dx_audio_out.h"
#include "media/wave_in.h"
#include "preview/preview_sound.h"

namespace vexa {

class TWavePlayback : public TPreviewSound {
 public:
  // notice: what the output has to say (no sound device), on the thread that calls Play.
  explicit TWavePlayback(std::function<void(const std::string&)> notice);
  ~TWavePlayback() override;

  void Open(const std::string& wavFile) override;
  uint32_t SampleRate() const override { return Wave.SampleRate(); }
  int64_t TotalSamples() const override { return Wave.TotalSamples(); }
  void Play(int64_t startSample) override;
  void Stop() override { Out.Stop(); }
  int64_t FramesHeard() const override { return Out.FramesPlayed(); }
  bool Ended() const override { return Out.Finished(); }

 private:
  TWaveIn Wave;
  TDXAudioOut Out;  // after Wave: stopped before the input goes
};

}  // namespace vexa
