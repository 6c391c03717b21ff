// Event records of the 28 kinds. Field order and widths follow the file formats: every
// parameter is a signed 32-bit integer unless noted, times and EventNumber are unsigned
// 32-bit, the movie's frame range is unsigned 32-bit, sound sample positions are signed 64-bit.
#pragma once

#include <cstdint>
#include <string>

namespace vexa {

// Kind codes. 1008 and 2005 do not exist.
namespace kind {
inline constexpr int32_t Text = 0, Image = 1, Movie = 2, Master = 3;
inline constexpr int32_t Position = 1000, Size = 1001, Rotate = 1002, Trim = 1003, AlphaMask = 1004,
                         MirrorHorz = 1005, MirrorVert = 1006, Fade = 1007, Tile = 1009, Blink = 1010,
                         Vibration = 1011;
inline constexpr int32_t MonoYUV = 2000, Sepia = 2001, Brightness = 2002, ColorRevision = 2003,
                         Discolor = 2004, NoiseColor = 2006, NoiseBrightness = 2007, Nega = 2008,
                         Mosaic = 2009, SplitBlur = 2010;
inline constexpr int32_t Transition = 3000, SwapLayer = 3001;
inline constexpr int32_t Sound = 10000;
}  // namespace kind

// Common header of every record. EventType is fixed at creation: the record's type and its
// code can never disagree, so by-kind code may trust the code.
struct TEvent {
  const int32_t EventType;
  uint32_t StartTime = 0;
  uint32_t EndTime = 0;
  uint32_t EventNumber = 0;

  virtual ~TEvent() = default;

