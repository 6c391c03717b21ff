// Size (1001): the layer picture resampled to a new width and height.
#include "bitmap/bilinear.h"
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {

bool StepSizeState(TEffectPass& p, TSizeState& s, void (*init)(TEffectPass&, TSizeState&)) {
  StepPictureState(p, s, init, [](TSizeState& st) {
    const bool w = AdvanceIn(st.W, st.Units.X), h = AdvanceIn(st.H, st.Units.Y);
    return w || h;
  });
  if (s.WidthPixels() < 2 || s.HeightPixels() < 2) {
    p.Pass.PictureValid = false;
    return false;
  }
  return true;
}

void RunSizeEffect(TEffectPass& p) {
  TSizeState& s = p.StateAs<TSizeState>();
  if (!StepSizeState(p, s, &InitSizeState<TGraphicEffectSizeEvent>) || !p.PixelWork()) return;
  TRenderLayer& layer = p.Layer;
  try {
    // Fresh white, transparent paper that the resampled picture is laid over.
    layer.SpareBitmap.Clear();
    layer.SpareBitmap.SetSize(PassCoordinate(s.WidthPixels()), PassCoordinate(s.HeightPixels()));
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
