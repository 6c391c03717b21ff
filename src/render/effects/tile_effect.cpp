// Tile (1009): the layer picture, unscaled, repeated from its top-left corner up to a size.
#include "bitmap/tile_bitmap.h"
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {

void RunTileEffect(TEffectPass& p) {
  TSizeState& s = p.StateAs<TSizeState>();
  if (!StepSizeState(p, s, &InitSizeState<TGraphicEffectTileEvent>) || !p.PixelWork()) return;
  TRenderLayer& layer = p.Layer;
  try {
    TileBitmap(PassCoordinate(s.WidthPixels()), PassCoordinate(s.HeightPixels()), layer.WorkBitmap,
               layer.SpareBitmap);
  } catch (const TBitmapError&) {
    p.Pass.PictureValid = false;  // beyond what a picture may have
    return;
  }
  ExchangeSpare(layer);
  layer.PictureChanged = 1;
}

}  // namespace vexa
