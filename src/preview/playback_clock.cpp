#include "preview/playback_clock.h"

namespace vexa {

void TPlaybackClock::Restart(const TPreviewSound* sound, int64_t framesToPlay) {
  const double now = timing_.NowMs();
  base_ = now;
  advancedAt_ = now;
  soundMs_ = 0;
  sound_ = sound != nullptr && sound->SampleRate() != 0 && framesToPlay > 0 ? sound : nullptr;
  if (sound_) {
    rate_ = sound_->SampleRate();
    soundEndMs_ = static_cast<double>(framesToPlay) * 1000.0 / rate_;
  }
}

double TPlaybackClock::ElapsedMs() {
  const double now = timing_.NowMs();
  if (sound_) {
    const double ms = static_cast<double>(sound_->FramesHeard()) * 1000.0 / rate_;
    if (ms > soundMs_) {
      soundMs_ = ms;
      advancedAt_ = now;
    }
    const bool over = soundMs_ >= soundEndMs_ || sound_->Ended();
    if (!over && now - advancedAt_ <= kStallMs) return soundMs_;
    // From here on the monotonic clock, going on from the sound's last position.
    base_ = now - soundMs_;
    sound_ = nullptr;
  }
  return now - base_;
}

}  // namespace vexa
