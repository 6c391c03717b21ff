#include "ui/logic/range_select.h"

#include <algorithm>
#include <limits>

#include "ui/logic/range_selectors.h"

namespace vexa {
namespace {

constexpr int64_t kMaxRange = 2147483647;
constexpr std::string_view kFile = "JvFilenameEdit";

// The range back in the dialog: the range fields, both range times and the end time, which
// becomes the start time plus the length of the range at the rate.
void TakeRange(TEventForm& form, std::string_view startSpin, std::string_view endSpin, int64_t start,
               int64_t end, double rate) {
  form.SetSpin(startSpin, start);
  form.SetSpin(endSpin, end);
  auto ms = [](int64_t v) { return static_cast<uint64_t>(std::max<int64_t>(v, 0)); };
  form.SetTime(TTimeSlot::RangeStart, ms(PositionTime(start, rate)));
  form.SetTime(TTimeSlot::RangeEnd, ms(PositionTime(end, rate)));
  // Editor times saturate at 4294967295.
  const uint64_t endTime =
      std::min<uint64_t>(uint64_t{form.TimeValue(TTimeSlot::StartTime)} + ms(RangeLength(start, end, rate)),
                         std::numeric_limits<uint32_t>::max());
  form.SetTime(TTimeSlot::EndTime, endTime);
}

}  // namespace

bool SampleSelectClick(TEventForm& form, TDialogUi& ui, TMediaAccess& media) {
  const std::string file = form.Text(kFile);
  if (!media.FileExists(file)) {
    ui.Message(file + std::string(kFileMissingSuffix));
    return false;
  }
  const TSoundFileInfo info = media.ProbeSound(file);
  if (!info.Opened || info.SampleRate == 0) {
    // No decoder, a codec that is missing, or a rate of 0: no position can be computed.
    ui.Message(!info.Opened && !info.Error.empty() ? info.Error : file + std::string(kReadFailedSuffix));
    return false;
  }
  const double rate = info.SampleRate;

  TSoundRangeSelector selector(media.NewSoundPlayback(), ui);
  if (form.RadioValue("SampleAppointMode") == 1) {
    auto at = [&](TTimeSlot slot) { return TimePosition(form.TimeValue(slot), rate); };
    selector.Preset(TRangeSelector::Start, at(TTimeSlot::RangeStart));
    selector.Preset(TRangeSelector::End, at(TTimeSlot::RangeEnd));
  } else {
    auto sample = [&](std::string_view name) {
      return std::clamp<int64_t>(form.Spin(name).Value(), 0, kMaxRange);
    };
    selector.Preset(TRangeSelector::Start, sample("JvSpinEdit_StartSample"));
    selector.Preset(TRangeSelector::End, sample("JvSpinEdit_EndSample"));
  }
  for (auto end : {TRangeSelector::Start, TRangeSelector::End})
    selector.SetSpin(end, selector.Track(end).Position);
  selector.FileName = file;
  // A selector that cannot show its file closes at once and hands back the preset range.
  if (selector.Show()) ui.RunSoundSelector(selector);
  selector.CloseQuery();
  TakeRange(form, "JvSpinEdit_StartSample", "JvSpinEdit_EndSample",
            selector.Spin(TRangeSelector::Start).Value(), selector.Spin(TRangeSelector::End).Value(), rate);
  return true;
}

bool FrameSelectClick(TEventForm& form, TDialogUi& ui, TMediaAccess& media) {
  TMovieRangeSelector selector(media.NewMovieFrames(), ui);
  selector.FileName = form.Text(kFile);
  if (form.RadioValue("FrameAppointMode") == 1) {
    if (!selector.OpenForPreset()) return false;
    const double rate = selector.Info().FrameRate;
    selector.Preset(TRangeSelector::Start, TimePosition(form.TimeValue(TTimeSlot::RangeStart), rate));
    selector.Preset(TRangeSelector::End, TimePosition(form.TimeValue(TTimeSlot::RangeEnd), rate));
    selector.CloseReader();
  } else {
    selector.Preset(TRangeSelector::Start, form.Spin("JvSpinEdit_StartFrame").Value());
    selector.Preset(TRangeSelector::End, form.Spin("JvSpinEdit_EndFrame").Value());
  }
  for (auto end : {TRangeSelector::Start, TRangeSelector::End})
    selector.SetSpin(end, selector.Track(end).Position);
  if (!selector.Show()) return false;  // the message was shown; the fields stay
  ui.RunMovieSelector(selector);
  selector.Close();
  TakeRange(form, "JvSpinEdit_StartFrame", "JvSpinEdit_EndFrame",
            selector.Spin(TRangeSelector::Start).Value(), selector.Spin(TRangeSelector::End).Value(),
            selector.Rate());
  return true;
}

}  // namespace vexa
