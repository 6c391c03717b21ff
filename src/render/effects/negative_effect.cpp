// Negative (2008): every colour byte of the layer picture inverted.
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {

void RunNegativeEffect(TEffectPass& p) {
  StepColourValues(p, p.StateAs<TColourState<0>>(), std::array<TValuePair, 0>{});
  if (!p.PixelWork()) return;
  InvertColors(p.Layer.WorkBitmap);
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
