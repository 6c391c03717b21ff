#include "ui/logic/dialog_descriptor.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "ui/logic/dialog_builder.h"

namespace vexa {
namespace {

constexpr std::array<std::string_view, 9> kDirections = {"左上", "上",   "右上", "左",  "中央",
                                                         "右",   "左下", "下",   "右下"};
constexpr std::array<std::string_view, 4> kTimeCaptions = {"時間", "分", "秒", "ミリ秒"};
constexpr std::array<std::string_view, 4> kStartTimeNames = {
    "JvSpinEdit_StartTime_Hour", "JvSpinEdit_StartTime_Minute", "JvSpinEdit_StartTime_Second",
    "JvSpinEdit_StartTime_Millisecond"};
constexpr std::array<std::string_view, 4> kEndTimeNames = {
    "JvSpinEdit_EndTime_Hour", "JvSpinEdit_EndTime_Minute", "JvSpinEdit_EndTime_Second",
    "JvSpinEdit_EndTime_Millisecond"};
constexpr std::array<int64_t, 4> kTimeMax = {9, 59, 59, 999};
constexpr std::array<std::string_view, 1> kLayerColumns = {"レイヤー名"};

std::vector<TDialogDescriptor> MakeAll() {
  std::vector<TDialogDescriptor> all;
  for (auto part : {dialog::SourceDialogs(), dialog::TransformEffectDialogs(), dialog::ColourEffectDialogs(),
                    dialog::MaskWipeOrderDialogs()})
    for (TDialogDescriptor& d : part)
      all.push_back(std::move(d));
  all.push_back(dialog::SoundDialog());
  // The slot order of the kind table; sound (no slot) last.
  std::stable_sort(all.begin(), all.end(), [](const TDialogDescriptor& a, const TDialogDescriptor& b) {
    auto slot = [](int32_t code) {
      const int s = SlotOfKind(code);
      return s < 0 ? GraphicSlotCount : s;
    };
    return slot(a.Kind) < slot(b.Kind);
  });
  return all;
}

const std::vector<TDialogDescriptor>& Dialogs() {
  static const std::vector<TDialogDescriptor> all = MakeAll();
  return all;
}

}  // namespace

const TControlDesc* TDialogDescriptor::Find(std::string_view name) const {
  const int i = IndexOf(name);
  return i < 0 ? nullptr : &Controls[static_cast<size_t>(i)];
}

int TDialogDescriptor::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < Controls.size(); ++i)
    if (Controls[i].Name == name) return static_cast<int>(i);
  return -1;
}

const TDialogDescriptor* DialogOf(int32_t kind) {
  for (const TDialogDescriptor& d : Dialogs())
    if (d.Kind == kind) return &d;
  return nullptr;
}

std::span<const TDialogDescriptor> AllDialogs() {
  return Dialogs();
}

std::span<const std::string_view> DirectionItems() {
  return kDirections;
}

