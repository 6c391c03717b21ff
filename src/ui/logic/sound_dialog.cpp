// The dialog of the sound source.
#include <array>

#include "ui/logic/dialog_builder.h"

namespace vexa::dialog {
namespace {

constexpr std::array<std::string_view, 4> kStartSampleTime = {
    "JvSpinEdit_StartSampleTime_Hour", "JvSpinEdit_StartSampleTime_Minute",
    "JvSpinEdit_StartSampleTime_Second", "JvSpinEdit_StartSampleTime_MilliSecond"};
constexpr std::array<std::string_view, 4> kEndSampleTime = {
    "JvSpinEdit_EndSampleTime_Hour", "JvSpinEdit_EndSampleTime_Minute", "JvSpinEdit_EndSampleTime_Second",
    "JvSpinEdit_EndSampleTime_MilliSecond"};

}  // namespace

TDialogDescriptor SoundDialog() {
  TBuilder b(kind::Sound, "TForm_SoundSource", "サウンド");
  b.Pair(b.Group("音量"), "", "JvSpinEdit_StartVolume", "JvSpinEdit_EndVolume", "StartVolume", "EndVolume");
  b.Pair(b.Group("ステレオバランス"), "", "JvSpinEdit_StartPan", "JvSpinEdit_EndPan", "StartPan", "EndPan");
  b.File(b.Group("サウンドファイル"), "FileName", kSoundFilter);
  const int range = b.Group("範囲選択");
  b.Radios(
      range, "SampleAppointMode",
      {{"RadioButton_SampleAppoint_Sample", "サンプル指定"}, {"RadioButton_SampleAppoint_Time", "時間指定"}});
  // As in the movie dialog: the mode decides which set OK reads and LoadEvent fills.
  b.Mark().Pair(range, "", "JvSpinEdit_StartSample", "JvSpinEdit_EndSample", "StartSample", "EndSample");
  b.OnlyWhen("SampleAppointMode", 0, true);
  b.Mark().RangeTime(range, TTimeSlot::RangeStart, kStartSampleTime, "StartSample");
  b.RangeTime(range, TTimeSlot::RangeEnd, kEndSampleTime, "EndSample");
  b.OnlyWhen("SampleAppointMode", 1, true);
  b.Button(range, "Button_SampleSelect", "範囲選択", TButtonRole::SampleSelect);
  return b.Finish();
}

}  // namespace vexa::dialog
