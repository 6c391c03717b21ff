// The colour effects: monochrome, tone change, brightness, colour revision, discolour, the two
// noises, negative, mosaic and split blur. Each kind is one entry of the effect table
// (render/kind_registry.cpp) and one file of its own; the kernels are in bitmap/colour_filters.h.
#pragma once

#include <array>
#include <cstddef>

#include "render/effects/effect_support.h"
#include "render/interpolation.h"
#include "render/render_pass.h"

namespace vexa {

// The interpolated values of a colour kind.
template <size_t N>
struct TColourState : TEffectState {
  std::array<TInterpolated, N> V;
};

// The values of a Start/End pair of the event.
struct TValuePair {
  double Start, End;
};

// The stepping part every colour kind shares: in a stepping pass, initialise the values from
// their Start and End fields (a new event or a seek) or advance them, raising PictureChanged at
// initialisation and whenever a rounded value moved. The re-run neither initialises nor steps.
template <size_t N, class Init>
void StepColourValues(TEffectPass& p, TColourState<N>& s, Init init) {
  if (!p.Stepping()) return;
  if (p.NeedsInit()) {
    init(s);
    p.List.CursorLoaded = true;
    p.Layer.PictureChanged = 1;
    return;
  }
  bool moved = false;
  for (TInterpolated& v : s.V)
    moved = v.Advance() || moved;
  if (moved) p.Layer.PictureChanged = 1;
}

template <size_t N>
void StepColourValues(TEffectPass& p, TColourState<N>& s, const std::array<TValuePair, N>& pairs) {
  StepColourValues(p, s, [&](TColourState<N>& st) {
    for (size_t i = 0; i < N; ++i)
      InitPair(st.V[i], p, pairs[i].Start, pairs[i].End);
  });
}

void RunMonochromeEffect(TEffectPass& p);
void RunToneChangeEffect(TEffectPass& p);
void RunBrightnessEffect(TEffectPass& p);
void RunColourRevisionEffect(TEffectPass& p);
void RunDiscolourEffect(TEffectPass& p);
void RunColourNoiseEffect(TEffectPass& p);
void RunBrightnessNoiseEffect(TEffectPass& p);
void RunNegativeEffect(TEffectPass& p);
void RunMosaicEffect(TEffectPass& p);
void RunSplitBlurEffect(TEffectPass& p);

}  // namespace vexa
