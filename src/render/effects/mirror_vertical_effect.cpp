// Mirror vertical (1006): the layer picture mirrored in every pass that rebuilds it.
#include "bitmap/mirror_bitmap.h"
#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {

void RunMirrorVerticalEffect(TEffectPass& p) {
  if (p.Stepping() && p.NeedsInit()) {
    p.Layer.PictureChanged = 1;
    p.List.CursorLoaded = true;
  }
  if (!p.PixelWork()) return;
  MirrorVertical(p.Layer.WorkBitmap, p.Layer.SpareBitmap);
  ExchangeSpare(p.Layer);
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
