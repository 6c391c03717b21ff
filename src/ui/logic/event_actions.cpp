// The main window's commands on its event views, and the pieces all its commands share.
#include <algorithm>
#include <numeric>

#include "model/event_kinds.h"
#include "ui/logic/drag_order.h"
#include "ui/logic/event_adjust_form.h"
#include "ui/logic/event_commands.h"
#include "ui/logic/event_sync.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/time_adjust.h"

namespace vexa {
namespace {

template <class Clipboards>
auto* ClipboardOf(Clipboards& c, TViewId view) {
  switch (view) {
    case TViewId::GraphicSources:
      return &c.Sources;
    case TViewId::GraphicEffects:
      return &c.Effects;
    case TViewId::SoundEvents:
      return &c.Sounds;
    default:
      return static_cast<decltype(&c.Sources)>(nullptr);
  }
}

std::string KindStepName(int32_t code, std::string_view what) {
  const TKindInfo* k = KindInfo(code);
  std::string name = k && !k->MenuName.empty() ? std::string(k->MenuName) : std::string("サウンド");
  return name + std::string(what);
}

// The existing synchronisation asks through this; its change is then made again as a command.
class TSyncPrompt : public TEventCommandUi {
 public:
  explicit TSyncPrompt(TUserPrompt& prompt) : prompt_(prompt) {}
  void Message(std::string_view text) override { prompt_.Message(text); }
  bool Confirm(std::string_view text) override { return prompt_.Confirm(text); }
  void RefreshRow(TEvent&) override {}

 private:
  TUserPrompt& prompt_;
};

}  // namespace

std::string WithExtension(std::string name, std::string_view extension) {
  auto lower = [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); };
  if (name.size() >= extension.size() &&
      std::equal(extension.begin(), extension.end(), name.end() - static_cast<std::ptrdiff_t>(extension.size()),
                 [&](char a, char b) { return lower(static_cast<unsigned char>(a)) == lower(static_cast<unsigned char>(b)); }))
    return name;
  return name + std::string(extension);
}

TMenuState MenuState(const TProjectDocument& doc, TViewId view) {
  TMenuState m;
  const bool selection = doc.Selection(view).HasSelection();
  const TEditorClipboards& c = doc.Clipboards();
  if (IsLayerView(view)) {
    m.Add = m.Open = true;
    m.Copy = m.Delete = m.Save = m.SaveAs = selection;
    m.Paste = view == TViewId::GraphicLayers ? !c.GraphicLayers.Empty() : !c.SoundLayers.Empty();
    return m;
  }
  m.Add = doc.Selection(view).Enabled();
  m.Copy = m.Delete = m.Edit = m.AdjustTimes = m.CopyTimes = selection;
  m.Sync = selection && view != TViewId::GraphicEffects;
  m.PasteTimes = selection && !c.Times.Empty();
  m.Paste = !ClipboardOf(c, view)->Empty();
  return m;
}

void TMainActions::Guard(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    prompt_.ErrorMessage(e.what());
  } catch (...) {
    prompt_.ErrorMessage("Unexpected error.");
  }
}

void TMainActions::FileError(const std::exception& e, const std::string& file) {
  const std::string text = e.what();
  // Say which file failed, unless the engine's text already does.
  prompt_.ErrorMessage(file.empty() || text.find(file) != std::string::npos ? text : file + "\n" + text);
}

// ---- clipboard ----

void TMainActions::CopyEvents(TViewId view) {
  Guard([&] {
    TEventList* clip = ClipboardOf(doc_.Clipboards(), view);
    const std::vector<TEvent*> selected = doc_.SelectedEvents(view);
    if (!clip || selected.empty()) return;
    clip->Clear();
    for (TEvent* e : selected)
      if (auto copy = CopyEvent(*e)) clip->Add(std::move(copy));
    // Effect and sound events bring their times along; source events leave them.
    if (view != TViewId::GraphicSources) {
      TEventList& times = doc_.Clipboards().Times;
      times.Clear();
      for (TEvent* e : selected) {
        std::unique_ptr<TEvent> t = NewEvent(kind::MonoYUV);
        t->StartTime = e->StartTime;
        t->EndTime = e->EndTime;
        times.Add(std::move(t));
      }
    }
    doc_.NotifyClipboard();
  });
}

void TMainActions::CutEvents(TViewId view) {
  Guard([&] {
    if (!ClipboardOf(doc_.Clipboards(), view) || !doc_.Selection(view).HasSelection()) return;
    CopyEvents(view);
    doc_.Execute(std::make_unique<TDeleteEventsCommand>(doc_, "切り取り", view));
  });
}

