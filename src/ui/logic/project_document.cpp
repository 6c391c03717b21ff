#include "ui/logic/project_document.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "model/event_kinds.h"
#include "ui/logic/text_format.h"

namespace vexa {
namespace {

constexpr TViewId kGraphicEventViews[] = {TViewId::GraphicSources, TViewId::GraphicEffects};
constexpr TViewId kSoundEventViews[] = {TViewId::SoundEvents};

TEventRow Described(TEvent& e, int row) {
  TEventRow r;
  DescribeEvent(e, r, row);
  return r;
}

}  // namespace

std::span<const TViewId> EventViewsOf(TTabId tab) {
  if (tab == TTabId::Graphic) return kGraphicEventViews;
  return kSoundEventViews;
}

TProjectDocument::TProjectDocument(TProject& project) : project_(project) {
  ProjectReplaced();  // the event views start empty and disabled
}

TProjectDocument::~TProjectDocument() {
  history_.Clear();
}

size_t TProjectDocument::EventIndex(TViewId v) {
  switch (v) {
    case TViewId::GraphicSources:
      return 0;
    case TViewId::GraphicEffects:
      return 1;
    default:
      return 2;
  }
}

const TRowSelection& TProjectDocument::Selection(TViewId view) const {
  if (IsLayerView(view)) return LayerRows(TabOf(view));
  return EventRows(view);
}

int TProjectDocument::RowCount(TViewId view) const {
  return IsLayerView(view) ? LayerRows(TabOf(view)).Count() : EventRows(view).Count();
}

TEventList* TProjectDocument::ShownListFor(TViewId view, int32_t kindCode) const {
  if (TabOf(view) == TTabId::Graphic) return shownGraphic_ ? shownGraphic_->ListForKind(kindCode) : nullptr;
  return shownSound_ ? shownSound_->ListForKind(kindCode) : nullptr;
}

std::vector<TEvent*> TProjectDocument::SelectedEvents(TViewId view) const {
  std::vector<TEvent*> events;
  if (IsLayerView(view)) return events;
  const TEventRowModel& rows = EventRows(view);
  for (int r : rows.SelectedRows())
    events.push_back(rows[r].Event);
  return events;
}

// ---- selection ----

void TProjectDocument::SetSelection(TViewId view, std::span<const int> rows, int focused) {
  BeginBatch();
  SelectRows(view, rows, focused);
  EndBatch();
}

void TProjectDocument::SetFocused(TViewId view, int row) {
  TRowSelection& s = MutableSelection(view);
  if (s.Focused() == row) return;
  s.SetFocused(row);
  Notify({TNoticeKind::SelectionChanged, view});
}

void TProjectDocument::SelectRows(TViewId view, std::span<const int> rows, int focused) {
  MutableSelection(view).ResetSelection(rows, focused);
  Notify({TNoticeKind::SelectionChanged, view});
  if (IsLayerView(view)) UpdateShownLayer(TabOf(view));
}

// ---- observers and notices ----

void TProjectDocument::AddObserver(TDocumentObserver& observer) {
  observers_.push_back(&observer);
}

void TProjectDocument::RemoveObserver(TDocumentObserver& observer) {
  std::erase(observers_, &observer);
}

void TProjectDocument::Notify(TDocumentNotice notice) {
  // A notice of an event view names the layer the view shows.
  const bool eventView = !IsLayerView(notice.View) && (notice.Kind == TNoticeKind::EventsAdded ||
                                                       notice.Kind == TNoticeKind::EventsRemoved ||
                                                       notice.Kind == TNoticeKind::EventChanged ||
                                                       notice.Kind == TNoticeKind::EventsReordered ||
                                                       notice.Kind == TNoticeKind::SelectionChanged);
  if (eventView && TabOf(notice.View) == TTabId::Graphic) notice.GraphicLayer = shownGraphic_;
  if (eventView && TabOf(notice.View) == TTabId::Sound) notice.SoundLayer = shownSound_;
  // A copy: an observer may remove itself while hearing.
  const std::vector<TDocumentObserver*> observers = observers_;
  for (TDocumentObserver* o : observers)
    o->Notice(notice);
}

void TProjectDocument::BeginBatch() {
  if (batchDepth_++ == 0) Notify({TNoticeKind::BatchBegin});
}

void TProjectDocument::EndBatch() {
  if (--batchDepth_ == 0) Notify({TNoticeKind::BatchEnd});
}

void TProjectDocument::NotifyEvents(TNoticeKind kind, TViewId view, int row, int count,
                                    std::span<TEvent* const> events) {
  TDocumentNotice n{kind, view, row, count};
  n.Events = events;
  Notify(n);
}

// ---- caption ----

std::string TProjectDocument::WindowCaption() const {
  const std::string mark = IsModified() ? "*" : "";
  return captionNamed_ ? kApplicationTitle + " - " + mark + project_.ProjectName : mark + kApplicationTitle;
}

void TProjectDocument::ShowProjectNameInCaption() {
  captionNamed_ = true;
  NotifySettings();
}

// ---- unsaved changes ----

void TProjectDocument::EnterState(uint64_t state) {
  const bool was = IsModified();
  state_ = state;
  if (IsModified() != was) Notify({TNoticeKind::ModifiedChanged});
}

void TProjectDocument::MarkSaved() {
  const bool was = IsModified();
  savedState_ = state_;
  if (was) Notify({TNoticeKind::ModifiedChanged});
}

void TProjectDocument::MarkUnsaved() {
  const bool was = IsModified();
  savedState_ = 0;  // no state is 0
  if (!was) Notify({TNoticeKind::ModifiedChanged});
}

// ---- commands ----

void TProjectDocument::Execute(std::unique_ptr<TEditorCommand> command) {
  if (sink_)
    sink_(std::move(command));
  else
    history_.Push(std::move(command));
}

// ---- event rows ----

void TProjectDocument::InsertEventRows(TViewId view, int index, std::span<TEvent* const> events) {
  if (events.empty()) return;
  TEventRowModel& m = MutableEvents(view);
  index = std::clamp(index, 0, m.Count());
  std::vector<TEventRow> rows;
  rows.reserve(events.size());
  for (size_t i = 0; i < events.size(); ++i)
    rows.push_back(Described(*events[i], index + static_cast<int>(i)));
  m.Insert(index, std::move(rows));
  NotifyEvents(TNoticeKind::EventsAdded, view, index, static_cast<int>(events.size()), events);
}

void TProjectDocument::RemoveEventRows(TViewId view, std::span<const int> ascending) {
  if (ascending.empty()) return;
  TEventRowModel& m = MutableEvents(view);
  std::vector<TEvent*> gone;
  gone.reserve(ascending.size());
  for (int r : ascending)
    gone.push_back(m[r].Event);
  m.Remove(ascending);
  // One notice per run of neighbouring rows, from the bottom up, so that every notice's row
  // numbers hold for a view that applied the notices before it.
  size_t end = ascending.size();
  while (end > 0) {
    size_t begin = end - 1;
    while (begin > 0 && ascending[begin - 1] == ascending[begin] - 1)
      --begin;
    NotifyEvents(TNoticeKind::EventsRemoved, view, ascending[begin], static_cast<int>(end - begin),
                 std::span<TEvent* const>(gone).subspan(begin, end - begin));
    end = begin;
  }
}

void TProjectDocument::RefreshEventRow(TViewId view, int row) {
  // Only the texts change: no new version, so snapshots keep sharing the view's record.
  TEventRowModel& m = eventRows_[EventIndex(view)];
  if (row < 0 || row >= m.Count()) return;
  TEventRow& r = m.At(row);
  DescribeEvent(*r.Event, r, row);
  NotifyEvents(TNoticeKind::EventChanged, view, row, 1, std::span<TEvent* const>(&r.Event, 1));
}

void TProjectDocument::RefreshEvents(std::span<TEvent* const> events) {
  if (events.empty()) return;
  for (TViewId view : {TViewId::GraphicSources, TViewId::GraphicEffects, TViewId::SoundEvents}) {
    const TEventRowModel& m = EventRows(view);
    if (events.size() == 1) {
      for (int r = 0; r < m.Count(); ++r)
        if (m[r].Event == events[0]) RefreshEventRow(view, r);
      continue;
    }
    std::unordered_set<const TEvent*> wanted(events.begin(), events.end());
    for (int r = 0; r < m.Count(); ++r)
      if (wanted.count(m[r].Event)) RefreshEventRow(view, r);
  }
}

void TProjectDocument::ReorderEventRows(TViewId view, std::span<const int> order) {
  MutableEvents(view).Reorder(order);
  NotifyEvents(TNoticeKind::EventsReordered, view, 0, RowCount(view), {});
}

void TProjectDocument::RenumberEvents(TViewId view) {
  const TEventRowModel& m = EventRows(view);
  for (int r = 0; r < m.Count(); ++r)
    m[r].Event->EventNumber = static_cast<uint32_t>(r);
}

std::vector<TEvent*> TProjectDocument::ViewEventsOfShownLayer(TViewId view) const {
  switch (view) {
    case TViewId::GraphicSources:
      return shownGraphic_ ? SourceViewEvents(*shownGraphic_) : std::vector<TEvent*>{};
    case TViewId::GraphicEffects:
      return shownGraphic_ ? EffectViewEvents(*shownGraphic_) : std::vector<TEvent*>{};
    default:
      return shownSound_ ? SoundViewEvents(*shownSound_) : std::vector<TEvent*>{};
  }
}

void TProjectDocument::FillEventView(TViewId view, std::span<TEvent* const> events,
                                     std::span<TEvent* const> keepSelected, TEvent* keepFocused) {
  std::vector<TEventRow> rows(events.size());
  std::vector<int> selected;
  int focused = -1;
  std::unordered_set<const TEvent*> keep(keepSelected.begin(), keepSelected.end());
  for (size_t i = 0; i < events.size(); ++i) {
    DescribeEvent(*events[i], rows[i], static_cast<int>(i));
    if (!keep.empty() && keep.count(events[i])) selected.push_back(static_cast<int>(i));
    if (events[i] == keepFocused) focused = static_cast<int>(i);
  }
  TEventRowModel& m = MutableEvents(view);
  m.Reset(std::move(rows), selected, focused);
  m.SetEnabled(TabOf(view) == TTabId::Graphic ? shownGraphic_ != nullptr : shownSound_ != nullptr);
  NotifyEvents(TNoticeKind::EventsReordered, view, 0, m.Count(), {});
  Notify({TNoticeKind::SelectionChanged, view});
}

void TProjectDocument::RefillEventView(TViewId view) {
  const std::vector<TEvent*> events = ViewEventsOfShownLayer(view);
  const std::vector<TEvent*> selected = SelectedEvents(view);
  const TEventRowModel& m = EventRows(view);
  TEvent* focused = m.Focused() >= 0 ? m[m.Focused()].Event : nullptr;
  FillEventView(view, events, selected, focused);
}

void TProjectDocument::RefillEventViews(TTabId tab) {
  for (TViewId view : EventViewsOf(tab))
    RefillEventView(view);
}

void TProjectDocument::UpdateShownLayer(TTabId tab) {
  const TLayerRowModel& rows = LayerRows(tab);
  const int only = rows.SelectedCount() == 1 ? rows.FirstSelected() : -1;
  if (tab == TTabId::Graphic) {
    TGraphicLayer* shown = only >= 0 ? rows[only].Graphic : nullptr;
    if (shown == shownGraphic_) return;
    shownGraphic_ = shown;
  } else {
    TSoundLayer* shown = only >= 0 ? rows[only].Sound : nullptr;
    if (shown == shownSound_) return;
    shownSound_ = shown;
  }
  // Another layer: the views are emptied and filled from it, with nothing selected.
  for (TViewId view : EventViewsOf(tab))
    FillEventView(view, ViewEventsOfShownLayer(view), {}, nullptr);
}

// ---- layer rows ----

void TProjectDocument::InsertLayerRows(TTabId tab, int index, std::vector<TLayerRow> rows) {
  if (rows.empty()) return;
  TLayerRowModel& m = MutableLayers(tab);
  index = std::clamp(index, 0, m.Count());
  const int n = static_cast<int>(rows.size());
  m.Insert(index, std::move(rows));
  Notify({TNoticeKind::LayersAdded, LayerViewOf(tab), index, n});
}

void TProjectDocument::RemoveLayerRows(TTabId tab, std::span<const int> ascending) {
  if (ascending.empty()) return;
  MutableLayers(tab).Remove(ascending);
  for (size_t k = ascending.size(); k-- > 0;)
    Notify({TNoticeKind::LayersRemoved, LayerViewOf(tab), ascending[k], 1});
  UpdateShownLayer(tab);
}

void TProjectDocument::SetLayerRowTexts(TTabId tab, int row, std::string caption, std::string fileText) {
  TLayerRowModel& m = MutableLayers(tab);
  if (row < 0 || row >= m.Count()) return;
  TLayerRow& r = m.At(row);
  if (r.Caption == caption && r.FileText == fileText) return;
  r.Caption = std::move(caption);
  r.FileText = std::move(fileText);
  TDocumentNotice n{TNoticeKind::LayerChanged, LayerViewOf(tab), row, 1};
  n.GraphicLayer = r.Graphic;
  n.SoundLayer = r.Sound;
  Notify(n);
}

void TProjectDocument::ReorderLayerRows(TTabId tab, std::span<const int> order) {
  MutableLayers(tab).Reorder(order);
  Notify({TNoticeKind::LayersReordered, LayerViewOf(tab), 0, LayerRows(tab).Count()});
}

int TProjectDocument::LayerRowOf(const void* layer) const {
  for (TTabId tab : {TTabId::Graphic, TTabId::Sound}) {
    const TLayerRowModel& m = LayerRows(tab);
    for (int r = 0; r < m.Count(); ++r)
      if (m[r].Layer() == layer) return r;
  }
  return -1;
}

// ---- snapshots ----

std::shared_ptr<const TViewState> TProjectDocument::ViewState(TViewId view) const {
  const auto i = static_cast<size_t>(view);
  if (cached_[i] && cachedVersions_[i] == versions_[i]) return cached_[i];
  auto state = std::make_shared<TViewState>();
  state->View = view;
  const TRowSelection& s = Selection(view);
  if (IsLayerView(view)) {
    state->LayerRows = LayerRows(TabOf(view)).Rows();
  } else {
    const TEventRowModel& m = EventRows(view);
    state->Events.reserve(static_cast<size_t>(m.Count()));
    for (const TEventRow& r : m.Rows())
      state->Events.push_back(r.Event);
  }
  state->Selected = s.SelectedRows();
  state->Focused = s.Focused();
  state->Enabled = s.Enabled();
  cached_[i] = state;
  cachedVersions_[i] = versions_[i];
  return state;
}

TSnapshot TProjectDocument::Snapshot() const {
  TSnapshot snap;
  for (int v = 0; v < kViewCount; ++v)
    snap.Views.push_back(ViewState(static_cast<TViewId>(v)));
  std::unordered_map<const void*, std::shared_ptr<const TLayerNumbers>> cache;
  auto numbersOf = [&](const void* layer, auto&& forEachEvent) {
    TLayerNumbers now;
    forEachEvent([&](TEvent* e) { now.Numbers.emplace_back(e, e->EventNumber); });
    auto it = cachedNumbers_.find(layer);
    auto record = it != cachedNumbers_.end() && it->second->Numbers == now.Numbers
                      ? it->second
                      : std::make_shared<const TLayerNumbers>(std::move(now));
    cache.emplace(layer, record);
    snap.Numbers.push_back(std::move(record));
  };
  for (const auto& l : project_.GraphicLayers)
    numbersOf(l.get(), [&](auto add) {
      for (const TEventList& list : l->Slots)
        for (TEvent* e : list)
          add(e);
    });
  for (const auto& l : project_.SoundLayers)
    numbersOf(l.get(), [&](auto add) {
      for (TEvent* e : l->Events)
        add(e);
    });
  cachedNumbers_ = std::move(cache);
  return snap;
}

void TProjectDocument::Restore(const TSnapshot& snapshot) {
  // Layer views first: they decide which layer each event view shows.
  for (const auto& state : snapshot.Views)
    if (IsLayerView(state->View)) RestoreLayerView(*state);
  for (const auto& state : snapshot.Views)
    if (!IsLayerView(state->View)) RestoreEventView(*state);
  // Last, as they were (the project holds exactly the snapshot's events again).
  for (const auto& layer : snapshot.Numbers)
    for (const auto& [event, number] : layer->Numbers)
      event->EventNumber = number;
}

void TProjectDocument::RestoreLayerView(const TViewState& state) {
  const TTabId tab = TabOf(state.View);
  const TLayerRowModel& now = LayerRows(tab);
  // A file column keeps what a save put there since: saving is no step of the history.
  std::unordered_map<const void*, const std::string*> files;
  for (const TLayerRow& r : now.Rows())
    files.emplace(r.Layer(), &r.FileText);
  std::vector<TLayerRow> rows = state.LayerRows;
  for (TLayerRow& r : rows)
    if (auto it = files.find(r.Layer()); it != files.end()) r.FileText = *it->second;
  const bool same = rows == now.Rows();
  const bool sameSelection = state.Selected == now.SelectedRows() && state.Focused == now.Focused();
  if (!same) {
    MutableLayers(tab).Reset(std::move(rows), state.Selected, state.Focused);
    Notify({TNoticeKind::LayersReordered, state.View, 0, now.Count()});
  } else if (!sameSelection) {
    MutableLayers(tab).ResetSelection(state.Selected, state.Focused);
  }
  if (!sameSelection) Notify({TNoticeKind::SelectionChanged, state.View});
  const int only = now.SelectedCount() == 1 ? now.FirstSelected() : -1;
  if (tab == TTabId::Graphic)
    shownGraphic_ = only >= 0 ? now[only].Graphic : nullptr;
  else
    shownSound_ = only >= 0 ? now[only].Sound : nullptr;
}

void TProjectDocument::RestoreEventView(const TViewState& state) {
  const TViewId view = state.View;
  const TEventRowModel& now = EventRows(view);
  bool same = static_cast<size_t>(now.Count()) == state.Events.size();
  for (size_t i = 0; same && i < state.Events.size(); ++i)
    same = now[static_cast<int>(i)].Event == state.Events[i];
  const bool sameSelection =
      state.Selected == now.SelectedRows() && state.Focused == now.Focused() && state.Enabled == now.Enabled();
  if (!same) {
    // Rows of events still shown keep their texts; the command describes the events it changed.
    TEventRowModel& m = MutableEvents(view);
    std::unordered_map<const TEvent*, int> current;
    for (int i = 0; i < m.Count(); ++i)
      current.emplace(m[i].Event, i);
    std::vector<TEventRow> rows(state.Events.size());
    for (size_t i = 0; i < rows.size(); ++i) {
      if (auto it = current.find(state.Events[i]); it != current.end())
        rows[i] = std::move(m.At(it->second));
      else
        rows[i] = DescribeRow(*state.Events[i]);
    }
    m.Reset(std::move(rows), state.Selected, state.Focused);
  } else if (!sameSelection) {
    MutableEvents(view).ResetSelection(state.Selected, state.Focused);
  }
  if (!sameSelection) MutableEvents(view).SetEnabled(state.Enabled);
  RenumberEvents(view);
  if (!same) NotifyEvents(TNoticeKind::EventsReordered, view, 0, now.Count(), {});
  if (!sameSelection) Notify({TNoticeKind::SelectionChanged, view});
}

// ---- another project ----

void TProjectDocument::ProjectReplaced() {
  history_.Clear();
  state_ = savedState_ = NewState();  // as its files hold it
  shownGraphic_ = nullptr;
  shownSound_ = nullptr;
  for (TViewId view : {TViewId::GraphicSources, TViewId::GraphicEffects, TViewId::SoundEvents}) {
    TEventRowModel& m = MutableEvents(view);
    m.Reset({});
    m.SetEnabled(false);
  }
  for (auto& state : cached_)
    state.reset();
  cachedNumbers_.clear();
  std::vector<TLayerRow> graphic, sound;
  for (const auto& l : project_.GraphicLayers)
    graphic.push_back({l.get(), nullptr, l->Name, std::string(FileNameWithoutFolder(l->FileName))});
  for (const auto& l : project_.SoundLayers)
    sound.push_back({nullptr, l.get(), l->Name, std::string(FileNameWithoutFolder(l->FileName))});
  MutableLayers(TTabId::Graphic).Reset(std::move(graphic));
  MutableLayers(TTabId::Sound).Reset(std::move(sound));
  Notify({TNoticeKind::ProjectReplaced});
}

void TProjectDocument::AdoptProject(TProject& loaded) {
  TProject& p = project_;
  p.GraphicLayers.Clear();
  p.SoundLayers.Clear();
  p.ProjectName = loaded.ProjectName;
  p.FileName = loaded.FileName;
  p.Width = loaded.Width;
  p.Height = loaded.Height;
  p.FPS = loaded.FPS;
  p.BackColor = loaded.BackColor;
  while (!loaded.GraphicLayers.Empty())
    p.GraphicLayers.Insert(-1, loaded.GraphicLayers.Extract(0));
  while (!loaded.SoundLayers.Empty())
    p.SoundLayers.Insert(-1, loaded.SoundLayers.Extract(0));
  ProjectReplaced();
}

}  // namespace vexa
