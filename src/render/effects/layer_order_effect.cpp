// Layer order (3001): reorders the session's render layers when the event becomes current and
// again at every seek. The new order lasts for the rest of the session; the project's own
// layer order never changes.
#include <algorithm>

#include "render/effects/effect_support.h"
#include "render/effects/mask_wipe_order_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

enum TAction : int64_t { kSwap = 0, kToFront = 1, kToBack = 2 };

// Target by TargetMode: 0 an index, 1 the first layer (from the bottom) of the given name.
// False when no layer has that name: the event then leaves the order alone rather than act on
// a target left over from an earlier event.
bool FindTarget(TEffectPass& p, TLayerOrderState& s) {
  const auto& layers = p.Studio.RenderLayers;
  const auto& e = static_cast<const TGraphicEffectSwapLayerEvent&>(p.Event);
  const int64_t last = layers.Count() - 1;
  switch (e.TargetMode) {
    case 0:
      s.Target = static_cast<double>(ClampInt64(e.Index, 0, last));
      return true;
    case 1: {
      s.LastIndex = last;
      s.SearchIndex = -1;
      for (int64_t i = 0; i <= s.LastIndex; ++i) {
        if (layers[static_cast<int>(i)]->Name == e.LayerName) {
          s.SearchIndex = i;
          s.Target = static_cast<double>(i);
          return true;
        }
      }
      return false;
    }
    default:
      return true;  // Target keeps its value
  }
}

}  // namespace

void RunLayerOrderEffect(TEffectPass& p) {
  // Acts in the stepping pass only: the re-run of the same frame must not move the layer again.
  if (!p.Stepping() || !p.NeedsInit()) return;
  p.List.CursorLoaded = true;
  auto& s = p.StateAs<TLayerOrderState>();
  if (!FindTarget(p, s)) return;

  auto& layers = p.Studio.RenderLayers;
  const int count = layers.Count();
  const int own = layers.IndexOf(&p.Layer);
  if (own < 0 || count < 1) return;
  const int t = static_cast<int>(ClampInt64(Trunc(s.Target), 0, count - 1));
  switch (static_cast<const TGraphicEffectSwapLayerEvent&>(p.Event).ActionMode) {
    case kSwap:
      layers.Exchange(t, own);
      break;
    case kToFront:
      // Taken out and put back so that it ends at index t + 1; with the top layer as target
      // (no such index) it goes to the top.
      layers.Move(own, std::min(t + 1, count - 1));
      break;
    case kToBack:
      layers.Move(own, t);
      break;
    default:
      return;
  }
  p.Layer.PictureChanged = 1;
  // The frame must be drawn in the new order even if this layer shows nothing itself.
  p.Layer.NeedsRedraw = 1;
}

}  // namespace vexa
