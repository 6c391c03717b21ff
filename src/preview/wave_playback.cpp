#include "preview/wave_playback.h"

#include <stdexcept>

namespace vexa {

TWavePlayback::TWavePlayback(std::function<void(const std::string&)> notice) {
  Out.OnNotice = std::move(notice);
  Out.Input = &Wave;
}

TWavePlayback::~TWavePlayback() {
  Out.Stop();
}

void TWavePlayback::Open(const std::string& wavFile) {
  Out.Stop();
  Wave.SetFileName(wavFile);
  Wave.Loop = false;
  if (std::string why = Wave.Error(); !why.empty()) throw std::runtime_error(why);
}

void TWavePlayback::Play(int64_t startSample) {
  Out.Stop();
  Wave.StartSample = startSample;
  Wave.EndSample = -1;
  Out.Run();
}

}  // namespace vexa
