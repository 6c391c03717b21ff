// The list view of the main window: whole rows, several selected, the selection visible
// without focus, the window colour while focused and the menu colour otherwise. Its context
// menu opens with the mouse, the Menu key and Shift+F10; the menu's keys act in the focused
// view even while their item is disabled.
#pragma once

#include <QKeySequence>
#include <QStringList>
#include <QTreeView>
#include <functional>
#include <vector>

class QAction;
class QMenu;
class QMimeData;

namespace vexa::ui {

class TListView : public QTreeView {
  Q_OBJECT

 public:
  explicit TListView(QWidget* parent = nullptr);

  // The context menu; the view does not own it.
  void SetContextMenu(QMenu* menu) { menu_ = menu; }
  QMenu* ContextMenu() const { return menu_; }
  // A key that runs a command in this view. The command runs whether its menu item is enabled
  // or not: a command checks its own preconditions.
  void BindKey(const QKeySequence& key, std::function<void()> command);
  // Column widths in pixels at the design's size (scaled by the platform with the font).
  void SetColumnWidths(const std::vector<int>& widths);
  // Rows can be dragged to another place within this view only; the drop reports the row that
  // had the focus and the row under the drop point.
  void SetReorderable(bool on);
  // Files dragged in from elsewhere (local file URLs only) are taken and reported.
  void SetAcceptsFiles(bool on);
  // The selected rows, top to bottom.
  std::vector<int> SelectedRows() const;
  void SelectRows(const std::vector<int>& rows);

 signals:
  void ReorderRequested(int focusedRow, int targetRow);
  // Local files dropped on the view, as full paths.
  void FilesDropped(const QStringList& files);
  // A click on a column heading.
  void HeadingClicked(int column);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void PaintFocusColour(bool focused);
  void OpenMenuAt(const QPoint& globalPos);

  struct TKeyBinding {
    int Key;
    Qt::KeyboardModifiers Modifiers;
    std::function<void()> Command;
  };
  std::vector<TKeyBinding> keys_;
  QMenu* menu_ = nullptr;
  bool acceptsFiles_ = false;
};

// The local files among the URLs of dragged data; other URLs are left out.
QStringList DroppedLocalFiles(const QMimeData* mime);

}  // namespace vexa::ui
