#include "ui/form_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "model/event_kinds.h"
#include "render/studio.h"
#include "ui/app_look.h"
#include "ui/dialog_services.h"
#include "ui/document_rows.h"
#include "ui/editor_prompt.h"
#include "ui/event_dialog_commands.h"
#include "ui/form_project_setting.h"
#include "ui/form_relink.h"
#include "ui/list_view.h"
#include "ui/logic/autosave.h"
#include "ui/logic/file_drop.h"
#include "ui/logic/file_media_access.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/recent_projects.h"
#include "ui/logic/recovery_store.h"
#include "ui/logic/relink.h"
#include "ui/logic/movie_render_name.h"
#include "ui/logic/project_document.h"
#include "ui/logic/project_setting_form.h"
#include "persist/persist_error.h"
#include "ui/qt_text.h"
#include "ui/render_commands.h"
#include "ui/row_table_model.h"
#include "ui/slot_guard.h"

namespace vexa::ui {
namespace {

struct TViewText {
  const char* Role;     // the part of the object names after "ListView_"
  const char* Heading;  // the heading over the view, also its accessible name
  std::vector<const char*> Columns;
  std::vector<int> Widths;
};

// By TViewId.
const TViewText& ViewText(TViewId v) {
  static const std::array<TViewText, kViewCount> texts = {{
      {"GraphicLayer", "グラフィックレイヤー", {"レイヤー名", "ファイル名"}, {130, 100}},
      {"GraphicSource", "グラフィックソースイベント", {"開始時間", "終了時間", "種類", "ソース"}, {100, 100, 70, 270}},
      {"GraphicEffect", "グラフィックエフェクトイベント", {"開始時間", "終了時間", "エフェクト", "内容"}, {100, 100, 90, 250}},
      {"SoundLayer", "サウンドレイヤー", {"レイヤー名", "ファイル名"}, {120, 100}},
      {"SoundSource", "サウンドイベント", {"開始時間", "終了時間", "ソース", "エフェクト"}, {100, 100, 200, 150}},
  }};
  return texts[static_cast<size_t>(v)];
}

constexpr TViewId kAllViews[] = {TViewId::GraphicLayers, TViewId::GraphicSources, TViewId::GraphicEffects,
                                 TViewId::SoundLayers, TViewId::SoundEvents};

// The kinds of the "追加" sub-menus of the effect view, in menu order.
const std::vector<std::pair<const char*, std::vector<int32_t>>>& EffectAddMenus() {
  using namespace kind;
  static const std::vector<std::pair<const char*, std::vector<int32_t>>> menus = {
      {"変形", {Position, Size, Rotate, Trim, MirrorHorz, MirrorVert, Tile, Fade, AlphaMask, Blink, Vibration}},
      {"効果", {MonoYUV, Sepia, Brightness, ColorRevision, NoiseBrightness, NoiseColor, Discolor, Nega, Mosaic,
                SplitBlur}},
      {"特殊", {Transition, SwapLayer}},
  };
  return menus;
}

// "TGraphicEffectPositionEvent" -> "Position": the part of an item's object name for a kind.
QString KindRole(int32_t code) {
  QString name = Qs(KindInfo(code)->RecordName);
  for (const char* prefix : {"TGraphicEffect", "TGraphicSource", "TSound"})
    if (name.startsWith(prefix)) name.remove(0, static_cast<qsizetype>(strlen(prefix)));
  if (name.endsWith("Event")) name.chop(5);
  return name;
}

const char* CommandRole(TViewCommand c) {
  switch (c) {
    case TViewCommand::Add: return "Add";
    case TViewCommand::AddKind: return "Add";
    case TViewCommand::Copy: return "Copy";
    case TViewCommand::Cut: return "Cut";
    case TViewCommand::Paste: return "Paste";
    case TViewCommand::Delete: return "Delete";
    case TViewCommand::SelectAll: return "SelectAll";
    case TViewCommand::Edit: return "Edit";
    case TViewCommand::AdjustTimes: return "TimeAdjust";
    case TViewCommand::CopyTimes: return "TimeCopy";
    case TViewCommand::PasteTimes: return "TimePaste";
    case TViewCommand::Sync: return "Sync";
    case TViewCommand::OpenLayers: return "Open";
    case TViewCommand::SaveLayers: return "Save";
    case TViewCommand::SaveLayersAs: return "SaveAs";
    case TViewCommand::Sort: return "Sort";
    case TViewCommand::Reorder: return "Reorder";
    case TViewCommand::Rename: return "Rename";
    case TViewCommand::Preview: return "Preview";
  }
  return "";
}

// Sets a flag for the lifetime of the object and puts its old value back.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TFlagScope() { flag_ = old_; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

TForm_Main::TForm_Main(TVexaStudio& studio, std::vector<std::string> sampleImages, QWidget* parent)
    : QMainWindow(parent),
      studio_(studio),
      samples_(std::move(sampleImages)),
      doc_(std::make_unique<TProjectDocument>(studio.Project)),
      prompt_(std::make_unique<TQtEditorPrompt>(this)),
      actions_(std::make_unique<TMainActions>(*doc_, *prompt_)),
      services_(std::make_unique<TDialogServices>([this] { return PreviewFormatOf(doc_->Project()); }, samples_)),
      // Drops only read lengths: no sound is played through it.
      media_(std::make_unique<TFileMediaAccess>([] { return std::unique_ptr<TSoundPlayback>(); })),
      recent_(std::make_unique<TRecentProjects>(std::string())) {
  setObjectName("TForm_Main");
  setAcceptDrops(true);
  setAccessibleName(Qs(kAppTitle));
  // Title bar with the system menu, minimise and close.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  BuildToolBar();
  BuildTabs();
  BuildMenus();
  BuildRenderMenu();
  resize(834, 506);
  doc_->AddObserver(*this);
  actions_->SetProjectFileHook([this](const std::string& file) { recent_->Add(file); });
  for (TViewId v : kAllViews)
    ShowDocumentSelection(v);
  setWindowTitle(Qs(doc_->WindowCaption()));
  UpdateActions();
}

TForm_Main::~TForm_Main() {
  showing_ = true;  // nothing of the teardown goes back to the document
  doc_->RemoveObserver(*this);
  // The models read the document; detach them before it goes.
  for (auto& p : parts_)
    if (p.Model) p.Model->SetSource(nullptr);
}

void TForm_Main::BuildToolBar() {
  toolBar_ = new QToolBar(this);
  toolBar_->setObjectName("ToolBar_Main");
  toolBar_->setAccessibleName("ツールバー");
  toolBar_->setMovable(false);
  toolBar_->setFloatable(false);
  toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
  toolBar_->setContextMenuPolicy(Qt::PreventContextMenu);
  addToolBar(Qt::TopToolBarArea, toolBar_);
  struct TTool {
    TToolCommand Command;
    const char* Caption;
    const char* Name;
  };
  const TTool tools[] = {
      {TToolCommand::OpenProject, "開く", "Open"},
      {TToolCommand::SaveProject, "上書保存", "Save"},
      {TToolCommand::SaveProjectAs, "新規保存", "SaveAs"},
      {TToolCommand::Undo, "元に戻す", "Undo"},
      {TToolCommand::Redo, "やり直し", "Redo"},
      {TToolCommand::Preview, "プレビュー", "Preview"},
      {TToolCommand::Render, "レンダリング", "Render"},
      {TToolCommand::ProjectSetting, "プロジェクト設定", "ProjectSetting"},
  };
  for (const TTool& t : tools) {
    if (t.Command == TToolCommand::Undo || t.Command == TToolCommand::Preview) toolBar_->addSeparator();
    QAction* a = toolBar_->addAction(Qs(t.Caption));
    a->setObjectName(QString("Action_") + t.Name);
    QWidget* button = toolBar_->widgetForAction(a);
    button->setObjectName(QString("ToolButton_") + t.Name);
    button->setAccessibleName(Qs(t.Caption));
    const TToolCommand c = t.Command;
    connect(a, &QAction::triggered, this, [this, c] { Guarded(this, [&] { RunToolCommand(c); }); });
    tools_[static_cast<size_t>(c)] = a;
  }
  // Anywhere in the window; Ctrl+Y stays the synchronisation of the event views. A text
  // being edited in place keeps the keys for its own undo.
  ToolAction(TToolCommand::Undo)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  ToolAction(TToolCommand::Redo)->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  for (TToolCommand c : {TToolCommand::Undo, TToolCommand::Redo})
    ToolAction(c)->setShortcutContext(Qt::WindowShortcut);

  // "開く" drops down the recent projects; the button itself still opens the chooser.
  recentMenu_ = new QMenu(this);
  recentMenu_->setObjectName("PopupMenu_Recent");
  recentMenu_->setAccessibleName(Qs("最近使ったプロジェクト"));
  connect(recentMenu_, &QMenu::aboutToShow, this, [this] { Guarded(this, [&] { FillRecentMenu(); }); });
  if (auto* open = qobject_cast<QToolButton*>(toolBar_->widgetForAction(ToolAction(TToolCommand::OpenProject)))) {
    open->setMenu(recentMenu_);
    open->setPopupMode(QToolButton::MenuButtonPopup);
  }
  // The button that shows the buttons a narrow window has no room for.
  if (auto* more = toolBar_->findChild<QToolButton*>("qt_toolbar_ext_button")) more->setAccessibleName("その他");
}

void TForm_Main::BuildViews() {
  for (TViewId v : kAllViews) {
    const TViewText& t = ViewText(v);
    TViewPart& p = parts_[Index(v)];
    QStringList headings;
    for (const char* c : t.Columns)
      headings << Qs(c);
    p.Rows = std::make_unique<TDocumentRows>(*doc_, v);
    p.Model = new TRowTableModel(headings, this);
    p.Model->SetSource(p.Rows.get());
    p.View = new TListView(this);
    p.View->setObjectName(QString("ListView_") + t.Role);
    p.View->setAccessibleName(Qs(t.Heading));
    p.View->setModel(p.Model);
    p.View->SetColumnWidths(t.Widths);
    p.Heading = new QLabel(Qs(t.Heading), this);
    p.Heading->setObjectName(QString("Label_") + t.Role);
    p.Heading->setBuddy(p.View);
    if (!IsLayerView(v)) {
      p.View->setEditTriggers(QAbstractItemView::NoEditTriggers);
      connect(p.View, &QAbstractItemView::doubleClicked, this, [this, v](const QModelIndex& index) {
        if (index.isValid()) Guarded(this, [&] { RunCommand(v, TViewCommand::Edit); });
      });
      connect(p.View, &TListView::HeadingClicked, this, [this, v](int column) {
        if (column == 0) Guarded(this, [&] { RunCommand(v, TViewCommand::Sort); });
      });
    } else {
      // Renaming in place: the command changes the layer's name and the row's caption.
      p.Model->OnRename = [this, v](int row, const std::string& text) {
        Guarded(this, [&] { actions_->RenameLayer(v, row, text); });
        return true;
      };
    }
    // The sound event view does not start a drag; the others reorder their rows.
    if (v != TViewId::SoundEvents) {
      p.View->SetReorderable(true);
      p.Model->SetDraggable(true);
      connect(p.View, &TListView::ReorderRequested, this, [this, v](int focused, int target) {
        Guarded(this, [&] {
          doc_->SetFocused(v, focused);
          actions_->DropRows(v, target);
        });
      });
    }
    // Files from the file manager: the drop's own loop is left before anything is asked.
    p.View->SetAcceptsFiles(true);
    connect(p.View, &TListView::FilesDropped, this, [this](const QStringList& files) {
      QTimer::singleShot(0, this, [this, files] { Guarded(this, [&] { DropFiles(files, true); }); });
    });
    connect(p.View->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, v] { ForwardSelection(v); });
    connect(p.View->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, v] { ForwardSelection(v); });
  }
}

