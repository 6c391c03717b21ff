// An editing dialog without its widgets: the values of the controls of one dialog descriptor,
// the user's edits by control name, LoadEvent and Button_OKClick. The widgets show these
// values and forward every edit; the descriptor tells them what to build.
//
// A field keeps the value it was loaded with on OK unless the user edited one of its controls:
// a spin field cannot show a value beyond its limits (a 10-hour time, a 200 % size in a unit
// whose limit is 100), and OK on an untouched dialog must not write the shown value instead.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/events.h"
#include "ui/logic/dialog_descriptor.h"
#include "ui/logic/event_adjust_form.h"
#include "ui/logic/spin_field.h"

namespace vexa {

// What the font label shows and the font dialog edits: typeface, size in points and the
// style bits (1 bold, 2 italic, 4 underline, 8 strike-out).
struct TFontChoice {
  std::string Name;
  int32_t Size = 0;
  int32_t Style = 0;
  bool operator==(const TFontChoice&) const = default;
};

class TEventForm {
 public:
  // A dialog as it opens: every control at its initial value and limits.
  explicit TEventForm(const TDialogDescriptor& descriptor);
  TEventForm(const TEventForm&) = delete;
  TEventForm& operator=(const TEventForm&) = delete;

  const TDialogDescriptor& Descriptor() const { return d_; }
  int32_t Kind() const { return d_.Kind; }

  // --- What the controls show (by design name; a name the dialog lacks throws
  // std::out_of_range) ---
  const TSpinField& Spin(std::string_view name) const;  // SpinEdit and TimeSpin
  bool Checked(std::string_view radio) const;
  int64_t ComboIndex(std::string_view name) const;
  const std::string& Text(std::string_view name) const;  // FileEdit, Memo, LineEdit
  int32_t Color(std::string_view name) const;
  const TFontChoice& Font() const { return font_; }
  // The value of the selected button of a field's radio group; none when no button is.
  std::optional<int64_t> RadioValue(std::string_view field) const;
  // The time shown by the four fields of a time.
  uint32_t TimeValue(TTimeSlot slot) const;
  // The layer order dialog's list: the names of the graphic layers, given by the opener.
  const std::vector<std::string>& LayerNames() const { return layerNames_; }
  int SelectedLayerRow() const { return selectedLayerRow_; }

  // --- The user's edits ---
  void SetSpin(std::string_view name, int64_t value);
  // Selects the button; when it was not selected already, runs its unit switch.
  void ClickRadio(std::string_view radio);
  void SelectCombo(std::string_view name, int64_t index);
  void SetText(std::string_view name, std::string text);
  void SetColor(std::string_view name, int32_t color);
  // The font dialog closed with OK.
  void SetFont(TFontChoice font);
  // ListView_GraphicLayerListSelectItem: the index field takes the row, the name field its name.
  void SelectLayerRow(int row);
  // Shows a time in its four fields as an edit (the range selectors set times this way).
  void SetTime(TTimeSlot slot, uint64_t ms);

  // Before the dialog shows: the names of the project's graphic layers, in layer order.
  void SetLayerNames(std::vector<std::string> names);

  // --- The frame ---
  // Fills every control from the event: times, then the unit selection (running its switch),
  // then the values; a value that matches no radio button or list item leaves it unchanged.
  void LoadEvent(const TEvent& event);
  // Button_OKClick: writes the controls into event (the edited record, or the preview's copy
  // of another record of the same kind): the times, then the kind's fields.
  void WriteEvent(TEvent& event) const;

 private:
  struct TState {
    TSpinField Spin{0, 0, 0};
    bool Checked = false;
    std::string Text;
    int32_t Color = 0;
    bool Edited = false;  // the user changed it
    bool Loaded = false;  // LoadEvent filled it from the event
  };

  size_t Index(std::string_view name, TControlKind kind) const;
  size_t Index(std::string_view name, std::initializer_list<TControlKind> kinds) const;
  bool Applies(const TWriteCondition& when) const;
  void Select(size_t radio, bool edited);
  void RunUnitSwitch(std::string_view radio, bool edited);
  void ShowTime(TTimeSlot slot, uint64_t ms, bool edited);
  TTimeFields& Time(TTimeSlot slot) { return times_[static_cast<size_t>(slot)]; }
  const TTimeFields& Time(TTimeSlot slot) const { return times_[static_cast<size_t>(slot)]; }
  // The value of a field as the controls give it, or as loaded when none of them was edited.
  bool KeepsLoaded(size_t control) const;

  const TDialogDescriptor& d_;
  std::vector<TState> states_;
  std::array<TTimeFields, kTimeSlotCount> times_;
  TFontChoice font_;
  std::vector<std::string> layerNames_;
  int selectedLayerRow_ = -1;
  std::unique_ptr<TEvent> loaded_;  // a copy of the loaded event, for the untouched fields
};

// The event a new dialog gives when OK is pressed untouched: NewEvent with the controls'
// initial values written into it.
std::unique_ptr<TEvent> NewEventFromDialog(int32_t kind);

}  // namespace vexa
