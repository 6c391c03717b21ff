// The dialogs of the transform effects: position, size, rotate, trim, the two mirrors, fade,
// tile, blink and vibration.
#include "ui/logic/dialog_builder.h"

namespace vexa::dialog {
namespace {

// The size fields of size and tile: width and height pairs.
void SizeFields(TBuilder& b, int group) {
  b.Pair(group, "幅：", "JvSpinEdit_StartX", "JvSpinEdit_EndX", "StartWidth", "EndWidth");
  b.Pair(group, "高さ：", "JvSpinEdit_StartY", "JvSpinEdit_EndY", "StartHeight", "EndHeight");
}

void SizeUnits(TBuilder& b, int group, std::string_view field) {
  b.Radios(group, field,
           {{"RadioButton_SizeType_Pixel", "ピクセル"},
            {"RadioButton_SizeType_PercentLayer", "%（レイヤー基準）"},
            {"RadioButton_SizeType_PercentFrame", "%（マスター基準）"}});
}

TDialogDescriptor Position() {
  TBuilder b(kind::Position, "TForm_GraphicEffect_Position", "移動");
  const int place = b.Group("レイヤーの位置");
  b.Pair(place, "X：", "JvSpinEdit_StartX", "JvSpinEdit_EndX", "StartX", "EndX");
  b.Pair(place, "Y：", "JvSpinEdit_StartY", "JvSpinEdit_EndY", "StartY", "EndY");
  b.Directions(place, "方向：", "ComboBox_StartDirection", "StartDirection");
  b.Directions(place, "方向：", "ComboBox_EndDirection", "EndDirection");
  b.Directions(b.Group("原点"), "", "ComboBox_Origin", "OriginDirection");
  b.Radios(b.Group("単位"), "PositionType",
           {{"RadioButton_PositionType_Pixel", "ピクセル"},
            {"RadioButton_PositionType_PercentFrame", "パーセント"},
            {"RadioButton_PositionType_Direction", "方向"}});
  return b.Finish();
}

TDialogDescriptor Size() {
  TBuilder b(kind::Size, "TForm_GraphicEffect_Size", "リサイズ");
  SizeFields(b, b.Group("サイズ"));
  SizeUnits(b, b.Group("単位"), "SizeType");
  const std::vector<std::string_view> fields = {"JvSpinEdit_StartX", "JvSpinEdit_EndX", "JvSpinEdit_StartY",
                                                "JvSpinEdit_EndY"};
  b.UnitSwitch("RadioButton_SizeType_Pixel", 4000, fields);
  b.UnitSwitch("RadioButton_SizeType_PercentLayer", 100, fields);
  b.UnitSwitch("RadioButton_SizeType_PercentFrame", 100, fields);
  return b.Finish();
}

TDialogDescriptor Rotate() {
  TBuilder b(kind::Rotate, "TForm_GraphicEffect_Rotate", "回転");
  b.Pair(b.Group("角度（1000度で1回転）"), "", "JvSpinEdit_StartPower", "JvSpinEdit_EndPower", "StartAngle",
         "EndAngle");
  b.Directions(b.Group("回転の中心"), "", "ComboBox_Origin", "OriginDirection");
  return b.Finish();
}

TDialogDescriptor Trim() {
  TBuilder b(kind::Trim, "TForm_GraphicEffect_Trim", "トリム");
  RectangleFields(b, b.Group("トリムの範囲（原点は左上）"));
  RectangleUnits(b, b.Group("単位"), "TrimType");
  return b.Finish();
}

TDialogDescriptor Mirror(int32_t code, std::string_view className, std::string_view caption) {
  return TBuilder(code, className, caption).Finish();
}

TDialogDescriptor Fade() {
  TBuilder b(kind::Fade, "TForm_GraphicEffect_Fade", "フェード");
  b.Pair(b.Group("アルファ値"), "", "JvSpinEdit_StartPower", "JvSpinEdit_EndPower", "StartAlpha", "EndAlpha");
  return b.Finish();
}

// Tile has the same limits in every unit: no unit switch.
TDialogDescriptor Tile() {
  TBuilder b(kind::Tile, "TForm_GraphicEffect_Tile", "タイル");
  SizeFields(b, b.Group("指定したサイズまで敷き詰める"));
  SizeUnits(b, b.Group("単位"), "SizeType");
  return b.Finish();
}

TDialogDescriptor Blink() {
  TBuilder b(kind::Blink, "TForm_GraphicEffect_Blink", "点滅");
  b.Pair(b.Group("点滅間隔(ミリ秒)"), "", "JvSpinEdit_StartPower", "JvSpinEdit_EndPower", "StartInterval",
         "EndInterval");
  return b.Finish();
}

TDialogDescriptor Vibration() {
  TBuilder b(kind::Vibration, "TForm_GraphicEffect_Vibration", "振動");
  b.Pair(b.Group("振動間隔(ミリ秒)"), "", "JvSpinEdit_StartInterval", "JvSpinEdit_EndInterval",
         "StartInterval", "EndInterval");
  const int range = b.Group("振動範囲");
  const int width = b.Group("幅", range);
  b.Pair(width, "最小値：", "JvSpinEdit_StartMinX", "JvSpinEdit_EndMinX", "StartMinX", "EndMinX");
  b.Pair(width, "最大値：", "JvSpinEdit_StartMaxX", "JvSpinEdit_EndMaxX", "StartMaxX", "EndMaxX");
  const int height = b.Group("高さ", range);
  b.Pair(height, "最小値：", "JvSpinEdit_StartMinY", "JvSpinEdit_EndMinY", "StartMinY", "EndMinY");
  b.Pair(height, "最大値：", "JvSpinEdit_StartMaxY", "JvSpinEdit_EndMaxY", "StartMaxY", "EndMaxY");
  b.Radios(b.Group("単位", range), "PositionType",
           {{"RadioButton_PositionType_Pixel", "ピクセル"},
            {"RadioButton_PositionType_PercentLayer", "%（レイヤー基準）"},
            {"RadioButton_PositionType_PercentFrame", "%（マスター基準）"}});
  return b.Finish();
}

}  // namespace

void RectangleFields(TBuilder& b, int group) {
  b.Pair(group, "左：", "JvSpinEdit_StartX", "JvSpinEdit_EndX", "StartX", "EndX");
  b.Pair(group, "上：", "JvSpinEdit_StartY", "JvSpinEdit_EndY", "StartY", "EndY");
  b.Pair(group, "右：", "JvSpinEdit_StartX2", "JvSpinEdit_EndX2", "StartX2", "EndX2");
  b.Pair(group, "下：", "JvSpinEdit_StartY2", "JvSpinEdit_EndY2", "StartY2", "EndY2");
}

void RectangleUnits(TBuilder& b, int group, std::string_view field) {
  b.Radios(group, field,
           {{"RadioButton_PositionType_Pixel", "ピクセル"},
            {"RadioButton_PositionType_PercentLayer", "パーセント"}});
  const std::vector<std::string_view> fields = {
      "JvSpinEdit_StartX",  "JvSpinEdit_EndX",  "JvSpinEdit_StartY",  "JvSpinEdit_EndY",
      "JvSpinEdit_StartX2", "JvSpinEdit_EndX2", "JvSpinEdit_StartY2", "JvSpinEdit_EndY2"};
  b.UnitSwitch("RadioButton_PositionType_Pixel", 4000, fields);
  b.UnitSwitch("RadioButton_PositionType_PercentLayer", 100, fields);
}

std::vector<TDialogDescriptor> TransformEffectDialogs() {
  std::vector<TDialogDescriptor> d;
  d.push_back(Position());
  d.push_back(Size());
  d.push_back(Rotate());
  d.push_back(Trim());
  d.push_back(Mirror(kind::MirrorHorz, "TForm_GraphicEffect_MirrorHorz", "左右反転"));
  d.push_back(Mirror(kind::MirrorVert, "TForm_GraphicEffect_MirrorVert", "上下反転"));
  d.push_back(Fade());
  d.push_back(Tile());
  d.push_back(Blink());
  d.push_back(Vibration());
  return d;
}

}  // namespace vexa::dialog