namespace dialog {

TBuilder::TBuilder(int32_t kind, std::string_view className, std::string_view caption, bool preview)
    : kind_(KindInfo(kind)) {
  if (!kind_) throw std::logic_error("no kind " + std::to_string(kind));
  d_.Kind = kind;
  d_.ClassName = className;
  d_.Caption = caption;
  d_.HasPreview = preview;
  rows_.push_back(1);  // the dialog's grid: row 0 holds the two time groups
  const int start = GroupAt("開始時間", -1, 0, 0);
  const int end = GroupAt("終了時間", -1, 0, 1);
  TimeRow(start, TTimeSlot::StartTime, kStartTimeNames, nullptr);
  TimeRow(end, TTimeSlot::EndTime, kEndTimeNames, nullptr);
}

const TParamDesc& TBuilder::Param(std::string_view field) const {
  const TParamDesc* p = FindParam(*kind_, field);
  if (!p) throw std::logic_error(std::string(kind_->RecordName) + " has no " + std::string(field));
  return *p;
}

int TBuilder::NextRow(int group) {
  int& r = group < 0 ? rows_.back() : rows_[static_cast<size_t>(group)];
  return r++;
}

int TBuilder::GroupAt(std::string_view caption, int parent, int row, int column, int span) {
  d_.Groups.push_back({caption, parent, row, column, span});
  // Keep the dialog's own row counter last.
  rows_.insert(rows_.end() - 1, 0);
  return static_cast<int>(d_.Groups.size()) - 1;
}

int TBuilder::Group(std::string_view caption, int parent) {
  return GroupAt(caption, parent, NextRow(parent), 0, parent < 0 ? 2 : 1);
}

TControlDesc& TBuilder::Add(TControlKind kind, std::string_view name, std::string_view caption, int group,
                            int row, int column) {
  TControlDesc c;
  c.Kind = kind;
  c.Name = name;
  c.Caption = caption;
  c.Group = group;
  c.Row = row;
  c.Column = column;
  d_.Controls.push_back(c);
  return d_.Controls.back();
}

TControlDesc& TBuilder::AddField(TControlKind kind, std::string_view name, std::string_view caption,
                                 int group, int row, int column, std::string_view field) {
  const TParamDesc& p = Param(field);
  TControlDesc& c = Add(kind, name, caption, group, row, column);
  c.Param = &p;
  c.Min = p.Dialog.Min;
  c.Max = p.Dialog.Max;
  c.Initial = p.Dialog.Initial;
  c.InitialText = p.Dialog.InitialText;
  return c;
}

void TBuilder::TimeRow(int group, TTimeSlot slot, std::span<const std::string_view, 4> names,
                       const TParamDesc* param) {
  const int row = NextRow(group);
  for (int part = 0; part < 4; ++part) {
    TControlDesc& c = Add(TControlKind::TimeSpin, names[static_cast<size_t>(part)],
                          kTimeCaptions[static_cast<size_t>(part)], group, row, part);
    c.Time = slot;
    c.TimePart = part;
    c.Param = param;
    c.Max = kTimeMax[static_cast<size_t>(part)];
  }
}

TBuilder& TBuilder::Spin(int group, std::string_view label, std::string_view name, std::string_view field) {
  AddField(TControlKind::SpinEdit, name, label, group, NextRow(group), 0, field);
  return *this;
}

TBuilder& TBuilder::Pair(int group, std::string_view label, std::string_view startName,
                         std::string_view endName, std::string_view startField, std::string_view endField) {
  const int row = NextRow(group);
  AddField(TControlKind::SpinEdit, startName, label, group, row, 0, startField);
  AddField(TControlKind::SpinEdit, endName, "", group, row, 1, endField);
  return *this;
}

TBuilder& TBuilder::Radios(int group, std::string_view field,
                           std::initializer_list<std::pair<std::string_view, std::string_view>> buttons) {
  int64_t value = 0;
  for (const auto& [name, caption] : buttons)
    AddField(TControlKind::RadioButton, name, caption, group, NextRow(group), 0, field).Value = value++;
  return *this;
}

TBuilder& TBuilder::BlendModes() {
  return Radios(Group("ブレンドモード"), "BlendMode",
                {{"RadioButton_BlendMode_Copy", "コピー"},
                 {"RadioButton_BlendMode_Alpha", "アルファブレンド"},
                 {"RadioButton_BlendMode_Add", "加算合成"},
                 {"RadioButton_BlendMode_Sub", "減算合成"}});
}

TBuilder& TBuilder::Directions(int group, std::string_view label, std::string_view name,
                               std::string_view field) {
  AddField(TControlKind::ComboBox, name, label, group, NextRow(group), 0, field).Items = kDirections;
  return *this;
}

TBuilder& TBuilder::File(int group, std::string_view field, std::string_view filter) {
  TControlDesc& c = AddField(TControlKind::FileEdit, "JvFilenameEdit", "", group, NextRow(group), 0, field);
  c.Filter = filter;
  c.BrowseTitle = kBrowseTitle;
  return *this;
}

TBuilder& TBuilder::Swatch(int group, std::string_view field) {
  AddField(TControlKind::ColorSwatch, "Shape_Color", "", group, NextRow(group), 0, field);
  return *this;
}

TBuilder& TBuilder::Text(int group, TControlKind kind, std::string_view name, std::string_view field) {
  AddField(kind, name, "", group, NextRow(group), 0, field);
  return *this;
}

TBuilder& TBuilder::FontLabel(int group) {
  // Holds the typeface, size and style; bound here to the typeface field.
  AddField(TControlKind::FontLabel, "Label_Font", "", group, NextRow(group), 0, "Font.Name");
  return *this;
}

TBuilder& TBuilder::LayerList(int group) {
  Add(TControlKind::ListView, "ListView_GraphicLayerList", "", group, NextRow(group), 0).Items =
      kLayerColumns;
  return *this;
}

TBuilder& TBuilder::Button(int group, std::string_view name, std::string_view caption, TButtonRole role) {
  Add(TControlKind::Button, name, caption, group, NextRow(group), 0).Role = role;
  return *this;
}

TBuilder& TBuilder::Note(int group, std::string_view name, std::string_view text) {
  Add(TControlKind::Note, name, text, group, NextRow(group), 0);
  return *this;
}

TBuilder& TBuilder::RangeTime(int group, TTimeSlot slot, std::span<const std::string_view, 4> names,
                              std::string_view field) {
  TimeRow(group, slot, names, &Param(field));
  return *this;
}

TBuilder& TBuilder::Mark() {
  mark_ = d_.Controls.size();
  return *this;
}

TBuilder& TBuilder::OnlyWhen(std::string_view selector, int64_t value, bool onLoad) {
  const TParamDesc* s = &Param(selector);
  for (size_t i = mark_; i < d_.Controls.size(); ++i)
    d_.Controls[i].When = {s, value, onLoad};
  return *this;
}

TBuilder& TBuilder::UnitSwitch(std::string_view radio, int64_t max, std::vector<std::string_view> fields) {
  d_.UnitSwitches.push_back({radio, max, std::move(fields)});
  return *this;
}

TDialogDescriptor TBuilder::Finish() {
  const int row = NextRow(-1);
  const int buttons = GroupAt("", -1, row, 0, 2);
  int column = 0;
  if (d_.HasPreview)
    Add(TControlKind::Button, "Button_Preview", "プレビュー", buttons, 0, column++).Role =
        TButtonRole::Preview;
  Add(TControlKind::Button, "Button_OK", "OK", buttons, 0, column++).Role = TButtonRole::Ok;
  Add(TControlKind::Button, "Button_Cancel", "キャンセル", buttons, 0, column).Role = TButtonRole::Cancel;
  return std::move(d_);
}

}  // namespace dialog
}  // namespace vexa
