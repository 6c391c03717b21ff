// RenderLayer: the per-layer render of one frame with its two-pass change detection.
#include <algorithm>

#include "render/studio.h"

namespace vexa {

void TVexaStudio::RenderLayer(TRenderLayer& layer, bool force, bool secondPass) {
  TPassLocals pass;
  pass.Force = force;
  pass.SecondPass = secondPass;
  RenderLayerPass(layer, pass);
  if (!secondPass && &layer != MasterLayer) NoteAppearance(layer);
}

void TVexaStudio::RenderLayerPass(TRenderLayer& layer, TPassLocals& pass) {
  const bool master = &layer == MasterLayer;
  // 1. Fresh flags for the frame (a re-run keeps those of its stepping pass).
  if (!pass.SecondPass) {
    layer.PictureChanged = 0;
    layer.NeedsRedraw = 0;
    layer.TransitionActive = 0;
  }

  // 2. Source step.
  if (master) {
    // The master layer starts from the composite of the other layers, made opaque. Outside a
    // forced pass no pixel work happens, so the copy is made only when it is used.
    if (pass.Force) {
      layer.WorkBitmap.Assign(MasterBitmap);
      layer.WorkBitmap.SetAlpha(0);
      layer.PictureChanged = 1;
    }
    pass.PictureValid = true;
  } else {
    TEvent* source = WalkList(layer.MergedSources);
    if (!source) {
      pass.PictureValid = false;
      layer.SourceActive = 0;
    } else if (TSourceFn run = FindSourceHandler(source->EventType)) {
      pass.PictureValid = layer.SourceActive != 0;
      TSourcePass sp{*this, layer, *source, pass};
      if (run(sp) == TSourceResult::EndLayer) return;
    } else {
      // A source kind that draws nothing (the master source outside the master layer).
      pass.PictureValid = false;
      layer.SourceActive = 0;
    }
    if (layer.WorkBitmap.Width() < 2 || layer.WorkBitmap.Height() < 2) pass.PictureValid = false;
  }

  // 3. Effect collection, in slot order.
  layer.ActiveEffects.Clear();
  bool effectEnded = false;
  for (size_t i = 0; i < layer.EffectLists.size(); ++i) {
    TEvent* e = WalkList(*layer.EffectLists[i]);
    if (e) layer.ActiveEffects.Add(e);
    if (!pass.SecondPass) {
      // An effect that stopped being active leaves its last picture behind unless the layer
      // is rebuilt in this very frame.
      if (layer.LastActiveEffects[i] && layer.LastActiveEffects[i] != e) effectEnded = true;
      layer.LastActiveEffects[i] = e;
    }
  }
  if (effectEnded) layer.PictureChanged = 1;

  // 4. Pass locals start over (TPassLocals starts at these values; a re-run resets them).
  pass.X = pass.Y = pass.OX = pass.OY = 0;
  pass.Opacity = 255;
  pass.TransitionActive = false;
  pass.Hidden = false;

  // 5. Effects apply in the order of their start times, whatever their kinds.
  layer.ActiveEffects.SortByTime();

  // 6. Each effect steps its state and, in a forced pass with a valid picture, does its work.
  for (TEvent* e : layer.ActiveEffects) {
    TEffectFn run = EffectLookup(e->EventType);
    TEventRefList* list = layer.ListForKind(e->EventType);
    if (!run || !list) continue;
    TEffectPass ep{*this, layer, *list, *e, pass};
    run(ep);
  }

  // 7. Re-run: something changed the picture in a pass that did not rebuild it.
  if (!pass.SecondPass && !pass.Force && layer.PictureChanged) {
    TPassLocals rerun;
    rerun.Force = true;
    rerun.SecondPass = true;
    RenderLayerPass(layer, rerun);
    return;
  }

  // 8. Placement, clipped to the frame.
  int32_t x = pass.X + pass.OX, y = pass.Y + pass.OY;
  int32_t w = layer.WorkBitmap.Width(), h = layer.WorkBitmap.Height(), sx = 0, sy = 0;
  if (x < 0) {
    w += x;
    sx = -x;
    x = 0;
  }
  if (y < 0) {
    h += y;
    sy = -y;
    y = 0;
  }
  if (int64_t{x} + w > FrameBitmap.Width()) w = FrameBitmap.Width() - x;
  if (int64_t{y} + h > FrameBitmap.Height()) h = FrameBitmap.Height() - y;
  if (pass.Hidden) w = h = 0;  // drawn nowhere
  layer.SrcX = sx;
  layer.SrcY = sy;
  layer.DstX = x;
  layer.DstY = y;
  layer.DrawWidth = w;
  layer.DrawHeight = h;
  layer.Opacity = pass.Opacity;
  layer.TransitionActive = pass.TransitionActive;

  // 9. Output.
  if ((pass.PictureValid || pass.TransitionActive) && pass.Force) {
    if (!pass.TransitionActive) layer.OutputBitmap.Assign(layer.WorkBitmap);
    layer.NeedsRedraw = 1;
  }
}

// A layer that disappears, moves, fades or changes its blend mode must be redrawn even when
// its picture did not change.
void TVexaStudio::NoteAppearance(TRenderLayer& layer) {
  TLayerAppearance now;
  now.Visible =
      (layer.SourceActive || layer.TransitionActive) && layer.DrawWidth >= 2 && layer.DrawHeight >= 2;
  if (now.Visible) {
    now.SrcX = layer.SrcX;
    now.SrcY = layer.SrcY;
    now.DstX = layer.DstX;
    now.DstY = layer.DstY;
    now.DrawWidth = layer.DrawWidth;
    now.DrawHeight = layer.DrawHeight;
    now.Opacity = layer.Opacity;
    now.BlendMode = SourceBlendMode(layer.MergedSources.Current());
  }
  if (!(now == layer.LastAppearance)) layer.NeedsRedraw = 1;
  layer.LastAppearance = now;
}

}  // namespace vexa
