// Transition (3000): the layer wiped from the picture it showed before the transition began
// (OutputBitmap, kept fixed meanwhile) to the picture captured when it began
// (TransitionBitmap), in the order of a grey rule picture.
#include <algorithm>

#include "bitmap/bilinear.h"
#include "bitmap/rule_blend.h"
#include "render/effects/effect_support.h"
#include "render/effects/mask_wipe_order_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

void InitTransition(TEffectPass& p, TTransitionState& s) {
  const auto& e = static_cast<const TGraphicEffectTransitionEvent&>(p.Event);
  // ClampInt64 of the signed values: 300 becomes 255, -20 becomes 0.
  InitPair(s.Power, p, e.StartPower, e.EndPower, [](double v) { return std::clamp(v, 0.0, 255.0); });
  InitPair(s.Vag, p, e.StartVag, e.EndVag, [](double v) { return std::clamp(v, 1.0, 8.0); });
  p.List.CursorLoaded = true;
  p.Layer.PictureChanged = 1;

  TRenderLayer& layer = p.Layer;
  // The picture to arrive at: the layer picture at this point of the pass.
  layer.TransitionBitmap.Assign(layer.WorkBitmap);
  // The picture to leave, brought to the same size.
  const int32_t w = layer.TransitionBitmap.Width(), h = layer.TransitionBitmap.Height();
  if (layer.OutputBitmap.Width() != w || layer.OutputBitmap.Height() != h) {
    TABitmap& scratch = p.Pass.Scratch;
    scratch.Clear();
    scratch.SetSize(w, h);
    ScaleBilinear(layer.OutputBitmap, scratch);
    layer.OutputBitmap.Assign(scratch);
  }
}

}  // namespace

void RunTransitionEffect(TEffectPass& p) {
  p.Pass.TransitionActive = true;
  auto& s = p.StateAs<TTransitionState>();
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      InitTransition(p, s);
    } else {
      const bool power = s.Power.Advance(), vag = s.Vag.Advance();
      if (power || vag) p.Layer.PictureChanged = 1;
    }
  }
  if (!p.PixelWork()) return;
  TRenderLayer& layer = p.Layer;
  const auto& e = static_cast<const TGraphicEffectTransitionEvent&>(p.Event);
  LoadStretchedPicture(p, e.RuleFileName, layer.TransitionBitmap.Width(), layer.TransitionBitmap.Height(),
                       p.Pass.Scratch);
  layer.WorkBitmap.Assign(layer.OutputBitmap);
  layer.SpareBitmap.Assign(layer.TransitionBitmap);
  // The values step past their End value in the last frame; the kernel clamps them again.
  RuleBlend(layer.SpareBitmap, layer.WorkBitmap, p.Pass.Scratch,
            static_cast<int32_t>(ClampInt64(s.Vag.Rounded(), 1, 8)), s.Power.Rounded());
  layer.PictureChanged = 1;
}

}  // namespace vexa
