// Discolour (2004): the layer picture faded towards grey.
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {

void RunDiscolourEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<1>>();
  StepColourValues<1>(p, s, {{{"StartPower", "EndPower"}}});
  if (!p.PixelWork()) return;
  FadeToGray(p.Layer.WorkBitmap, static_cast<uint8_t>(s.V[0].Rounded()));  // low 8 bits
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