void TForm_Main::BuildTabs() {
  BuildViews();
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("PageControl_Main");
  tabs_->setAccessibleName("ページ");
  setCentralWidget(tabs_);

  auto column = [this](std::initializer_list<TViewId> views) {
    auto* box = new QVBoxLayout;
    for (TViewId v : views) {
      box->addWidget(parts_[Index(v)].Heading);
      box->addWidget(parts_[Index(v)].View, 1);
    }
    return box;
  };
  auto page = [this](const char* name, const char* caption, QLayout* left, QLayout* right, int leftShare,
                     int rightShare) {
    auto* sheet = new QWidget;
    sheet->setObjectName(name);
    sheet->setAccessibleName(Qs(caption));
    auto* row = new QHBoxLayout(sheet);
    row->setContentsMargins(4, 4, 4, 4);
    row->addLayout(left, leftShare);
    row->addLayout(right, rightShare);
    tabs_->addTab(sheet, Qs(caption));
  };
  // The shares follow the column widths of the views on each side.
  page("TabSheet_Graphic", "グラフィック", column({TViewId::GraphicSources, TViewId::GraphicEffects}),
       column({TViewId::GraphicLayers}), 540, 230);
  page("TabSheet_Sound", "サウンド", column({TViewId::SoundEvents}), column({TViewId::SoundLayers}), 550, 220);
}

