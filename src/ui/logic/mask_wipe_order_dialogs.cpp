// The dialogs of the alpha mask, the transition and the layer order change.
#include "ui/logic/dialog_builder.h"

namespace vexa::dialog {
namespace {

TDialogDescriptor AlphaMask() {
  TBuilder b(kind::AlphaMask, "TForm_GraphicEffect_AlphaMask", "アルファマスク");
  const int type = b.Group("マスクタイプ");
  b.Radios(type, "MaskType",
           {{"RadioButton_MaskType_Color", "指定色"}, {"RadioButton_MaskType_Image", "マスク画像"}});
  // OK writes the colour only in colour mode and the file only in image mode; the other keeps
  // its value. Both are loaded.
  b.Mark().Swatch(type, "Color").OnlyWhen("MaskType", 0, false);
  b.Mark().File(type, "MaskFileName", kPictureFilter).OnlyWhen("MaskType", 1, false);
  return b.Finish();
}

TDialogDescriptor Transition() {
  TBuilder b(kind::Transition, "TForm_GraphicEffect_Transition", "トランジション");
  b.Pair(b.Group("切り替え段階"), "", "JvSpinEdit_StartPower", "JvSpinEdit_EndPower", "StartPower",
         "EndPower");
  b.Pair(b.Group("変化幅"), "", "JvSpinEdit_StartVag", "JvSpinEdit_EndVag", "StartVag", "EndVag");
  b.File(b.Group("ルール画像"), "RuleFileName", kPictureFilter);
  return b.Finish();
}

TDialogDescriptor SwapLayer() {
  TBuilder b(kind::SwapLayer, "TForm_GraphicEffect_SwapLayer", "レイヤーの順番変更", false);
  const int target = b.Group("ターゲット");
  b.Radios(target, "TargetMode",
           {{"RadioButton_Target_Index", "インデックス"}, {"RadioButton_Target_Name", "名前"}});
  b.Spin(target, "", "JvSpinEdit_Index", "Index");
  b.Text(target, TControlKind::LineEdit, "Edit_LayerName", "LayerName");
  b.LayerList(-1);
  b.Radios(b.Group("変更方法"), "ActionMode",
           {{"RadioButton_Action_Swap", "入れ替え"},
            {"RadioButton_Action_Up", "前面へ移動"},
            {"RadioButton_Action_Down", "背面へ移動"}});
  return b.Finish();
}

}  // namespace

std::vector<TDialogDescriptor> MaskWipeOrderDialogs() {
  std::vector<TDialogDescriptor> d;
  d.push_back(AlphaMask());
  d.push_back(Transition());
  d.push_back(SwapLayer());
  return d;
}

}  // namespace vexa::dialog
