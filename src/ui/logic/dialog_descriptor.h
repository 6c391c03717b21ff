// The editing dialogs of the 28 event kinds as data: window class, caption, and every control
// with its design name, the event field it holds (a row of the kind table, which gives its
// range and initial value), its caption or label, its place in the layout, and the unit
// switches that change limits. The widgets build each dialog from its descriptor with one
// builder; the behaviour of a dialog is TEventForm over the same descriptor.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/event_kinds.h"

namespace vexa {

enum class TControlKind : uint8_t {
  SpinEdit,     // JvSpinEdit_*: a whole number with limits
  TimeSpin,     // one of the four spin fields of a time (hour, minute, second, millisecond)
  RadioButton,  // one choice of a radio group; the group is the field it writes (Param)
  ComboBox,     // a drop-down list without typing; the item index is the value
  FileEdit,     // JvFilenameEdit: a file name with a browse button
  ColorSwatch,  // Shape_Color: a colour swatch that opens the colour dialog (opened fully)
  FontLabel,    // Label_Font: shows the typeface name in its own font; opens the font dialog
  Memo,         // multi-line text with both scroll bars
  LineEdit,     // one line of text
  ListView,     // read-only list, whole-row selection kept visible without focus
  Button,
  Note,  // static text, read-only, borderless
};

// The time a TimeSpin belongs to: the event's StartTime or EndTime, or the start or end of the
// play range in milliseconds (the range field is the control's Param).
enum class TTimeSlot : uint8_t { None, StartTime, EndTime, RangeStart, RangeEnd };
inline constexpr int kTimeSlotCount = 5;

enum class TButtonRole : uint8_t { None, Ok, Cancel, Preview, SampleSelect, FrameSelect };

// A field written on OK only while a radio group holds a value (the alpha mask's colour and
// file, the range fields of the movie and sound by their mode). With OnLoad the field is also
// loaded only then: LoadEvent fills only the range set of the event's mode.
struct TWriteCondition {
  const TParamDesc* Selector = nullptr;  // the radio group's field; nullptr: always
  int64_t Value = 0;
  bool OnLoad = false;
};

// A group box (or, with an empty caption, a frameless box) laid out in a grid: its own cell
// in its parent's grid, and a grid of its own for its controls and sub-groups.
struct TGroupDesc {
  std::string_view Caption;
  int Parent = -1;  // enclosing group, -1 for the dialog itself
  int Row = 0, Column = 0, ColumnSpan = 1;
};

struct TControlDesc {
  TControlKind Kind = TControlKind::Note;
  std::string_view Name;     // design name (objectName): "JvSpinEdit_StartPower"
  std::string_view Caption;  // text of a radio button, button or note; label before a field
  int Group = -1;            // index into Groups, -1 for the dialog itself
  int Row = 0, Column = 0, ColumnSpan = 1;

  const TParamDesc* Param = nullptr;        // the event field (radio buttons: the group's field)
  TTimeSlot Time = TTimeSlot::None;         // TimeSpin: which time
  int TimePart = 0;                         // TimeSpin: 0 hour, 1 minute, 2 second, 3 millisecond
  int64_t Value = 0;                        // RadioButton: the value it stands for
  int64_t Min = 0, Max = 0;                 // SpinEdit, TimeSpin: limits when the dialog opens
  int64_t Initial = 0;                      // initial value (radio: of its group; combo: index)
  std::string_view InitialText;             // FileEdit, Memo, LineEdit, FontLabel (typeface)
  std::span<const std::string_view> Items;  // ComboBox items; ListView column captions
  std::string_view Filter;                  // FileEdit: "対応ファイル|*.bmp;..."
  std::string_view BrowseTitle;             // FileEdit: title of the open dialog
  TWriteCondition When;
  TButtonRole Role = TButtonRole::None;
};

// A unit button whose selection (by a click or by LoadEvent, not a click on the button that is
// already selected) sets the upper limit of the listed spin fields; a field above the new
// limit comes down to it. The handler's design name is Radio followed by "Click".
struct TUnitSwitch {
  std::string_view Radio;
  int64_t Max = 0;
  std::vector<std::string_view> Fields;
};

struct TDialogDescriptor {
  int32_t Kind = 0;
  std::string_view ClassName;  // "TForm_GraphicEffect_Mosaic"
  std::string_view Caption;    // "モザイク"
  bool HasPreview = true;
  std::vector<TGroupDesc> Groups;
  std::vector<TControlDesc> Controls;  // in layout and tab order
  std::vector<TUnitSwitch> UnitSwitches;

  const TControlDesc* Find(std::string_view name) const;
  int IndexOf(std::string_view name) const;  // -1 when absent
};

// The dialog of an event kind, or nullptr for a code outside the kind table.
const TDialogDescriptor* DialogOf(int32_t kind);
// All 28, in the slot order of the kind table (sound last).
std::span<const TDialogDescriptor> AllDialogs();

// Texts the dialogs share.
inline constexpr std::string_view kPictureFilter = "対応ファイル|*.bmp;*.gif;*.jpeg;*.jpg;*.png";
inline constexpr std::string_view kMovieFilter = "対応ファイル|*.avi";
inline constexpr std::string_view kSoundFilter = "対応ファイル|*.wav;*.mp3;*.wma;*.ogg;*.tta;*.flac;*.ape";
inline constexpr std::string_view kBrowseTitle = "ファイルを指定";
// The nine direction names, items of every direction list in code order.
std::span<const std::string_view> DirectionItems();

}  // namespace vexa
