#include "sound/event_plan.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/events.h"
#include "sound/render_sound.h"

namespace vexa {
namespace {

// Round: to the nearest, halves to the even neighbour (the default rounding mode).
double Round(double x) {
  return std::nearbyint(x);
}

int64_t RoundToInt64(double x) {
  const double r = Round(x);
  if (std::isnan(r)) return 0;
  if (r >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
  if (r <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}

float Gain(int64_t value) {
  return static_cast<float>(std::clamp<int64_t>(value, 0, 256)) / 256.0f;
}

}  // namespace

TSoundEventPlan PlanSoundEvent(const TSoundSourceEvent& e, uint32_t sampleRate, int64_t totalSamples) {
  TSoundEventPlan p;
  const double sr = sampleRate;
  // The stretch as integers too: frame numbers beyond 2^53 must not lose their last digits.
  int64_t srcStart = e.StartSample, srcEnd = e.EndSample;
  if (e.SampleAppointMode == 1) {
    srcStart = RoundToInt64(sr * 0.001 * static_cast<double>(e.StartSample));
    srcEnd = RoundToInt64(sr * 0.001 * static_cast<double>(e.EndSample));
  }
  p.SrcStart = static_cast<double>(srcStart);
  p.SrcEnd = static_cast<double>(srcEnd);
  p.DstStart = Round(sr * 0.001 * e.StartTime);
  p.DstEnd = Round(sr * 0.001 * e.EndTime);
  p.Ratio = (p.DstEnd - p.DstStart) / (p.SrcEnd - p.SrcStart);
  p.Reversed = e.StartSample > e.EndSample;
  p.VolStart = Gain(e.StartVolume);
  p.VolEnd = Gain(e.EndVolume);
  p.PanStart = Gain(int64_t{e.StartPan} + 128);
  p.PanEnd = Gain(int64_t{e.EndPan} + 128);
  p.OutFrame = static_cast<uint64_t>(Round(e.StartTime * 44.1));

  // An empty stretch or span, or a file without frames, gives an empty block.
  if (!std::isfinite(p.Ratio) || sampleRate == 0 || totalSamples <= 0) return p;
  const double rate = std::fabs(std::trunc(44100.0 * p.Ratio));
  p.TargetRate = rate >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(rate);

  const int64_t lastFrame = totalSamples - 1;
  const int64_t from = p.Reversed ? srcEnd : srcStart;
  const int64_t to = p.Reversed ? srcStart : srcEnd;
  p.First = std::clamp<int64_t>(from, 0, lastFrame);
  p.Last = std::min(to, lastFrame);
  if (p.TargetRate == 0 || p.Last <= p.First) return p;

  const double frames = Round(static_cast<double>(p.TargetRate) / sr * static_cast<double>(p.Last - p.First));
  p.ExpectedBytes = static_cast<uint64_t>(frames) * 4;
  p.Plays = p.ExpectedBytes > 0;
  return p;
}

}  // namespace vexa
