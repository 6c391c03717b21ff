// The Qt model of one list view: a thin adapter over a TRowSource. It copies nothing; whoever
// changes the rows tells it what changed (one row, inserted or removed rows, everything). The
// source changes first and is told of afterwards, so the model keeps the row count the views
// know of and moves it only as it reports each change.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <string>

#include "ui/row_source.h"

namespace vexa::ui {

class TRowTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // headings: the column titles; the source may be changed later with SetSource.
  TRowTableModel(QStringList headings, QObject* parent = nullptr);

  void SetSource(const TRowSource* source);
  const TRowSource* Source() const { return source_; }

  // Editing the caption in place (renaming a layer) hands the new text here; without a
  // handler the rows are read-only. The handler returns true when it took the text.
  std::function<bool(int row, const std::string& text)> OnRename;
  // Rows may be dragged out of the view (reordering within it).
  void SetDraggable(bool on) { draggable_ = on; }

  // What changed in the source.
  void RowChanged(int row);
  void RowsChanged(int first, int last);
  void BeginInsertRows(int first, int count);
  void EndInsertRows();
  void BeginRemoveRows(int first, int count);
  void EndRemoveRows();
  void BeginReset();
  void EndReset();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }

 private:
  QStringList headings_;
  const TRowSource* source_ = nullptr;
  int rows_ = 0;
  int pendingCount_ = 0;
  bool draggable_ = false;
};

}  // namespace vexa::ui
