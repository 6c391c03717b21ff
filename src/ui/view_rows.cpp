#include "ui/view_rows.h"

#include "ui/logic/text_format.h"

namespace vexa::ui {

std::string TEventRowsSource::Text(int row, int column) const {
  if (row < 0 || row >= RowCount()) return {};
  const TEventRow& r = rows_[static_cast<size_t>(row)];
  switch (column) {
    case 0: return r.Caption;
    case 1: return r.EndText;
    case 2: return r.KindText;
    case 3: return r.Summary;
    default: return {};
  }
}

TEvent* TEventRowsSource::EventAt(int row) const {
  return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)].Event : nullptr;
}

int TEventRowsSource::Refresh(TEvent& event) {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (rows_[i].Event == &event) {
      DescribeEvent(event, rows_[i], static_cast<int>(i));
      return static_cast<int>(i);
    }
  }
  return -1;
}

std::string TLayerRowsSource::Text(int row, int column) const {
  if (row < 0 || row >= RowCount()) return {};
  const TRow& r = rows_[static_cast<size_t>(row)];
  return column == 0 ? r.Caption : column == 1 ? r.File : std::string{};
}

void* TLayerRowsSource::LayerAt(int row) const {
  return row >= 0 && row < RowCount() ? rows_[static_cast<size_t>(row)].Layer : nullptr;
}

TLayerRowsSource::TRow TLayerRowsSource::RowOf(void* layer, const std::string& name, const std::string& file) {
  return {layer, name, std::string(FileNameWithoutFolder(file))};
}

}  // namespace vexa::ui
