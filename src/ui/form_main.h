// TForm_Main: the main window. It shows the open project in five list views and carries the
// tool bar and the views' context menus.
//
// The window only shows and forwards. It owns the project's document (rows, selections,
// clipboards) and the main window's commands (TMainActions); each view's table model reads the
// document's rows, the document's notices tell the models which rows changed, and the user's
// selection goes to the document and back. Every menu item, key, drop, heading click and
// rename ends in RunCommand, which calls the matching command.
#pragma once

#include <QMainWindow>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/logic/document_notice.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;

namespace vexa {
class TVexaStudio;
class TProjectDocument;
class TMainActions;
class TAutosave;
class TFileMediaAccess;
class TRecentProjects;
class TRecoverySession;
}

namespace vexa::ui {

class TDialogServices;
class TListView;
class TRowTableModel;
class TDocumentRows;
class TQtEditorPrompt;

// What the items of the views' context menus do.
enum class TViewCommand {
  Add,          // "追加" of the sound event view and the layer views (Insert)
  AddKind,      // an item of an "追加" sub-menu of the graphic event views
  Copy,         // "コピー"
  Cut,          // Ctrl+X in an event view (no menu item): copy, then delete without asking
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
  Preview,      // the tool bar's "プレビュー" (no view of its own)
};

// The tool bar's commands.
enum class TToolCommand { OpenProject, SaveProject, SaveProjectAs, Preview, Render, ProjectSetting, Undo, Redo };
inline constexpr size_t kToolCount = 8;

// Where the editor keeps what outlives a run: the recovery folder of the autosave and the
// settings file (the recent projects, the autosave interval). Empty paths leave the part out.
struct TSessionSetup {
  std::string RecoveryRoot;
  std::string SettingsFile;
};

class TForm_Main : public QMainWindow, private TDocumentObserver {
  Q_OBJECT

 public:
  // studio holds the open project; sampleImages is the start-up scan of the sample pictures,
  // which the editing dialogs' previews put under an effect.
  explicit TForm_Main(TVexaStudio& studio, std::vector<std::string> sampleImages = {}, QWidget* parent = nullptr);
  ~TForm_Main() override;

  TVexaStudio& Studio() { return studio_; }
  TProjectDocument& Document() { return *doc_; }
  TMainActions& Actions() { return *actions_; }
  const std::vector<std::string>& SampleImages() const { return samples_; }

  TListView* View(TViewId v) const { return parts_[Index(v)].View; }
  TRowTableModel* Model(TViewId v) const { return parts_[Index(v)].Model; }
  QMenu* Menu(TViewId v) const { return parts_[Index(v)].Menu; }
  // The menu item of a command in a view (for AddKind: of that kind); nullptr if it has none.
  QAction* Action(TViewId v, TViewCommand c, int32_t kind = -1) const;
  QAction* ToolAction(TToolCommand c) const { return tools_[static_cast<size_t>(c)]; }
  QMenu* RenderMenu() const { return renderMenu_; }
  // The drop-down of "開く": the recent projects.
  QMenu* RecentMenu() const { return recentMenu_; }
  TAutosave* Autosave() const { return autosave_.get(); }
  QTimer* AutosaveTimer() const { return autosaveTimer_; }

  // Starts what outlives a run: the recent projects, the autosave into a recovery folder of
  // this run, and (before the window takes input) the question about each project a run that
  // did not end normally left behind. True when a recovered project was restored.
  bool StartSession(const TSessionSetup& setup);

  // Files dropped on the window or one of its lists; onList: media files become source events
  // (elsewhere only project and layer files count).
  void DropFiles(const QStringList& files, bool onList);

  // Opens a project file as "開く" does once a file is chosen, without the question (the
  // command line's way in). Errors are shown; true when the project was opened.
  bool OpenProjectFile(const std::string& path);

  // Enables the menu items as the document's selections and clipboards allow.
  void UpdateActions();

