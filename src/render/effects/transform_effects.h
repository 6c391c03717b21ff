// The transform effects: position, size, rotate, trim, the two mirrors, fade, tile, blink
// and vibration. Each kind is one entry of the effect table (render/kind_registry.cpp) and one
// file of its own; its state lives in its list's EffectState.
#pragma once

#include <cstdint>

#include "render/effects/effect_support.h"
#include "render/interpolation.h"
#include "render/render_pass.h"

namespace vexa {

struct TPositionState : TEffectState {
  TInterpolated X, Y;
};

// Size and tile: the target size, kept in the event's unit (see TPictureUnits).
struct TSizeState : TEffectState {
  TInterpolated W, H;
  TPictureUnits Units;
  int64_t WidthPixels() const { return Round(Units.X(W.Value)); }
  int64_t HeightPixels() const { return Round(Units.Y(H.Value)); }
};

struct TRotateState : TEffectState {
  TInterpolated Angle;
  // The origin, the anchor of OriginDirection on the picture that is turned, and the offset
  // of the last rotation, so that a pass that reuses the turned picture places it where the
  // pass that made it did.
  int32_t OriginX = 0, OriginY = 0;
  int32_t OffsetX = 0, OffsetY = 0;
};

// The four edges, kept in the event's unit (see TPictureUnits).
struct TTrimState : TEffectState {
  TInterpolated Left, Top, Right, Bottom;
  TPictureUnits Units;
};

struct TFadeState : TEffectState {
  TInterpolated Alpha;
};

struct TBlinkState : TEffectState {
  TInterpolated Interval;
  int Sign = 1;
  double Countdown = 0;  // milliseconds left in the current phase
};

struct TVibrationState : TEffectState {
  TInterpolated MinX, MaxX, MinY, MaxY, Interval;
  int SignX = 1, SignY = 1;
  double Countdown = 0;
  int64_t HopFrames = 1;
  // The displacement; kept from one vibration event of the list to the next.
  double OffsetX = 0, OffsetY = 0;
  double StepX = 0, StepY = 0;
  int64_t PrevX = 0, PrevY = 0;
};

// The initialisation of size and tile, which have the same fields in records of their own.
template <class Event>
void InitSizeState(TEffectPass& p, TSizeState& s) {
  const auto& e = static_cast<const Event&>(p.Event);
  s.Units.Init(p, e.SizeType);
  InitPair(s.W, p, e.StartWidth, e.EndWidth);
  InitPair(s.H, p, e.StartHeight, e.EndHeight);
}

// The stepping part shared by size and tile (size_effect.cpp): initialises (with init) or
// steps W and H and raises PictureChanged; false, with PictureValid lowered, when either is
// below 2 pixels.
bool StepSizeState(TEffectPass& p, TSizeState& s, void (*init)(TEffectPass&, TSizeState&));

void RunPositionEffect(TEffectPass& p);
void RunSizeEffect(TEffectPass& p);
void RunRotateEffect(TEffectPass& p);
void RunTrimEffect(TEffectPass& p);
void RunMirrorHorizontalEffect(TEffectPass& p);
void RunMirrorVerticalEffect(TEffectPass& p);
void RunFadeEffect(TEffectPass& p);
void RunTileEffect(TEffectPass& p);
void RunBlinkEffect(TEffectPass& p);
void RunVibrationEffect(TEffectPass& p);

}  // namespace vexa