QAction* TForm_Main::AddCommand(QMenu* menu, TViewId v, TViewCommand c, const char* caption, const char* name,
                                const QKeySequence& key) {
  QAction* a = menu->addAction(Qs(caption));
  a->setObjectName(QString("MenuItem_") + ViewText(v).Role + "_" + name);
  if (!key.isEmpty()) {
    a->setShortcut(key);
    // The key is shown in the menu; the view runs it itself, also while the item is disabled.
    a->setShortcutContext(Qt::WidgetShortcut);
    parts_[Index(v)].View->BindKey(key, [this, v, c] { RunCommand(v, c); });
  }
  connect(a, &QAction::triggered, this, [this, v, c] { Guarded(this, [&] { RunCommand(v, c); }); });
  items_.push_back({v, c, -1, a});
  return a;
}

void TForm_Main::AddKindItem(QMenu* menu, TViewId v, int32_t code, const char* role) {
  QAction* a = menu->addAction(Qs(KindInfo(code)->MenuName));
  a->setObjectName(QString("MenuItem_") + role + "_Add_" + KindRole(code));
  connect(a, &QAction::triggered, this,
          [this, v, code] { Guarded(this, [&] { RunCommand(v, TViewCommand::AddKind, code); }); });
  items_.push_back({v, TViewCommand::AddKind, code, a});
}

