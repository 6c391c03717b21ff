// What a list view shows, read straight from the open project's document: the rows of one view
// as texts by row and column. Nothing is copied; the window tells the table model what changed
// from the document's notices.
#pragma once

#include "ui/logic/document_notice.h"
#include "ui/row_source.h"

namespace vexa {
class TProjectDocument;
}

namespace vexa::ui {

class TDocumentRows : public TRowSource {
 public:
  TDocumentRows(const TProjectDocument& doc, TViewId view) : doc_(doc), view_(view) {}
  int RowCount() const override;
  // Layer views: the caption and the file column. Event views: start time, end time, kind
  // name (sound view: the file name), summary.
  std::string Text(int row, int column) const override;

 private:
  const TProjectDocument& doc_;
  TViewId view_;
};

}  // namespace vexa::ui
