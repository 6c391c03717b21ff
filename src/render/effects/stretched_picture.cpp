// Mask and rule pictures brought to the size of the layer picture.
#include "bitmap/bilinear.h"
#include "render/effects/mask_wipe_order_effects.h"
#include "render/studio.h"

namespace vexa {

void LoadStretchedPicture(TEffectPass& p, const std::string& fileName, int32_t w, int32_t h, TABitmap& out) {
  TABitmap& spare = p.Layer.SpareBitmap;
  bool loaded = false;
  try {
    loaded = p.Studio.LoadPictureFile(fileName, spare);
  } catch (const TBitmapError&) {
    loaded = false;  // a damaged file: the session goes on as without the file
  }
  out.Clear();
  out.SetSize(w, h);
  if (!loaded || !HasArea(spare)) {
    // Whatever SpareBitmap held before must not leak into the mask or rule.
    out.Fill(0);
    return;
  }
  if (spare.Width() == w && spare.Height() == h)
    out.Assign(spare);
  else
    ScaleBilinear(spare, out);
}

}  // namespace vexa