void TForm_Main::BuildMenus() {
  using C = TViewCommand;
  auto key = [](Qt::Key k) { return QKeySequence(Qt::CTRL | k); };
  for (TViewId v : kAllViews) {
    const QString role = ViewText(v).Role;
    auto* menu = new QMenu(this);
    menu->setObjectName("PopupMenu_" + role);
    menu->setAccessibleName(Qs(ViewText(v).Heading));
    parts_[Index(v)].Menu = menu;
    parts_[Index(v)].View->SetContextMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
  }

  // Graphic source view.
  {
    const TViewId v = TViewId::GraphicSources;
    QMenu* m = Menu(v);
    QMenu* add = m->addMenu(Qs("追加"));
    add->menuAction()->setObjectName("MenuItem_GraphicSource_Add");
    for (int32_t k : {kind::Text, kind::Image, kind::Movie, kind::Master})
      AddKindItem(add, v, k, "GraphicSource");
    // The master source is there but neither shown nor usable.
    QAction* master = Action(v, C::AddKind, kind::Master);
    master->setVisible(false);
    master->setEnabled(false);
    AddCommand(m, v, C::Copy, "コピー", "Copy", key(Qt::Key_C));
    AddCommand(m, v, C::Paste, "貼り付け", "Paste", key(Qt::Key_V));
    AddCommand(m, v, C::Delete, "削除", "Delete", QKeySequence(Qt::Key_Delete));
    AddCommand(m, v, C::SelectAll, "すべて選択", "SelectAll", key(Qt::Key_A));
    AddCommand(m, v, C::Edit, "編集", "Edit", key(Qt::Key_S));
    AddCommand(m, v, C::AdjustTimes, "時間調節", "TimeAdjust", key(Qt::Key_T));
    AddCommand(m, v, C::CopyTimes, "時間をコピー", "TimeCopy", key(Qt::Key_D));
    AddCommand(m, v, C::PasteTimes, "時間を貼り付け", "TimePaste", key(Qt::Key_F));
    AddCommand(m, v, C::Sync, "サウンドと同期", "SyncSound", key(Qt::Key_Y));
  }
  // Graphic effect view.
  {
    const TViewId v = TViewId::GraphicEffects;
    QMenu* m = Menu(v);
    QMenu* add = m->addMenu(Qs("追加"));
    add->menuAction()->setObjectName("MenuItem_GraphicEffect_Add");
    const char* groupRoles[] = {"Transform", "Effect", "Special"};
    int g = 0;
    for (const auto& [caption, kinds] : EffectAddMenus()) {
      QMenu* sub = add->addMenu(Qs(caption));
      sub->menuAction()->setObjectName(QString("MenuItem_GraphicEffect_Add_") + groupRoles[g++]);
      for (int32_t k : kinds)
        AddKindItem(sub, v, k, "GraphicEffect");
    }
    AddCommand(m, v, C::Copy, "コピー", "Copy", key(Qt::Key_C));
    AddCommand(m, v, C::Paste, "貼り付け", "Paste", key(Qt::Key_V));
    AddCommand(m, v, C::Delete, "削除", "Delete", QKeySequence(Qt::Key_Delete));
    AddCommand(m, v, C::Edit, "編集", "Edit", key(Qt::Key_S));
    AddCommand(m, v, C::AdjustTimes, "時間調節", "TimeAdjust", key(Qt::Key_T));
    AddCommand(m, v, C::CopyTimes, "時間をコピー", "TimeCopy", key(Qt::Key_D));
    AddCommand(m, v, C::PasteTimes, "時間を貼り付け", "TimePaste", key(Qt::Key_F));
    AddCommand(m, v, C::SelectAll, "すべて選択", "SelectAll", key(Qt::Key_A));
  }
  // Sound event view.
  {
    const TViewId v = TViewId::SoundEvents;
    QMenu* m = Menu(v);
    AddCommand(m, v, C::Add, "追加", "Add", QKeySequence(Qt::Key_Insert));
    AddCommand(m, v, C::Copy, "コピー", "Copy", key(Qt::Key_C));
    AddCommand(m, v, C::Paste, "貼り付け", "Paste", key(Qt::Key_V));
    AddCommand(m, v, C::Delete, "削除", "Delete", QKeySequence(Qt::Key_Delete));
    AddCommand(m, v, C::SelectAll, "すべて選択", "SelectAll", key(Qt::Key_A));
    AddCommand(m, v, C::Edit, "編集", "Edit", key(Qt::Key_S));
    AddCommand(m, v, C::AdjustTimes, "時間調節", "TimeAdjust", key(Qt::Key_T));
    AddCommand(m, v, C::CopyTimes, "時間をコピー", "TimeCopy", key(Qt::Key_D));
    AddCommand(m, v, C::PasteTimes, "時間を貼り付け", "TimePaste", key(Qt::Key_F));
    AddCommand(m, v, C::Sync, "動画と同期", "SyncMovie", key(Qt::Key_Y));
  }
  // The desktop's cut key in the event views; the menus keep their items.
  for (TViewId v : {TViewId::GraphicSources, TViewId::GraphicEffects, TViewId::SoundEvents})
    View(v)->BindKey(QKeySequence(Qt::CTRL | Qt::Key_X), [this, v] { RunCommand(v, TViewCommand::Cut); });
  // The two layer views.
  for (TViewId v : {TViewId::GraphicLayers, TViewId::SoundLayers}) {
    QMenu* m = Menu(v);
    AddCommand(m, v, C::Add, "追加", "Add", QKeySequence(Qt::Key_Insert));
    AddCommand(m, v, C::Copy, "コピー", "Copy", key(Qt::Key_C));
    AddCommand(m, v, C::Paste, "貼り付け", "Paste", key(Qt::Key_V));
    AddCommand(m, v, C::Delete, "削除", "Delete", QKeySequence(Qt::Key_Delete));
    AddCommand(m, v, C::SelectAll, "すべて選択", "SelectAll", key(Qt::Key_A));
    AddCommand(m, v, C::OpenLayers, "開く", "Open", key(Qt::Key_Q));
    AddCommand(m, v, C::SaveLayers, "上書保存", "Save", key(Qt::Key_W));
    AddCommand(m, v, C::SaveLayersAs, "新規保存", "SaveAs", key(Qt::Key_E));
  }
  for (const TActionKey& k : items_)
    k.Action->setStatusTip(k.Action->text());
}

