#include "render/interpolation.h"

namespace vexa {

TInterpolationStart MakeInterpolationStart(const TEvent& event, double currentTime, double frameDuration,
                                           bool seeking) {
  TInterpolationStart s;
  const uint32_t span = event.EndTime - event.StartTime;  // unsigned, as the events store it
  s.StepCount = Trunc(static_cast<double>(span) / frameDuration) - 1;
  s.Seeking = seeking;
  if (seeking)
    s.Elapsed =
        Round(static_cast<double>(Round(currentTime - static_cast<double>(event.StartTime))) / frameDuration);
  return s;
}

}  // namespace vexa
