// Discolour (2004): the layer picture faded towards grey.
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {

void RunDiscolourEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<1>>();
  const auto& e = static_cast<const TGraphicEffectDiscolorEvent&>(p.Event);
  StepColourValues<1>(p, s, {{{double(e.StartPower), double(e.EndPower)}}});
  if (!p.PixelWork()) return;
  FadeToGray(p.Layer.WorkBitmap, static_cast<uint8_t>(s.V[0].Rounded()));  // low 8 bits
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
