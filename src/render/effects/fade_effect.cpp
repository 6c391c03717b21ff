// Fade (1007): the layer's opacity, applied by the compositor.
#include <algorithm>

#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/studio.h"

namespace vexa {

void RunFadeEffect(TEffectPass& p) {
  TFadeState& s = p.StateAs<TFadeState>();
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      const auto& e = static_cast<const TGraphicEffectFadeEvent&>(p.Event);
      InitPair(s.Alpha, p, e.StartAlpha, e.EndAlpha);
      p.List.CursorLoaded = true;
      p.Layer.NeedsRedraw = 1;
    } else if (s.Alpha.Advance()) {
      p.Layer.NeedsRedraw = 1;
    }
  }
  // The last frame lies one step past EndAlpha; the compositor takes 0 ... 255 only.
  p.Pass.Opacity = static_cast<int32_t>(std::clamp<int64_t>(s.Alpha.Rounded(), 0, 255));
}

}  // namespace vexa
