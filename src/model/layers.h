// Graphic and sound layers and the lists that hold them.
//
// Ownership is in the types: a TGraphicLayer owns the events of its per-kind lists, a
// TGraphicLayerView (the shallow copy a render session works on) only borrows them. Copying
// into an owning layer always copies the events; copying into a view never does. So a shallow
// copy cannot free what it does not own, and a deep copy cannot share what it owns.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "event_kinds.h"
#include "event_list.h"

namespace vexa {

inline const std::string kMasterLayerNameJa = "マスター";
inline const std::string kMasterLayerNameEn = "Master";

template <class List>
class TGraphicLayerOf {
 public:
  using ListType = List;

  TGraphicLayerOf() {
    for (int i = 0; i < EffectSlotCount; ++i)
      EffectLists[static_cast<size_t>(i)] = &Slots[SourceSlotCount + i];
  }
  virtual ~TGraphicLayerOf() = default;
  TGraphicLayerOf(const TGraphicLayerOf&) = delete;
  TGraphicLayerOf& operator=(const TGraphicLayerOf&) = delete;

  std::string Name;
  std::string FileName;

  // The 27 per-kind lists in slot order (sources first, then effects).
  std::array<List, GraphicSlotCount> Slots;
  // Borrowed views of the 23 effect lists, in slot order.
  std::array<List*, EffectSlotCount> EffectLists{};
  // Filled by a render session; borrow events.
  TEventRefList MergedSources;
  TEventRefList ActiveEffects;

  // The list for an event code, nullptr for sound and unknown codes.
  List* ListForKind(int32_t code) {
    int slot = SlotOfKind(code);
    return slot < 0 ? nullptr : &Slots[static_cast<size_t>(slot)];
  }
  const List* ListForKind(int32_t code) const {
    return const_cast<TGraphicLayerOf*>(this)->ListForKind(code);
  }

  int EventCount() const {
    int n = 0;
    for (const List& l : Slots)
      n += l.Count();
    return n;
  }
};

template <class List>
class TSoundLayerOf {
 public:
  using ListType = List;

  TSoundLayerOf() = default;
  virtual ~TSoundLayerOf() = default;
  TSoundLayerOf(const TSoundLayerOf&) = delete;
  TSoundLayerOf& operator=(const TSoundLayerOf&) = delete;

  std::string Name;
  std::string FileName;
  List Events;

  List* ListForKind(int32_t code) { return code == kind::Sound ? &Events : nullptr; }
  const List* ListForKind(int32_t code) const { return code == kind::Sound ? &Events : nullptr; }
  int EventCount() const { return Events.Count(); }
};

using TGraphicLayer = TGraphicLayerOf<TEventList>;         // a project's layer: owns its events
using TGraphicLayerView = TGraphicLayerOf<TEventRefList>;  // a shallow copy: borrows them
using TSoundLayer = TSoundLayerOf<TEventList>;
using TSoundLayerView = TSoundLayerOf<TEventRefList>;

// An owning, ordered list of layers (the order of graphic layers is the stacking order).
template <class Layer>
class TLayerList {
 public:
  TLayerList() = default;
  TLayerList(const TLayerList&) = delete;
  TLayerList& operator=(const TLayerList&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  Layer* operator[](int i) const { return items_[static_cast<size_t>(i)].get(); }
  int IndexOf(const Layer* l) const {
    for (size_t i = 0; i < items_.size(); ++i)
      if (items_[i].get() == l) return static_cast<int>(i);
    return -1;
  }

  // Inserts at index when 0 <= index < Count, otherwise appends.
  Layer* Insert(int index, std::unique_ptr<Layer> l) {
    if (index < 0 || index >= Count()) {
      items_.push_back(std::move(l));
      return items_.back().get();
    }
    return items_.insert(items_.begin() + index, std::move(l))->get();
  }
  std::unique_ptr<Layer> Extract(int index) {
    if (index < 0 || index >= Count()) return nullptr;
    std::unique_ptr<Layer> l = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return l;
  }
  void Delete(int index) { Extract(index); }
  void Clear() {
    // Front to back, as the layers were made.
    while (!items_.empty())
      items_.erase(items_.begin());
  }
  void Move(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= Count() || to >= Count()) return;
    std::unique_ptr<Layer> l = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(l));
  }
  void Exchange(int i, int j) {
    if (i < 0 || j < 0 || i >= Count() || j >= Count()) return;
    std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
  }

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<std::unique_ptr<Layer>> items_;
};