 protected:
  explicit TEvent(int32_t type) : EventType(type) {}
  TEvent(const TEvent&) = default;
  // Only records of one kind assign to each other (through their own types); the kind stays.
  TEvent& operator=(const TEvent& o) {
    StartTime = o.StartTime;
    EndTime = o.EndTime;
    EventNumber = o.EventNumber;
    return *this;
  }
};

// A record of kind Code. Copying is the deep copy of CopyEvent: strings are values.
template <int32_t Code>
struct TEventOf : TEvent {
  static constexpr int32_t KindCode = Code;
  TEventOf() : TEvent(Code) {}
  TEventOf(const TEventOf&) = default;
  TEventOf& operator=(const TEventOf&) = default;
};

struct TFontEx {
  std::string Name;
  int32_t Size = 0;
  int32_t Style = 0;  // 1 bold, 2 italic, 4 underline, 8 strike-out
  int32_t ColorType = 0;
  int32_t Color = 0;
  int32_t Align = 0;
  std::string TextureFileName;
};

namespace font_style {
inline constexpr int32_t Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8;
}

struct TGraphicSourceTextEvent : TEventOf<kind::Text> {
  int32_t BlendMode = 0;
  std::string Text;  // lines separated by CR LF
  TFontEx Font;
};

struct TGraphicSourceImageEvent : TEventOf<kind::Image> {
  int32_t BlendMode = 0;
  std::string FileName;
};

struct TGraphicSourceMovieEvent : TEventOf<kind::Movie> {
  int32_t BlendMode = 0;
  std::string FileName;
  int32_t FrameAppointMode = 0;
  // Frame numbers, or milliseconds into the movie; unsigned like every time.
  uint32_t StartFrame = 0;
  uint32_t EndFrame = 0;
};

struct TGraphicSourceMasterEvent : TEventOf<kind::Master> {
  int32_t BlendMode = 0;
};

struct TGraphicEffectPositionEvent : TEventOf<kind::Position> {
  int32_t PositionType = 0;
  int32_t OriginDirection = 0;
  int32_t StartX = 0, EndX = 0, StartY = 0, EndY = 0;
  int32_t StartDirection = 0, EndDirection = 0;
};

struct TGraphicEffectSizeEvent : TEventOf<kind::Size> {
  int32_t SizeType = 0;
  int32_t StartWidth = 0, EndWidth = 0, StartHeight = 0, EndHeight = 0;
};

struct TGraphicEffectRotateEvent : TEventOf<kind::Rotate> {
  int32_t OriginDirection = 0;
  int32_t StartAngle = 0, EndAngle = 0;
};

struct TGraphicEffectTrimEvent : TEventOf<kind::Trim> {
  int32_t TrimType = 0;
  int32_t StartX = 0, EndX = 0, StartY = 0, EndY = 0;
  int32_t StartX2 = 0, EndX2 = 0, StartY2 = 0, EndY2 = 0;
};

struct TGraphicEffectAlphaMaskEvent : TEventOf<kind::AlphaMask> {
  int32_t MaskType = 0;
  int32_t Color = 0;
  std::string MaskFileName;
};

struct TGraphicEffectMirrorHorzEvent : TEventOf<kind::MirrorHorz> {};
struct TGraphicEffectMirrorVertEvent : TEventOf<kind::MirrorVert> {};

struct TGraphicEffectFadeEvent : TEventOf<kind::Fade> {
  int32_t StartAlpha = 0, EndAlpha = 0;
};

struct TGraphicEffectTileEvent : TEventOf<kind::Tile> {
  int32_t SizeType = 0;
  int32_t StartWidth = 0, EndWidth = 0, StartHeight = 0, EndHeight = 0;
};

struct TGraphicEffectBlinkEvent : TEventOf<kind::Blink> {
  int32_t StartInterval = 0, EndInterval = 0;
};

struct TGraphicEffectVibrationEvent : TEventOf<kind::Vibration> {
  int32_t StartInterval = 0, EndInterval = 0;
  int32_t PositionType = 0;
  int32_t StartMinX = 0, EndMinX = 0, StartMaxX = 0, EndMaxX = 0;
  int32_t StartMinY = 0, EndMinY = 0, StartMaxY = 0, EndMaxY = 0;
};

struct TGraphicEffectMonoYUVEvent : TEventOf<kind::MonoYUV> {};

struct TGraphicEffectSepiaEvent : TEventOf<kind::Sepia> {
  int32_t StartRed = 0, EndRed = 0, StartGreen = 0, EndGreen = 0, StartBlue = 0, EndBlue = 0;
};

struct TGraphicEffectBrightnessEvent : TEventOf<kind::Brightness> {
  int32_t StartPower = 0, EndPower = 0;
};

struct TGraphicEffectColorRevisionEvent : TEventOf<kind::ColorRevision> {
  int32_t StartRed = 0, EndRed = 0, StartGreen = 0, EndGreen = 0, StartBlue = 0, EndBlue = 0;
};

struct TGraphicEffectDiscolorEvent : TEventOf<kind::Discolor> {
  int32_t StartPower = 0, EndPower = 0;
};

struct TGraphicEffectNoiseColorEvent : TEventOf<kind::NoiseColor> {
  int32_t StartPower = 0, EndPower = 0;
};

struct TGraphicEffectNoiseBrightnessEvent : TEventOf<kind::NoiseBrightness> {
  int32_t StartPower = 0, EndPower = 0;
};

struct TGraphicEffectNegaEvent : TEventOf<kind::Nega> {};

struct TGraphicEffectMosaicEvent : TEventOf<kind::Mosaic> {
  int32_t PositionType = 0;
  int32_t StartX = 0, EndX = 0, StartY = 0, EndY = 0;
  int32_t StartX2 = 0, EndX2 = 0, StartY2 = 0, EndY2 = 0;
  int32_t StartPower = 0, EndPower = 0;
};

struct TGraphicEffectSplitBlurEvent : TEventOf<kind::SplitBlur> {
  int32_t StartPower = 0, EndPower = 0, StartLoop = 0, EndLoop = 0;
};

struct TGraphicEffectTransitionEvent : TEventOf<kind::Transition> {
  int32_t StartPower = 0, EndPower = 0, StartVag = 0, EndVag = 0;
  std::string RuleFileName;
};

struct TGraphicEffectSwapLayerEvent : TEventOf<kind::SwapLayer> {
  int32_t TargetMode = 0;
  int32_t Index = 0;
  std::string LayerName;
  int32_t ActionMode = 0;
};

struct TSoundSourceEvent : TEventOf<kind::Sound> {
  std::string FileName;
  int32_t SampleAppointMode = 0;
  int64_t StartSample = 0, EndSample = 0;
  int32_t StartVolume = 0, EndVolume = 0;
  int32_t StartPan = 0, EndPan = 0;
};

// Checked downcast: nullptr when the event is of another kind.
template <class T>
T* EventAs(TEvent* e) {
  return e && e->EventType == T::KindCode ? static_cast<T*>(e) : nullptr;
}
template <class T>
const T* EventAs(const TEvent* e) {
  return e && e->EventType == T::KindCode ? static_cast<const T*>(e) : nullptr;
}

}  // namespace vexa
