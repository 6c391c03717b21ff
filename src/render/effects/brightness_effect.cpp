// Brightness (2002): a value added to or taken from every colour byte.
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {

void RunBrightnessEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<1>>();
  const auto& e = static_cast<const TGraphicEffectBrightnessEvent&>(p.Event);
  StepColourValues<1>(p, s, {{{double(e.StartPower), double(e.EndPower)}}});
  if (!p.PixelWork()) return;
  // The rounded power as a signed 16-bit value; the kernel clamps it to -255 ... 255.
  AdjustBrightness(p.Layer.WorkBitmap, static_cast<int16_t>(s.V[0].Rounded()));
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
