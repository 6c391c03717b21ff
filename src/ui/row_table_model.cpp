#include "ui/row_table_model.h"

#include "ui/qt_text.h"

namespace vexa::ui {

TRowTableModel::TRowTableModel(QStringList headings, QObject* parent)
    : QAbstractTableModel(parent), headings_(std::move(headings)) {}

void TRowTableModel::SetSource(const TRowSource* source) {
  beginResetModel();
  source_ = source;
  rows_ = source_ ? source_->RowCount() : 0;
  endResetModel();
}

void TRowTableModel::RowChanged(int row) {
  RowsChanged(row, row);
}

void TRowTableModel::RowsChanged(int first, int last) {
  if (first > last || first < 0) return;
  emit dataChanged(index(first, 0), index(last, columnCount() - 1), {Qt::DisplayRole});
}

void TRowTableModel::BeginInsertRows(int first, int count) {
  pendingCount_ = count;
  beginInsertRows({}, first, first + count - 1);
}
void TRowTableModel::EndInsertRows() {
  rows_ += pendingCount_;
  endInsertRows();
}
void TRowTableModel::BeginRemoveRows(int first, int count) {
  pendingCount_ = count;
  beginRemoveRows({}, first, first + count - 1);
}
void TRowTableModel::EndRemoveRows() {
  rows_ -= pendingCount_;
  endRemoveRows();
}
void TRowTableModel::BeginReset() {
  beginResetModel();
}
void TRowTableModel::EndReset() {
  rows_ = source_ ? source_->RowCount() : 0;
  endResetModel();
}

int TRowTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TRowTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headings_.size());
}

QVariant TRowTableModel::data(const QModelIndex& index, int role) const {
  if (!source_ || !index.isValid() || index.row() >= rows_ || index.row() >= source_->RowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::AccessibleTextRole)
    return Qs(source_->Text(index.row(), index.column()));
  return {};
}

bool TRowTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || index.column() != 0 || !OnRename) return false;
  if (!OnRename(index.row(), Utf8(value.toString()))) return false;
  RowChanged(index.row());
  return true;
}

QVariant TRowTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= headings_.size()) return {};
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) return headings_[section];
  return {};
}

Qt::ItemFlags TRowTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
  if (index.column() == 0 && OnRename) f |= Qt::ItemIsEditable;
  if (draggable_) f |= Qt::ItemIsDragEnabled;
  return f;
}

}  // namespace vexa::ui
