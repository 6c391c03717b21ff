// Rotate (1002): the layer picture turned about a point that stays in place in the frame.
#include "bitmap/rotate_bitmap.h"
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {

void RunRotateEffect(TEffectPass& p) {
  TRotateState& s = p.StateAs<TRotateState>();
  TRenderLayer& layer = p.Layer;
  const auto& e = static_cast<const TGraphicEffectRotateEvent&>(p.Event);
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      InitPair(s.Angle, p, e.StartAngle, e.EndAngle);
      s.OffsetX = s.OffsetY = 0;
      p.List.CursorLoaded = true;
      layer.PictureChanged = 1;
    } else if (s.Angle.Advance()) {
      layer.PictureChanged = 1;
    }
  }
  if (p.PixelWork()) {
    // The origin is the anchor on the picture being turned, so that it stays the named point
    // (the centre, a corner ...) when effects before this one change the picture's size.
    const TAnchor origin =
        DirectionAnchor(e.OriginDirection, layer.WorkBitmap.Width(), layer.WorkBitmap.Height());
    s.OriginX = PassCoordinate(origin.X);
    s.OriginY = PassCoordinate(origin.Y);
    try {
      // Only the angle modulo a full turn matters; taken on the 64-bit value.
      const int32_t angle = static_cast<int32_t>(s.Angle.Rounded() % 1000);
      const TRotateOffset o = RotateBitmap(layer.WorkBitmap, layer.SpareBitmap, s.OriginX, s.OriginY, angle);
      s.OffsetX = o.X;
      s.OffsetY = o.Y;
      ExchangeSpare(layer);
      layer.PictureChanged = 1;
    } catch (const TBitmapError&) {
      p.Pass.PictureValid = false;  // the turned picture would exceed the size limit
      return;
    }
  }
  // Also in passes that keep the turned picture of an earlier frame, which must stay where
  // that frame put it.
  p.Pass.OX = PassCoordinate(int64_t{p.Pass.OX} + s.OffsetX);
  p.Pass.OY = PassCoordinate(int64_t{p.Pass.OY} + s.OffsetY);
}

}  // namespace vexa
