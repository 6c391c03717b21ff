#include "event_kinds.h"

#include <array>
#include <limits>

namespace vexa {
namespace {

template <class>
struct MemberOf;
template <class C, class M>
struct MemberOf<M C::*> {
  using Class = C;
  using Type = M;
};

template <class T>
constexpr TFieldType FieldTypeOf() {
  if constexpr (std::is_same_v<T, int32_t>)
    return TFieldType::Int32;
  else if constexpr (std::is_same_v<T, uint32_t>)
    return TFieldType::UInt32;
  else if constexpr (std::is_same_v<T, int64_t>)
    return TFieldType::Int64;
  else {
    static_assert(std::is_same_v<T, std::string>, "a parameter is a number or a string");
    return TFieldType::String;
  }
}

template <auto M>
TFieldRef RefOf(TEvent& e) {
  using C = typename MemberOf<decltype(M)>::Class;
  return &(static_cast<C&>(e).*M);
}
template <auto Outer, auto Inner>
TFieldRef RefOf2(TEvent& e) {
  using C = typename MemberOf<decltype(Outer)>::Class;
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

// File spellings (the key is the field name unless given): I WriteInteger, S
// WriteSignedInteger, C WriteColor, T WriteString, L WriteStrings, a path under two keys.
constexpr TFileSpelling I(int64_t def) {
  return {{}, {}, W::Unsigned, W::Unsigned, def};
}
constexpr TFileSpelling S(int64_t def) {
  return {{}, {}, W::Signed, W::Signed, def};
}
constexpr TFileSpelling C(int64_t def) {
  return {{}, {}, W::Color, W::Color, def};
}
constexpr TFileSpelling T() {
  return {{}, {}, W::String, W::String, 0};
}
constexpr TFileSpelling L() {
  return {{}, {}, W::Lines, W::Lines, 0};
}
constexpr TFileSpelling PathKeys(std::string_view fullKey, std::string_view relKey) {
  return {fullKey, relKey, W::Path, W::Path, 0};
}

// Dialog ranges: minimum, maximum and the initial value of a new event.
constexpr TDialogRange D(int64_t lo, int64_t hi, int64_t init) {
  return {lo, hi, init, {}};
}
constexpr TDialogRange DText(std::string_view init = {}) {
  return {0, 0, 0, init};
}

template <auto M>
constexpr TParamDesc Row(std::string_view field, TFileSpelling file, TDialogRange dialog) {
  if (file.Key.empty()) file.Key = field;
  return {field, FieldTypeOf<typename MemberOf<decltype(M)>::Type>(), &RefOf<M>, file, dialog};
}
template <auto M>
constexpr TParamDesc FontRow(std::string_view field, TFileSpelling file, TDialogRange dialog) {
  if (file.Key.empty()) file.Key = field;
  return {field, FieldTypeOf<typename MemberOf<decltype(M)>::Type>(),
          &RefOf2<&TGraphicSourceTextEvent::Font, M>, file, dialog};
}

// P(record, field, file spelling, dialog range): one row per field.
#define P(R, F, file, dialog) Row<&R::F>(#F, file, dialog)

using Text = TGraphicSourceTextEvent;
constexpr TParamDesc kText[] = {
    P(Text, BlendMode, I(1), D(0, 3, 1)),
    P(Text, Text, L(), DText()),
    FontRow<&TFontEx::Name>("Font.Name", T(), DText("ＭＳ Ｐゴシック")),
    FontRow<&TFontEx::Size>("Font.Size", I(12), D(1, 999, 10)),
    FontRow<&TFontEx::Style>("Font.Style", S(0), D(0, 15, 0)),
    FontRow<&TFontEx::ColorType>("Font.ColorType", I(0), D(0, 1, 0)),
    FontRow<&TFontEx::Color>("Font.Color", C(0), D(0, kMaxColor, 0)),
    FontRow<&TFontEx::Align>("Font.Align", C(0), D(0, 2, 0)),
    FontRow<&TFontEx::TextureFileName>("Font.TextureFileName",
                                       PathKeys("Font.TextureFullFileName", "Font.TextureFileName"), DText()),
};

using Image = TGraphicSourceImageEvent;
constexpr TParamDesc kImage[] = {
    P(Image, BlendMode, I(1), D(0, 3, 1)),
    P(Image, FileName, PathKeys("FullFileName", "FileName"), DText()),
};

using Movie = TGraphicSourceMovieEvent;
constexpr TParamDesc kMovie[] = {
    P(Movie, BlendMode, I(1), D(0, 3, 0)),
    P(Movie, FileName, PathKeys("FullFileName", "FileName"), DText()),
    P(Movie, FrameAppointMode, I(0), D(0, 1, 0)),
    P(Movie, StartFrame, I(0), D(0, kMaxInt, 0)),
    P(Movie, EndFrame, I(kMaxInt), D(0, kMaxInt, kMaxInt)),
};

using Master = TGraphicSourceMasterEvent;
constexpr TParamDesc kMaster[] = {P(Master, BlendMode, I(1), D(0, 3, 0))};

using Pos = TGraphicEffectPositionEvent;
constexpr TParamDesc kPosition[] = {
    P(Pos, PositionType, I(0), D(0, 2, 1)),   P(Pos, OriginDirection, I(0), D(0, 8, 0)),
    P(Pos, StartX, S(0), D(-4000, 4000, 0)),  P(Pos, EndX, S(0), D(-4000, 4000, 0)),
    P(Pos, StartY, S(0), D(-4000, 4000, 0)),  P(Pos, EndY, S(0), D(-4000, 4000, 0)),
    P(Pos, StartDirection, I(0), D(0, 8, 0)), P(Pos, EndDirection, I(0), D(0, 8, 0)),
};

using Size = TGraphicEffectSizeEvent;
constexpr TParamDesc kSize[] = {
    P(Size, SizeType, I(1), D(0, 2, 1)),         P(Size, StartWidth, I(100), D(1, 4000, 100)),
    P(Size, EndWidth, I(100), D(1, 4000, 100)),  P(Size, StartHeight, I(100), D(1, 4000, 100)),
    P(Size, EndHeight, I(100), D(1, 4000, 100)),
};

using Rot = TGraphicEffectRotateEvent;
constexpr TParamDesc kRotate[] = {
    P(Rot, OriginDirection, I(4), D(0, 8, 4)),
    P(Rot, StartAngle, S(0), D(-2100000000, 2100000000, 0)),
    P(Rot, EndAngle, S(0), D(-2100000000, 2100000000, 0)),
};

using Trim = TGraphicEffectTrimEvent;
constexpr TParamDesc kTrim[] = {
    P(Trim, TrimType, I(1), D(0, 1, 1)),  P(Trim, StartX, I(0), D(0, 100, 0)),
    P(Trim, EndX, I(0), D(0, 100, 0)),    P(Trim, StartY, I(0), D(0, 100, 0)),
    P(Trim, EndY, I(0), D(0, 100, 0)),    P(Trim, StartX2, I(100), D(0, 100, 0)),
    P(Trim, EndX2, I(100), D(0, 100, 0)), P(Trim, StartY2, I(100), D(0, 100, 0)),
    P(Trim, EndY2, I(100), D(0, 100, 0)),
};

using Mask = TGraphicEffectAlphaMaskEvent;
constexpr TParamDesc kAlphaMask[] = {
    P(Mask, MaskType, I(0), D(0, 1, 0)),
    P(Mask, Color, C(0), D(0, kMaxColor, 0)),
    P(Mask, MaskFileName, PathKeys("MaskFullFileName", "MaskFileName"), DText()),
};

using Fade = TGraphicEffectFadeEvent;
constexpr TParamDesc kFade[] = {
    P(Fade, StartAlpha, I(255), D(0, 255, 0)),
    P(Fade, EndAlpha, I(255), D(0, 255, 0)),
};

using Tile = TGraphicEffectTileEvent;
constexpr TParamDesc kTile[] = {
    P(Tile, SizeType, I(1), D(0, 2, 1)),         P(Tile, StartWidth, I(100), D(1, 4000, 100)),
    P(Tile, EndWidth, I(100), D(1, 4000, 100)),  P(Tile, StartHeight, I(100), D(1, 4000, 100)),
    P(Tile, EndHeight, I(100), D(1, 4000, 100)),
};

using Blink = TGraphicEffectBlinkEvent;
constexpr TParamDesc kBlink[] = {
    P(Blink, StartInterval, I(100), D(0, kMaxInt, 0)),
    P(Blink, EndInterval, I(100), D(0, kMaxInt, 0)),
};

using Vib = TGraphicEffectVibrationEvent;
constexpr TParamDesc kVibration[] = {
    P(Vib, StartInterval, I(100), D(0, kMaxInt, 0)), P(Vib, EndInterval, I(100), D(0, kMaxInt, 0)),
    P(Vib, PositionType, I(0), D(0, 2, 1)),          P(Vib, StartMinX, I(0), D(0, kMaxInt, 0)),
    P(Vib, EndMinX, I(0), D(0, kMaxInt, 0)),         P(Vib, StartMaxX, I(0), D(0, kMaxInt, 0)),
    P(Vib, EndMaxX, I(0), D(0, kMaxInt, 0)),         P(Vib, StartMinY, I(0), D(0, kMaxInt, 0)),
    P(Vib, EndMinY, I(0), D(0, kMaxInt, 0)),         P(Vib, StartMaxY, I(0), D(0, kMaxInt, 0)),
    P(Vib, EndMaxY, I(0), D(0, kMaxInt, 0)),
};

using Sepia = TGraphicEffectSepiaEvent;
constexpr TParamDesc kSepia[] = {
    P(Sepia, StartRed, I(235), D(0, 255, 240)),   P(Sepia, EndRed, I(235), D(0, 255, 240)),
    P(Sepia, StartGreen, I(200), D(0, 255, 200)), P(Sepia, EndGreen, I(200), D(0, 255, 200)),
    P(Sepia, StartBlue, I(135), D(0, 255, 145)),  P(Sepia, EndBlue, I(135), D(0, 255, 145)),
};

using Bright = TGraphicEffectBrightnessEvent;
constexpr TParamDesc kBrightness[] = {
    P(Bright, StartPower, S(0), D(-255, 255, 0)),
    P(Bright, EndPower, S(0), D(-255, 255, 0)),
};

// Colour revision is written signed but read with the unsigned reader, which accepts "-5".
constexpr TFileSpelling kRevisionSpelling{{}, {}, W::Signed, W::Unsigned, 0};
using Rev = TGraphicEffectColorRevisionEvent;
constexpr TParamDesc kColorRevision[] = {
    P(Rev, StartRed, kRevisionSpelling, D(-255, 255, 0)),
    P(Rev, EndRed, kRevisionSpelling, D(-255, 255, 0)),
    P(Rev, StartGreen, kRevisionSpelling, D(-255, 255, 0)),
    P(Rev, EndGreen, kRevisionSpelling, D(-255, 255, 0)),
    P(Rev, StartBlue, kRevisionSpelling, D(-255, 255, 0)),
    P(Rev, EndBlue, kRevisionSpelling, D(-255, 255, 0)),
};

using Discolor = TGraphicEffectDiscolorEvent;
constexpr TParamDesc kDiscolor[] = {
    P(Discolor, StartPower, I(1), D(0, 255, 0)),
    P(Discolor, EndPower, I(1), D(0, 255, 0)),
};
using NoiseC = TGraphicEffectNoiseColorEvent;
constexpr TParamDesc kNoiseColor[] = {
    P(NoiseC, StartPower, I(1), D(0, 255, 0)),
    P(NoiseC, EndPower, I(1), D(0, 255, 0)),
};
using NoiseB = TGraphicEffectNoiseBrightnessEvent;
constexpr TParamDesc kNoiseBrightness[] = {
    P(NoiseB, StartPower, I(1), D(0, 255, 0)),
    P(NoiseB, EndPower, I(1), D(0, 255, 0)),
};

using Mosaic = TGraphicEffectMosaicEvent;
constexpr TParamDesc kMosaic[] = {
    P(Mosaic, PositionType, I(1), D(0, 1, 1)), P(Mosaic, StartX, I(0), D(0, 100, 0)),
    P(Mosaic, EndX, I(0), D(0, 100, 0)),       P(Mosaic, StartY, I(0), D(0, 100, 0)),
    P(Mosaic, EndY, I(0), D(0, 100, 0)),       P(Mosaic, StartX2, I(100), D(0, 100, 0)),
    P(Mosaic, EndX2, I(100), D(0, 100, 0)),    P(Mosaic, StartY2, I(100), D(0, 100, 0)),
    P(Mosaic, EndY2, I(100), D(0, 100, 0)),    P(Mosaic, StartPower, I(5), D(1, 255, 1)),
    P(Mosaic, EndPower, I(5), D(1, 255, 1)),
};

using Blur = TGraphicEffectSplitBlurEvent;
constexpr TParamDesc kSplitBlur[] = {
    P(Blur, StartPower, I(1), D(1, 255, 1)),
    P(Blur, EndPower, I(1), D(1, 255, 1)),
    P(Blur, StartLoop, I(1), D(1, 255, 1)),
    P(Blur, EndLoop, I(1), D(1, 255, 1)),
};

using Trans = TGraphicEffectTransitionEvent;
constexpr TParamDesc kTransition[] = {
    P(Trans, StartPower, I(0), D(0, 255, 0)),
    P(Trans, EndPower, I(255), D(0, 255, 255)),
    P(Trans, StartVag, I(4), D(1, 8, 4)),
    P(Trans, EndVag, I(4), D(1, 8, 4)),
    P(Trans, RuleFileName, PathKeys("RuleFullFileName", "RuleFileName"), DText()),
};

using Swap = TGraphicEffectSwapLayerEvent;
constexpr TParamDesc kSwapLayer[] = {
    P(Swap, TargetMode, I(0), D(0, 1, 0)),
    P(Swap, Index, I(0), D(0, kMaxInt, 0)),
    P(Swap, LayerName, T(), DText()),
    P(Swap, ActionMode, I(0), D(0, 2, 0)),
};

// Sample positions are stored as their low 32 bits; pans are written unsigned.
using Snd = TSoundSourceEvent;
constexpr TParamDesc kSound[] = {
    P(Snd, FileName, PathKeys("FullFileName", "FileName"), DText()),
    P(Snd, SampleAppointMode, I(0), D(0, 1, 0)),
    P(Snd, StartSample, I(0), D(0, kMaxInt, 0)),
    P(Snd, EndSample, I(kMaxInt), D(0, kMaxInt, kMaxInt)),
    P(Snd, StartVolume, I(256), D(0, 256, 256)),
    P(Snd, EndVolume, I(256), D(0, 256, 256)),
    P(Snd, StartPan, I(128), D(-128, 128, 0)),
    P(Snd, EndPan, I(128), D(-128, 128, 0)),
};

#undef P

template <class T>
constexpr TKindInfo Kind(std::string_view record, std::string_view menu, int slot, TKindClass cls,
                         std::span<const TParamDesc> params) {
  return {T::KindCode, record, menu, slot, cls, params, &CreateT<T>, &CloneT<T>, &AssignT<T>};
}
constexpr std::span<const TParamDesc> kNone{};

using KC = TKindClass;
// Slot order: the order of a graphic layer's per-kind lists and of the sections of its file.
constexpr std::array<TKindInfo, GraphicSlotCount + 1> kKinds = {{
    Kind<Text>("TGraphicSourceTextEvent", "テキスト", 0, KC::Source, kText),
    Kind<Image>("TGraphicSourceImageEvent", "静止画", 1, KC::Source, kImage),
    Kind<Movie>("TGraphicSourceMovieEvent", "動画", 2, KC::Source, kMovie),
    Kind<Master>("TGraphicSourceMasterEvent", "マスター", 3, KC::Source, kMaster),
    Kind<Pos>("TGraphicEffectPositionEvent", "移動", 4, KC::Effect, kPosition),
    Kind<Size>("TGraphicEffectSizeEvent", "リサイズ", 5, KC::Effect, kSize),
    Kind<Rot>("TGraphicEffectRotateEvent", "回転", 6, KC::Effect, kRotate),
    Kind<Trim>("TGraphicEffectTrimEvent", "トリム", 7, KC::Effect, kTrim),
    Kind<Mask>("TGraphicEffectAlphaMaskEvent", "アルファマスク", 8, KC::Effect, kAlphaMask),
    Kind<TGraphicEffectMirrorHorzEvent>("TGraphicEffectMirrorHorzEvent", "左右反転", 9, KC::Effect, kNone),
    Kind<TGraphicEffectMirrorVertEvent>("TGraphicEffectMirrorVertEvent", "上下反転", 10, KC::Effect, kNone),
    Kind<Fade>("TGraphicEffectFadeEvent", "フェード", 11, KC::Effect, kFade),
    Kind<Tile>("TGraphicEffectTileEvent", "タイル", 12, KC::Effect, kTile),
    Kind<Blink>("TGraphicEffectBlinkEvent", "点滅", 13, KC::Effect, kBlink),
    Kind<Vib>("TGraphicEffectVibrationEvent", "振動", 14, KC::Effect, kVibration),
    Kind<TGraphicEffectMonoYUVEvent>("TGraphicEffectMonoYUVEvent", "モノクロ", 15, KC::Effect, kNone),
    Kind<Sepia>("TGraphicEffectSepiaEvent", "色調変化", 16, KC::Effect, kSepia),
    Kind<TGraphicEffectNegaEvent>("TGraphicEffectNegaEvent", "ネガ反転", 17, KC::Effect, kNone),
    Kind<Bright>("TGraphicEffectBrightnessEvent", "輝度調整", 18, KC::Effect, kBrightness),
    Kind<NoiseB>("TGraphicEffectNoiseBrightnessEvent", "輝度ノイズ", 19, KC::Effect, kNoiseBrightness),
    Kind<NoiseC>("TGraphicEffectNoiseColorEvent", "色ノイズ", 20, KC::Effect, kNoiseColor),
    Kind<Rev>("TGraphicEffectColorRevisionEvent", "色調整", 21, KC::Effect, kColorRevision),
    Kind<Discolor>("TGraphicEffectDiscolorEvent", "退色", 22, KC::Effect, kDiscolor),
    Kind<Blur>("TGraphicEffectSplitBlurEvent", "スプリットブラー", 23, KC::Effect, kSplitBlur),
    Kind<Mosaic>("TGraphicEffectMosaicEvent", "モザイク", 24, KC::Effect, kMosaic),
    Kind<Trans>("TGraphicEffectTransitionEvent", "トランジション", 25, KC::Effect, kTransition),
    Kind<Swap>("TGraphicEffectSwapLayerEvent", "レイヤーの順番変更", 26, KC::Effect, kSwapLayer),
    Kind<Snd>("TSoundSourceEvent", "", -1, KC::Sound, kSound),
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
  if (auto* u = std::get_if<uint32_t*>(&r)) return **u;
  if (auto* l = std::get_if<int64_t*>(&r)) return **l;
  return 0;
}

void SetParamInt(const TParamDesc& p, TEvent& e, int64_t v) {
  TFieldRef r = p.Ref(e);
  if (auto* i = std::get_if<int32_t*>(&r))
    **i = static_cast<int32_t>(static_cast<uint32_t>(v));
  else if (auto* u = std::get_if<uint32_t*>(&r))
    **u = static_cast<uint32_t>(v);
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
      SetParamString(p, *e, std::string(p.Dialog.InitialText));
    else
      SetParamInt(p, *e, p.Dialog.Initial);
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