// ---- layer list operations ----

template <class Layer>
Layer* NewGraphicLayer(TLayerList<Layer>& layers, int index) {
  return layers.Insert(index, std::make_unique<Layer>());
}
template <class Layer>
Layer* NewSoundLayer(TLayerList<Layer>& layers, int index) {
  return layers.Insert(index, std::make_unique<Layer>());
}
// Deleting a layer frees its events exactly when the layer owns them.
template <class Layer>
void DeleteGraphicLayer(TLayerList<Layer>& layers, int index) {
  layers.Delete(index);
}
template <class Layer>
void DeleteSoundLayer(TLayerList<Layer>& layers, int index) {
  layers.Delete(index);
}
template <class Layer>
void DeleteAllGraphicLayers(TLayerList<Layer>& layers) {
  layers.Clear();
}
template <class Layer>
void DeleteAllSoundLayers(TLayerList<Layer>& layers) {
  layers.Clear();
}

namespace detail {
// Appends the events of src to dst: copies into an owning list, pointers into a borrowing one.
template <class Dst, class Src>
void AppendEvents(Dst& dst, const Src& src) {
  for (TEvent* e : src) {
    if constexpr (Dst::Owning) {
      if (auto copy = CopyEvent(*e)) dst.Add(std::move(copy));
    } else {
      dst.Add(e);
    }
  }
}
}  // namespace detail

// Copies the name (not the file name) and the events of every per-kind list.
// Into an owning layer this is a deep copy; into a view it is a shallow one.
template <class Dst, class Src>
void CopyGraphicLayer(const TGraphicLayerOf<Src>& source, TGraphicLayerOf<Dst>& target) {
  target.Name = source.Name;
  for (int s = 0; s < GraphicSlotCount; ++s)
    detail::AppendEvents(target.Slots[static_cast<size_t>(s)], source.Slots[static_cast<size_t>(s)]);
}
template <class Dst, class Src>
void CopySoundLayer(const TSoundLayerOf<Src>& source, TSoundLayerOf<Dst>& target) {
  target.Name = source.Name;
  detail::AppendEvents(target.Events, source.Events);
}

template <class DstLayer, class SrcLayer>
void CopyGraphicLayers(const TLayerList<SrcLayer>& source, TLayerList<DstLayer>& target) {
  for (const auto& l : source)
    CopyGraphicLayer(*l, *NewGraphicLayer(target, -1));
}
template <class DstLayer, class SrcLayer>
void CopySoundLayers(const TLayerList<SrcLayer>& source, TLayerList<DstLayer>& target) {
  for (const auto& l : source)
    CopySoundLayer(*l, *NewSoundLayer(target, -1));
}

// Empties list, then borrows the events of the four source lists in slot order.
template <class List>
void CollectSources(const TGraphicLayerOf<List>& layer, TEventRefList& list) {
  list.Clear();
  for (int s = 0; s < SourceSlotCount; ++s)
    for (TEvent* e : layer.Slots[static_cast<size_t>(s)])
      list.Add(e);
}

template <class Layer>
auto* ListForKind(Layer& layer, int32_t code) {
  return layer.ListForKind(code);
}

// Copies an event into the layer's list for its kind; nullptr when the layer has no such list.
TEvent* CopyEvent(const TEvent& event, TGraphicLayer& layer);
TEvent* CopyEvent(const TEvent& event, TSoundLayer& layer);
// Removes the event from the layer's list for its kind and frees it; false when it is not there.
bool DisposeEvent(const TEvent* event, TGraphicLayer& layer);
bool DisposeEvent(const TEvent* event, TSoundLayer& layer);

}  // namespace vexa
