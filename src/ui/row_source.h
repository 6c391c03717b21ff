// What a list view shows, without Qt: the rows of one view as texts by row and column. The
// editor's row models implement it; TRowTableModel shows it and is told what changed, so a
// change to one row repaints that row only.
#pragma once

#include <string>

namespace vexa::ui {

class TRowSource {
 public:
  virtual ~TRowSource() = default;
  virtual int RowCount() const = 0;
  // Column 0 is the caption, the others the sub-columns in order.
  virtual std::string Text(int row, int column) const = 0;
};

}  // namespace vexa::ui
