// Trim (1003): a rectangle cut out of the layer picture; it keeps the layer's position.
#include <algorithm>

#include "bitmap/crop_bitmap.h"
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

void Init(TEffectPass& p, TTrimState& s) {
  // TrimType 1: percents of the layer picture; 0 (and any other value but 2): pixels.
  const auto& e = static_cast<const TGraphicEffectTrimEvent&>(p.Event);
  s.Units.Init(p, e.TrimType == 1 ? 1 : 0);
  InitPair(s.Left, p, e.StartX, e.EndX);
  InitPair(s.Top, p, e.StartY, e.EndY);
  InitPair(s.Right, p, e.StartX2, e.EndX2);
  InitPair(s.Bottom, p, e.StartY2, e.EndY2);
}

bool Step(TTrimState& s) {
  const bool l = AdvanceIn(s.Left, s.Units.X), t = AdvanceIn(s.Top, s.Units.Y);
  const bool r = AdvanceIn(s.Right, s.Units.X), b = AdvanceIn(s.Bottom, s.Units.Y);
  return l || t || r || b;
}

}  // namespace

void RunTrimEffect(TEffectPass& p) {
  TTrimState& s = p.StateAs<TTrimState>();
  TRenderLayer& layer = p.Layer;
  StepPictureState(p, s, &Init, &Step);
  const double left = s.Units.X(s.Left.Value), top = s.Units.Y(s.Top.Value);
  const double right = s.Units.X(s.Right.Value), bottom = s.Units.Y(s.Bottom.Value);
  const int64_t l = Round(left), t = Round(top), r = Round(right), b = Round(bottom);
  const int64_t w = Round(right - left), h = Round(bottom - top);
  if (r < l || b < t || w < 2 || h < 2) {
    p.Pass.PictureValid = false;
    return;
  }
  if (!p.PixelWork()) return;
  // A rectangle reaching past the picture keeps only the part that lies on the picture.
  const int64_t x0 = std::max<int64_t>(l, 0), y0 = std::max<int64_t>(t, 0);
  const int64_t x1 = std::min<int64_t>(l + w, layer.WorkBitmap.Width());
  const int64_t y1 = std::min<int64_t>(t + h, layer.WorkBitmap.Height());
  if (x1 - x0 < 2 || y1 - y0 < 2) {
    p.Pass.PictureValid = false;
    return;
  }
  CropBitmap(static_cast<int32_t>(x0), static_cast<int32_t>(y0), static_cast<int32_t>(x1 - x0),
             static_cast<int32_t>(y1 - y0), layer.SpareBitmap, layer.WorkBitmap);
  ExchangeSpare(layer);
  layer.PictureChanged = 1;
}

}  // namespace vexa
