// Trim (1003): a rectangle cut out of the layer picture; it keeps the layer's position.
#include <algorithm>

#include "bitmap/crop_bitmap.h"
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

void Init(TEffectPass& p, TTrimState& s) {
  // TrimType 1: percents of the layer picture; 0 (and any other value): pixels.
  const bool percent = static_cast<int64_t>(ParamValue(p.Event, "TrimType")) == 1;
  const double w = p.Layer.WorkBitmap.Width(), h = p.Layer.WorkBitmap.Height();
  auto cx = [&](double v) { return percent ? TPercentOf{w}(v) : v; };
  auto cy = [&](double v) { return percent ? TPercentOf{h}(v) : v; };
  InitPair(s.Left, p, "StartX", "EndX", cx);
  InitPair(s.Top, p, "StartY", "EndY", cy);
  InitPair(s.Right, p, "StartX2", "EndX2", cx);
  InitPair(s.Bottom, p, "StartY2", "EndY2", cy);
}

}  // namespace

void RunTrimEffect(TEffectPass& p) {
  TTrimState& s = p.StateAs<TTrimState>();
  TRenderLayer& layer = p.Layer;
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      Init(p, s);
      p.List.CursorLoaded = true;
      layer.PictureChanged = 1;
    } else {
      const bool l = s.Left.Advance(), t = s.Top.Advance(), r = s.Right.Advance(), b = s.Bottom.Advance();
      if (l || t || r || b) layer.PictureChanged = 1;
    }
  }
  const int64_t l = s.Left.Rounded(), t = s.Top.Rounded(), r = s.Right.Rounded(), b = s.Bottom.Rounded();
  const int64_t w = Round(s.Right.Value - s.Left.Value), h = Round(s.Bottom.Value - s.Top.Value);
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