void TMainActions::PasteEvents(TViewId view) {
  Guard([&] {
    TEventList* clip = ClipboardOf(doc_.Clipboards(), view);
    if (!clip || clip->Empty() || !doc_.Selection(view).Enabled()) return;
    std::vector<std::unique_ptr<TEvent>> copies;
    for (TEvent* e : *clip)
      if (auto copy = CopyEvent(*e)) copies.push_back(std::move(copy));
    const int p = std::max(doc_.Selection(view).FirstSelected(), 0);
    doc_.Execute(std::make_unique<TInsertEventsCommand>(doc_, "貼り付け", view, std::move(copies), p));
  });
}

void TMainActions::DeleteEvents(TViewId view) {
  Guard([&] {
    if (!prompt_.Confirm(main_text::kConfirmDeleteEvents)) return;
    if (IsLayerView(view) || !doc_.Selection(view).HasSelection()) return;
    doc_.Execute(std::make_unique<TDeleteEventsCommand>(doc_, "削除", view));
  });
}

// ---- times ----

void TMainActions::CopyTimes(TViewId view) {
  Guard([&] {
    const std::vector<TEvent*> selected = doc_.SelectedEvents(view);
    if (selected.empty()) return;
    TEventList& times = doc_.Clipboards().Times;
    times.Clear();
    for (TEvent* e : selected) {
      std::unique_ptr<TEvent> t = NewEvent(kind::MonoYUV);
      t->StartTime = e->StartTime;
      t->EndTime = e->EndTime;
      times.Add(std::move(t));
    }
    doc_.NotifyClipboard();
  });
}

void TMainActions::PasteTimes(TViewId view) {
  Guard([&] {
    const TEventList& times = doc_.Clipboards().Times;
    const std::vector<TEvent*> selected = doc_.SelectedEvents(view);
    if (selected.empty() || times.Empty()) return;
    if (!prompt_.Confirm(main_text::kConfirmPasteTimes)) return;
    std::vector<TChangeEventsCommand::TChange> changes;
    int k = 0;
    for (TEvent* e : selected) {
      std::unique_ptr<TEvent> after = CopyEvent(*e);
      after->StartTime = times[k]->StartTime;
      after->EndTime = times[k]->EndTime;
      k = (k + 1) % times.Count();
      changes.emplace_back(e, std::move(after));
    }
    doc_.Execute(std::make_unique<TChangeEventsCommand>(doc_, "時間を貼り付け", std::move(changes)));
  });
}

void TMainActions::AdjustTimes(TViewId view) {
  Guard([&] {
    const std::vector<TEvent*> selected = doc_.SelectedEvents(view);
    if (selected.empty()) return;
    TEventAdjustForm form;
    form.Open(*selected.front());
    if (!prompt_.ShowAdjustDialog(form)) return;
    if (!prompt_.Confirm(main_text::kConfirmAdjustTimes)) return;
    const TTimeAdjustment a = form.Result();
    std::vector<TChangeEventsCommand::TChange> changes;
    for (TEvent* e : selected) {
      std::unique_ptr<TEvent> after = CopyEvent(*e);
      AdjustEventTimes(*after, a);
      changes.emplace_back(e, std::move(after));
    }
    TGraphicLayer* sort = view == TViewId::GraphicEffects ? doc_.ShownGraphicLayer() : nullptr;
    doc_.Execute(
        std::make_unique<TChangeEventsCommand>(doc_, "時間調節", std::move(changes), sort));
  });
}

void TMainActions::SyncSound() {
  SyncCommand(true);
}

void TMainActions::SyncMovie() {
  SyncCommand(false);
}

void TMainActions::SyncCommand(bool soundToMovie) {
  Guard([&] {
    const std::vector<TEvent*> sources = doc_.SelectedEvents(TViewId::GraphicSources);
    const std::vector<TEvent*> sounds = doc_.SelectedEvents(TViewId::SoundEvents);
    TEvent* target = soundToMovie ? (sources.empty() ? nullptr : sources.front())
                                  : (sounds.empty() ? nullptr : sounds.front());
    std::unique_ptr<TEvent> before = target ? CopyEvent(*target) : nullptr;
    TSyncPrompt ui(prompt_);
    const bool changed = soundToMovie ? vexa::SyncSound(sources, sounds, ui) : vexa::SyncMovie(sounds, sources, ui);
    if (!changed || !target || !before) return;
    // The rules ran on the event itself; the change is made again as a command.
    std::unique_ptr<TEvent> after = CopyEvent(*target);
    AssignEvent(*target, *before);
    std::vector<TChangeEventsCommand::TChange> changes;
    changes.emplace_back(target, std::move(after));
    doc_.Execute(std::make_unique<TChangeEventsCommand>(doc_, soundToMovie ? "サウンドと同期" : "動画と同期",
                                                        std::move(changes)));
  });
}

