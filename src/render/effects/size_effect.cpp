// Size (1001): the layer picture resampled to a new width and height.
#include "bitmap/bilinear.h"
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {

namespace {

// W and H in pixels from SizeType and the four size fields.
void InitSizeState(TEffectPass& p, TSizeState& s) {
  const TSizeUnit unit = SizeUnitOf(p, static_cast<int64_t>(ParamValue(p.Event, "SizeType")));
  InitPair(s.W, p, "StartWidth", "EndWidth", [&](double v) { return unit.X(v); });
  InitPair(s.H, p, "StartHeight", "EndHeight", [&](double v) { return unit.Y(v); });
}

}  // namespace

bool StepSizeState(TEffectPass& p, TSizeState& s) {
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      InitSizeState(p, s);
      p.List.CursorLoaded = true;
      p.Layer.PictureChanged = 1;
    } else {
      const bool w = s.W.Advance(), h = s.H.Advance();
      if (w || h) p.Layer.PictureChanged = 1;
    }
  }
  if (s.W.Rounded() < 2 || s.H.Rounded() < 2) {
    p.Pass.PictureValid = false;
    return false;
  }
  return true;
}

void RunSizeEffect(TEffectPass& p) {
  TSizeState& s = p.StateAs<TSizeState>();
  if (!StepSizeState(p, s) || !p.PixelWork()) return;
  TRenderLayer& layer = p.Layer;
  try {
    // Fresh white, transparent paper that the resampled picture is laid over.
    layer.SpareBitmap.Clear();
    layer.SpareBitmap.SetSize(PassCoordinate(s.W.Rounded()), PassCoordinate(s.H.Rounded()));
  } catch (const TBitmapError&) {
    // A size beyond what a picture may have: treated like one below 2 pixels.
    p.Pass.PictureValid = false;
    return;
  }
  ResizeBilinear(layer.WorkBitmap, layer.SpareBitmap);
  ExchangeSpare(layer);
  layer.PictureChanged = 1;
}

}  // namespace vexa
