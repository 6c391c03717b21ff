#include "ui/document_rows.h"

#include "ui/logic/project_document.h"

namespace vexa::ui {

int TDocumentRows::RowCount() const {
  return doc_.RowCount(view_);
}

std::string TDocumentRows::Text(int row, int column) const {
  if (row < 0 || row >= RowCount()) return {};
  if (IsLayerView(view_)) {
    const TLayerRow& r = doc_.LayerRows(TabOf(view_))[row];
    return column == 0 ? r.Caption : column == 1 ? r.FileText : std::string();
  }
  const TEventRow& r = doc_.EventRows(view_)[row];
  switch (column) {
    case 0: return r.Caption;
    case 1: return r.EndText;
    case 2: return r.KindText;
    case 3: return r.Summary;
    default: return {};
  }
}

}  // namespace vexa::ui
