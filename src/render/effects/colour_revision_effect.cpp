// Colour revision (2003): a signed amount added to each of red, green and blue.
#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {

void RunColourRevisionEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<3>>();
  const auto& e = static_cast<const TGraphicEffectColorRevisionEvent&>(p.Event);
  StepColourValues<3>(p, s,
                      {{{double(e.StartRed), double(e.EndRed)},
                        {double(e.StartGreen), double(e.EndGreen)},
                        {double(e.StartBlue), double(e.EndBlue)}}});
  if (!p.PixelWork()) return;
  auto amount = [](const TInterpolated& v) { return static_cast<int32_t>(v.Rounded()); };
  AdjustChannels(amount(s.V[0]), amount(s.V[1]), amount(s.V[2]), p.Layer.WorkBitmap);
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