// ---- order ----

void TMainActions::SortByStartTime(TViewId view) {
  Guard([&] {
    if (IsLayerView(view)) return;
    const TEventRowModel& rows = doc_.EventRows(view);
    std::vector<int> order(static_cast<size_t>(rows.Count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CompareEventTime(*rows[a].Event, *rows[b].Event) < 0; });
    if (std::is_sorted(order.begin(), order.end())) return;
    doc_.Execute(std::make_unique<TReorderEventsCommand>(doc_, "並べ替え", view, std::move(order)));
  });
}

void TMainActions::DropRows(TViewId view, int dropRow) {
  Guard([&] {
    std::vector<int> order = DragOrder(doc_.Selection(view), doc_.RowCount(view), dropRow);
    if (order.empty()) return;
    if (view == TViewId::GraphicLayers)
      doc_.Execute(std::make_unique<TReorderLayersCommand<TGraphicLayer>>(doc_, "レイヤーの移動", std::move(order)));
    else if (view == TViewId::SoundLayers)
      doc_.Execute(std::make_unique<TReorderLayersCommand<TSoundLayer>>(doc_, "レイヤーの移動", std::move(order)));
    else
      doc_.Execute(std::make_unique<TReorderEventsCommand>(doc_, "イベントの移動", view, std::move(order)));
  });
}

void TMainActions::SelectAll(TViewId view) {
  Guard([&] {
    const int n = doc_.RowCount(view);
    const TRowSelection& s = doc_.Selection(view);
    if (view == TViewId::SoundEvents && s.SelectedCount() == n) {
      doc_.SetSelection(view, {}, s.Focused());
      return;
    }
    std::vector<int> all(static_cast<size_t>(n));
    std::iota(all.begin(), all.end(), 0);
    doc_.SetSelection(view, all, s.Focused());
  });
}

// ---- dialogs ----

void TMainActions::AddEvent(TViewId view, std::unique_ptr<TEvent> event) {
  Guard([&] {
    if (!event || !KindShownIn(event->EventType, view) || !doc_.Selection(view).Enabled()) return;
    const int selected = doc_.Selection(view).FirstSelected();
    const int at = selected >= 0 ? selected : doc_.RowCount(view);
    std::string text = KindStepName(event->EventType, "の追加");
    std::vector<std::unique_ptr<TEvent>> events;
    events.push_back(std::move(event));
    doc_.Execute(std::make_unique<TInsertEventsCommand>(doc_, std::move(text), view, std::move(events), at));
  });
}

void TMainActions::EditEvent(TViewId view, const TEvent& edited) {
  Guard([&] {
    const std::vector<TEvent*> selected = doc_.SelectedEvents(view);
    if (selected.empty() || selected.front()->EventType != edited.EventType) return;
    std::vector<TChangeEventsCommand::TChange> changes;
    changes.emplace_back(selected.front(), CopyEvent(edited));
    doc_.Execute(
        std::make_unique<TChangeEventsCommand>(doc_, KindStepName(edited.EventType, "の編集"), std::move(changes)));
  });
}

TUndoButtons UndoButtons(const TCommandHistory& history) {
  TUndoButtons b;
  b.CanUndo = history.CanUndo();
  b.CanRedo = history.CanRedo();
  b.UndoTip = std::string(main_text::kUndo);
  b.RedoTip = std::string(main_text::kRedo);
  if (b.CanUndo) b.UndoTip += ": " + history.UndoText();
  if (b.CanRedo) b.RedoTip += ": " + history.RedoText();
  return b;
}

void TMainActions::Undo() {
  Guard([&] {
    if (doc_.History().CanUndo()) doc_.History().Undo();
  });
}

void TMainActions::Redo() {
  Guard([&] {
    if (doc_.History().CanRedo()) doc_.History().Redo();
  });
}

bool TMainActions::ConfirmClose() {
  return prompt_.Confirm(doc_.IsModified() ? main_text::kConfirmCloseUnsaved : main_text::kConfirmClose);
}

void TMainActions::ApplyProjectSettings(const TProjectSettings& settings) {
  Guard([&] {
    if (!(settings == TProjectSettings::Of(doc_.Project())))
      doc_.Execute(std::make_unique<TProjectSettingsCommand>(doc_, "プロジェクト設定", settings));
    doc_.ShowProjectNameInCaption();
  });
}

}  // namespace vexa
