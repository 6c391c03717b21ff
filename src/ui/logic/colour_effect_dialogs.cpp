// The dialogs of the colour effects: monochrome, tone change, brightness, colour revision,
// discolour, the two noises, negative, mosaic and split blur.
#include "ui/logic/dialog_builder.h"

namespace vexa::dialog {
namespace {

void Channels(TBuilder& b, int group) {
  b.Pair(group, "R：", "JvSpinEdit_StartRed", "JvSpinEdit_EndRed", "StartRed", "EndRed");
  b.Pair(group, "G：", "JvSpinEdit_StartGreen", "JvSpinEdit_EndGreen", "StartGreen", "EndGreen");
  b.Pair(group, "B：", "JvSpinEdit_StartBlue", "JvSpinEdit_EndBlue", "StartBlue", "EndBlue");
}

// A dialog with one Start/End power pair in a group.
TDialogDescriptor PowerPair(int32_t code, std::string_view className, std::string_view caption,
                            std::string_view group) {
  TBuilder b(code, className, caption);
  b.Pair(b.Group(group), "", "JvSpinEdit_StartPower", "JvSpinEdit_EndPower", "StartPower", "EndPower");
  return b.Finish();
}

TDialogDescriptor Sepia() {
  TBuilder b(kind::Sepia, "TForm_GraphicEffect_Sepia", "色調変化");
  Channels(b, b.Group("指定した色に変化"));
  return b.Finish();
}

TDialogDescriptor ColorRevision() {
  TBuilder b(kind::ColorRevision, "TForm_GraphicEffect_ColorRevision", "色調整");
  Channels(b, b.Group("色の増減"));
  return b.Finish();
}

TDialogDescriptor Mosaic() {
  TBuilder b(kind::Mosaic, "TForm_GraphicEffect_Mosaic", "モザイク");
  b.Pair(b.Group("エフェクトの強さ"), "", "JvSpinEdit_StartPower", "JvSpinEdit_EndPower", "StartPower",
         "EndPower");
  RectangleFields(b, b.Group("モザイクの範囲（原点は左上）"));
  RectangleUnits(b, b.Group("単位"), "PositionType");
  return b.Finish();
}

TDialogDescriptor SplitBlur() {
  TBuilder b(kind::SplitBlur, "TForm_GraphicEffect_SplitBlur", "スプリットブラー");
  b.Pair(b.Group("ぶれの強さ"), "", "JvSpinEdit_StartPower", "JvSpinEdit_EndPower", "StartPower", "EndPower");
  b.Pair(b.Group("繰り返し回数"), "", "JvSpinEdit_StartLoop", "JvSpinEdit_EndLoop", "StartLoop", "EndLoop");
  return b.Finish();
}

}  // namespace

std::vector<TDialogDescriptor> ColourEffectDialogs() {
  std::vector<TDialogDescriptor> d;
  d.push_back(TBuilder(kind::MonoYUV, "TForm_GraphicEffect_MonoYUV", "モノクロ").Finish());
  d.push_back(Sepia());
  d.push_back(PowerPair(kind::Brightness, "TForm_GraphicEffect_Brightness", "輝度調整", "輝度の増減"));
  d.push_back(ColorRevision());
  d.push_back(PowerPair(kind::Discolor, "TForm_GraphicEffect_Discolor", "退色", "エフェクトの強さ"));
  d.push_back(PowerPair(kind::NoiseColor, "TForm_GraphicEffect_NoiseColor", "色ノイズ", "エフェクトの強さ"));
  d.push_back(PowerPair(kind::NoiseBrightness, "TForm_GraphicEffect_NoiseBrightness", "輝度ノイズ",
                        "エフェクトの強さ"));
  d.push_back(TBuilder(kind::Nega, "TForm_GraphicEffect_Nega", "ネガ反転").Finish());
  d.push_back(Mosaic());
  d.push_back(SplitBlur());
  return d;
}

}  // namespace vexa::dialog
