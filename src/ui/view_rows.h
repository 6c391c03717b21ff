// The rows the main window shows until the editor's row models take over: a described copy
// of an event view's rows, and the caption and file column of each layer row. Qt-free.
#pragma once

#include <string>
#include <vector>

#include "model/layers.h"
#include "ui/logic/event_rows.h"
#include "ui/row_source.h"

namespace vexa::ui {

class TEventRowsSource : public TRowSource {
 public:
  void Fill(std::vector<TEventRow> rows) { rows_ = std::move(rows); }
  void Clear() { rows_.clear(); }
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  std::string Text(int row, int column) const override;
  TEvent* EventAt(int row) const;
  // Describes the event's row again; the row's index, or -1 when the event has no row.
  int Refresh(TEvent& event);

 private:
  std::vector<TEventRow> rows_;
};

// Layer rows: a caption (the name, or what a command wrote there) and the file column.
class TLayerRowsSource : public TRowSource {
 public:
  struct TRow {
    void* Layer = nullptr;
    std::string Caption;
    std::string File;
  };

  // Caption = name, file column = file name without folder, for every layer in order.
  template <class Layer>
  void Fill(const TLayerList<Layer>& layers) {
    rows_.clear();
    for (const auto& l : layers)
      rows_.push_back(RowOf(l.get(), l->Name, l->FileName));
  }
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  std::string Text(int row, int column) const override;
  void* LayerAt(int row) const;

 private:
  static TRow RowOf(void* layer, const std::string& name, const std::string& file);
  std::vector<TRow> rows_;
};

}  // namespace vexa::ui