void TForm_Main::BuildRenderMenu() {
  renderMenu_ = new QMenu(this);
  renderMenu_->setObjectName("PopupMenu_Render");
  renderMenu_->setAccessibleName(Qs("レンダリング"));
  QAction* graphic = renderMenu_->addAction(Qs("グラフィック"));
  graphic->setObjectName("MenuItem_Render_Graphic");
  connect(graphic, &QAction::triggered, this,
          [this] { Guarded(this, [&] { RunGraphicRenderCommandUi(this, studio_); }); });
  QAction* sound = renderMenu_->addAction(Qs("サウンド"));
  sound->setObjectName("MenuItem_Render_Sound");
  connect(sound, &QAction::triggered, this,
          [this] { Guarded(this, [&] { RunSoundRenderCommandUi(this, doc_->Project()); }); });
  // After the two: the finished movie file with its sound.
  QAction* movie = renderMenu_->addAction(Qs(movie_render_text::kMenuCaption));
  movie->setObjectName("MenuItem_Render_Movie");
  connect(movie, &QAction::triggered, this, [this] { Guarded(this, [&] { RunMovieRenderCommandUi(this, studio_); }); });
}

QAction* TForm_Main::Action(TViewId v, TViewCommand c, int32_t kind) const {
  for (const TActionKey& k : items_)
    if (k.View == v && k.Command == c && (c != TViewCommand::AddKind || k.Kind == kind)) return k.Action;
  return nullptr;
}

bool TForm_Main::OpenProjectFile(const std::string& path) {
  return actions_->OpenProjectFile(path);
}

void TForm_Main::UpdateActions() {
  using C = TViewCommand;
  std::array<TMenuState, kViewCount> states;
  for (TViewId v : kAllViews)
    states[Index(v)] = MenuState(*doc_, v);
  for (const TActionKey& k : items_) {
    const TMenuState& m = states[Index(k.View)];
    bool on = true;
    switch (k.Command) {
      case C::Add: on = m.Add; break;
      case C::AddKind: on = m.Add && k.Kind != kind::Master; break;
      case C::Copy: on = m.Copy; break;
      case C::Paste: on = m.Paste; break;
      case C::Delete: on = m.Delete; break;
      case C::SelectAll: on = m.SelectAll; break;
      case C::Edit: on = m.Edit; break;
      case C::AdjustTimes: on = m.AdjustTimes; break;
      case C::CopyTimes: on = m.CopyTimes; break;
      case C::PasteTimes: on = m.PasteTimes; break;
      case C::Sync: on = m.Sync; break;
      case C::OpenLayers: on = m.Open; break;
      case C::SaveLayers: on = m.Save; break;
      case C::SaveLayersAs: on = m.SaveAs; break;
      default: break;
    }
    k.Action->setEnabled(on);
  }
  UpdateUndoButtons();
}

