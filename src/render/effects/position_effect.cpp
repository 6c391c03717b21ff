// Position (1000): where the layer's picture sits in the frame.
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

void Init(TEffectPass& p, TPositionState& s) {
  const int32_t fw = p.Studio.FrameBitmap.Width(), fh = p.Studio.FrameBitmap.Height();
  const auto& e = static_cast<const TGraphicEffectPositionEvent&>(p.Event);
  const int64_t type = e.PositionType;
  double x0, x1, y0, y1;
  if (type == 2) {
    // From one anchor of the frame to another.
    const TAnchor a = DirectionAnchor(e.StartDirection, fw, fh);
    const TAnchor b = DirectionAnchor(e.EndDirection, fw, fh);
    x0 = static_cast<double>(a.X), x1 = static_cast<double>(b.X);
    y0 = static_cast<double>(a.Y), y1 = static_cast<double>(b.Y);
  } else {
    // Pixels, or percent of the frame (any other unit counts as pixels).
    auto cx = [&](double v) { return type == 1 ? TPercentOf{static_cast<double>(fw)}(v) : v; };
    auto cy = [&](double v) { return type == 1 ? TPercentOf{static_cast<double>(fh)}(v) : v; };
    x0 = cx(e.StartX), x1 = cx(e.EndX);
    y0 = cy(e.StartY), y1 = cy(e.EndY);
  }
  // The named point of the picture lands on the position: both ends move by its anchor.
  const TAnchor origin =
      DirectionAnchor(e.OriginDirection, p.Layer.WorkBitmap.Width(), p.Layer.WorkBitmap.Height());
  const TInterpolationStart start = InterpolationStartOf(p);
  start.Init(s.X, x0 - static_cast<double>(origin.X), x1 - static_cast<double>(origin.X));
  start.Init(s.Y, y0 - static_cast<double>(origin.Y), y1 - static_cast<double>(origin.Y));
}

}  // namespace

void RunPositionEffect(TEffectPass& p) {
  TPositionState& s = p.StateAs<TPositionState>();
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      Init(p, s);
      p.List.CursorLoaded = true;
      p.Layer.NeedsRedraw = 1;
    } else {
      const bool x = s.X.Advance(), y = s.Y.Advance();
      if (x || y) p.Layer.NeedsRedraw = 1;
    }
  }
  p.Pass.X = PassCoordinate(s.X.Rounded());
  p.Pass.Y = PassCoordinate(s.Y.Rounded());
}

}  // namespace vexa
