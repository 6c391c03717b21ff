#include "ui/list_view.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QUrl>
#include <QScrollBar>
#include <algorithm>

#include "ui/slot_guard.h"

namespace vexa::ui {

TListView::TListView(QWidget* parent) : QTreeView(parent) {
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  setTextElideMode(Qt::ElideRight);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionsClickable(true);
  header()->setHighlightSections(false);
  connect(header(), &QHeaderView::sectionClicked, this, &TListView::HeadingClicked);

  // The selection stays as visible without the focus as with it.
  QPalette p = palette();
  for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
    p.setColor(QPalette::Inactive, role, p.color(QPalette::Active, role));
  setPalette(p);
  PaintFocusColour(false);
}

void TListView::BindKey(const QKeySequence& key, std::function<void()> command) {
  const QKeyCombination combo = key[0];
  keys_.push_back({combo.key(), combo.keyboardModifiers(), std::move(command)});
}

void TListView::SetColumnWidths(const std::vector<int>& widths) {
  // The widths were chosen for a small 12-pixel face, the time columns (100) just wide enough
  // for a time text. With a wider face every column grows by as much as that text needs.
  const int timeText = fontMetrics().horizontalAdvance(QStringLiteral("00:00:00.000")) + 16;
  const double scale = std::max(1.0, timeText / 100.0);
  for (size_t i = 0; i < widths.size(); ++i)
    header()->resizeSection(static_cast<int>(i), static_cast<int>(widths[i] * scale));
}

void TListView::SetReorderable(bool on) {
  setDragEnabled(on);
  setAcceptDrops(on);
  viewport()->setAcceptDrops(on);
  setDropIndicatorShown(on);
  setDragDropMode(on ? QAbstractItemView::InternalMove : QAbstractItemView::NoDragDrop);
  setDefaultDropAction(Qt::MoveAction);
}

void TListView::SetAcceptsFiles(bool on) {
  acceptsFiles_ = on;
  if (on) {
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
  }
}

QStringList DroppedLocalFiles(const QMimeData* mime) {
  QStringList files;
  if (!mime || !mime->hasUrls()) return files;
  for (const QUrl& url : mime->urls())
    if (url.isLocalFile() && !url.toLocalFile().isEmpty()) files << url.toLocalFile();
  return files;
}

std::vector<int> TListView::SelectedRows() const {
  std::vector<int> rows;
  if (!selectionModel()) return rows;
  for (const QModelIndex& i : selectionModel()->selectedRows())
    rows.push_back(i.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TListView::SelectRows(const std::vector<int>& rows) {
  if (!selectionModel() || !model()) return;
  QItemSelection selection;
  for (int r : rows)
    selection.select(model()->index(r, 0), model()->index(r, model()->columnCount() - 1));
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TListView::keyPressEvent(QKeyEvent* event) {
  // Keypad keys carry their own modifier; Insert and Delete count the same from either place.
  const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
  if (event->key() == Qt::Key_Menu || (event->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
    const QModelIndex current = currentIndex();
    QPoint at = current.isValid() ? visualRect(current).bottomLeft() : QPoint(0, 0);
    at.setY(std::clamp(at.y(), 0, viewport()->height()));
    OpenMenuAt(viewport()->mapToGlobal(at));
    event->accept();
    return;
  }
  // Delete and Insert without modifiers, the letters with Ctrl alone (as bound).
  for (const TKeyBinding& k : keys_) {
    if (k.Key == event->key() && k.Modifiers == mods) {
      event->accept();
      Guarded(this, k.Command);
      return;
    }
  }
  QTreeView::keyPressEvent(event);
}

void TListView::contextMenuEvent(QContextMenuEvent* event) {
  if (event->reason() == QContextMenuEvent::Mouse) {
    OpenMenuAt(event->globalPos());
  } else {
    const QModelIndex current = currentIndex();
    OpenMenuAt(viewport()->mapToGlobal(current.isValid() ? visualRect(current).bottomLeft() : QPoint(0, 0)));
  }
  event->accept();
}

void TListView::OpenMenuAt(const QPoint& globalPos) {
  if (menu_) menu_->popup(globalPos);
}

void TListView::focusInEvent(QFocusEvent* event) {
  PaintFocusColour(true);
  QTreeView::focusInEvent(event);
}

void TListView::focusOutEvent(QFocusEvent* event) {
  // An editor opened in the view keeps it "focused" for the purpose of its colour.
  PaintFocusColour(isAncestorOf(QApplication::focusWidget()));
  QTreeView::focusOutEvent(event);
}

// The window colour while the view has the focus, the menu colour otherwise.
void TListView::PaintFocusColour(bool focused) {
  QPalette p = palette();
  const QPalette app = QApplication::palette();
  const QColor colour = focused ? app.color(QPalette::Active, QPalette::Base)
                                : QApplication::palette("QMenu").color(QPalette::Active, QPalette::Window);
  for (auto group : {QPalette::Active, QPalette::Inactive})
    p.setColor(group, QPalette::Base, colour);
  setPalette(p);
}

void TListView::dragEnterEvent(QDragEnterEvent* event) {
  if (event->source() != this) {
    if (acceptsFiles_ && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
      event->setDropAction(Qt::CopyAction);
      event->accept();
    } else {
      event->ignore();
    }
    return;
  }
  QTreeView::dragEnterEvent(event);
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void TListView::dragMoveEvent(QDragMoveEvent* event) {
  if (event->source() != this) {
    if (acceptsFiles_ && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
      event->setDropAction(Qt::CopyAction);
      event->accept();
    } else {
      event->ignore();
    }
    return;
  }
  QTreeView::dragMoveEvent(event);
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void TListView::dropEvent(QDropEvent* event) {
  if (event->source() != this) {
    const QStringList files = acceptsFiles_ ? DroppedLocalFiles(event->mimeData()) : QStringList();
    if (files.isEmpty()) {
      event->ignore();
      return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit FilesDropped(files);
    return;
  }
  const int target = indexAt(event->position().toPoint()).row();
  const int focused = currentIndex().row();
  // The rows are not moved by Qt: the reorder command moves them in the model.
  event->setDropAction(Qt::IgnoreAction);
  event->accept();
  setState(QAbstractItemView::NoState);
  viewport()->update();
  if (target >= 0 && focused >= 0) emit ReorderRequested(focused, target);
}

}  // namespace vexa::ui
