// Alpha mask (1004): a new transparency for the layer picture, from a key colour or from the
// blue bytes of a mask picture (black opaque, white fully transparent).
#include "bitmap/color_key.h"
#include "render/effects/effect_support.h"
#include "render/effects/mask_wipe_order_effects.h"
#include "render/studio.h"

namespace vexa {

void RunAlphaMaskEffect(TEffectPass& p) {
  if (p.Stepping() && p.NeedsInit()) {
    p.Layer.PictureChanged = 1;
    p.List.CursorLoaded = true;
  }
  if (!p.PixelWork()) return;
  TRenderLayer& layer = p.Layer;
  TABitmap& work = layer.WorkBitmap;
  const auto& e = static_cast<const TGraphicEffectAlphaMaskEvent&>(p.Event);
  if (e.MaskType == 0) {
    // Pixels of the key colour become transparent, every other pixel opaque.
    ColorKey(0, 0, work.Width(), work.Height(), static_cast<uint32_t>(e.Color), work);
  } else if (e.MaskType == 1) {
    LoadStretchedPicture(p, e.MaskFileName, work.Width(), work.Height(), p.Pass.Scratch);
    layer.SpareBitmap.Clear();
    layer.SpareBitmap.SetSize(work.Width(), work.Height());
    MergeAlphaMask(work, p.Pass.Scratch, layer.SpareBitmap);
    ExchangeSpare(layer);
  }
  layer.PictureChanged = 1;
}

}  // namespace vexa
