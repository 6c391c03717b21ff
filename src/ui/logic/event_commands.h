// The commands that change the events of the layer an event view shows: rows inserted (paste,
// add), rows deleted, rows put in another order (sort, drag) and events given new values (edit,
// paste times, time adjustment, synchronisation). After each, every event's EventNumber is its
// row index in its view.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model/layers.h"
#include "ui/logic/editor_command.h"

namespace vexa {

// True when events of the kind are rows of the view (sources, effects, sounds).
bool KindShownIn(int32_t kindCode, TViewId view);

// An event taken out of its list (owned here meanwhile) or put into it, with its place.
struct THeldEvent {
  TEventList* List = nullptr;
  TEvent* Event = nullptr;
  int Index = -1;
  std::unique_ptr<TEvent> Held;
};
// Puts held events back at their places (a new one, Index -1, at the end), or takes them out
// noting their places. Events taken
// out in one order go back in the reverse order, so every one finds its old place.
void AttachEvents(std::vector<THeldEvent>& events, bool reverse);
void DetachEvents(std::vector<THeldEvent>& events, bool reverse);

// New events go to the end of the shown layer's lists for their kinds and their rows to
// rowIndex (clamped); the view's selection becomes the new rows. Events of a kind the view
// does not show, or given while the view shows no layer, are dropped.
class TInsertEventsCommand : public TSnapshotCommand {
 public:
  TInsertEventsCommand(TProjectDocument& doc, std::string text, TViewId view,
                       std::vector<std::unique_ptr<TEvent>> events, int rowIndex);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  TViewId view_;
  int rowIndex_;
  std::vector<THeldEvent> events_;
};

// The selected events of the view leave the layer and their rows go.
class TDeleteEventsCommand : public TSnapshotCommand {
 public:
  TDeleteEventsCommand(TProjectDocument& doc, std::string text, TViewId view);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  TViewId view_;
  std::vector<THeldEvent> events_;
};

// The rows take another order (new row i = old row order[i]); the lists keep theirs.
class TReorderEventsCommand : public TSnapshotCommand {
 public:
  TReorderEventsCommand(TProjectDocument& doc, std::string text, TViewId view, std::vector<int> order);

 private:
  void First() override;
  void Forward() override {}
  void Backward() override {}

  TViewId view_;
  std::vector<int> order_;
};

// Events take the values of the given records (AssignEvent: header and parameters). With
// sortEffects set, that layer's effect lists are put back in time order afterwards and its
// effect view filled again when that moved any event (the renderer walks each effect list in
// its stored order).
class TChangeEventsCommand : public TSnapshotCommand {
 public:
  using TChange = std::pair<TEvent*, std::unique_ptr<TEvent>>;  // event, its new values
  TChangeEventsCommand(TProjectDocument& doc, std::string text, std::vector<TChange> changes,
                       TGraphicLayer* sortEffects = nullptr);

 private:
  void First() override;
  void Forward() override;
  void Backward() override;

  struct TValues {
    TEvent* Event;
    std::unique_ptr<TEvent> Before, After;
  };
  std::vector<TValues> values_;
  TGraphicLayer* sortEffects_;
  std::vector<std::vector<TEvent*>> ordersBefore_, ordersAfter_;
};

// The lists of a layer in their order, and back.
std::vector<std::vector<TEvent*>> EffectListOrders(const TGraphicLayer& layer);
void SetEffectListOrders(TGraphicLayer& layer, const std::vector<std::vector<TEvent*>>& orders);

}  // namespace vexa
