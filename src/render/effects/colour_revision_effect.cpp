// Colour revision (2003): a signed amount added to each of red, green and blue.
#include "bitmap/colour_filters.h"
#include "model/event_kinds.h"
#include "render/effects/colour_effects.h"
#include "render/studio.h"

namespace vexa {
namespace {

// The channel amounts are signed (-255 ... 255) whatever reader the file uses for them, so they
// are taken from the record as signed values rather than as unsigned file numbers.
double SignedParam(const TEvent& e, std::string_view field) {
  const TKindInfo* k = KindInfo(e.EventType);
  const TParamDesc* d = k ? FindParam(*k, field) : nullptr;
  return d ? static_cast<double>(static_cast<int32_t>(GetParamInt(*d, e))) : 0.0;
}

}  // namespace

void RunColourRevisionEffect(TEffectPass& p) {
  auto& s = p.StateAs<TColourState<3>>();
  StepColourValues(p, s, [&](TColourState<3>& st) {
    const TInterpolationStart start = InterpolationStartOf(p);
    const TFieldPair fields[3] = {
        {"StartRed", "EndRed"}, {"StartGreen", "EndGreen"}, {"StartBlue", "EndBlue"}};
    for (size_t i = 0; i < 3; ++i)
      start.Init(st.V[i], SignedParam(p.Event, fields[i].Start), SignedParam(p.Event, fields[i].End));
  });
  if (!p.PixelWork()) return;
  auto amount = [](const TInterpolated& v) { return static_cast<int32_t>(v.Rounded()); };
  AdjustChannels(amount(s.V[0]), amount(s.V[1]), amount(s.V[2]), p.Layer.WorkBitmap);
  p.Layer.PictureChanged = 1;
}

}  // namespace vexa
