// Blink (1010): the layer shows and hides in phases of Interval milliseconds.
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

// One frame on: the interval moves by its step and the countdown by one frame; a countdown
// that runs out flips the phase and starts the next one.
void Step(TBlinkState& s, double frameDuration) {
  s.Interval.Advance();
  s.Countdown -= frameDuration;
  if (!(s.Countdown > 0)) {
    s.Sign = -s.Sign;
    s.Countdown = s.Interval.Value;
  }
}

void Init(TEffectPass& p, TBlinkState& s) {
  const TInterpolationStart at = InterpolationStartOf(p);
  // The state of the event's first frame ...
  TInterpolationStart first = at;
  first.Seeking = false;
  const auto& e = static_cast<const TGraphicEffectBlinkEvent&>(p.Event);
  first.Init(s.Interval, e.StartInterval, e.EndInterval);
  s.Sign = 1;
  s.Countdown = s.Interval.Value;
  // ... and after a seek, played forward frame by frame, so that the phase is the one that a
  // render from the start reaches.
  if (at.Seeking)
    for (int64_t k = 0; k < at.Elapsed; ++k)
      Step(s, p.Studio.FrameDuration);
}

}  // namespace

void RunBlinkEffect(TEffectPass& p) {
  TBlinkState& s = p.StateAs<TBlinkState>();
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      Init(p, s);
      p.List.CursorLoaded = true;
    } else {
      Step(s, p.Studio.FrameDuration);
    }
  }
  if (s.Sign >= 0) {
    // Visible phase: rebuilt in every frame.
    p.Layer.PictureChanged = 1;
  } else {
    // Hidden phase: no picture, and the layer leaves the frame.
    p.Pass.PictureValid = false;
    p.Layer.NeedsRedraw = 0;
    p.Pass.Hidden = true;
  }
}

}  // namespace vexa