void TForm_Main::UpdateUndoButtons() {
  const TUndoButtons b = UndoButtons(doc_->History());
  QAction* undo = ToolAction(TToolCommand::Undo);
  QAction* redo = ToolAction(TToolCommand::Redo);
  undo->setEnabled(b.CanUndo);
  undo->setToolTip(Qs(b.UndoTip));
  redo->setEnabled(b.CanRedo);
  redo->setToolTip(Qs(b.RedoTip));
}

QString TForm_Main::ItemName(TViewId v, TViewCommand c, int32_t kind) const {
  if (c == TViewCommand::Preview) return "ToolButton_Preview";
  QString name = QString("MenuItem_") + ViewText(v).Role + "_" + CommandRole(c);
  if (c == TViewCommand::AddKind && KindInfo(kind)) name += "_" + KindRole(kind);
  return name;
}

void TForm_Main::DialogCommand(TViewId view, TViewCommand command, int32_t kind) {
  Guarded(this, [&] {
    switch (command) {
      case TViewCommand::AddKind:
        AddEventCommand(*doc_, *actions_, view, kind, *services_, this);
        return;
      case TViewCommand::Add:
        // The sound event view's "追加" and Insert; the layer views add layers themselves.
        if (view == TViewId::SoundEvents) AddEventCommand(*doc_, *actions_, view, kind::Sound, *services_, this);
        return;
      case TViewCommand::Edit:
        EditEventCommand(*doc_, *actions_, view, *services_, this);
        return;
      case TViewCommand::Preview:
        // The Ctrl key as it was at the click.
        PreviewCommand(studio_, QGuiApplication::keyboardModifiers() & Qt::ControlModifier, *services_, this);
        return;
      default:
        emit PendingCommand(ItemName(view, command, kind));
        return;
    }
  });
}

void TForm_Main::RunCommand(TViewId v, TViewCommand c, int32_t kind) {
  using C = TViewCommand;
  TMainActions& act = *actions_;
  const bool layers = IsLayerView(v);
  switch (c) {
    case C::Add:
      if (layers)
        act.AddLayer(v);
      else
        DialogCommand(v, c, kind);
      return;
    case C::AddKind:
    case C::Edit:
    case C::Preview:
      DialogCommand(v, c, kind);
      return;
    case C::Copy:
      layers ? act.CopyLayers(v) : act.CopyEvents(v);
      return;
    case C::Cut:
      if (!layers) act.CutEvents(v);
      return;
    case C::Paste:
      layers ? act.PasteLayers(v) : act.PasteEvents(v);
      return;
    case C::Delete:
      layers ? act.DeleteLayers(v) : act.DeleteEvents(v);
      return;
    case C::SelectAll:
      act.SelectAll(v);
      return;
    case C::AdjustTimes:
      if (!layers) act.AdjustTimes(v);
      return;
    case C::CopyTimes:
      if (!layers) act.CopyTimes(v);
      return;
    case C::PasteTimes:
      if (!layers) act.PasteTimes(v);
      return;
    case C::Sync:
      if (v == TViewId::GraphicSources) act.SyncSound();
      if (v == TViewId::SoundEvents) act.SyncMovie();
      return;
    case C::OpenLayers:
      act.OpenLayerFiles(v);
      return;
    case C::SaveLayers:
      act.SaveLayers(v);
      return;
    case C::SaveLayersAs:
      act.SaveLayersAs(v);
      return;
    case C::Sort:
      act.SortByStartTime(v);
      return;
    case C::Reorder:
    case C::Rename:
      // Both carry their rows and texts: the view's drop and the model's rename call the
      // commands themselves.
      return;
  }
}

void TForm_Main::RunToolCommand(TToolCommand c) {
  switch (c) {
    case TToolCommand::OpenProject:
      actions_->OpenProject();
      return;
    case TToolCommand::SaveProject:
      actions_->SaveProject();
      return;
    case TToolCommand::SaveProjectAs:
      actions_->SaveProjectAs();
      return;
    case TToolCommand::Preview:
      DialogCommand(TViewId::GraphicLayers, TViewCommand::Preview, -1);
      return;
    case TToolCommand::Render:
      ShowRenderMenu();
      return;
    case TToolCommand::ProjectSetting:
      ShowProjectSettings();
      return;
    case TToolCommand::Undo:
      actions_->Undo();
      return;
    case TToolCommand::Redo:
      actions_->Redo();
      return;
  }
}

