// Split blur (2010): the layer picture blurred with diagonal split copies, Loop passes.
#include <algorithm>

#include "bitmap/colour_filters.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

// The most passes one frame runs (the largest count the editor offers). A file may hold any
// 32-bit count, and billions of passes would hang the render.
constexpr int64_t kMaxLoops = 255;

}  // namespace

void RunSplitBlurEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<2>>();
  const auto& e = static_cast<const TGraphicEffectSplitBlurEvent&>(p.Event);
  StepColourValues<2>(
      p, s, {{{double(e.StartPower), double(e.EndPower)}, {double(e.StartLoop), double(e.EndLoop)}}});
  if (!p.PixelWork()) return;
  // None when the rounded count is 0 or negative.
  const int64_t loops = std::min(s.V[1].Rounded(), kMaxLoops);
  for (int64_t i = 0; i < loops; ++i)
    SplitBlurPass(p.Layer.WorkBitmap, s.V[0].Rounded());
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
