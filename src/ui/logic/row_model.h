// The rows of one list view with their selection (several rows), the focused row and whether
// the view is enabled. The document keeps one per view in step with the project; the widgets
// read them and forward what the user does to the document.
#pragma once

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "model/layers.h"
#include "ui/logic/event_rows.h"

namespace vexa {

// A row of a layer view. Its caption is usually the layer's name but not always (a pasted
// layer shows "<name> のコピー<i>"), and its file column is what the last command put there.
struct TLayerRow {
  TGraphicLayer* Graphic = nullptr;  // one of the two is set, by the view
  TSoundLayer* Sound = nullptr;
  std::string Caption;
  std::string FileText;

  const void* Layer() const { return Graphic ? static_cast<const void*>(Graphic) : Sound; }
  bool operator==(const TLayerRow&) const = default;
};

// Selection, focus and enabled state, kept row for row beside the rows.
class TRowSelection {
 public:
  bool Enabled() const { return enabled_; }
  bool IsSelected(int row) const {
    return row >= 0 && row < static_cast<int>(selected_.size()) && selected_[static_cast<size_t>(row)];
  }
  int SelectedCount() const { return selectedCount_; }
  bool HasSelection() const { return selectedCount_ > 0; }
  // The first selected row in row order (what "the selected row" means), or -1.
  int FirstSelected() const {
    if (selectedCount_ == 0) return -1;
    auto it = std::find(selected_.begin(), selected_.end(), 1);
    return static_cast<int>(it - selected_.begin());
  }
  // The selected rows in ascending order.
  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    rows.reserve(static_cast<size_t>(selectedCount_));
    for (size_t i = 0; i < selected_.size(); ++i)
      if (selected_[i]) rows.push_back(static_cast<int>(i));
    return rows;
  }
  // The focused row (where a drag starts), or -1.
  int Focused() const { return focused_; }

  // --- changed only by the document ---
  void SetEnabled(bool on) { enabled_ = on; }
  void Select(int row, bool on) {
    uint8_t& s = selected_[static_cast<size_t>(row)];
    selectedCount_ += (on ? 1 : 0) - s;
    s = on ? 1 : 0;
  }
  void ClearSelection() {
    std::fill(selected_.begin(), selected_.end(), 0);
    selectedCount_ = 0;
  }
  void SetFocused(int row) { focused_ = row >= 0 && row < static_cast<int>(selected_.size()) ? row : -1; }
  void ResetSelection(std::span<const int> rows, int focused) {
    ClearSelection();
    for (int r : rows)
      if (r >= 0 && r < static_cast<int>(selected_.size()) && !selected_[static_cast<size_t>(r)]) Select(r, true);
    SetFocused(focused);
  }

 protected:
  std::vector<uint8_t> selected_;
  int selectedCount_ = 0;
  int focused_ = -1;
  bool enabled_ = true;
};

template <class Row>
class TRowModel : public TRowSelection {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }
  const Row& operator[](int i) const { return rows_[static_cast<size_t>(i)]; }
  const std::vector<Row>& Rows() const { return rows_; }

  // --- changed only by the document ---
  Row& At(int i) { return rows_[static_cast<size_t>(i)]; }
  // Inserts unselected rows at index (clamped); the focus stays on its row.
  void Insert(int index, std::vector<Row> rows) {
    index = std::clamp(index, 0, Count());
    const int n = static_cast<int>(rows.size());
    rows_.insert(rows_.begin() + index, std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    selected_.insert(selected_.begin() + index, static_cast<size_t>(n), 0);
    if (focused_ >= index) focused_ += n;
  }
  // Removes the rows (ascending) in one pass; a removed focused row leaves no focus.
  void Remove(std::span<const int> ascending) {
    size_t out = 0, k = 0;
    int newFocus = -1;
    for (size_t i = 0; i < rows_.size(); ++i) {
      if (k < ascending.size() && ascending[k] == static_cast<int>(i)) {
        ++k;
        selectedCount_ -= selected_[i];
        continue;
      }
      if (static_cast<int>(i) == focused_) newFocus = static_cast<int>(out);
      if (out != i) {
        rows_[out] = std::move(rows_[i]);
        selected_[out] = selected_[i];
      }
      ++out;
    }
    rows_.resize(out);
    selected_.resize(out);
    focused_ = newFocus;
  }
  // New row i is old row order[i]; selection and focus follow their rows.
  void Reorder(std::span<const int> order) {
    std::vector<Row> rows;
    std::vector<uint8_t> selected;
    rows.reserve(order.size());
    selected.reserve(order.size());
    int newFocus = -1;
    for (size_t i = 0; i < order.size(); ++i) {
      const auto from = static_cast<size_t>(order[i]);
      rows.push_back(std::move(rows_[from]));
      selected.push_back(selected_[from]);
      if (order[i] == focused_) newFocus = static_cast<int>(i);
    }
    rows_ = std::move(rows);
    selected_ = std::move(selected);
    focused_ = newFocus;
  }
  // Replaces everything: rows, the selected rows and the focused row.
  void Reset(std::vector<Row> rows, std::span<const int> selectedRows = {}, int focused = -1) {
    rows_ = std::move(rows);
    selected_.assign(rows_.size(), 0);
    ResetSelection(selectedRows, focused);
  }

 private:
  std::vector<Row> rows_;
};

using TEventRowModel = TRowModel<TEventRow>;
using TLayerRowModel = TRowModel<TLayerRow>;

}  // namespace vexa
