// The 28 dialog descriptors and the forms over them: the initial values of a new dialog, load
// and OK over every field of every kind, the unit switches and the edge cases of the dialogs.
#include "ui/logic/event_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "model/event_kinds.h"
#include "ui/logic/dialog_descriptor.h"

namespace vexa {
namespace {

// The controls that hold a field (the font label also holds the font's size and style).
std::vector<const TControlDesc*> ControlsOf(const TDialogDescriptor& d, const TParamDesc& p) {
  std::vector<const TControlDesc*> out;
  for (const TControlDesc& c : d.Controls) {
    const bool font =
        c.Kind == TControlKind::FontLabel && (p.Field == "Font.Size" || p.Field == "Font.Style");
    if (c.Param == &p || font) out.push_back(&c);
  }
  return out;
}

TEST(DialogDescriptors, OneDialogPerKindHoldingEveryField) {
  ASSERT_EQ(AllDialogs().size(), AllKinds().size());
  for (const TKindInfo& k : AllKinds()) {
    const TDialogDescriptor* d = DialogOf(k.Code);
    ASSERT_NE(d, nullptr) << k.RecordName;
    EXPECT_TRUE(d->ClassName.starts_with("TForm_")) << d->ClassName;
    EXPECT_EQ(d->HasPreview, k.Code != kind::Master && k.Code != kind::SwapLayer) << d->ClassName;
    std::set<std::string_view> names;
    for (const TControlDesc& c : d->Controls) {
      EXPECT_TRUE(names.insert(c.Name).second) << d->ClassName << " repeats " << c.Name;
      EXPECT_LT(c.Group, static_cast<int>(d->Groups.size())) << c.Name;
      if (c.Param) {
        EXPECT_EQ(FindParam(k, c.Param->Field), c.Param) << c.Name << " holds a field of another kind";
      }
      if (c.Kind == TControlKind::RadioButton) {
        // The group's initial value is one of its buttons.
        bool initial = false;
        for (const TControlDesc& o : d->Controls)
          if (o.Kind == TControlKind::RadioButton && o.Param == c.Param && o.Value == c.Initial)
            initial = true;
        EXPECT_TRUE(initial) << c.Name;
      }
    }
    for (const TParamDesc& p : k.Params)
      EXPECT_FALSE(ControlsOf(*d, p).empty()) << d->ClassName << " has no control for " << p.Field;
    for (const TUnitSwitch& u : d->UnitSwitches) {
      ASSERT_NE(d->Find(u.Radio), nullptr) << u.Radio;
      for (std::string_view f : u.Fields)
        EXPECT_NE(d->Find(f), nullptr) << f;
    }
    // The frame: both times in four fields each, OK and cancel.
    for (std::string_view n :
         {"JvSpinEdit_StartTime_Hour", "JvSpinEdit_EndTime_Millisecond", "Button_OK", "Button_Cancel"})
      EXPECT_NE(d->Find(n), nullptr) << d->ClassName << " lacks " << n;
  }
  // Design names differ from the fields they hold.
  EXPECT_EQ(DialogOf(kind::Rotate)->Find("JvSpinEdit_StartPower")->Param->Field, "StartAngle");
  EXPECT_EQ(DialogOf(kind::Blink)->Find("JvSpinEdit_EndPower")->Param->Field, "EndInterval");
  EXPECT_EQ(DialogOf(kind::Trim)->Find("RadioButton_PositionType_Pixel")->Param->Field, "TrimType");
  EXPECT_EQ(DialogOf(kind::Size)->Find("JvSpinEdit_StartY")->Param->Field, "StartHeight");
  EXPECT_EQ(DialogOf(kind::Movie)->Find("JvFilenameEdit")->Filter, kMovieFilter);
  EXPECT_EQ(DialogOf(kind::Sound)->Find("JvFilenameEdit")->Filter, kSoundFilter);
  EXPECT_EQ(DialogOf(kind::Movie)->Find("JvSpinEdit_EndFrameTime_MilliSecond")->Time, TTimeSlot::RangeEnd);
  EXPECT_EQ(DialogOf(kind::Position)->Find("ComboBox_Origin")->Items.size(), 9u);
  EXPECT_EQ(DialogOf(kind::Size)->UnitSwitches.size(), 3u);
  EXPECT_EQ(DialogOf(kind::Mosaic)->UnitSwitches.size(), 2u);
  EXPECT_TRUE(DialogOf(kind::Tile)->UnitSwitches.empty());
}

// Every field of an event set from a seed: within the limits every control holding it has
// under the event's units (in range), or beyond them (out of range, with values no radio
// button or list item has, and a ten-hour start).
std::unique_ptr<TEvent> Filled(int32_t code, int seed, bool inRange) {
  const TDialogDescriptor& d = *DialogOf(code);
  std::unique_ptr<TEvent> e = NewEvent(code);
  e->StartTime = inRange ? 5000u + seed : 36000000u + seed;
  e->EndTime = 3000u + seed;  // before the start: written as it is
  const auto& params = KindInfo(code)->Params;
  for (int pass = 0; pass < 2; ++pass) {  // units first, then the values within their limits
    for (size_t i = 0; i < params.size(); ++i) {
      const TParamDesc& p = params[i];
      if (p.IsString()) {
        SetParamString(p, *e, std::string(p.Field) + std::to_string(seed));
        continue;
      }
      int64_t lo = p.Dialog.Min, hi = p.Dialog.Max;
      int64_t buttons = 0;
      for (const TControlDesc* c : ControlsOf(d, p)) {
        if (c->Kind == TControlKind::RadioButton) ++buttons;
        if (c->Kind == TControlKind::ComboBox) hi = std::min<int64_t>(hi, int64_t(c->Items.size()) - 1);
        if (c->Kind == TControlKind::TimeSpin) hi = std::min<int64_t>(hi, 35999999);
        for (const TUnitSwitch& u : d.UnitSwitches) {
          const TControlDesc& radio = *d.Find(u.Radio);
          if (std::find(u.Fields.begin(), u.Fields.end(), c->Name) != u.Fields.end() &&
              GetParamInt(*radio.Param, *e) == radio.Value)
            hi = std::min(hi, u.Max);
        }
      }
      if (buttons) hi = lo + buttons - 1;
      const int64_t v = inRange ? lo + (seed * 7 + int64_t(i) * 13) % (hi - lo + 1) : hi + 1 + int64_t(i);
      SetParamInt(p, *e, v);
    }
  }
  return e;
}

// The fields OK writes for an event loaded from e: those with a control whose condition holds.
bool Written(const TDialogDescriptor& d, const TParamDesc& p, const TEvent& e) {
  for (const TControlDesc* c : ControlsOf(d, p))
    if (!c->When.Selector || GetParamInt(*c->When.Selector, e) == c->When.Value) return true;
  return false;
}

// OK into a record whose every field holds something else: each written field must come out
// as in e, every other field must keep what it had.
void ExpectOkGives(const TEventForm& form, const TEvent& e) {
  const TDialogDescriptor& d = form.Descriptor();
  std::unique_ptr<TEvent> out = NewEvent(e.EventType);
  out->StartTime = out->EndTime = 1234567;
  int64_t poison = -777;
  for (const TParamDesc& p : KindInfo(e.EventType)->Params)
    p.IsString() ? SetParamString(p, *out, "poison") : SetParamInt(p, *out, poison--);
  std::unique_ptr<TEvent> before = CopyEvent(*out);
  form.WriteEvent(*out);
  EXPECT_EQ(out->StartTime, e.StartTime) << d.ClassName;
  EXPECT_EQ(out->EndTime, e.EndTime) << d.ClassName;
  for (const TParamDesc& p : KindInfo(e.EventType)->Params) {
    const TEvent& want = Written(d, p, e) ? e : *before;
    if (p.IsString())
      EXPECT_EQ(GetParamString(p, *out), GetParamString(p, want)) << d.ClassName << " " << p.Field;
    else
      EXPECT_EQ(GetParamInt(p, *out), GetParamInt(p, want)) << d.ClassName << " " << p.Field;
  }
}

TEST(EventForm, UntouchedNewDialogGivesTheInitialValues) {
  for (const TKindInfo& k : AllKinds()) {
    std::unique_ptr<TEvent> e = NewEventFromDialog(k.Code);
    std::unique_ptr<TEvent> want = NewEventWithInitialValues(k.Code);
    EXPECT_EQ(e->StartTime, 0u);
    EXPECT_EQ(e->EndTime, 0u);
    for (const TParamDesc& p : k.Params) {
      if (p.IsString())
        EXPECT_EQ(GetParamString(p, *e), GetParamString(p, *want)) << k.RecordName << "." << p.Field;
      else
        EXPECT_EQ(GetParamInt(p, *e), GetParamInt(p, *want)) << k.RecordName << "." << p.Field;
    }
  }
  // The dialogs' own initial values, as the design lists them.
  auto text = NewEventFromDialog(kind::Text);
  const auto& t = static_cast<const TGraphicSourceTextEvent&>(*text);
  EXPECT_EQ(t.BlendMode, 1);
  EXPECT_EQ(t.Font.Name, "ＭＳ Ｐゴシック");
  EXPECT_EQ(t.Font.Size, 10);
  auto sepia = NewEventFromDialog(kind::Sepia);
  EXPECT_EQ(static_cast<const TGraphicEffectSepiaEvent&>(*sepia).EndBlue, 145);
  auto size = NewEventFromDialog(kind::Size);
  EXPECT_EQ(static_cast<const TGraphicEffectSizeEvent&>(*size).SizeType, 1);
  auto sound = NewEventFromDialog(kind::Sound);
  const auto& s = static_cast<const TSoundSourceEvent&>(*sound);
  EXPECT_EQ(s.StartVolume, 256);
  EXPECT_EQ(s.EndPan, 0);
  EXPECT_EQ(s.EndSample, 2147483647);
  auto trans = NewEventFromDialog(kind::Transition);
  EXPECT_EQ(static_cast<const TGraphicEffectTransitionEvent&>(*trans).EndPower, 255);
}

// Values within every limit, loaded and entered again by hand in every control: OK writes them
// back through the controls, each field where its dialog says.
TEST(EventForm, LoadedValuesGoThroughTheControlsAndBack) {
  for (const TDialogDescriptor& d : AllDialogs()) {
    for (int seed = 0; seed < 4; ++seed) {
      std::unique_ptr<TEvent> e = Filled(d.Kind, seed, true);
      TEventForm form(d);
      form.LoadEvent(*e);
      for (const TControlDesc& c : d.Controls) {
        switch (c.Kind) {
          case TControlKind::SpinEdit:
          case TControlKind::TimeSpin:
            form.SetSpin(c.Name, form.Spin(c.Name).Value());
            break;
          case TControlKind::RadioButton:
            if (form.Checked(c.Name)) form.ClickRadio(c.Name);
            break;
          case TControlKind::ComboBox:
            form.SelectCombo(c.Name, form.ComboIndex(c.Name));
            break;
          case TControlKind::FileEdit:
          case TControlKind::Memo:
          case TControlKind::LineEdit:
            form.SetText(c.Name, form.Text(c.Name));
            break;
          case TControlKind::ColorSwatch:
            form.SetColor(c.Name, form.Color(c.Name));
            break;
          case TControlKind::FontLabel:
            form.SetFont(form.Font());
            break;
          default:
            break;
        }
      }
      SCOPED_TRACE(seed);
      ExpectOkGives(form, *e);
    }
  }
}

// Values beyond every limit (a ten-hour time, units and modes no button stands for): the
// controls cannot show them, and OK on the untouched dialog keeps every one.
TEST(EventForm, OkOnAnUntouchedLoadedEventChangesNothing) {
  for (const TDialogDescriptor& d : AllDialogs()) {
    for (bool inRange : {true, false}) {
      std::unique_ptr<TEvent> e = Filled(d.Kind, 1, inRange);
      TEventForm form(d);
      form.LoadEvent(*e);
      SCOPED_TRACE(inRange);
      ExpectOkGives(form, *e);
      std::unique_ptr<TEvent> same = CopyEvent(*e);
      form.WriteEvent(*same);
      for (const TParamDesc& p : KindInfo(d.Kind)->Params) {
        if (!p.IsString()) {
          EXPECT_EQ(GetParamInt(p, *same), GetParamInt(p, *e)) << d.ClassName << " " << p.Field;
        }
      }
    }
  }
}

TEST(EventForm, TimesAreSplitAndLimited) {
  TEventForm form(*DialogOf(kind::Image));
  form.SetSpin("JvSpinEdit_StartTime_Hour", 9);
  form.SetSpin("JvSpinEdit_StartTime_Minute", 75);  // leaves 59
  form.SetSpin("JvSpinEdit_StartTime_Second", 59);
  form.SetSpin("JvSpinEdit_StartTime_Millisecond", 999);
  EXPECT_EQ(form.Spin("JvSpinEdit_StartTime_Minute").Value(), 59);
  TGraphicSourceImageEvent e;
  form.WriteEvent(e);
  EXPECT_EQ(e.StartTime, 35999999u);

  // A ten-hour end shows as 9 hours; kept when untouched, taken from the fields once edited.
  e.EndTime = 36000000 + 61000;
  TEventForm edit(*DialogOf(kind::Image));
  edit.LoadEvent(e);
  EXPECT_EQ(edit.Spin("JvSpinEdit_EndTime_Hour").Value(), 9);
  EXPECT_EQ(edit.Spin("JvSpinEdit_EndTime_Minute").Value(), 1);
  TGraphicSourceImageEvent out;
  edit.WriteEvent(out);
  EXPECT_EQ(out.EndTime, 36061000u);
  edit.SetSpin("JvSpinEdit_EndTime_Second", 2);
  edit.WriteEvent(out);
  EXPECT_EQ(out.EndTime, 9 * 3600000u + 62000u);
}

TEST(EventForm, SizeUnitSwitchLimitsTheFields) {
  TEventForm form(*DialogOf(kind::Size));
  // The first unit stays selected: its switch has not run, so the limit is 4000.
  form.SetSpin("JvSpinEdit_StartX", 4000);
  EXPECT_EQ(form.Spin("JvSpinEdit_StartX").Value(), 4000);
  form.ClickRadio("RadioButton_SizeType_PercentLayer");  // already selected: nothing runs
  EXPECT_EQ(form.Spin("JvSpinEdit_StartX").Max(), 4000);
  form.ClickRadio("RadioButton_SizeType_Pixel");
  form.SetSpin("JvSpinEdit_EndY", 3000);
  form.ClickRadio("RadioButton_SizeType_PercentFrame");
  EXPECT_EQ(form.Spin("JvSpinEdit_StartX").Value(), 100);
  EXPECT_EQ(form.Spin("JvSpinEdit_EndY").Value(), 100);
  EXPECT_EQ(form.Spin("JvSpinEdit_EndX").Value(), 100);  // 100 stays
  form.SetSpin("JvSpinEdit_StartY", 4000);
  EXPECT_EQ(form.Spin("JvSpinEdit_StartY").Value(), 100);
  EXPECT_EQ(form.Spin("JvSpinEdit_StartY").Min(), 1);
  TGraphicEffectSizeEvent e;
  form.WriteEvent(e);
  EXPECT_EQ(e.SizeType, 2);
  EXPECT_EQ(e.StartWidth, 100);
  EXPECT_EQ(e.EndHeight, 100);
}

TEST(EventForm, TrimAndMosaicUnitsWithValuesBeyondTheLimits) {
  // Stored in pixels with a right edge of 640: the pixel switch runs before the values show.
  TGraphicEffectTrimEvent trim;
  trim.TrimType = 0;
  trim.StartX2 = 640;
  TEventForm form(*DialogOf(kind::Trim));
  form.LoadEvent(trim);
  EXPECT_EQ(form.Spin("JvSpinEdit_StartX2").Value(), 640);
  TGraphicEffectTrimEvent out;
  form.WriteEvent(out);
  EXPECT_EQ(out.StartX2, 640);
  // The user's switch to percent cuts the value, and OK writes what it shows.
  form.ClickRadio("RadioButton_PositionType_PercentLayer");
  EXPECT_EQ(form.Spin("JvSpinEdit_StartX2").Value(), 100);
  form.WriteEvent(out);
  EXPECT_EQ(out.TrimType, 1);
  EXPECT_EQ(out.StartX2, 100);

  // Stored in percent beyond 100: shown as 100, kept on OK; back in pixels it shows again.
  trim.TrimType = 1;
  trim.StartX2 = 200;
  TEventForm percent(*DialogOf(kind::Trim));
  percent.LoadEvent(trim);
  EXPECT_EQ(percent.Spin("JvSpinEdit_StartX2").Value(), 100);
  percent.WriteEvent(out);
  EXPECT_EQ(out.StartX2, 200);
  percent.ClickRadio("RadioButton_PositionType_Pixel");
  EXPECT_EQ(percent.Spin("JvSpinEdit_StartX2").Value(), 200);
  percent.WriteEvent(out);
  EXPECT_EQ(out.TrimType, 0);
  EXPECT_EQ(out.StartX2, 200);

  // A mosaic in pixels takes 4000 in each of its eight rectangle fields.
  TEventForm mosaic(*DialogOf(kind::Mosaic));
  mosaic.ClickRadio("RadioButton_PositionType_Pixel");
  for (std::string_view f : DialogOf(kind::Mosaic)->UnitSwitches[0].Fields) {
    mosaic.SetSpin(f, 4000);
    EXPECT_EQ(mosaic.Spin(f).Value(), 4000) << f;
  }
}

TEST(EventForm, AlphaMaskWritesOnlyTheFieldOfItsMode) {
  TGraphicEffectAlphaMaskEvent mask;
  mask.MaskType = 1;
  mask.MaskFileName = "/m.png";
  mask.Color = 0x123456;
  TEventForm form(*DialogOf(kind::AlphaMask));
  form.LoadEvent(mask);
  form.ClickRadio("RadioButton_MaskType_Color");
  form.SetColor("Shape_Color", 0x0000FF);
  form.SetText("JvFilenameEdit", "/other.png");
  form.WriteEvent(mask);
  EXPECT_EQ(mask.MaskType, 0);
  EXPECT_EQ(mask.Color, 0x0000FF);
  EXPECT_EQ(mask.MaskFileName, "/m.png");
}

TEST(EventForm, MovieRangeSetsFollowTheMode) {
  TGraphicSourceMovieEvent movie;
  movie.FrameAppointMode = 1;
  movie.StartFrame = 1500;
  movie.EndFrame = 61000;
  TEventForm form(*DialogOf(kind::Movie));
  form.SetSpin("JvSpinEdit_StartFrame", 42);
  form.LoadEvent(movie);
  EXPECT_TRUE(form.Checked("RadioButton_FrameAppoint_Time"));
  EXPECT_EQ(form.TimeValue(TTimeSlot::RangeEnd), 61000u);
  EXPECT_EQ(form.Spin("JvSpinEdit_StartFrame").Value(), 42);  // the other set keeps what it showed
  EXPECT_EQ(form.Spin("JvSpinEdit_EndFrame").Value(), 2147483647);
  // Back to frames: OK reads the frame fields.
  form.ClickRadio("RadioButton_FrameAppoint_Frame");
  form.WriteEvent(movie);
  EXPECT_EQ(movie.FrameAppointMode, 0);
  EXPECT_EQ(movie.StartFrame, 42u);
  EXPECT_EQ(movie.EndFrame, 2147483647u);
}

TEST(EventForm, TextFontAndAlignment) {
  TEventForm form(*DialogOf(kind::Text));
  form.SetFont({"Serif", 24, 1 | 4 | 32});  // bits beyond strike-out are no style
  form.SetText("Memo_Text", "一\r\n二");
  form.ClickRadio("RadioButton_Align_Right");
  EXPECT_EQ(form.RadioValue("Font.Align"), 2);
  TGraphicSourceTextEvent e;
  form.WriteEvent(e);
  EXPECT_EQ(e.Font.Name, "Serif");
  EXPECT_EQ(e.Font.Size, 24);
  EXPECT_EQ(e.Font.Style, 5);
  EXPECT_EQ(e.Text, "一\r\n二");
  EXPECT_EQ(e.Font.Align, 2);
}

TEST(EventForm, LayerListGivesIndexAndName) {
  TEventForm form(*DialogOf(kind::SwapLayer));
  form.SetLayerNames({"背景", "人物", "文字"});
  form.SelectLayerRow(2);
  EXPECT_EQ(form.Spin("JvSpinEdit_Index").Value(), 2);
  EXPECT_EQ(form.Text("Edit_LayerName"), "文字");
  EXPECT_TRUE(form.Checked("RadioButton_Target_Index"));  // the target mode stays
  form.SelectLayerRow(3);                                 // no such row: nothing changes
  EXPECT_EQ(form.SelectedLayerRow(), 2);
  TGraphicEffectSwapLayerEvent e;
  form.WriteEvent(e);
  EXPECT_EQ(e.Index, 2);
  EXPECT_EQ(e.LayerName, "文字");
  EXPECT_EQ(e.TargetMode, 0);
}

TEST(EventForm, UnknownControlsAndKindsAreRefused) {
  TEventForm form(*DialogOf(kind::Fade));
  EXPECT_THROW(form.SetSpin("JvSpinEdit_StartX", 1), std::out_of_range);
  EXPECT_THROW(form.Checked("JvSpinEdit_StartPower"), std::out_of_range);
  TGraphicEffectBlinkEvent blink;
  EXPECT_THROW(form.LoadEvent(blink), std::invalid_argument);
  EXPECT_THROW(form.WriteEvent(blink), std::invalid_argument);
}

}  // namespace
}  // namespace vexa
