// Tone change (2001): the layer picture as a tint of a target colour (sepia by default).
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {

void RunToneChangeEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<3>>();
  const auto& e = static_cast<const TGraphicEffectSepiaEvent&>(p.Event);
  StepColourValues<3>(p, s,
                      {{{double(e.StartRed), double(e.EndRed)},
                        {double(e.StartGreen), double(e.EndGreen)},
                        {double(e.StartBlue), double(e.EndBlue)}}});
  if (!p.PixelWork()) return;
  // The kernel takes the low 8 bits of each rounded value.
  auto byte = [](const TInterpolated& v) { return static_cast<uint8_t>(v.Rounded()); };
  ToneChange(p.Layer.WorkBitmap, byte(s.V[0]), byte(s.V[1]), byte(s.V[2]));
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