void TForm_Main::ShowProjectSettings() {
  TProjectSettingForm form(doc_->Project());
  TForm_ProjectSetting dialog(form, this);
  if (dialog.exec() != QDialog::Accepted) return;
  actions_->ApplyProjectSettings(form.Values());
}

void TForm_Main::ShowRenderMenu() {
  renderMenu_->popup(QCursor::pos());
}

void TForm_Main::FillRecentMenu() {
  recentMenu_->clear();
  const std::vector<std::string> files = recent_->Entries();
  if (files.empty()) {
    QAction* none = recentMenu_->addAction(Qs(main_text::kRecentNone));
    none->setObjectName("MenuItem_Recent_None");
    none->setEnabled(false);
    return;
  }
  int n = 0;
  for (const std::string& file : files) {
    ++n;
    // The number is the item's accelerator; the whole path tells projects of one name apart.
    QAction* a = recentMenu_->addAction(QString("&%1 %2").arg(n % 10).arg(Qs(file)));
    a->setObjectName(QString("MenuItem_Recent_%1").arg(n));
    a->setData(Qs(file));
    // Once the menu has closed: the opening asks its questions.
    connect(a, &QAction::triggered, this, [this, file] {
      QTimer::singleShot(0, this, [this, file] { Guarded(this, [&] { actions_->OpenRecentProject(file, *recent_); }); });
    });
  }
}

void TForm_Main::OfferRelink() {
  TRelinkForm form(*doc_);
  if (form.Missing().empty()) return;
  TForm_Relink dialog(form, this);
  dialog.exec();
}

// ---- what outlives a run ----

bool TForm_Main::StartSession(const TSessionSetup& setup) {
  recent_ = std::make_unique<TRecentProjects>(setup.SettingsFile);
  if (setup.RecoveryRoot.empty()) return false;
  autosave_.reset();
  try {
    session_ = std::make_unique<TRecoverySession>(setup.RecoveryRoot);
  } catch (const std::exception& e) {
    // The editor works without; the user should know that nothing is kept for a crash.
    prompt_->ErrorMessage(std::string("自動保存を開始できません。\n") + e.what());
    return false;
  }
  autosave_ = std::make_unique<TAutosave>(*doc_, *session_, TAutosave::TClock(),
                                          ReadAutosaveInterval(setup.SettingsFile));
  if (!autosaveTimer_) {
    autosaveTimer_ = new QTimer(this);
    autosaveTimer_->setObjectName("Timer_Autosave");
    connect(autosaveTimer_, &QTimer::timeout, this, [this] { Guarded(this, [&] { PollAutosave(); }); });
  }
  // The autosave decides when its interval has passed; the timer only asks often enough.
  const auto interval = autosave_->Interval().count();
  autosaveTimer_->start(static_cast<int>(std::clamp<long long>(interval / 10, 100, 5000)));

  bool restored = false;
  TQtRecoveryPrompt ask(this);
  Guarded(this, [&] {
    restored = OfferRecoveredProjects(FindRecoveredProjects(setup.RecoveryRoot), *doc_, *autosave_, ask);
  });
  return restored;
}

void TForm_Main::PollAutosave() {
  if (!autosave_) return;
  autosave_->Poll();
  // A failing write is told once, not every interval.
  const std::string& error = autosave_->LastError();
  if (!error.empty() && error != shownAutosaveError_) prompt_->ErrorMessage("自動保存に失敗しました。\n" + error);
  shownAutosaveError_ = error;
}

// ---- files dropped from the file manager ----

void TForm_Main::DropFiles(const QStringList& files, bool onList) {
  std::vector<std::string> taken;
  for (const QString& f : files) {
    const std::string file = Utf8(f);
    const TDroppedFile kind = DroppedFileKind(file);
    const bool opens = kind == TDroppedFile::Project || kind == TDroppedFile::GraphicLayerFile ||
                       kind == TDroppedFile::SoundLayerFile;
    if (onList || opens) taken.push_back(file);
  }
  if (!taken.empty()) actions_->DropFiles(taken, *media_);
}

void TForm_Main::dragEnterEvent(QDragEnterEvent* event) {
  // Outside the lists only project and layer files are taken.
  for (const QString& f : DroppedLocalFiles(event->mimeData())) {
    const TDroppedFile kind = DroppedFileKind(Utf8(f));
    if (kind == TDroppedFile::Project || kind == TDroppedFile::GraphicLayerFile ||
        kind == TDroppedFile::SoundLayerFile) {
      event->setDropAction(Qt::CopyAction);
      event->accept();
      return;
    }
  }
  event->ignore();
}

