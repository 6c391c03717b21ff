// Mosaic (2009): a rectangle of the layer picture pixelated.
#include <algorithm>
#include <limits>

#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

enum : size_t { kX, kY, kX2, kY2, kPower };

int32_t ToInt32(int64_t v) {
  return static_cast<int32_t>(
      std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

}  // namespace

void RunMosaicEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<5>>();
  const auto& e = static_cast<const TGraphicEffectMosaicEvent&>(p.Event);
  StepColourValues(p, s, [&](TColourState<5>& st) {
    // PositionType 1: X values in percent of the picture's width, Y values of its height;
    // anything else: pixels.
    const bool percent = e.PositionType == 1;
    const TPercentOf w{double(p.Layer.WorkBitmap.Width())}, h{double(p.Layer.WorkBitmap.Height())};
    auto x = [&](double v) { return percent ? w(v) : v; };
    auto y = [&](double v) { return percent ? h(v) : v; };
    InitPair(st.V[kX], p, e.StartX, e.EndX, x);
    InitPair(st.V[kY], p, e.StartY, e.EndY, y);
    InitPair(st.V[kX2], p, e.StartX2, e.EndX2, x);
    InitPair(st.V[kY2], p, e.StartY2, e.EndY2, y);
    InitPair(st.V[kPower], p, e.StartPower, e.EndPower);
  });
  const double x = s.V[kX].Value, y = s.V[kY].Value, x2 = s.V[kX2].Value, y2 = s.V[kY2].Value;
  const int64_t width = Round(x2 - x), height = Round(y2 - y);
  // A degenerate rectangle leaves no valid picture for the rest of the pass.
  if (Round(x2) < Round(x) || Round(y2) < Round(y) || width < 2 || height < 2) {
    p.Pass.PictureValid = false;
    return;
  }
  if (!p.PixelWork()) return;
  Pixelate(ToInt32(Round(x)), ToInt32(Round(y)), ToInt32(width), ToInt32(height), p.Layer.WorkBitmap,
           s.V[kPower].Rounded());
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
