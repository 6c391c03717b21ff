#include "ui/logic/layer_commands.h"

#include <algorithm>
#include <type_traits>

#include "model/event_kinds.h"
#include "ui/logic/project_document.h"

namespace vexa {

template <>
TLayerList<TGraphicLayer>& LayersOf<TGraphicLayer>(TProject& project) {
  return project.GraphicLayers;
}
template <>
TLayerList<TSoundLayer>& LayersOf<TSoundLayer>(TProject& project) {
  return project.SoundLayers;
}

namespace {

TLayerRow MakeRow(TGraphicLayer* l, std::string caption, std::string file) {
  return {l, nullptr, std::move(caption), std::move(file)};
}
TLayerRow MakeRow(TSoundLayer* l, std::string caption, std::string file) {
  return {nullptr, l, std::move(caption), std::move(file)};
}

template <class L>
void SetLayerOrder(TLayerList<L>& list, const std::vector<L*>& order) {
  std::vector<std::unique_ptr<L>> held;
  while (!list.Empty())
    held.push_back(list.Extract(list.Count() - 1));
  for (L* want : order)
    for (auto& h : held)
      if (h.get() == want) list.Insert(-1, std::move(h));
  for (auto& h : held)  // never freed here, whatever the order said
    if (h) list.Insert(-1, std::move(h));
}

template <class L>
std::vector<L*> LayerOrder(const TLayerList<L>& list) {
  std::vector<L*> order;
  for (const auto& l : list)
    order.push_back(l.get());
  return order;
}

// Appends copies of the events of `from` to `to`, slot by slot as a layer file lists them.
void CopyEventsInto(const TGraphicLayer& from, TGraphicLayer& to, std::vector<THeldEvent>& added) {
  for (const TEventList& list : from.Slots)
    for (const TEvent* e : list)
      if (TEvent* c = CopyEvent(*e, to)) {
        TEventList* l = to.ListForKind(c->EventType);
        added.push_back({l, c, l->Count() - 1, nullptr});
      }
}
void CopyEventsInto(const TSoundLayer& from, TSoundLayer& to, std::vector<THeldEvent>& added) {
  for (const TEvent* e : from.Events)
    if (TEvent* c = CopyEvent(*e, to)) added.push_back({&to.Events, c, to.Events.Count() - 1, nullptr});
}

}  // namespace

// ---- insert ----

template <class L>
TInsertLayersCommand<L>::TInsertLayersCommand(TProjectDocument& doc, std::string text,
                                              std::vector<std::unique_ptr<L>> layers,
                                              std::vector<TLayerRowTexts> rows, int index)
    : TSnapshotCommand(doc, std::move(text)), held_(std::move(layers)), rows_(std::move(rows)), index_(index) {
  rows_.resize(held_.size());
  for (auto& l : held_)
    layers_.push_back(l.get());
}

template <class L>
void TInsertLayersCommand<L>::First() {
  TLayerList<L>& list = LayersOf<L>(doc_.Project());
  index_ = std::clamp(index_, 0, list.Count());
  Forward();
  const TTabId tab = kTabOf<L>;
  const TViewId view = LayerViewOf(tab);
  doc_.SelectRows(view, {}, doc_.LayerRows(tab).Focused());
  std::vector<TLayerRow> rows;
  std::vector<int> selected;
  for (size_t i = 0; i < layers_.size(); ++i) {
    rows.push_back(MakeRow(layers_[i], rows_[i].Caption, rows_[i].FileText));
    selected.push_back(index_ + static_cast<int>(i));
  }
  doc_.InsertLayerRows(tab, index_, std::move(rows));
  // The first new row takes the focus, so that F2 renames a layer just added.
  doc_.SelectRows(view, selected, selected.empty() ? doc_.LayerRows(tab).Focused() : selected.front());
}

template <class L>
void TInsertLayersCommand<L>::Forward() {
  TLayerList<L>& list = LayersOf<L>(doc_.Project());
  for (size_t i = 0; i < held_.size(); ++i)
    list.Insert(index_ + static_cast<int>(i), std::move(held_[i]));
}

template <class L>
void TInsertLayersCommand<L>::Backward() {
  TLayerList<L>& list = LayersOf<L>(doc_.Project());
  for (size_t i = held_.size(); i-- > 0;)
    held_[i] = list.Extract(list.IndexOf(layers_[i]));
}

// ---- delete ----

template <class L>
TDeleteLayersCommand<L>::TDeleteLayersCommand(TProjectDocument& doc, std::string text)
    : TSnapshotCommand(doc, std::move(text)) {}

template <class L>
void TDeleteLayersCommand<L>::First() {
  const TLayerRowModel& rows = doc_.LayerRows(kTabOf<L>);
  indices_ = rows.SelectedRows();
  for (int r : indices_)
    layers_.push_back(LayerOfRow<L>(rows[r]));
  held_.resize(layers_.size());
  Forward();
  doc_.RemoveLayerRows(kTabOf<L>, indices_);
}

template <class L>
void TDeleteLayersCommand<L>::Forward() {
  TLayerList<L>& list = LayersOf<L>(doc_.Project());
  for (size_t i = layers_.size(); i-- > 0;)
    held_[i] = list.Extract(list.IndexOf(layers_[i]));
}

template <class L>
void TDeleteLayersCommand<L>::Backward() {
  TLayerList<L>& list = LayersOf<L>(doc_.Project());
  for (size_t i = 0; i < held_.size(); ++i)
    if (held_[i]) list.Insert(indices_[i], std::move(held_[i]));
}

// ---- rename ----

template <class L>
TRenameLayerCommand<L>::TRenameLayerCommand(TProjectDocument& doc, std::string text, int row, std::string name)
    : TSnapshotCommand(doc, std::move(text)), row_(row), after_(std::move(name)) {}

template <class L>
void TRenameLayerCommand<L>::First() {
  const TLayerRowModel& rows = doc_.LayerRows(kTabOf<L>);
  if (row_ < 0 || row_ >= rows.Count()) return;
  layer_ = LayerOfRow<L>(rows[row_]);
  before_ = layer_->Name;
  layer_->Name = after_;
  doc_.SetLayerRowTexts(kTabOf<L>, row_, after_, rows[row_].FileText);
}

template <class L>
void TRenameLayerCommand<L>::Forward() {
  if (layer_) layer_->Name = after_;
}

template <class L>
void TRenameLayerCommand<L>::Backward() {
  if (layer_) layer_->Name = before_;
}

// ---- reorder ----

template <class L>
TReorderLayersCommand<L>::TReorderLayersCommand(TProjectDocument& doc, std::string text, std::vector<int> order)
    : TSnapshotCommand(doc, std::move(text)), order_(std::move(order)) {}

template <class L>
void TReorderLayersCommand<L>::First() {
  TLayerList<L>& list = LayersOf<L>(doc_.Project());
  if (static_cast<int>(order_.size()) != doc_.LayerRows(kTabOf<L>).Count()) return;
  before_ = LayerOrder(list);
  doc_.ReorderLayerRows(kTabOf<L>, order_);
  const TLayerRowModel& rows = doc_.LayerRows(kTabOf<L>);
  for (int r = 0; r < rows.Count(); ++r)
    after_.push_back(LayerOfRow<L>(rows[r]));
  SetLayerOrder(list, after_);
}

template <class L>
void TReorderLayersCommand<L>::Forward() {
  if (!after_.empty()) SetLayerOrder(LayersOf<L>(doc_.Project()), after_);
}

template <class L>
void TReorderLayersCommand<L>::Backward() {
  if (!before_.empty()) SetLayerOrder(LayersOf<L>(doc_.Project()), before_);
}

// ---- merge ----

template <class L>
TMergeLayersCommand<L>::TMergeLayersCommand(TProjectDocument& doc, std::string text,
                                            std::vector<std::unique_ptr<L>> loaded)
    : TSnapshotCommand(doc, std::move(text)), loaded_(std::move(loaded)) {}

template <class L>
void TMergeLayersCommand<L>::First() {
  const TTabId tab = kTabOf<L>;
  const TLayerRowModel& rows = doc_.LayerRows(tab);
  for (int r : rows.SelectedRows()) {
    L* layer = LayerOfRow<L>(rows[r]);
    layers_.push_back(layer);
    namesBefore_.push_back(layer->Name);
    for (const auto& file : loaded_) {
      CopyEventsInto(*file, *layer, events_);
      layer->Name = file->Name;
    }
    namesAfter_.push_back(layer->Name);
    doc_.SetLayerRowTexts(tab, r, layer->Name, rows[r].FileText);
  }
  loaded_.clear();
  doc_.RefillEventViews(tab);
}

template <class L>
void TMergeLayersCommand<L>::Forward() {
  AttachEvents(events_, false);
  for (size_t i = 0; i < layers_.size(); ++i)
    layers_[i]->Name = namesAfter_[i];
}

template <class L>
void TMergeLayersCommand<L>::Backward() {
  DetachEvents(events_, true);
  for (size_t i = 0; i < layers_.size(); ++i)
    layers_[i]->Name = namesBefore_[i];
}

template class TInsertLayersCommand<TGraphicLayer>;
template class TInsertLayersCommand<TSoundLayer>;
template class TDeleteLayersCommand<TGraphicLayer>;
template class TDeleteLayersCommand<TSoundLayer>;
template class TRenameLayerCommand<TGraphicLayer>;
template class TRenameLayerCommand<TSoundLayer>;
template class TReorderLayersCommand<TGraphicLayer>;
template class TReorderLayersCommand<TSoundLayer>;
template class TMergeLayersCommand<TGraphicLayer>;
template class TMergeLayersCommand<TSoundLayer>;

// ---- settings ----

void TProjectSettingsCommand::Swap() {
  TProject& p = doc_.Project();
  TProjectSettings now = TProjectSettings::Of(p);
  p.ProjectName = other_.ProjectName;
  p.Width = other_.Width;
  p.Height = other_.Height;
  p.FPS = other_.FPS;
  p.BackColor = other_.BackColor;
  other_ = std::move(now);
  doc_.NotifySettings();
}

}  // namespace vexa