void TForm_Main::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedLocalFiles(event->mimeData());
  if (files.isEmpty()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  QTimer::singleShot(0, this, [this, files] { Guarded(this, [&] { DropFiles(files, false); }); });
}

// ---- selections and notices ----

void TForm_Main::ForwardSelection(TViewId v) {
  if (showing_) return;
  TListView* view = View(v);
  forwarding_ = v;
  Guarded(this, [&] { doc_->SetSelection(v, view->SelectedRows(), view->currentIndex().row()); });
  forwarding_.reset();
}

void TForm_Main::ShowDocumentSelection(TViewId v) {
  TFlagScope scope(showing_);
  const TRowSelection& s = doc_->Selection(v);
  TListView* view = View(v);
  TRowTableModel* model = Model(v);
  view->setEnabled(s.Enabled());
  QItemSelection selection;
  const int last = model->columnCount() - 1;
  const std::vector<int> rows = s.SelectedRows();
  for (size_t i = 0; i < rows.size();) {
    size_t j = i;
    while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
      ++j;
    selection.select(model->index(rows[i], 0), model->index(rows[j], last));
    i = j + 1;
  }
  QItemSelectionModel* sm = view->selectionModel();
  sm->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  if (view->currentIndex().row() != s.Focused())
    sm->setCurrentIndex(s.Focused() >= 0 ? model->index(s.Focused(), 0) : QModelIndex(),
                        QItemSelectionModel::NoUpdate);
}

void TForm_Main::Notice(const TDocumentNotice& n) {
  using K = TNoticeKind;
  // Qt reports its own selection changes while rows come and go; none of them is the user's.
  TFlagScope scope(showing_);
  TRowTableModel* model = Model(n.View);
  auto dirty = [this](TViewId v) { selectionDirty_[Index(v)] = true; };
  switch (n.Kind) {
    case K::BatchBegin:
      ++batch_;
      return;
    case K::BatchEnd:
      --batch_;
      break;
    case K::EventsAdded:
    case K::LayersAdded:
      model->BeginInsertRows(n.Row, n.Count);
      model->EndInsertRows();
      dirty(n.View);
      break;
    case K::EventsRemoved:
    case K::LayersRemoved:
      model->BeginRemoveRows(n.Row, n.Count);
      model->EndRemoveRows();
      dirty(n.View);
      break;
    case K::EventChanged:
    case K::LayerChanged:
      model->RowChanged(n.Row);
      break;
    case K::EventsReordered:
    case K::LayersReordered:
      model->BeginReset();
      model->EndReset();
      dirty(n.View);
      break;
    case K::SelectionChanged:
      if (forwarding_ != n.View) dirty(n.View);
      break;
    case K::SettingsChanged:
    case K::ModifiedChanged:
      setWindowTitle(Qs(doc_->WindowCaption()));
      break;
    case K::ProjectReplaced:
      for (TViewId v : kAllViews) {
        Model(v)->BeginReset();
        Model(v)->EndReset();
        dirty(v);
      }
      setWindowTitle(Qs(doc_->WindowCaption()));
      relinkPending_ = true;
      break;
    case K::ClipboardChanged:
      break;
    case K::CommandFailed:
      failures_.emplace_back(n.Text);
      break;
  }
  if (batch_ == 0) FlushNotices();
}

void TForm_Main::FlushNotices() {
  for (TViewId v : kAllViews) {
    if (!selectionDirty_[Index(v)]) continue;
    selectionDirty_[Index(v)] = false;
    ShowDocumentSelection(v);
  }
  UpdateActions();
  if (relinkPending_) {
    relinkPending_ = false;
    // Once the opening command has returned, as the failures below.
    QTimer::singleShot(0, this, [this] { Guarded(this, [&] { OfferRelink(); }); });
  }
  if (failures_.empty()) return;
  // Shown once the command has returned: no modal loop inside a step of the document.
  QTimer::singleShot(0, this, [this, failures = std::move(failures_)] {
    for (const std::string& text : failures)
      prompt_->ErrorMessage(text);
  });
  failures_.clear();
}

// Centred on the desktop when first shown, the graphic layers focused.
void TForm_Main::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (placed_) return;
  placed_ = true;
  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft().x() < area.left() ? area.left() : frame.topLeft().x(),
         frame.topLeft().y() < area.top() ? area.top() : frame.topLeft().y());
  }
  View(TViewId::GraphicLayers)->setFocus();
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  // A render in progress keeps the window disabled; it cannot be closed under the render.
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  bool yes = false;
  Guarded(this, [&] { yes = actions_->ConfirmClose(); });
  if (yes)
    event->accept();
  else
    event->ignore();
}

}  // namespace vexa::ui
