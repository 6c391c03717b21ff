// Lists of events. TEventList owns its events; TEventRefList only borrows them. Both share
// the read side, the time order and the working fields of a render session.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "events.h"

namespace vexa {

// Time order: StartTime first, EventNumber second, both unsigned. -1, 0 or 1.
int CompareEventTime(const TEvent& a, const TEvent& b);

// Scratch record that a render session keeps for the event at a list's cursor. Each effect
// and source kind derives its own state from it.
struct TEffectState {
  virtual ~TEffectState() = default;
};

template <class Ptr>
class TEventListOf {
 public:
  static constexpr bool Owning = !std::is_pointer_v<Ptr>;

  TEventListOf() = default;
  TEventListOf(const TEventListOf&) = delete;
  TEventListOf& operator=(const TEventListOf&) = delete;

  int Count() const { return static_cast<int>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  TEvent* operator[](int i) const { return Raw(items_[static_cast<size_t>(i)]); }
  TEvent* Last() const { return items_.empty() ? nullptr : Raw(items_.back()); }
  int IndexOf(const TEvent* e) const {
    for (size_t i = 0; i < items_.size(); ++i)
      if (Raw(items_[i]) == e) return static_cast<int>(i);
    return -1;
  }

  // The event at Cursor, or nullptr when the cursor stands outside the list.
  TEvent* Current() const {
    return Cursor >= 0 && Cursor < Count() ? Raw(items_[static_cast<size_t>(Cursor)]) : nullptr;
  }

  // Stable for equal keys, which the order allows and tests can rely on.
  void SortByTime() {
    std::stable_sort(items_.begin(), items_.end(),
                     [](const Ptr& a, const Ptr& b) { return CompareEventTime(*a, *b) < 0; });
  }

  // Reorders without changing ownership (row moves of the editor).
  void Move(int from, int to) {
    if (from == to || from < 0 || to < 0 || from >= Count() || to >= Count()) return;
    Ptr p = std::move(items_[static_cast<size_t>(from)]);
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + to, std::move(p));
  }
  void Exchange(int i, int j) {
    if (i < 0 || j < 0 || i >= Count() || j >= Count()) return;
    std::swap(items_[static_cast<size_t>(i)], items_[static_cast<size_t>(j)]);
  }

  // --- owning lists ---
  TEvent* Add(std::unique_ptr<TEvent> e) requires Owning {
    items_.push_back(std::move(e));
    return items_.back().get();
  }
  TEvent* Insert(int index, std::unique_ptr<TEvent> e) requires Owning {
    index = std::clamp(index, 0, Count());
    return items_.insert(items_.begin() + index, std::move(e))->get();
  }
  // Takes the event out of the list and hands it to the caller.
  std::unique_ptr<TEvent> Extract(int index) requires Owning {
    if (index < 0 || index >= Count()) return nullptr;
    std::unique_ptr<TEvent> e = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    return e;
  }
  std::unique_ptr<TEvent> Extract(const TEvent* e) requires Owning { return Extract(IndexOf(e)); }

  // --- borrowing lists ---
  TEvent* Add(TEvent* e) requires(!Owning) {
    items_.push_back(e);
    return e;
  }
  TEvent* Insert(int index, TEvent* e) requires(!Owning) {
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, e);
    return e;
  }

  // Removes the entry at index; an owning list frees the event with it.
  void Delete(int index) {
    if (index >= 0 && index < Count()) items_.erase(items_.begin() + index);
  }
  // Removes the first entry of e; true when there was one.
  bool Remove(const TEvent* e) {
    int i = IndexOf(e);
    if (i < 0) return false;
    Delete(i);
    return true;
  }
  // ClearEvents: an owning list frees its events, a borrowing one forgets them.
  void Clear() { items_.clear(); }

  // Iteration yields TEvent*.
  class const_iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = TEvent*;
    using difference_type = std::ptrdiff_t;
    using pointer = TEvent* const*;
    using reference = TEvent*;
    const_iterator() = default;
    explicit const_iterator(typename std::vector<Ptr>::const_iterator it) : it_(it) {}
    TEvent* operator*() const { return Raw(*it_); }
    const_iterator& operator++() {
      ++it_;
      return *this;
    }
    const_iterator operator++(int) {
      auto t = *this;
      ++it_;
      return t;
    }
    bool operator==(const const_iterator&) const = default;

   private:
    typename std::vector<Ptr>::const_iterator it_;
  };
  const_iterator begin() const { return const_iterator(items_.begin()); }
  const_iterator end() const { return const_iterator(items_.end()); }

  // Render session working fields.
  int32_t Cursor = 0;
  bool CursorLoaded = false;
  std::unique_ptr<TEffectState> EffectState;

 private:
  static TEvent* Raw(const Ptr& p) {
    if constexpr (Owning)
      return p.get();
    else
      return p;
  }
  std::vector<Ptr> items_;
};

using TEventList = TEventListOf<std::unique_ptr<TEvent>>;  // owns its events
using TEventRefList = TEventListOf<TEvent*>;               // borrows; never frees

}  // namespace vexa
