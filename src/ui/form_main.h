// TForm_Main: the main window. It shows the open project in five list views and carries the
// tool bar and the views' context menus.
//
// The window only shows and forwards. Rows come from TRowSource objects through one
// TRowTableModel per view; every menu item, key and drop ends in RunCommand, which hands the
// work to a command of the editor's logic. Commands whose logic is not part of the window yet
// end in CommandNotWiredYet, which does nothing but report the item (signal PendingCommand).
#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/layers.h"

class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;

namespace vexa {
class TVexaStudio;
}

namespace vexa::ui {

class TDialogServices;
class TListView;
class TRowTableModel;
class TEventRowsSource;
class TLayerRowsSource;

// The five list views, in the order of the design's description.
enum class TView { GraphicSource, GraphicEffect, GraphicLayer, SoundSource, SoundLayer };
inline constexpr int kViewCount = 5;

// What the items of the views' context menus do.
enum class TViewCommand {
  Add,          // "追加" of the sound event view and the layer views (Insert)
  AddKind,      // an item of an "追加" sub-menu of the graphic event views
  Copy,         // "コピー"
  Paste,        // "貼り付け"
  Delete,       // "削除"
  SelectAll,    // "すべて選択"
  Edit,         // "編集", double click
  AdjustTimes,  // "時間調節"
  CopyTimes,    // "時間をコピー"
  PasteTimes,   // "時間を貼り付け"
  Sync,         // "サウンドと同期", "動画と同期"
  OpenLayers,   // "開く"
  SaveLayers,   // "上書保存"
  SaveLayersAs, // "新規保存"
  Sort,         // click on the heading "開始時間"
  Reorder,      // rows dropped within the view
  Rename,       // a layer caption edited in place
};

// The tool bar's commands.
enum class TToolCommand { OpenProject, SaveProject, SaveProjectAs, Preview, Render, ProjectSetting };

class TForm_Main : public QMainWindow {
  Q_OBJECT

 public:
  explicit TForm_Main(TVexaStudio& studio, QWidget* parent = nullptr);
  ~TForm_Main() override;

  TVexaStudio& Studio() { return studio_; }
  TListView* View(TView v) const { return parts_[Index(v)].View; }
  TRowTableModel* Model(TView v) const { return parts_[Index(v)].Model; }
  QMenu* Menu(TView v) const { return parts_[Index(v)].Menu; }
  // The menu item of a command in a view (for AddKind: of that kind); nullptr if it has none.
  QAction* Action(TView v, TViewCommand c, int32_t kind = -1) const;
  QAction* ToolAction(TToolCommand c) const { return tools_[static_cast<size_t>(c)]; }
  QMenu* RenderMenu() const { return renderMenu_; }

  // Shows the project as it is: layer rows (caption = name, file column = file name without
  // folder), empty and disabled event views, the caption with the project's name.
  void ShowProject();
  // Reads a project file into the (empty) start-up project and shows it; errors are shown.
  // What the command line does; true when the file was read.
  bool OpenProjectFile(const std::string& path);
  // "Vexa Studio - " and the project's name.
  void ShowProjectCaption();

  // The selected events of an event view, top to bottom.
  std::vector<TEvent*> SelectedEvents(TView v) const;
  // The one selected layer of a tab, or nullptr when none or several are selected.
  TGraphicLayer* SelectedGraphicLayer() const;
  TSoundLayer* SelectedSoundLayer() const;

  // Describes the event's row again (after a command changed the event).
  void RefreshEventRow(TView v, TEvent& event);
  // Fills an event view again from its layer (after a command changed the order of events).
  void RefillEventView(TView v);
  // Enables the menu items by the selections and the clipboards.
  void UpdateActions();

  // Runs a command of a view as its menu item, key or drop asks for it.
  void RunCommand(TView v, TViewCommand c, int32_t kind = -1);
  void RunToolCommand(TToolCommand c);

  // Whether the editor's clipboard for a view holds something ("貼り付け"), and whether the
  // time clipboard does ("時間を貼り付け"). Empty until the clipboards are plugged in.
  std::function<bool(TView)> ClipboardFilled;
  std::function<bool()> TimeClipboardFilled;
  // Asked before a render writes its file: a non-empty answer is shown and stops the render
  // (the file named would destroy one of the project's inputs).
  std::function<std::string(const std::string& output)> RenderOutputConflict;

 signals:
  // A command that is not wired to the editor's logic yet, by the object name of the item
  // (or view) that asked for it.
  void PendingCommand(const QString& name);

 public slots:
  void CommandNotWiredYet(const QString& name);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  struct TViewPart {
    TListView* View = nullptr;
    TRowTableModel* Model = nullptr;
    QMenu* Menu = nullptr;
    QLabel* Heading = nullptr;
  };
  static size_t Index(TView v) { return static_cast<size_t>(v); }

  void BuildToolBar();
  void BuildTabs();
  void BuildViews();
  void BuildMenus();
  void BuildRenderMenu();
  QAction* AddCommand(QMenu* menu, TView v, TViewCommand c, const char* caption, const char* name,
                      const QKeySequence& key = {});
  void AddKindItem(QMenu* menu, TView v, int32_t kind, const char* role);
  void OnLayerSelectionChanged(TView layerView);
  void FillEventViews(TView layerView);
  void SelectAll(TView v);
  void AdjustTimes(TView v);
  void Sync(TView v);
  void ShowProjectSettings();
  void ShowRenderMenu();
  void AddEvent(TView v, int32_t kind);
  void EditEvent(TView v);
  void Preview();
  bool IsEventView(TView v) const;

  TVexaStudio& studio_;
  std::array<TViewPart, kViewCount> parts_{};
  std::array<std::unique_ptr<TEventRowsSource>, kViewCount> eventRows_;
  std::array<std::unique_ptr<TLayerRowsSource>, kViewCount> layerRows_;
  struct TActionKey {
    TView View;
    TViewCommand Command;
    int32_t Kind;
    QAction* Action;
  };
  std::vector<TActionKey> actions_;
  std::array<QAction*, 6> tools_{};
  QToolBar* toolBar_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QMenu* renderMenu_ = nullptr;
  std::unique_ptr<TDialogServices> services_;  // what the editing dialogs and previews use
  bool placed_ = false;
};

}  // namespace vexa::ui
