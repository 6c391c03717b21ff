// Assembles dialog descriptors: the common frame (start and end time, OK, cancel, preview) and
// the kind's own controls, each bound to a row of the kind table by field name. Only the
// descriptor files use it.
#pragma once

#include <initializer_list>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "ui/logic/dialog_descriptor.h"

namespace vexa::dialog {

class TBuilder {
 public:
  // The time groups "開始時間" and "終了時間" come first, in the dialog's top row.
  TBuilder(int32_t kind, std::string_view className, std::string_view caption, bool preview = true);

  // A group box in the next row of its parent (the dialog: across both columns).
  int Group(std::string_view caption, int parent = -1);
  // A group box at a given cell of its parent.
  int GroupAt(std::string_view caption, int parent, int row, int column, int span = 1);

  // A spin field for a number field, in the next row of the group; label before it.
  TBuilder& Spin(int group, std::string_view label, std::string_view name, std::string_view field);
  // A Start/End pair in one row: the label, then the start field and the end field.
  TBuilder& Pair(int group, std::string_view label, std::string_view startName, std::string_view endName,
                 std::string_view startField, std::string_view endField);
  // The radio buttons of a field, one row each, standing for 0, 1, 2 ... in order.
  TBuilder& Radios(int group, std::string_view field,
                   std::initializer_list<std::pair<std::string_view, std::string_view>> buttons);
  // The blend mode group "ブレンドモード".
  TBuilder& BlendModes();
  // A direction list for a field.
  TBuilder& Directions(int group, std::string_view label, std::string_view name, std::string_view field);
  TBuilder& File(int group, std::string_view field, std::string_view filter);
  TBuilder& Swatch(int group, std::string_view field);
  TBuilder& Text(int group, TControlKind kind, std::string_view name, std::string_view field);
  TBuilder& FontLabel(int group);
  TBuilder& LayerList(int group);
  TBuilder& Button(int group, std::string_view name, std::string_view caption, TButtonRole role);
  TBuilder& Note(int group, std::string_view name, std::string_view text);
  // The four spin fields of a play range time (hour, minute, second, millisecond), bound to a
  // range field, in the next row.
  TBuilder& RangeTime(int group, TTimeSlot slot, std::span<const std::string_view, 4> names,
                      std::string_view field);
  // The controls added since the last mark are written only while selector holds value.
  TBuilder& Mark();
  TBuilder& OnlyWhen(std::string_view selector, int64_t value, bool onLoad);
  TBuilder& UnitSwitch(std::string_view radio, int64_t max, std::vector<std::string_view> fields);

  // Adds the buttons (preview when the dialog has one, OK, cancel) in the bottom row.
  TDialogDescriptor Finish();

  const TParamDesc& Param(std::string_view field) const;

 private:
  TControlDesc& Add(TControlKind kind, std::string_view name, std::string_view caption, int group, int row,
                    int column);
  TControlDesc& AddField(TControlKind kind, std::string_view name, std::string_view caption, int group,
                         int row, int column, std::string_view field);
  void TimeRow(int group, TTimeSlot slot, std::span<const std::string_view, 4> names,
               const TParamDesc* param);
  int NextRow(int group);

  TDialogDescriptor d_;
  const TKindInfo* kind_;
  std::vector<int> rows_;  // next free row per group; the last entry is the dialog's
  size_t mark_ = 0;
};

// The rectangle of trim and mosaic: left, top, right and bottom pairs, and its unit group
// "ピクセル" / "パーセント" with the switches between limits 4000 and 100.
void RectangleFields(TBuilder& b, int group);
void RectangleUnits(TBuilder& b, int group, std::string_view field);

// The dialogs, made by the files that hold them.
std::vector<TDialogDescriptor> SourceDialogs();
std::vector<TDialogDescriptor> TransformEffectDialogs();
std::vector<TDialogDescriptor> ColourEffectDialogs();
std::vector<TDialogDescriptor> MaskWipeOrderDialogs();
TDialogDescriptor SoundDialog();

}  // namespace vexa::dialog
