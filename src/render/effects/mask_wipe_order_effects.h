// The special effects: alpha mask, transition and layer order. Each kind is one entry of the
// effect table (render/kind_registry.cpp) and one file of its own.
#pragma once

#include <cstdint>
#include <string>

#include "bitmap/bitmap.h"
#include "render/interpolation.h"
#include "render/render_pass.h"

namespace vexa {

struct TTransitionState : TEffectState {
  TInterpolated Power;  // switching stage, 0 ... 255
  TInterpolated Vag;    // switching width: a band of 2^Vag rule levels, 1 ... 8
};

struct TLayerOrderState : TEffectState {
  double Target = 0;         // index of the target layer; kept from one event of the list to the next
  int64_t LastIndex = 0;     // last index the search by name looks at
  int64_t SearchIndex = -1;  // where the search by name found the target, -1 for nowhere
};

// Loads a mask or rule picture into the layer's SpareBitmap and leaves in `out` a copy of it at
// w x h, stretched with ScaleBilinear when its size differs. A file that gives no picture
// (missing, of a kind no decoder reads, or damaged) counts as a black picture of that size.
void LoadStretchedPicture(TEffectPass& p, const std::string& fileName, int32_t w, int32_t h, TABitmap& out);

void RunAlphaMaskEffect(TEffectPass& p);
void RunTransitionEffect(TEffectPass& p);
void RunLayerOrderEffect(TEffectPass& p);

}  // namespace vexa
