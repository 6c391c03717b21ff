// The summary column of every event kind, built from fixed text pieces.
#include <string>
#include <type_traits>

#include "model/events.h"
#include "ui/logic/event_rows.h"
#include "ui/logic/text_format.h"

namespace vexa {
namespace {

// A field of the event ("A"), a Start/End pair ("A → B") and a pair in percent ("A% → B%").
// The text follows the field's type: signed fields show a minus sign, unsigned ones (the
// movie's frame range) their unsigned value.
struct Val {
  std::string Text;
  Val(int32_t v) : Text(SignedText(v)) {}     // NOLINT(google-explicit-constructor)
  Val(uint32_t v) : Text(UnsignedText(v)) {}  // NOLINT(google-explicit-constructor)
};
struct Arrow {
  Val A, B;
};
struct PctArrow {
  Val A, B;
};

// Appends text pieces and field values.
class TSummary {
 public:
  TSummary& operator<<(std::string_view piece) {
    out_ += piece;
    return *this;
  }
  TSummary& operator<<(const Val& v) {
    out_ += v.Text;
    return *this;
  }
  TSummary& operator<<(const Arrow& p) { return *this << p.A << " → " << p.B; }
  TSummary& operator<<(const PctArrow& p) { return *this << p.A << "% → " << p.B << "%"; }

  std::string Take() { return std::move(out_); }

