#include "ui/logic/drag_order.h"

#include <algorithm>
#include <numeric>

namespace vexa {
namespace {

// Inserts a copy of the row at `from` at position `to` and removes the original. With selected
// rows on both sides of the drop row the position can run past either end; it then stays there.
void MoveRow(std::vector<int>& rows, int from, int to) {
  to = std::clamp(to, 0, static_cast<int>(rows.size()));
  const int row = rows[static_cast<size_t>(from)];
  rows.insert(rows.begin() + to, row);
  rows.erase(rows.begin() + (to <= from ? from + 1 : from));
}

}  // namespace

std::vector<int> DragOrder(const TRowSelection& selection, int rowCount, int dropRow) {
  const int f = selection.Focused();
  const int t = dropRow;
  if (t < 0 || t >= rowCount || f < 0 || f >= rowCount || f == t || !selection.HasSelection()) return {};

  std::vector<int> rows(static_cast<size_t>(rowCount));
  std::iota(rows.begin(), rows.end(), 0);
  bool moving = false;
  if (f < t) {
    int p = t + 1;
    for (int i = rowCount - 1; i >= 0; --i) {
      if (selection.IsSelected(rows[static_cast<size_t>(i)])) {
        MoveRow(rows, i, p);
        moving = true;
      }
      if (moving) --p;
    }
  } else {
    int p = t;
    for (int i = 0; i < rowCount; ++i) {
      if (selection.IsSelected(rows[static_cast<size_t>(i)])) {
        MoveRow(rows, i, p);
        moving = true;
      }
      if (moving) ++p;
    }
  }
  for (int i = 0; i < rowCount; ++i)
    if (rows[static_cast<size_t>(i)] != i) return rows;
  return {};
}

}  // namespace vexa
