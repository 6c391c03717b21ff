#include "ui/logic/rhythm.h"

#include <cmath>

namespace vexa {

int64_t RoundHalfEven(double x) {
  // Out of the 64-bit range (or not a number) there is nothing sensible to round to.
  if (!(std::fabs(x) < 9.2e18)) return 0;
  const double lower = std::floor(x);
  const double frac = x - lower;
  double r = lower;
  if (frac > 0.5 || (frac == 0.5 && std::fmod(lower, 2.0) != 0.0)) r = lower + 1.0;
  return static_cast<int64_t>(r);
}

int64_t RhythmTime(int32_t bpm, int32_t numerator, int32_t denominator, int64_t bar, int64_t note) {
  const double beatLength = (60000.0 / bpm) / (denominator / 4.0);
  const int64_t beats = static_cast<int64_t>(numerator) * bar + note;
  return RoundHalfEven(static_cast<double>(beats) * beatLength);
}

}  // namespace vexa