 private:
  std::string out_;
};

// The rectangle of trim and mosaic: 0 in pixels, 1 in percent; other units leave it out.
template <class R>
void Rectangle(TSummary& s, const R& e, int32_t unit) {
  if (unit == 0) {
    s << "左：" << Val{e.StartX} << " 上：" << Val{e.StartY} << " 右：" << Val{e.StartX2} << " 下："
      << Val{e.StartY2} << "　→　";
    s << "左：" << Val{e.EndX} << " 上：" << Val{e.EndY} << " 右：" << Val{e.EndX2} << " 下："
      << Val{e.EndY2};
  } else if (unit == 1) {
    s << "左：" << Val{e.StartX} << "% 上：" << Val{e.StartY} << "% 右：" << Val{e.StartX2} << "% 下："
      << Val{e.StartY2} << "%　→　";
    s << "左：" << Val{e.EndX} << "% 上：" << Val{e.EndY} << "% 右：" << Val{e.EndX2} << "% 下："
      << Val{e.EndY2} << "%";
  }
}

template <class R>
void Channels(TSummary& s, const R& e) {
  s << "R：" << Val{e.StartRed} << " G：" << Val{e.StartGreen} << " B：" << Val{e.StartBlue} << " → ";
  s << "R：" << Val{e.EndRed} << " G：" << Val{e.EndGreen} << " B：" << Val{e.EndBlue};
}

template <class R>
void SizeText(TSummary& s, const R& e) {
  switch (e.SizeType) {
    case 0:
      s << "単位：ピクセル幅：" << Arrow{e.StartWidth, e.EndWidth} << "高さ："
        << Arrow{e.StartHeight, e.EndHeight};
      break;
    case 1:
    case 2:
      s << (e.SizeType == 1 ? "単位：%（レイヤー基準）幅：" : "単位：%（フレーム基準）幅：");
      s << PctArrow{e.StartWidth, e.EndWidth} << "高さ：" << PctArrow{e.StartHeight, e.EndHeight};
      break;
    default:
      break;
  }
}

void PositionText(TSummary& s, const TGraphicEffectPositionEvent& e) {
  s << "原点：" << DirectionName(e.OriginDirection) << ", ";
  switch (e.PositionType) {
    case 0:  // no separator between the X and the Y part
      s << "X：" << Arrow{e.StartX, e.EndX} << "Y：" << Arrow{e.StartY, e.EndY};
      break;
    case 1:
      s << "X：" << PctArrow{e.StartX, e.EndX} << "Y：" << PctArrow{e.StartY, e.EndY};
      break;
    case 2:
      s << DirectionName(e.StartDirection) << " → " << DirectionName(e.EndDirection);
      break;
    default:
      break;
  }
}

void VibrationText(TSummary& s, const TGraphicEffectVibrationEvent& e) {
  s << "振動間隔（" << Val{e.StartInterval} << "ミリ秒 → " << Val{e.EndInterval} << "ミリ秒）, ";
  switch (e.PositionType) {
    case 0:
      s << "振動範囲（単位：ピクセル, "
        << "幅（"
        << "最小値：" << Arrow{e.StartMinX, e.EndMinX} << ", 最大値：" << Arrow{e.StartMaxX, e.EndMaxX}
        << "）, ";
      s << "高さ（"
        << "最小値：" << Arrow{e.StartMinY, e.EndMinY} << ", 最大値：" << Arrow{e.StartMaxY, e.EndMaxY}
        << "））";
      break;
    case 1:
    case 2:
      s << (e.PositionType == 1 ? "振動範囲（単位：%（レイヤー基準）, "
                                : "振動範囲（単位：%（マスター基準）, ");
      s << "幅（"
        << "最小値：" << PctArrow{e.StartMinX, e.EndMinX} << ", 最大値：" << PctArrow{e.StartMaxX, e.EndMaxX}
        << "）, ";
      s << "高さ（"
        << "最小値：" << PctArrow{e.StartMinY, e.EndMinY} << ", 最大値：" << PctArrow{e.StartMaxY, e.EndMaxY}
        << "））";
      break;
    default:
      break;
  }
}

void MovieText(TSummary& s, const TGraphicSourceMovieEvent& e) {
  s << FileNameWithoutFolder(e.FileName);
  if (e.FrameAppointMode == 0) {
    s << "　開始フレーム：" << Val{e.StartFrame} << "→終了フレーム：" << Val{e.EndFrame};
  } else if (e.FrameAppointMode == 1) {
    s << "　開始時間：" << TimeText(static_cast<uint32_t>(e.StartFrame)) << "→終了時間："
      << TimeText(static_cast<uint32_t>(e.EndFrame));
  }
}

void SwapLayerText(TSummary& s, const TGraphicEffectSwapLayerEvent& e) {
  if (e.TargetMode == 0)
    s << "ターゲット：" << Val{e.Index} << ", ";
  else if (e.TargetMode == 1)
    s << "ターゲット：\"" << e.LayerName << "\", ";
  switch (e.ActionMode) {
    case 0:
      s << "変更方法：入れ替え";
      break;
    case 1:
      s << "変更方法：上へ移動";
      break;
    case 2:
      s << "変更方法：下へ移動";
      break;
    default:
      break;
  }
}

// Calls f with the event as its record type.
template <class F>
void VisitEvent(const TEvent& e, F&& f) {
  switch (e.EventType) {
#define VEXA_CASE(T)             \
  case T::KindCode:              \
    f(static_cast<const T&>(e)); \
    break;
    VEXA_CASE(TGraphicSourceTextEvent)
    VEXA_CASE(TGraphicSourceImageEvent)
    VEXA_CASE(TGraphicSourceMovieEvent)
    VEXA_CASE(TGraphicSourceMasterEvent)
    VEXA_CASE(TGraphicEffectPositionEvent)
    VEXA_CASE(TGraphicEffectSizeEvent)
    VEXA_CASE(TGraphicEffectRotateEvent)
    VEXA_CASE(TGraphicEffectTrimEvent)
    VEXA_CASE(TGraphicEffectAlphaMaskEvent)
    VEXA_CASE(TGraphicEffectMirrorHorzEvent)
    VEXA_CASE(TGraphicEffectMirrorVertEvent)
    VEXA_CASE(TGraphicEffectFadeEvent)
    VEXA_CASE(TGraphicEffectTileEvent)
    VEXA_CASE(TGraphicEffectBlinkEvent)
    VEXA_CASE(TGraphicEffectVibrationEvent)
    VEXA_CASE(TGraphicEffectMonoYUVEvent)
    VEXA_CASE(TGraphicEffectSepiaEvent)
    VEXA_CASE(TGraphicEffectBrightnessEvent)
    VEXA_CASE(TGraphicEffectColorRevisionEvent)
    VEXA_CASE(TGraphicEffectDiscolorEvent)
    VEXA_CASE(TGraphicEffectNoiseColorEvent)
    VEXA_CASE(TGraphicEffectNoiseBrightnessEvent)
    VEXA_CASE(TGraphicEffectNegaEvent)
    VEXA_CASE(TGraphicEffectMosaicEvent)
    VEXA_CASE(TGraphicEffectSplitBlurEvent)
    VEXA_CASE(TGraphicEffectTransitionEvent)
    VEXA_CASE(TGraphicEffectSwapLayerEvent)
    VEXA_CASE(TSoundSourceEvent)
#undef VEXA_CASE
    default:
      break;
  }
}

template <class T>
constexpr bool kIsPowerPair =
    std::is_same_v<T, TGraphicEffectBrightnessEvent> || std::is_same_v<T, TGraphicEffectDiscolorEvent> ||
    std::is_same_v<T, TGraphicEffectNoiseColorEvent> || std::is_same_v<T, TGraphicEffectNoiseBrightnessEvent>;

template <class T>
constexpr bool kHasNoSummary =
    std::is_same_v<T, TGraphicEffectMirrorHorzEvent> || std::is_same_v<T, TGraphicEffectMirrorVertEvent> ||
    std::is_same_v<T, TGraphicEffectMonoYUVEvent> || std::is_same_v<T, TGraphicEffectNegaEvent>;

}  // namespace

std::string EventSummary(const TEvent& event) {
  TSummary s;
  VisitEvent(event, [&s](const auto& e) {
    using T = std::decay_t<decltype(e)>;
    if constexpr (std::is_same_v<T, TGraphicSourceTextEvent>) {
      s << e.Text;
    } else if constexpr (std::is_same_v<T, TGraphicSourceImageEvent>) {
      s << FileNameWithoutFolder(e.FileName);
    } else if constexpr (std::is_same_v<T, TGraphicSourceMovieEvent>) {
      MovieText(s, e);
    } else if constexpr (std::is_same_v<T, TGraphicSourceMasterEvent>) {
      s << "マスターレイヤー";
    } else if constexpr (std::is_same_v<T, TGraphicEffectPositionEvent>) {
      PositionText(s, e);
    } else if constexpr (std::is_same_v<T, TGraphicEffectSizeEvent> ||
                         std::is_same_v<T, TGraphicEffectTileEvent>) {
      SizeText(s, e);
    } else if constexpr (std::is_same_v<T, TGraphicEffectRotateEvent>) {
      s << Val{e.StartAngle} << "度 → " << Val{e.EndAngle} << "度";
    } else if constexpr (std::is_same_v<T, TGraphicEffectTrimEvent>) {
      Rectangle(s, e, e.TrimType);
    } else if constexpr (std::is_same_v<T, TGraphicEffectAlphaMaskEvent>) {
      if (e.MaskType == 0)
        s << "透過色：" << ColorText(e.Color);
      else if (e.MaskType == 1)
        s << "マスク画像：" << FileNameWithoutFolder(e.MaskFileName);
    } else if constexpr (kHasNoSummary<T>) {
      // nothing to say beyond the kind name
    } else if constexpr (std::is_same_v<T, TGraphicEffectFadeEvent>) {
      s << Arrow{e.StartAlpha, e.EndAlpha};
    } else if constexpr (std::is_same_v<T, TGraphicEffectBlinkEvent>) {
      s << Val{e.StartInterval} << "ミリ秒 → " << Val{e.EndInterval} << "ミリ秒";
    } else if constexpr (std::is_same_v<T, TGraphicEffectVibrationEvent>) {
      VibrationText(s, e);
    } else if constexpr (std::is_same_v<T, TGraphicEffectSepiaEvent> ||
                         std::is_same_v<T, TGraphicEffectColorRevisionEvent>) {
      Channels(s, e);
    } else if constexpr (kIsPowerPair<T>) {
      s << Arrow{e.StartPower, e.EndPower};
    } else if constexpr (std::is_same_v<T, TGraphicEffectMosaicEvent>) {
      // The position part has no closing bracket.
      s << "モザイクの強さ（" << Arrow{e.StartPower, e.EndPower} << "）, "
        << "位置（";
      Rectangle(s, e, e.PositionType);
    } else if constexpr (std::is_same_v<T, TGraphicEffectSplitBlurEvent>) {
      s << "ぶれの強さ（" << Arrow{e.StartPower, e.EndPower} << "）,";
      s << "繰り返し回数（" << Arrow{e.StartLoop, e.EndLoop} << "）";
    } else if constexpr (std::is_same_v<T, TGraphicEffectTransitionEvent>) {
      s << "切り替え段階（" << Arrow{e.StartPower, e.EndPower} << "）, ";
      s << "切り替え幅（" << Arrow{e.StartVag, e.EndVag} << "）, ";
      s << "ルール画像（" << FileNameWithoutFolder(e.RuleFileName) << "）";
    } else if constexpr (std::is_same_v<T, TGraphicEffectSwapLayerEvent>) {
      SwapLayerText(s, e);
    } else if constexpr (std::is_same_v<T, TSoundSourceEvent>) {
      s << "音量（" << Arrow{e.StartVolume, e.EndVolume} << "）, ";
      s << "ステレオバランス（" << Arrow{e.StartPan, e.EndPan} << "）";
    } else {
      static_assert(sizeof(T) == 0, "every kind has a summary");
    }
  });
  return s.Take();
}

}  // namespace vexa