  // Runs a command of a view as its menu item, key or drop asks for it.
  void RunCommand(TViewId v, TViewCommand c, int32_t kind = -1);
  void RunToolCommand(TToolCommand c);

 signals:
  // A command whose window is not part of the program yet, by the object name of the item (or
  // view) that asked for it.
  void PendingCommand(const QString& name);

 public slots:
  // The commands that open an event's editing dialog or the preview window: adding an event
  // (AddKind from the "追加" sub-menus of the graphic event views, Add in the sound event
  // view: its "追加" item and Insert), editing the first selected event (Edit: "編集", Ctrl+S,
  // a double click on a row) and the tool bar's "プレビュー" (Preview; view unused). The
  // dialogs hand their result to Actions().AddEvent / Actions().EditEvent; the preview plays
  // Document().Project() (with Ctrl held at the click: through OpenGL) with SampleImages() at
  // hand.
  void DialogCommand(vexa::TViewId view, vexa::ui::TViewCommand command, int32_t kind);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  struct TViewPart {
    TListView* View = nullptr;
    TRowTableModel* Model = nullptr;
    std::unique_ptr<TDocumentRows> Rows;
    QMenu* Menu = nullptr;
    QLabel* Heading = nullptr;
  };
  static size_t Index(TViewId v) { return static_cast<size_t>(v); }

  void BuildToolBar();
  void BuildTabs();
  void BuildViews();
  void BuildMenus();
  void BuildRenderMenu();
  QAction* AddCommand(QMenu* menu, TViewId v, TViewCommand c, const char* caption, const char* name,
                      const QKeySequence& key = {});
  void AddKindItem(QMenu* menu, TViewId v, int32_t kind, const char* role);
  void ShowProjectSettings();
  void ShowRenderMenu();
  void FillRecentMenu();
  void UpdateUndoButtons();
  void PollAutosave();
  // The relink dialog when the project just opened names missing media.
  void OfferRelink();
  QString ItemName(TViewId v, TViewCommand c, int32_t kind) const;

  // The user's selection and focused row of a view go to the document.
  void ForwardSelection(TViewId v);
  // The document's rows, selection, focus and enabled state shown again in the Qt views.
  void Notice(const TDocumentNotice& notice) override;
  void ShowDocumentSelection(TViewId v);
  void FlushNotices();

  TVexaStudio& studio_;
  std::vector<std::string> samples_;
  std::unique_ptr<TProjectDocument> doc_;
  std::unique_ptr<TQtEditorPrompt> prompt_;
  std::unique_ptr<TMainActions> actions_;
  std::unique_ptr<TDialogServices> services_;  // what the editing dialogs and previews use
  std::array<TViewPart, kViewCount> parts_{};
  struct TActionKey {
    TViewId View;
    TViewCommand Command;
    int32_t Kind;
    QAction* Action;
  };
  std::vector<TActionKey> items_;
  std::array<QAction*, kToolCount> tools_{};
  QToolBar* toolBar_ = nullptr;
  QTabWidget* tabs_ = nullptr;
  QMenu* renderMenu_ = nullptr;
  QMenu* recentMenu_ = nullptr;
  bool placed_ = false;
  bool relinkPending_ = false;

  // What outlives a run; the autosave observes the document and writes into the session.
  std::unique_ptr<TFileMediaAccess> media_;  // lengths of dropped movies and sounds
  std::unique_ptr<TRecentProjects> recent_;
  std::unique_ptr<TRecoverySession> session_;
  std::unique_ptr<TAutosave> autosave_;
  QTimer* autosaveTimer_ = nullptr;
  std::string shownAutosaveError_;

  // Notices of one batch are gathered; the Qt selections follow once the batch ends.
  int batch_ = 0;
  std::array<bool, kViewCount> selectionDirty_{};
  std::vector<std::string> failures_;
  // The view whose selection is being handed to the document (its notice is not shown back),
  // and whether the Qt selection is being set from the document (not handed back).
  std::optional<TViewId> forwarding_;
  bool showing_ = false;
};

}  // namespace vexa::ui
