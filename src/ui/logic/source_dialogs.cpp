// The dialogs of the four graphic sources: text, still image, movie and master.
#include <array>

#include "ui/logic/dialog_builder.h"

namespace vexa::dialog {
namespace {

constexpr std::array<std::string_view, 4> kStartFrameTime = {
    "JvSpinEdit_StartFrameTime_Hour", "JvSpinEdit_StartFrameTime_Minute", "JvSpinEdit_StartFrameTime_Second",
    "JvSpinEdit_StartFrameTime_MilliSecond"};
constexpr std::array<std::string_view, 4> kEndFrameTime = {
    "JvSpinEdit_EndFrameTime_Hour", "JvSpinEdit_EndFrameTime_Minute", "JvSpinEdit_EndFrameTime_Second",
    "JvSpinEdit_EndFrameTime_MilliSecond"};

TDialogDescriptor Text() {
  TBuilder b(kind::Text, "TForm_GraphicSource_Text", "テキスト");
  b.BlendModes();
  b.Text(b.Group("表示文字列"), TControlKind::Memo, "Memo_Text", "Text");
  b.FontLabel(b.Group("フォント"));
  const int colour = b.Group("文字色");
  b.Radios(colour, "Font.ColorType",
           {{"RadioButton_ColorType_Color", "指定色"}, {"RadioButton_ColorType_Image", "テクスチャ画像"}});
  b.Swatch(colour, "Font.Color");
  b.File(colour, "Font.TextureFileName", kPictureFilter);
  b.Radios(b.Group("文字揃え"), "Font.Align",
           {{"RadioButton_Align_Left", "左"},
            {"RadioButton_Align_Center", "中央"},
            {"RadioButton_Align_Right", "右"}});
  b.Note(-1, "Label_Note", "変なレイアウトですいません");
  return b.Finish();
}

TDialogDescriptor Image() {
  TBuilder b(kind::Image, "TForm_GraphicSource_Image", "静止画");
  b.BlendModes();
  b.File(b.Group("画像ファイル"), "FileName", kPictureFilter);
  return b.Finish();
}

TDialogDescriptor Movie() {
  TBuilder b(kind::Movie, "TForm_GraphicSource_Movie", "動画");
  b.BlendModes();
  b.File(b.Group("動画ファイル"), "FileName", kMovieFilter);
  const int range = b.Group("再生範囲");
  b.Radios(
      range, "FrameAppointMode",
      {{"RadioButton_FrameAppoint_Frame", "フレーム指定"}, {"RadioButton_FrameAppoint_Time", "時間指定"}});
  // Both sets are always visible; the mode decides which one OK reads and LoadEvent fills.
  b.Mark().Pair(range, "", "JvSpinEdit_StartFrame", "JvSpinEdit_EndFrame", "StartFrame", "EndFrame");
  b.OnlyWhen("FrameAppointMode", 0, true);
  b.Mark().RangeTime(range, TTimeSlot::RangeStart, kStartFrameTime, "StartFrame");
  b.RangeTime(range, TTimeSlot::RangeEnd, kEndFrameTime, "EndFrame");
  b.OnlyWhen("FrameAppointMode", 1, true);
  b.Button(range, "Button_FrameSelect", "範囲選択", TButtonRole::FrameSelect);
  return b.Finish();
}

TDialogDescriptor Master() {
  TBuilder b(kind::Master, "TForm_GraphicSource_Master", "マスター", false);
  b.BlendModes();
  b.Note(-1, "Memo_Note",
         "マスターレイヤーの内容を現在のレイヤーにコピーします。\r\n全体に対してエフェクトを掛けたいときに使"
         "います。");
  return b.Finish();
}

}  // namespace

std::vector<TDialogDescriptor> SourceDialogs() {
  std::vector<TDialogDescriptor> d;
  d.push_back(Text());
  d.push_back(Image());
  d.push_back(Movie());
  d.push_back(Master());
  return d;
}

}  // namespace vexa::dialog
