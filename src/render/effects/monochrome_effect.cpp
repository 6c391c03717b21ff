// Monochrome (2000): the layer picture in grey by its luma.
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {

void RunMonochromeEffect(TEffectPass& p) {
  StepColourValues(p, p.StateAs<TColourState<0>>(), std::array<TValuePair, 0>{});
  if (!p.PixelWork()) return;
  ToMonochrome(p.Layer.WorkBitmap);
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
