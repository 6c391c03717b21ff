#include "ui/logic/event_form.h"

#include <stdexcept>
#include <string>

#include "model/event_kinds.h"

namespace vexa {
namespace {

const TParamDesc& FontParam(int32_t kind, std::string_view field) {
  const TParamDesc* p = FindParam(*KindInfo(kind), field);
  if (!p) throw std::logic_error("no " + std::string(field));
  return *p;
}

bool SameGroup(const TControlDesc& a, const TControlDesc& b) {
  return a.Kind == TControlKind::RadioButton && b.Kind == TControlKind::RadioButton && a.Param == b.Param;
}

bool SameTime(const TControlDesc& a, const TControlDesc& b) {
  return a.Kind == TControlKind::TimeSpin && b.Kind == TControlKind::TimeSpin && a.Time == b.Time;
}

// The milliseconds a range field holds: its low 32 bits (a sample number is 64-bit).
uint64_t RangeMilliseconds(const TParamDesc& p, const TEvent& e) {
  return static_cast<uint32_t>(GetParamInt(p, e));
}

}  // namespace

TEventForm::TEventForm(const TDialogDescriptor& descriptor)
    : d_(descriptor), states_(descriptor.Controls.size()) {
  for (size_t i = 0; i < d_.Controls.size(); ++i) {
    const TControlDesc& c = d_.Controls[i];
    TState& s = states_[i];
    switch (c.Kind) {
      case TControlKind::SpinEdit:
        s.Spin = TSpinField(c.Min, c.Max, c.Initial);
        break;
      case TControlKind::ComboBox:
        s.Spin = TSpinField(0, static_cast<int64_t>(c.Items.size()) - 1, c.Initial);
        break;
      case TControlKind::RadioButton:
        s.Checked = c.Value == c.Initial;
        break;
      case TControlKind::FileEdit:
      case TControlKind::Memo:
      case TControlKind::LineEdit:
        s.Text = std::string(c.InitialText);
        break;
      case TControlKind::ColorSwatch:
        s.Color = static_cast<int32_t>(c.Initial);
        break;
      case TControlKind::FontLabel:
        font_.Name = std::string(c.InitialText);
        font_.Size = static_cast<int32_t>(FontParam(d_.Kind, "Font.Size").Dialog.Initial);
        font_.Style = static_cast<int32_t>(FontParam(d_.Kind, "Font.Style").Dialog.Initial);
        break;
      default:
        break;
    }
  }
}

size_t TEventForm::Index(std::string_view name, std::initializer_list<TControlKind> kinds) const {
  const int i = d_.IndexOf(name);
  if (i >= 0)
    for (TControlKind k : kinds)
      if (d_.Controls[static_cast<size_t>(i)].Kind == k) return static_cast<size_t>(i);
  throw std::out_of_range(std::string(d_.ClassName) + " has no such control: " + std::string(name));
}

size_t TEventForm::Index(std::string_view name, TControlKind kind) const {
  return Index(name, {kind});
}

const TSpinField& TEventForm::Spin(std::string_view name) const {
  const size_t i = Index(name, {TControlKind::SpinEdit, TControlKind::TimeSpin});
  const TControlDesc& c = d_.Controls[i];
  if (c.Kind == TControlKind::TimeSpin) return Time(c.Time).Parts[static_cast<size_t>(c.TimePart)];
  return states_[i].Spin;
}

bool TEventForm::Checked(std::string_view radio) const {
  return states_[Index(radio, TControlKind::RadioButton)].Checked;
}

int64_t TEventForm::ComboIndex(std::string_view name) const {
  return states_[Index(name, TControlKind::ComboBox)].Spin.Value();
}

const std::string& TEventForm::Text(std::string_view name) const {
  return states_[Index(name, {TControlKind::FileEdit, TControlKind::Memo, TControlKind::LineEdit})].Text;
}

int32_t TEventForm::Color(std::string_view name) const {
  return states_[Index(name, TControlKind::ColorSwatch)].Color;
}

std::optional<int64_t> TEventForm::RadioValue(std::string_view field) const {
  for (size_t i = 0; i < d_.Controls.size(); ++i) {
    const TControlDesc& c = d_.Controls[i];
    if (c.Kind == TControlKind::RadioButton && c.Param->Field == field && states_[i].Checked) return c.Value;
  }
  return std::nullopt;
}

uint32_t TEventForm::TimeValue(TTimeSlot slot) const {
  return Time(slot).Value();
}

void TEventForm::SetSpin(std::string_view name, int64_t value) {
  const size_t i = Index(name, {TControlKind::SpinEdit, TControlKind::TimeSpin});
  const TControlDesc& c = d_.Controls[i];
  if (c.Kind == TControlKind::TimeSpin)
    Time(c.Time).Parts[static_cast<size_t>(c.TimePart)].Set(value);
  else
    states_[i].Spin.Set(value);
  states_[i].Edited = true;
}

void TEventForm::Select(size_t radio, bool edited) {
  const TControlDesc& c = d_.Controls[radio];
  const bool changed = !states_[radio].Checked;
  for (size_t i = 0; i < d_.Controls.size(); ++i)
    if (SameGroup(d_.Controls[i], c)) {
      states_[i].Checked = i == radio;
      if (edited) states_[i].Edited = true;
    }
  if (changed) RunUnitSwitch(c.Name, edited);
}

void TEventForm::RunUnitSwitch(std::string_view radio, bool edited) {
  for (const TUnitSwitch& u : d_.UnitSwitches) {
    if (u.Radio != radio) continue;
    for (std::string_view name : u.Fields) {
      const size_t i = Index(name, TControlKind::SpinEdit);
      TState& s = states_[i];
      s.Spin.SetMax(u.Max);
      // An untouched loaded field shows its loaded value again as far as the new limits let
      // it; when the user's switch cuts it, the cut value is what OK writes.
      if (edited && KeepsLoaded(i)) {
        const int64_t raw = GetParamInt(*d_.Controls[i].Param, *loaded_);
        s.Spin.Set(raw);
        if (s.Spin.Value() != raw) s.Edited = true;
      }
    }
  }
}

void TEventForm::ClickRadio(std::string_view radio) {
  Select(Index(radio, TControlKind::RadioButton), true);
}

void TEventForm::SelectCombo(std::string_view name, int64_t index) {
  const size_t i = Index(name, TControlKind::ComboBox);
  states_[i].Spin.Set(index);
  states_[i].Edited = true;
}

void TEventForm::SetText(std::string_view name, std::string text) {
  const size_t i = Index(name, {TControlKind::FileEdit, TControlKind::Memo, TControlKind::LineEdit});
  states_[i].Text = std::move(text);
  states_[i].Edited = true;
}

void TEventForm::SetColor(std::string_view name, int32_t color) {
  const size_t i = Index(name, TControlKind::ColorSwatch);
  states_[i].Color = color;
  states_[i].Edited = true;
}

void TEventForm::SetFont(TFontChoice font) {
  const size_t i = Index("Label_Font", TControlKind::FontLabel);
  font.Style &= 15;
  font_ = std::move(font);
  states_[i].Edited = true;
}

void TEventForm::SetLayerNames(std::vector<std::string> names) {
  layerNames_ = std::move(names);
  selectedLayerRow_ = -1;
}

void TEventForm::SelectLayerRow(int row) {
  if (row < 0 || static_cast<size_t>(row) >= layerNames_.size()) return;
  selectedLayerRow_ = row;
  SetSpin("JvSpinEdit_Index", row);
  SetText("Edit_LayerName", layerNames_[static_cast<size_t>(row)]);
}

void TEventForm::ShowTime(TTimeSlot slot, uint64_t ms, bool edited) {
  Time(slot).Show(ms);
  for (size_t i = 0; i < d_.Controls.size(); ++i)
    if (d_.Controls[i].Kind == TControlKind::TimeSpin && d_.Controls[i].Time == slot) {
      if (edited)
        states_[i].Edited = true;
      else
        states_[i].Loaded = true;
    }
}

void TEventForm::SetTime(TTimeSlot slot, uint64_t ms) {
  ShowTime(slot, ms, true);
}

bool TEventForm::KeepsLoaded(size_t control) const {
  if (!loaded_) return false;
  const TControlDesc& c = d_.Controls[control];
  bool loaded = false;
  for (size_t i = 0; i < d_.Controls.size(); ++i) {
    const TControlDesc& o = d_.Controls[i];
    if (i == control || SameGroup(o, c) || SameTime(o, c)) {
      if (states_[i].Edited) return false;
      loaded = loaded || states_[i].Loaded;
    }
  }
  return loaded;
}

bool TEventForm::Applies(const TWriteCondition& when) const {
  if (!when.Selector) return true;
  // The selector's value as OK writes it: as loaded while its group is untouched.
  for (size_t i = 0; i < d_.Controls.size(); ++i) {
    const TControlDesc& c = d_.Controls[i];
    if (c.Kind != TControlKind::RadioButton || c.Param != when.Selector) continue;
    if (KeepsLoaded(i)) return GetParamInt(*when.Selector, *loaded_) == when.Value;
    break;
  }
  const std::optional<int64_t> v = RadioValue(when.Selector->Field);
  return v && *v == when.Value;
}

void TEventForm::LoadEvent(const TEvent& event) {
  if (event.EventType != d_.Kind) throw std::invalid_argument("LoadEvent: event of another kind");
  loaded_ = CopyEvent(event);
  for (TState& s : states_)
    s.Edited = s.Loaded = false;
  ShowTime(TTimeSlot::StartTime, event.StartTime, false);
  ShowTime(TTimeSlot::EndTime, event.EndTime, false);

  auto selectByValue = [&](const TControlDesc& group) {
    const int64_t v = GetParamInt(*group.Param, event);
    for (size_t i = 0; i < d_.Controls.size(); ++i)
      if (SameGroup(d_.Controls[i], group)) {
        states_[i].Loaded = true;
        if (d_.Controls[i].Value == v) Select(i, false);
      }
  };
  // The unit first, so that its switch sets the limits the values are shown in.
  for (const TUnitSwitch& u : d_.UnitSwitches)
    selectByValue(d_.Controls[Index(u.Radio, TControlKind::RadioButton)]);

  for (size_t i = 0; i < d_.Controls.size(); ++i) {
    const TControlDesc& c = d_.Controls[i];
    TState& s = states_[i];
    if (c.When.OnLoad && GetParamInt(*c.When.Selector, event) != c.When.Value) continue;
    switch (c.Kind) {
      case TControlKind::SpinEdit:
        s.Spin.Set(GetParamInt(*c.Param, event));
        s.Loaded = true;
        break;
      case TControlKind::TimeSpin:
        if (c.Param && c.TimePart == 0) ShowTime(c.Time, RangeMilliseconds(*c.Param, event), false);
        break;
      case TControlKind::RadioButton:
        if (!s.Loaded) selectByValue(c);
        break;
      case TControlKind::ComboBox: {
        const int64_t v = GetParamInt(*c.Param, event);
        if (v >= 0 && v < static_cast<int64_t>(c.Items.size())) s.Spin.Set(v);
        s.Loaded = true;
        break;
      }
      case TControlKind::FileEdit:
      case TControlKind::Memo:
      case TControlKind::LineEdit:
        s.Text = GetParamString(*c.Param, event);
        s.Loaded = true;
        break;
      case TControlKind::ColorSwatch:
        s.Color = static_cast<int32_t>(GetParamInt(*c.Param, event));
        s.Loaded = true;
        break;
      case TControlKind::FontLabel:
        font_.Name = GetParamString(*c.Param, event);
        font_.Size = static_cast<int32_t>(GetParamInt(FontParam(d_.Kind, "Font.Size"), event));
        font_.Style = static_cast<int32_t>(GetParamInt(FontParam(d_.Kind, "Font.Style"), event)) & 15;
        s.Loaded = true;
        break;
      default:
        break;
    }
  }
}

void TEventForm::WriteEvent(TEvent& event) const {
  if (event.EventType != d_.Kind) throw std::invalid_argument("WriteEvent: event of another kind");
  auto copyLoaded = [&](const TParamDesc& p) {
    if (p.IsString())
      SetParamString(p, event, GetParamString(p, *loaded_));
    else
      SetParamInt(p, event, GetParamInt(p, *loaded_));
  };
  for (size_t i = 0; i < d_.Controls.size(); ++i) {
    const TControlDesc& c = d_.Controls[i];
    const TState& s = states_[i];
    const bool keep = KeepsLoaded(i);
    switch (c.Kind) {
      case TControlKind::TimeSpin: {
        if (c.TimePart != 0) break;  // one write per time
        if (!c.Param) {
          uint32_t& t = c.Time == TTimeSlot::StartTime ? event.StartTime : event.EndTime;
          t = keep ? (c.Time == TTimeSlot::StartTime ? loaded_->StartTime : loaded_->EndTime)
                   : TimeValue(c.Time);
        } else if (Applies(c.When)) {
          // Milliseconds; a sample field gets upper half 0.
          if (keep)
            copyLoaded(*c.Param);
          else
            SetParamInt(*c.Param, event, TimeValue(c.Time));
        }
        break;
      }
      case TControlKind::SpinEdit:
      case TControlKind::ComboBox:
        if (!Applies(c.When)) break;
        if (keep)
          copyLoaded(*c.Param);
        else
          SetParamInt(*c.Param, event, s.Spin.Value());
        break;
      case TControlKind::RadioButton: {
        // Once per group, at its first button.
        bool first = true;
        for (size_t j = 0; j < i; ++j)
          if (SameGroup(d_.Controls[j], c)) first = false;
        if (!first) break;
        if (keep) {
          copyLoaded(*c.Param);
        } else if (const std::optional<int64_t> v = RadioValue(c.Param->Field)) {
          SetParamInt(*c.Param, event, *v);
        }
        break;
      }
      case TControlKind::FileEdit:
      case TControlKind::Memo:
      case TControlKind::LineEdit:
        if (!Applies(c.When)) break;
        if (keep)
          copyLoaded(*c.Param);
        else
          SetParamString(*c.Param, event, s.Text);
        break;
      case TControlKind::ColorSwatch:
        if (!Applies(c.When)) break;
        if (keep)
          copyLoaded(*c.Param);
        else
          SetParamInt(*c.Param, event, s.Color);
        break;
      case TControlKind::FontLabel: {
        const TParamDesc& size = FontParam(d_.Kind, "Font.Size");
        const TParamDesc& style = FontParam(d_.Kind, "Font.Style");
        if (keep) {
          copyLoaded(*c.Param);
          copyLoaded(size);
          copyLoaded(style);
        } else {
          SetParamString(*c.Param, event, font_.Name);
          SetParamInt(size, event, font_.Size);
          SetParamInt(style, event, font_.Style);
        }
        break;
      }
      default:
        break;
    }
  }
}

std::unique_ptr<TEvent> NewEventFromDialog(int32_t kind) {
  const TDialogDescriptor* d = DialogOf(kind);
  if (!d) return nullptr;
  TEventForm form(*d);
  std::unique_ptr<TEvent> e = NewEvent(kind);
  form.WriteEvent(*e);
  return e;
}

}  // namespace vexa
