// Brightness noise (2007): random grey brightening, drawn anew whenever the picture is rebuilt.
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/random32.h"
#include "render/studio.h"

namespace vexa {

void RunBrightnessNoiseEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<1>>();
  const auto& e = static_cast<const TGraphicEffectNoiseBrightnessEvent&>(p.Event);
  StepColourValues<1>(p, s, {{{double(e.StartPower), double(e.EndPower)}}});
  if (!p.PixelWork()) return;
  AddBrightnessNoise(p.Layer.WorkBitmap, static_cast<uint16_t>(s.V[0].Rounded()), TRandomDraw(&Random32));
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
