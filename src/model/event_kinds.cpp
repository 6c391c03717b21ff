#include "event_kinds.h"

#include <array>
#include <limits>

namespace vexa {
namespace {

template <class>
struct MemberClass;
template <class C, class M>
struct MemberClass<M C::*> {
  using type = C;
};

template <auto M>
TFieldRef RefOf(TEvent& e) {
  using C = typename MemberClass<decltype(M)>::type;
  return &(static_cast<C&>(e).*M);
}
template <auto Outer, auto Inner>
TFieldRef RefOf2(TEvent& e) {
  using C = typename MemberClass<decltype(Outer)>::type;
  return &((static_cast<C&>(e).*Outer).*Inner);
}

template <class T>
std::unique_ptr<TEvent> CreateT() {
  return std::make_unique<T>();
}
template <class T>
std::unique_ptr<TEvent> CloneT(const TEvent& e) {
  return std::make_unique<T>(static_cast<const T&>(e));
}
template <class T>
void AssignT(TEvent& target, const TEvent& source) {
  static_cast<T&>(target) = static_cast<const T&>(source);
}

using W = TValueWriter;
constexpr int64_t kMaxInt = std::numeric_limits<int32_t>::max();
constexpr int64_t kMaxColor = 0xFFFFFF;

// A number field whose file key equals its field name.
constexpr TParamDesc Num(std::string_view name, W w, int64_t def, int64_t lo, int64_t hi, int64_t init,
                         TFieldRef (*ref)(TEvent&)) {
  return {name, name, {}, w, w, def, lo, hi, init, {}, ref};
}
constexpr TParamDesc Str(std::string_view name, W w, std::string_view init, TFieldRef (*ref)(TEvent&)) {
  return {name, name, {}, w, w, 0, 0, 0, 0, init, ref};
}
constexpr TParamDesc PathOf(std::string_view field, std::string_view fullKey, std::string_view relKey,
                            TFieldRef (*ref)(TEvent&)) {
  return {field, fullKey, relKey, W::Path, W::Path, 0, 0, 0, 0, {}, ref};
}

// N(record, field, writer, missing-key default, dialog min, dialog max, dialog initial value)
#define N(R, F, w, def, lo, hi, init) Num(#F, W::w, def, lo, hi, init, RefOf<&R::F>)

using Text = TGraphicSourceTextEvent;
constexpr TParamDesc kText[] = {
    N(Text, BlendMode, Unsigned, 1, 0, 3, 1),
    Str("Text", W::Lines, "", RefOf<&Text::Text>),
    Str("Font.Name", W::String, "ＭＳ Ｐゴシック", RefOf2<&Text::Font, &TFontEx::Name>),
    Num("Font.Size", W::Unsigned, 12, 1, 999, 10, RefOf2<&Text::Font, &TFontEx::Size>),
    Num("Font.Style", W::Signed, 0, 0, 15, 0, RefOf2<&Text::Font, &TFontEx::Style>),
    Num("Font.ColorType", W::Unsigned, 0, 0, 1, 0, RefOf2<&Text::Font, &TFontEx::ColorType>),
    Num("Font.Color", W::Color, 0, 0, kMaxColor, 0, RefOf2<&Text::Font, &TFontEx::Color>),
    Num("Font.Align", W::Color, 0, 0, 2, 0, RefOf2<&Text::Font, &TFontEx::Align>),
    PathOf("Font.TextureFileName", "Font.TextureFullFileName", "Font.TextureFileName",
           RefOf2<&Text::Font, &TFontEx::TextureFileName>),
};

using Image = TGraphicSourceImageEvent;
constexpr TParamDesc kImage[] = {
    N(Image, BlendMode, Unsigned, 1, 0, 3, 1),
    PathOf("FileName", "FullFileName", "FileName", RefOf<&Image::FileName>),
};

using Movie = TGraphicSourceMovieEvent;
constexpr TParamDesc kMovie[] = {
    N(Movie, BlendMode, Unsigned, 1, 0, 3, 0),
    PathOf("FileName", "FullFileName", "FileName", RefOf<&Movie::FileName>),
    N(Movie, FrameAppointMode, Unsigned, 0, 0, 1, 0),
    N(Movie, StartFrame, Unsigned, 0, 0, kMaxInt, 0),
    N(Movie, EndFrame, Unsigned, kMaxInt, 0, kMaxInt, kMaxInt),
};

using Master = TGraphicSourceMasterEvent;
constexpr TParamDesc kMaster[] = {N(Master, BlendMode, Unsigned, 1, 0, 3, 0)};

using Pos = TGraphicEffectPositionEvent;
constexpr TParamDesc kPosition[] = {
    N(Pos, PositionType, Unsigned, 0, 0, 2, 1),   N(Pos, OriginDirection, Unsigned, 0, 0, 8, 0),
    N(Pos, StartX, Signed, 0, -4000, 4000, 0),    N(Pos, EndX, Signed, 0, -4000, 4000, 0),
    N(Pos, StartY, Signed, 0, -4000, 4000, 0),    N(Pos, EndY, Signed, 0, -4000, 4000, 0),
    N(Pos, StartDirection, Unsigned, 0, 0, 8, 0), N(Pos, EndDirection, Unsigned, 0, 0, 8, 0),
};

using Size = TGraphicEffectSizeEvent;
constexpr TParamDesc kSize[] = {
    N(Size, SizeType, Unsigned, 1, 0, 2, 1),         N(Size, StartWidth, Unsigned, 100, 1, 4000, 100),
    N(Size, EndWidth, Unsigned, 100, 1, 4000, 100),  N(Size, StartHeight, Unsigned, 100, 1, 4000, 100),
    N(Size, EndHeight, Unsigned, 100, 1, 4000, 100),
};

using Rot = TGraphicEffectRotateEvent;
constexpr TParamDesc kRotate[] = {
    N(Rot, OriginDirection, Unsigned, 4, 0, 8, 4),
    N(Rot, StartAngle, Signed, 0, -2100000000, 2100000000, 0),
    N(Rot, EndAngle, Signed, 0, -2100000000, 2100000000, 0),
};

using Trim = TGraphicEffectTrimEvent;
constexpr TParamDesc kTrim[] = {
    N(Trim, TrimType, Unsigned, 1, 0, 1, 1),  N(Trim, StartX, Unsigned, 0, 0, 100, 0),
    N(Trim, EndX, Unsigned, 0, 0, 100, 0),    N(Trim, StartY, Unsigned, 0, 0, 100, 0),
    N(Trim, EndY, Unsigned, 0, 0, 100, 0),    N(Trim, StartX2, Unsigned, 100, 0, 100, 0),
    N(Trim, EndX2, Unsigned, 100, 0, 100, 0), N(Trim, StartY2, Unsigned, 100, 0, 100, 0),
    N(Trim, EndY2, Unsigned, 100, 0, 100, 0),
};

using Mask = TGraphicEffectAlphaMaskEvent;
constexpr TParamDesc kAlphaMask[] = {
    N(Mask, MaskType, Unsigned, 0, 0, 1, 0),
    N(Mask, Color, Color, 0, 0, kMaxColor, 0),
    PathOf("MaskFileName", "MaskFullFileName", "MaskFileName", RefOf<&Mask::MaskFileName>),
};

using Fade = TGraphicEffectFadeEvent;
constexpr TParamDesc kFade[] = {
    N(Fade, StartAlpha, Unsigned, 255, 0, 255, 0),
    N(Fade, EndAlpha, Unsigned, 255, 0, 255, 0),
};

using Tile = TGraphicEffectTileEvent;
constexpr TParamDesc kTile[] = {
    N(Tile, SizeType, Unsigned, 1, 0, 2, 1),         N(Tile, StartWidth, Unsigned, 100, 1, 4000, 100),
    N(Tile, EndWidth, Unsigned, 100, 1, 4000, 100),  N(Tile, StartHeight, Unsigned, 100, 1, 4000, 100),
    N(Tile, EndHeight, Unsigned, 100, 1, 4000, 100),
};

using Blink = TGraphicEffectBlinkEvent;
constexpr TParamDesc kBlink[] = {
    N(Blink, StartInterval, Unsigned, 100, 0, kMaxInt, 0),
    N(Blink, EndInterval, Unsigned, 100, 0, kMaxInt, 0),
};

using Vib = TGraphicEffectVibrationEvent;
constexpr TParamDesc kVibration[] = {
    N(Vib, StartInterval, Unsigned, 100, 0, kMaxInt, 0), N(Vib, EndInterval, Unsigned, 100, 0, kMaxInt, 0),
    N(Vib, PositionType, Unsigned, 0, 0, 2, 1),          N(Vib, StartMinX, Unsigned, 0, 0, kMaxInt, 0),
    N(Vib, EndMinX, Unsigned, 0, 0, kMaxInt, 0),         N(Vib, StartMaxX, Unsigned, 0, 0, kMaxInt, 0),
    N(Vib, EndMaxX, Unsigned, 0, 0, kMaxInt, 0),         N(Vib, StartMinY, Unsigned, 0, 0, kMaxInt, 0),
    N(Vib, EndMinY, Unsigned, 0, 0, kMaxInt, 0),         N(Vib, StartMaxY, Unsigned, 0, 0, kMaxInt, 0),
    N(Vib, EndMaxY, Unsigned, 0, 0, kMaxInt, 0),
};

using Sepia = TGraphicEffectSepiaEvent;
constexpr TParamDesc kSepia[] = {
    N(Sepia, StartRed, Unsigned, 235, 0, 255, 240),   N(Sepia, EndRed, Unsigned, 235, 0, 255, 240),
    N(Sepia, StartGreen, Unsigned, 200, 0, 255, 200), N(Sepia, EndGreen, Unsigned, 200, 0, 255, 200),
    N(Sepia, StartBlue, Unsigned, 135, 0, 255, 145),  N(Sepia, EndBlue, Unsigned, 135, 0, 255, 145),
};

using Bright = TGraphicEffectBrightnessEvent;
constexpr TParamDesc kBrightness[] = {
    N(Bright, StartPower, Signed, 0, -255, 255, 0),
    N(Bright, EndPower, Signed, 0, -255, 255, 0),
};

// Colour revision is written signed but read with the unsigned reader, which accepts "-5".
using Rev = TGraphicEffectColorRevisionEvent;
constexpr TParamDesc RevChannel(std::string_view name, TFieldRef (*ref)(TEvent&)) {
  return {name, name, {}, W::Signed, W::Unsigned, 0, -255, 255, 0, {}, ref};
}
constexpr TParamDesc kColorRevision[] = {
    RevChannel("StartRed", RefOf<&Rev::StartRed>),     RevChannel("EndRed", RefOf<&Rev::EndRed>),
    RevChannel("StartGreen", RefOf<&Rev::StartGreen>), RevChannel("EndGreen", RefOf<&Rev::EndGreen>),
    RevChannel("StartBlue", RefOf<&Rev::StartBlue>),   RevChannel("EndBlue", RefOf<&Rev::EndBlue>),
};

using Discolor = TGraphicEffectDiscolorEvent;
constexpr TParamDesc kDiscolor[] = {
    N(Discolor, StartPower, Unsigned, 1, 0, 255, 0),
    N(Discolor, EndPower, Unsigned, 1, 0, 255, 0),
};
using NoiseC = TGraphicEffectNoiseColorEvent;
constexpr TParamDesc kNoiseColor[] = {
    N(NoiseC, StartPower, Unsigned, 1, 0, 255, 0),
    N(NoiseC, EndPower, Unsigned, 1, 0, 255, 0),
};
using NoiseB = TGraphicEffectNoiseBrightnessEvent;
constexpr TParamDesc kNoiseBrightness[] = {
    N(NoiseB, StartPower, Unsigned, 1, 0, 255, 0),
    N(NoiseB, EndPower, Unsigned, 1, 0, 255, 0),
};

using Mosaic = TGraphicEffectMosaicEvent;
constexpr TParamDesc kMosaic[] = {
    N(Mosaic, PositionType, Unsigned, 1, 0, 1, 1), N(Mosaic, StartX, Unsigned, 0, 0, 100, 0),
    N(Mosaic, EndX, Unsigned, 0, 0, 100, 0),       N(Mosaic, StartY, Unsigned, 0, 0, 100, 0),
    N(Mosaic, EndY, Unsigned, 0, 0, 100, 0),       N(Mosaic, StartX2, Unsigned, 100, 0, 100, 0),
    N(Mosaic, EndX2, Unsigned, 100, 0, 100, 0),    N(Mosaic, StartY2, Unsigned, 100, 0, 100, 0),
    N(Mosaic, EndY2, Unsigned, 100, 0, 100, 0),    N(Mosaic, StartPower, Unsigned, 5, 1, 255, 1),
    N(Mosaic, EndPower, Unsigned, 5, 1, 255, 1),
};

using Blur = TGraphicEffectSplitBlurEvent;
constexpr TParamDesc kSplitBlur[] = {
    N(Blur, StartPower, Unsigned, 1, 1, 255, 1),
    N(Blur, EndPower, Unsigned, 1, 1, 255, 1),
    N(Blur, StartLoop, Unsigned, 1, 1, 255, 1),
    N(Blur, EndLoop, Unsigned, 1, 1, 255, 1),
};

using Trans = TGraphicEffectTransitionEvent;
constexpr TParamDesc kTransition[] = {
    N(Trans, StartPower, Unsigned, 0, 0, 255, 0),
    N(Trans, EndPower, Unsigned, 255, 0, 255, 255),
    N(Trans, StartVag, Unsigned, 4, 1, 8, 4),
    N(Trans, EndVag, Unsigned, 4, 1, 8, 4),
    PathOf("RuleFileName", "RuleFullFileName", "RuleFileName", RefOf<&Trans::RuleFileName>),
};

using Swap = TGraphicEffectSwapLayerEvent;
constexpr TParamDesc kSwapLayer[] = {
    N(Swap, TargetMode, Unsigned, 0, 0, 1, 0),
    N(Swap, Index, Unsigned, 0, 0, kMaxInt, 0),
    Str("LayerName", W::String, "", RefOf<&Swap::LayerName>),
    N(Swap, ActionMode, Unsigned, 0, 0, 2, 0),
};

// Sample positions are stored as their low 32 bits; pans are written unsigned.
using Snd = TSoundSourceEvent;
constexpr TParamDesc kSound[] = {
    PathOf("FileName", "FullFileName", "FileName", RefOf<&Snd::FileName>),
    N(Snd, SampleAppointMode, Unsigned, 0, 0, 1, 0),
    N(Snd, StartSample, Unsigned, 0, 0, kMaxInt, 0),
    N(Snd, EndSample, Unsigned, kMaxInt, 0, kMaxInt, kMaxInt),
    N(Snd, StartVolume, Unsigned, 256, 0, 256, 256),
    N(Snd, EndVolume, Unsigned, 256, 0, 256, 256),
    N(Snd, StartPan, Unsigned, 128, -128, 128, 0),
    N(Snd, EndPan, Unsigned, 128, -128, 128, 0),
};

#undef N

template <class T>
constexpr TKindInfo Kind(std::string_view record, std::string_view menu, int slot, TKindClass cls,
                         std::span<const TParamDesc> params) {
  return {T::KindCode, record, menu, slot, cls, params, &CreateT<T>, &CloneT<T>, &AssignT<T>};
}
constexpr std::span<const TParamDesc> kNone{};

using C = TKindClass;
// Slot order: the order of a graphic layer's per-kind lists and of the sections of its file.
constexpr std::array<TKindInfo, GraphicSlotCount + 1> kKinds = {{
    Kind<Text>("TGraphicSourceTextEvent", "テキスト", 0, C::Source, kText),
    Kind<Image>("TGraphicSourceImageEvent", "静止画", 1, C::Source, kImage),
    Kind<Movie>("TGraphicSourceMovieEvent", "動画", 2, C::Source, kMovie),
    Kind<Master>("TGraphicSourceMasterEvent", "マスター", 3, C::Source, kMaster),
    Kind<Pos>("TGraphicEffectPositionEvent", "移動", 4, C::Effect, kPosition),
    Kind<Size>("TGraphicEffectSizeEvent", "リサイズ", 5, C::Effect, kSize),
    Kind<Rot>("TGraphicEffectRotateEvent", "回転", 6, C::Effect, kRotate),
    Kind<Trim>("TGraphicEffectTrimEvent", "トリム", 7, C::Effect, kTrim),
    Kind<Mask>("TGraphicEffectAlphaMaskEvent", "アルファマスク", 8, C::Effect, kAlphaMask),
    Kind<TGraphicEffectMirrorHorzEvent>("TGraphicEffectMirrorHorzEvent", "左右反転", 9, C::Effect, kNone),
    Kind<TGraphicEffectMirrorVertEvent>("TGraphicEffectMirrorVertEvent", "上下反転", 10, C::Effect, kNone),
    Kind<Fade>("TGraphicEffectFadeEvent", "フェード", 11, C::Effect, kFade),
    Kind<Tile>("TGraphicEffectTileEvent", "タイル", 12, C::Effect, kTile),
    Kind<Blink>("TGraphicEffectBlinkEvent", "点滅", 13, C::Effect, kBlink),
    Kind<Vib>("TGraphicEffectVibrationEvent", "振動", 14, C::Effect, kVibration),
    Kind<TGraphicEffectMonoYUVEvent>("TGraphicEffectMonoYUVEvent", "モノクロ", 15, C::Effect, kNone),
    Kind<Sepia>("TGraphicEffectSepiaEvent", "色調変化", 16, C::Effect, kSepia),
    Kind<TGraphicEffectNegaEvent>("TGraphicEffectNegaEvent", "ネガ反転", 17, C::Effect, kNone),
    Kind<Bright>("TGraphicEffectBrightnessEvent", "輝度調整", 18, C::Effect, kBrightness),
    Kind<NoiseB>("TGraphicEffectNoiseBrightnessEvent", "輝度ノイズ", 19, C::Effect, kNoiseBrightness),
    Kind<NoiseC>("TGraphicEffectNoiseColorEvent", "色ノイズ", 20, C::Effect, kNoiseColor),
    Kind<Rev>("TGraphicEffectColorRevisionEvent", "色調整", 21, C::Effect, kColorRevision),
    Kind<Discolor>("TGraphicEffectDiscolorEvent", "退色", 22, C::Effect, kDiscolor),
    Kind<Blur>("TGraphicEffectSplitBlurEvent", "スプリットブラー", 23, C::Effect, kSplitBlur),
    Kind<Mosaic>("TGraphicEffectMosaicEvent", "モザイク", 24, C::Effect, kMosaic),
    Kind<Trans>("TGraphicEffectTransitionEvent", "トランジション", 25, C::Effect, kTransition),
    Kind<Swap>("TGraphicEffectSwapLayerEvent", "レイヤーの順番変更", 26, C::Effect, kSwapLayer),
    Kind<Snd>("TSoundSourceEvent", "", -1, C::Sound, kSound),
}};

}  // namespace

std::span<const TKindInfo> AllKinds() {
  return kKinds;
}

const TKindInfo* KindInfo(int32_t code) {
  for (const TKindInfo& k : kKinds)
    if (k.Code == code) return &k;
  return nullptr;
}

int SlotOfKind(int32_t code) {
  const TKindInfo* k = KindInfo(code);
  return k ? k->Slot : -1;
}

const TKindInfo& KindOfSlot(int slot) {
  return kKinds.at(static_cast<size_t>(slot));
}

int64_t GetParamInt(const TParamDesc& p, const TEvent& e) {
  TFieldRef r = p.Ref(const_cast<TEvent&>(e));
  if (auto* i = std::get_if<int32_t*>(&r)) return **i;
  if (auto* l = std::get_if<int64_t*>(&r)) return **l;
  return 0;
}

void SetParamInt(const TParamDesc& p, TEvent& e, int64_t v) {
  TFieldRef r = p.Ref(e);
  if (auto* i = std::get_if<int32_t*>(&r))
    **i = static_cast<int32_t>(static_cast<uint32_t>(v));
  else if (auto* l = std::get_if<int64_t*>(&r))
    **l = v;
}

const std::string& GetParamString(const TParamDesc& p, const TEvent& e) {
  static const std::string kEmpty;
  TFieldRef r = p.Ref(const_cast<TEvent&>(e));
  if (auto* s = std::get_if<std::string*>(&r)) return **s;
  return kEmpty;
}

void SetParamString(const TParamDesc& p, TEvent& e, std::string v) {
  TFieldRef r = p.Ref(e);
  if (auto* s = std::get_if<std::string*>(&r)) **s = std::move(v);
}

const TParamDesc* FindParam(const TKindInfo& k, std::string_view field) {
  for (const TParamDesc& p : k.Params)
    if (p.Field == field) return &p;
  return nullptr;
}

std::unique_ptr<TEvent> NewEvent(int32_t code) {
  const TKindInfo* k = KindInfo(code);
  return k ? k->Create() : nullptr;
}

std::unique_ptr<TEvent> NewEventWithInitialValues(int32_t code) {
  std::unique_ptr<TEvent> e = NewEvent(code);
  if (!e) return e;
  for (const TParamDesc& p : KindInfo(code)->Params) {
    if (p.IsString())
      SetParamString(p, *e, std::string(p.InitialText));
    else
      SetParamInt(p, *e, p.Initial);
  }
  return e;
}

std::unique_ptr<TEvent> CopyEvent(const TEvent& e) {
  const TKindInfo* k = KindInfo(e.EventType);
  return k ? k->Clone(e) : nullptr;
}

bool AssignEvent(TEvent& target, const TEvent& source) {
  const TKindInfo* k = KindInfo(source.EventType);
  if (!k || target.EventType != source.EventType) return false;
  k->Assign(target, source);
  return true;
}

}  // namespace vexa
