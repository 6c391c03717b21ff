// Start-to-End interpolation: every effect parameter with a Start and an End value moves in
// equal steps, one per frame, from Start at the event's first frame.
#pragma once

#include <cstdint>

#include "model/events.h"
#include "render/numeric.h"

namespace vexa {

// One interpolated value: the current value, its step per frame and its rounded value of the
// previous frame.
struct TInterpolated {
  double Value = 0;
  double Step = 0;
  int64_t Prev = 0;

  int64_t Rounded() const { return Round(Value); }
  // The stepping of every later frame: true when the rounded value changed.
  bool Advance() {
    Prev = Round(Value);
    Value += Step;
    return Round(Value) != Prev;
  }
};

// What initialisation needs of the clock for one event.
struct TInterpolationStart {
  // Trunc(span / FrameDuration) - 1, span = EndTime - StartTime as unsigned 32-bit.
  int64_t StepCount = 0;
  // Frames since the event's start, when the state is rebuilt after a seek.
  bool Seeking = false;
  int64_t Elapsed = 0;

  // Sets v to Start (moved on by Elapsed steps after a seek). An event that covers fewer than
  // two frames (StepCount <= 0) holds its Start value: its step is 0, so every value stays
  // finite.
  void Init(TInterpolated& v, double start, double end) const {
    v.Step = StepCount > 0 ? (end - start) / static_cast<double>(StepCount) : 0.0;
    v.Value = start;
    if (Seeking) v.Value += v.Step * static_cast<double>(Elapsed);
    v.Prev = Round(v.Value);
  }
};

TInterpolationStart MakeInterpolationStart(const TEvent& event, double currentTime, double frameDuration,
                                           bool seeking);

}  // namespace vexa
