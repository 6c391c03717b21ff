// Vibration (1011): the layer glides from one random displacement to the next.
#include <algorithm>
#include <cmath>

#include "render/effects/effect_support.h"
#include "render/effects/transform_effects.h"
#include "render/random32.h"
#include "render/studio.h"

namespace vexa {
namespace {

// A displacement drawn uniformly: (Random32 mod (Round(Max - Min) + 1)) + Round(Min). A range
// whose maximum lies below its minimum is taken the other way round.
int64_t Draw(const TInterpolated& min, const TInterpolated& max) {
  constexpr int64_t kFar = int64_t{1} << 40;
  int64_t span = ClampInt64(Round(max.Value - min.Value), -kFar, kFar) + 1;
  int64_t low = ClampInt64(min.Rounded(), -kFar, kFar);
  if (span <= 0) {
    span = ClampInt64(Round(min.Value - max.Value), -kFar, kFar) + 1;
    low = ClampInt64(max.Rounded(), -kFar, kFar);
  }
  if (span <= 0) span = 1;  // values that are no numbers
  return static_cast<int64_t>(Random32()) % span + low;
}

// Frames that a hop takes: at least one.
int64_t HopFramesOf(const TVibrationState& s, double frameDuration) {
  return std::max<int64_t>(1, static_cast<int64_t>(std::ceil(s.Interval.Value / frameDuration)));
}

void Init(TEffectPass& p, TVibrationState& s) {
  const double fd = p.Studio.FrameDuration;
  const auto& e = static_cast<const TGraphicEffectVibrationEvent&>(p.Event);
  // Intervals below one frame last one frame; the test compares the 32-bit values without
  // sign, so a negative interval stays as it is.
  auto interval = [&](int32_t v) {
    return static_cast<uint32_t>(v) < static_cast<uint32_t>(Round(fd)) ? fd : static_cast<double>(v);
  };
  InitPair(s.Interval, p, interval(e.StartInterval), interval(e.EndInterval));
  const int64_t type = e.PositionType;
  const double pw = p.Layer.WorkBitmap.Width(), ph = p.Layer.WorkBitmap.Height();
  const double fw = p.Studio.Project.Width, fh = p.Studio.Project.Height;
  auto cx = [&](double v) { return type == 1 ? (pw * 0.01) * v : type == 2 ? v * (fw * 0.01) : v; };
  auto cy = [&](double v) { return type == 1 ? (ph * 0.01) * v : type == 2 ? v * (fh * 0.01) : v; };
  InitPair(s.MinX, p, e.StartMinX, e.EndMinX, cx);
  InitPair(s.MaxX, p, e.StartMaxX, e.EndMaxX, cx);
  InitPair(s.MinY, p, e.StartMinY, e.EndMinY, cy);
  InitPair(s.MaxY, p, e.StartMaxY, e.EndMaxY, cy);
  s.SignX = s.SignY = 1;
  s.Countdown = s.Interval.Value;
  const int64_t tx = Draw(s.MinX, s.MaxX);
  const int64_t ty = Draw(s.MinY, s.MaxY);
  s.HopFrames = HopFramesOf(s, fd);
  // From wherever the previous vibration of the list left the layer.
  s.StepX = (static_cast<double>(tx) - s.OffsetX) / static_cast<double>(s.HopFrames);
  s.StepY = (static_cast<double>(ty) - s.OffsetY) / static_cast<double>(s.HopFrames);
  p.Layer.NeedsRedraw = 1;
  s.PrevX = Round(s.OffsetX);
  s.PrevY = Round(s.OffsetY);
  s.OffsetX += s.StepX;
  s.OffsetY += s.StepY;
}

void Step(TEffectPass& p, TVibrationState& s) {
  const double fd = p.Studio.FrameDuration;
  s.MinX.Advance();
  s.MaxX.Advance();
  s.MinY.Advance();
  s.MaxY.Advance();
  s.Interval.Advance();
  s.Countdown -= fd;
  if (!(s.Countdown > 0)) {
    // A hop: each axis turns with probability 230/256, then the next target.
    if ((Random32() & 0xFF) > 25) s.SignX = -s.SignX;
    if ((Random32() & 0xFF) > 25) s.SignY = -s.SignY;
    s.Countdown = s.Interval.Value;
    const int64_t tx = Draw(s.MinX, s.MaxX) * s.SignX;
    const int64_t ty = Draw(s.MinY, s.MaxY) * s.SignY;
    s.HopFrames = HopFramesOf(s, fd);
    s.StepX = static_cast<double>(tx - Round(s.OffsetX)) / static_cast<double>(s.HopFrames);
    s.StepY = static_cast<double>(ty - Round(s.OffsetY)) / static_cast<double>(s.HopFrames);
    p.Layer.NeedsRedraw = 1;
  }
  s.PrevX = Round(s.OffsetX);
  s.PrevY = Round(s.OffsetY);
  s.OffsetX += s.StepX;
  s.OffsetY += s.StepY;
  if (Round(s.OffsetX) != s.PrevX || Round(s.OffsetY) != s.PrevY) p.Layer.PictureChanged = 1;
}

}  // namespace

void RunVibrationEffect(TEffectPass& p) {
  TVibrationState& s = p.StateAs<TVibrationState>();
  if (p.Stepping()) {
    if (p.NeedsInit()) {
      Init(p, s);
      p.List.CursorLoaded = true;
    } else {
      Step(p, s);
    }
  }
  p.Pass.OX = PassCoordinate(int64_t{p.Pass.OX} + Trunc(s.OffsetX));
  p.Pass.OY = PassCoordinate(int64_t{p.Pass.OY} + Trunc(s.OffsetY));
}

}  // namespace vexa
