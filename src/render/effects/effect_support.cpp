#include "render/effects/effect_support.h"

#include <algorithm>

#include "render/studio.h"

namespace vexa {

TAnchor DirectionAnchor(int64_t d, int32_t w, int32_t h) {
  const int64_t column = d % 3, row = std::min<int64_t>(d / 3, 2);
  auto along = [](int64_t index, int32_t size) -> int64_t {
    const uint32_t s = static_cast<uint32_t>(size);
    return index == 0 ? 0 : index == 1 ? (s >> 1) : s;
  };
  return {along(column, w), along(row, h)};
}

TInterpolationStart InterpolationStartOf(const TEffectPass& p) {
  return MakeInterpolationStart(p.Event, p.Studio.CurrentTime, p.Studio.FrameDuration,
                                p.Studio.SeekFlag != 0);
}

void TPictureUnits::Init(const TEffectPass& p, int64_t type) {
  Type = type;
  X = Y = TUnitRef{};
  if (type == 2) {
    X = {true, static_cast<double>(p.Studio.FrameBitmap.Width())};
    Y = {true, static_cast<double>(p.Studio.FrameBitmap.Height())};
  } else if (type == 1) {
    X.Percent = Y.Percent = true;
    Follow(p);
  }
}

void TPictureUnits::Follow(const TEffectPass& p) {
  if (Type != 1) return;
  X.Ref = static_cast<double>(p.Layer.WorkBitmap.Width());
  Y.Ref = static_cast<double>(p.Layer.WorkBitmap.Height());
}

bool AdvanceIn(TInterpolated& v, const TUnitRef& unit) {
  const int64_t prev = Round(unit(v.Value));
  v.Prev = prev;
  v.Value += v.Step;
  return Round(unit(v.Value)) != prev;
}

int32_t PassCoordinate(int64_t v) {
  constexpr int64_t kFar = int64_t{1} << 29;
  return static_cast<int32_t>(ClampInt64(v, -kFar, kFar));
}

}  // namespace vexa
