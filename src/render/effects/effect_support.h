// Helpers shared by the effect kinds: unit conversions, the interpolation start of the pass,
// and the exchange of the working pictures. Each kind reads the typed fields of its own
// record (static_cast of p.Event to its record type), never a field looked up by name.
#pragma once

#include <cstdint>

#include "render/interpolation.h"
#include "render/render_pass.h"

namespace vexa {

// The anchor of direction code d over a w x h area: column d mod 3 and row d div 3 give
// x = 0, w shr 1, w and y = 0, h shr 1, h. Rows past the third count as the third.
struct TAnchor {
  int64_t X = 0, Y = 0;
};
TAnchor DirectionAnchor(int64_t d, int32_t w, int32_t h);

// The interpolation start of the pass's event at the current clock.
TInterpolationStart InterpolationStartOf(const TEffectPass& p);

// Initialises v from the values of the event's Start and End fields, each passed through
// convert (a function of one double).
template <class Convert>
void InitPair(TInterpolated& v, const TEffectPass& p, double start, double end, Convert convert) {
  InterpolationStartOf(p).Init(v, convert(start), convert(end));
}
inline void InitPair(TInterpolated& v, const TEffectPass& p, double start, double end) {
  InitPair(v, p, start, end, [](double x) { return x; });
}

// Percent of a reference size: reference x (value x 0.01).
struct TPercentOf {
  double Reference = 0;
  double operator()(double v) const { return Reference * (v * 0.01); }
};

// How a value in the event's unit becomes pixels: as it is, or as a percent of a reference
// size, reference x (value x 0.01).
struct TUnitRef {
  bool Percent = false;
  double Ref = 0;
  double operator()(double v) const { return Percent ? Ref * (v * 0.01) : v; }
};

// The units of size, tile (SizeType) and trim (TrimType): 0 pixels, 1 percent of the layer
// picture, 2 percent of the frame; any other value counts as pixels. The values stay in the
// event's unit and are turned into pixels where they are used. Percents of the layer picture
// refer to the picture as a pass that rebuilds it finds it (the source as the effects before
// this one transformed it in this frame, the same after a seek as in a render from the
// start); a pass that only steps keeps the reference of the last such pass.
struct TPictureUnits {
  int64_t Type = 0;
  TUnitRef X, Y;
  void Init(const TEffectPass& p, int64_t type);
  // In a pass that rebuilds the picture, percents of the picture follow it.
  void Follow(const TEffectPass& p);
};

// The stepping of a value in a unit: true when its rounded pixel value changed.
bool AdvanceIn(TInterpolated& v, const TUnitRef& unit);

// The stepping part of size, tile and trim: init(p, s) sets the state up, step(s) moves it
// one frame on and tells whether a rounded pixel value changed; either raises PictureChanged.
template <class State, class Init, class Step>
void StepPictureState(TEffectPass& p, State& s, Init init, Step step) {
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      init(p, s);
      p.List.CursorLoaded = true;
      p.Layer.PictureChanged = 1;
    } else if (step(s)) {
      p.Layer.PictureChanged = 1;
    }
  }
  if (p.Pass.Force) s.Units.Follow(p);
}

// A rounded value as a coordinate of the pass: kept within +-2^29 so that sums of positions
// and offsets cannot overflow.
int32_t PassCoordinate(int64_t v);

// The effect wrote its result into SpareBitmap: the two pictures swap roles.
inline void ExchangeSpare(TRenderLayer& layer) {
  layer.SpareBitmap.Swap(layer.WorkBitmap);
}

}  // namespace vexa
