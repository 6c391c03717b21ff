// Where dragged rows land. Rows move one at a time: a copy is inserted at a position and the
// row it was copied from is removed.
//   Downwards (focused row above the drop row): position = drop row + 1; the rows are visited
//   from the last to the first; a selected row moves to the position; from the first move on,
//   the position decreases by one after every visited row.
//   Upwards: position = drop row; the rows are visited from the first to the last; a selected
//   row moves to the position; from the first move on, the position increases after every row.
// A contiguous selection thus lands just below (downwards) or just above (upwards) the drop row.
#pragma once

#include <vector>

#include "ui/logic/row_model.h"

namespace vexa {

// The new order (new row i is old row order[i]), or nothing when no row moves: no row under
// the drop point, no selection, no focused row, or the drag ends on the row it started from.
std::vector<int> DragOrder(const TRowSelection& selection, int rowCount, int dropRow);

}  // namespace vexa
