// Split blur (2010): the layer picture blurred with diagonal split copies, Loop passes.
#include <algorithm>

#include "bitmap/colour_filters.h"
#include "model/event_kinds.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

// The most passes one frame runs: the editor's largest loop count. A file may hold any 32-bit
// count, and billions of passes would hang the render.
int64_t MaxLoops() {
  const TKindInfo* k = KindInfo(kind::SplitBlur);
  const TParamDesc* d = k ? FindParam(*k, "EndLoop") : nullptr;
  return d ? d->Max : 255;
}

}  // namespace

void RunSplitBlurEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<2>>();
  StepColourValues<2>(p, s, {{{"StartPower", "EndPower"}, {"StartLoop", "EndLoop"}}});
  if (!p.PixelWork()) return;
  const int64_t loops = std::min(s.V[1].Rounded(), MaxLoops());
  for (int64_t i = 0; i < loops; ++i)
    SplitBlurPass(p.Layer.WorkBitmap, s.V[0].Rounded());
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
