// The clock that the preview's frames follow, in milliseconds since the last (re)start.
//
// While the sound plays it is the sound's own position, so the picture keeps to what the user
// hears even when the sound device runs a little fast or slow. Without sound, once the sound
// has played to its end, or when the device stops taking samples, it is the monotonic clock,
// carried on from where the sound left it.
#pragma once

#include <cstdint>

#include "preview/preview_sound.h"
#include "preview/preview_timing.h"

namespace vexa {

class TPlaybackClock {
 public:
  // A device that takes no sample for this long is taken to have stalled.
  static constexpr double kStallMs = 500;

  explicit TPlaybackClock(TPreviewTiming& timing) : timing_(timing) {}

  // Starts at 0: following sound (which plays framesToPlay frames from now) or, with null,
  // the monotonic clock.
  void Restart(const TPreviewSound* sound, int64_t framesToPlay);
  double ElapsedMs();
  bool FollowsSound() const { return sound_ != nullptr; }

 private:
  TPreviewTiming& timing_;
  const TPreviewSound* sound_ = nullptr;
  double rate_ = 1;
  double soundEndMs_ = 0;
  double base_ = 0;        // monotonic time at which the clock read 0
  double soundMs_ = 0;     // the sound's position at its last advance
  double advancedAt_ = 0;  // monotonic time of that advance
};

}  // namespace vexa
