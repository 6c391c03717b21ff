#include "ui/logic/event_commands.h"

#include <algorithm>
#include <unordered_map>

#include "model/event_kinds.h"
#include "ui/logic/project_document.h"
#include "ui/logic/time_adjust.h"

namespace vexa {
namespace {

template <class F>
void Each(std::vector<THeldEvent>& events, bool reverse, F f) {
  if (reverse)
    std::for_each(events.rbegin(), events.rend(), f);
  else
    std::for_each(events.begin(), events.end(), f);
}

std::vector<TEvent*> EventsOf(const std::vector<THeldEvent>& held) {
  std::vector<TEvent*> events;
  events.reserve(held.size());
  for (const THeldEvent& h : held)
    events.push_back(h.Event);
  return events;
}

void SetListOrder(TEventList& list, const std::vector<TEvent*>& order) {
  std::unordered_map<const TEvent*, std::unique_ptr<TEvent>> held;
  while (!list.Empty()) {
    std::unique_ptr<TEvent> e = list.Extract(list.Count() - 1);
    const TEvent* key = e.get();
    held.emplace(key, std::move(e));
  }
  for (TEvent* e : order)
    if (auto it = held.find(e); it != held.end()) {
      list.Add(std::move(it->second));
      held.erase(it);
    }
  for (auto& [key, e] : held)  // never freed here, whatever the order said
    list.Add(std::move(e));
}

}  // namespace

bool KindShownIn(int32_t kindCode, TViewId view) {
  const TKindInfo* k = KindInfo(kindCode);
  if (!k) return false;
  switch (k->Class) {
    case TKindClass::Source:
      return view == TViewId::GraphicSources;
    case TKindClass::Effect:
      return view == TViewId::GraphicEffects;
    case TKindClass::Sound:
      return view == TViewId::SoundEvents;
  }
  return false;
}

void AttachEvents(std::vector<THeldEvent>& events, bool reverse) {
  Each(events, reverse, [](THeldEvent& h) {
    if (!h.Held) return;
    if (h.Index < 0) h.Index = h.List->Count();  // a new event goes to the end
    h.List->Insert(h.Index, std::move(h.Held));
  });
}

void DetachEvents(std::vector<THeldEvent>& events, bool reverse) {
  Each(events, reverse, [](THeldEvent& h) {
    // The place noted last time is usually still right; look it up only when it is not.
    const bool noted = h.Index >= 0 && h.Index < h.List->Count() && (*h.List)[h.Index] == h.Event;
    if (!noted) h.Index = h.List->IndexOf(h.Event);
    if (h.Index >= 0) h.Held = h.List->Extract(h.Index);
  });
}

std::vector<std::vector<TEvent*>> EffectListOrders(const TGraphicLayer& layer) {
  std::vector<std::vector<TEvent*>> orders;
  for (const TEventList* list : layer.EffectLists)
    orders.emplace_back(list->begin(), list->end());
  return orders;
}

void SetEffectListOrders(TGraphicLayer& layer, const std::vector<std::vector<TEvent*>>& orders) {
  for (size_t i = 0; i < orders.size() && i < layer.EffectLists.size(); ++i)
    SetListOrder(*layer.EffectLists[i], orders[i]);
}

// ---- insert ----

TInsertEventsCommand::TInsertEventsCommand(TProjectDocument& doc, std::string text, TViewId view,
                                           std::vector<std::unique_ptr<TEvent>> events, int rowIndex)
    : TSnapshotCommand(doc, std::move(text)), view_(view), rowIndex_(rowIndex) {
  for (auto& e : events) {
    TEventList* list = e && KindShownIn(e->EventType, view) ? doc.ShownListFor(view, e->EventType) : nullptr;
    if (!list) continue;
    TEvent* raw = e.get();
    events_.push_back({list, raw, -1, std::move(e)});
  }
}

void TInsertEventsCommand::First() {
  AttachEvents(events_, false);
  doc_.SelectRows(view_, {}, doc_.EventRows(view_).Focused());
  const int at = std::clamp(rowIndex_, 0, doc_.EventRows(view_).Count());
  const std::vector<TEvent*> events = EventsOf(events_);
  doc_.InsertEventRows(view_, at, events);
  std::vector<int> rows(events.size());
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i] = at + static_cast<int>(i);
  doc_.SelectRows(view_, rows, doc_.EventRows(view_).Focused());
  doc_.RenumberEvents(view_);
}

void TInsertEventsCommand::Forward() {
  AttachEvents(events_, false);
}

void TInsertEventsCommand::Backward() {
  DetachEvents(events_, true);
}

// ---- delete ----

TDeleteEventsCommand::TDeleteEventsCommand(TProjectDocument& doc, std::string text, TViewId view)
    : TSnapshotCommand(doc, std::move(text)), view_(view) {}

void TDeleteEventsCommand::First() {
  const std::vector<int> rows = doc_.EventRows(view_).SelectedRows();
  for (int r : rows) {
    TEvent* e = doc_.EventRows(view_)[r].Event;
    if (TEventList* list = doc_.ShownListFor(view_, e->EventType)) events_.push_back({list, e, -1, nullptr});
  }
  DetachEvents(events_, false);
  doc_.RemoveEventRows(view_, rows);
  doc_.RenumberEvents(view_);
}

void TDeleteEventsCommand::Forward() {
  DetachEvents(events_, false);
}

void TDeleteEventsCommand::Backward() {
  AttachEvents(events_, true);
}

// ---- reorder ----

TReorderEventsCommand::TReorderEventsCommand(TProjectDocument& doc, std::string text, TViewId view,
                                             std::vector<int> order)
    : TSnapshotCommand(doc, std::move(text)), view_(view), order_(std::move(order)) {}

void TReorderEventsCommand::First() {
  if (static_cast<int>(order_.size()) != doc_.EventRows(view_).Count()) return;
  doc_.ReorderEventRows(view_, order_);
  doc_.RenumberEvents(view_);
}

// ---- change values ----

TChangeEventsCommand::TChangeEventsCommand(TProjectDocument& doc, std::string text, std::vector<TChange> changes,
                                           TGraphicLayer* sortEffects)
    : TSnapshotCommand(doc, std::move(text)), sortEffects_(sortEffects) {
  for (auto& [event, after] : changes)
    if (event && after && event->EventType == after->EventType)
      values_.push_back({event, CopyEvent(*event), std::move(after)});
  for (const TValues& v : values_)
    changed_.push_back(v.Event);
}

void TChangeEventsCommand::First() {
  for (TValues& v : values_)
    AssignEvent(*v.Event, *v.After);
  doc_.RefreshEvents(changed_);
  if (!sortEffects_) return;
  ordersBefore_ = EffectListOrders(*sortEffects_);
  if (!SortEffectLists(*sortEffects_)) {
    ordersBefore_.clear();
    return;
  }
  ordersAfter_ = EffectListOrders(*sortEffects_);
  if (doc_.ShownGraphicLayer() == sortEffects_) doc_.RefillEventView(TViewId::GraphicEffects);
}

void TChangeEventsCommand::Forward() {
  for (TValues& v : values_)
    AssignEvent(*v.Event, *v.After);
  if (!ordersAfter_.empty()) SetEffectListOrders(*sortEffects_, ordersAfter_);
}

void TChangeEventsCommand::Backward() {
  if (!ordersBefore_.empty()) SetEffectListOrders(*sortEffects_, ordersBefore_);
  for (TValues& v : values_)
    AssignEvent(*v.Event, *v.Before);
}

}  // namespace vexa
