#include "ui/form_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cstring>

#include "model/event_kinds.h"
#include "persist/project_file.h"
#include "render/studio.h"
#include "preview/form_preview.h"
#include "render/random32.h"
#include "ui/app_look.h"
#include "ui/dialog_services.h"
#include "ui/event_dialog.h"
#include "ui/event_dialog_commands.h"
#include "ui/form_event_adjust.h"
#include "ui/form_project_setting.h"
#include "ui/list_view.h"
#include "ui/logic/event_form.h"
#include "ui/logic/event_sync.h"
#include "ui/logic/sample_images.h"
#include "ui/logic/project_setting_form.h"
#include "ui/logic/time_adjust.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"
#include "ui/render_commands.h"
#include "ui/row_table_model.h"
#include "ui/slot_guard.h"
#include "ui/view_rows.h"

namespace vexa::ui {
namespace {

constexpr const char* kCloseQuestion = "本当に終了してよろしいですか？";

struct TViewText {
  const char* Role;     // the part of the object names after "ListView_"
  const char* Heading;  // the heading over the view, also its accessible name
  std::vector<const char*> Columns;
  std::vector<int> Widths;
};

const TViewText& ViewText(TView v) {
  static const std::array<TViewText, kViewCount> texts = {{
      {"GraphicSource", "グラフィックソースイベント", {"開始時間", "終了時間", "種類", "ソース"}, {100, 100, 70, 270}},
      {"GraphicEffect", "グラフィックエフェクトイベント", {"開始時間", "終了時間", "エフェクト", "内容"}, {100, 100, 90, 250}},
      {"GraphicLayer", "グラフィックレイヤー", {"レイヤー名", "ファイル名"}, {130, 100}},
      {"SoundSource", "サウンドイベント", {"開始時間", "終了時間", "ソース", "エフェクト"}, {100, 100, 200, 150}},
      {"SoundLayer", "サウンドレイヤー", {"レイヤー名", "ファイル名"}, {120, 100}},
  }};
  return texts[static_cast<size_t>(v)];
}

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
  }
  return "";
}

// What the editor's event commands ask of the window, for one event view.
class TViewCommandUi final : public TEventCommandUi {
 public:
  TViewCommandUi(TForm_Main& window, TView view) : window_(window), view_(view) {}
  void Message(std::string_view text) override { ShowMessage(&window_, text); }
  bool Confirm(std::string_view text) override { return AskYesNo(&window_, text); }
  bool ShowAdjustDialog(TEventAdjustForm& form) override {
    TForm_Event_Adjust dialog(form, &window_);
    return dialog.exec() == QDialog::Accepted;
  }
  void RefreshRow(TEvent& event) override { window_.RefreshEventRow(view_, event); }
  void RefillView() override { window_.RefillEventView(view_); }

 private:
  TForm_Main& window_;
  TView view_;
};

}  // namespace

TForm_Main::TForm_Main(TVexaStudio& studio, QWidget* parent) : QMainWindow(parent), studio_(studio) {
  setObjectName("TForm_Main");
  setWindowTitle(Qs(kAppTitle));
  setAccessibleName(Qs(kAppTitle));
  // Title bar with the system menu, minimise and close.
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  services_ = std::make_unique<TDialogServices>([this] { return PreviewFormatOf(studio_.Project); },
                                                ScanSampleImages(DefaultSampleFolders(), &Random32));
  for (size_t i = 0; i < kViewCount; ++i) {
    eventRows_[i] = std::make_unique<TEventRowsSource>();
    layerRows_[i] = std::make_unique<TLayerRowsSource>();
  }
  BuildToolBar();
  BuildTabs();
  BuildMenus();
  BuildRenderMenu();
  resize(834, 506);
  ShowProject();
  setWindowTitle(Qs(kAppTitle));
}

TForm_Main::~TForm_Main() {
  // The models point into the row sources; detach them before the sources go.
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
      {TToolCommand::Preview, "プレビュー", "Preview"},
      {TToolCommand::Render, "レンダリング", "Render"},
      {TToolCommand::ProjectSetting, "プロジェクト設定", "ProjectSetting"},
  };
  for (const TTool& t : tools) {
    if (t.Command == TToolCommand::Preview) toolBar_->addSeparator();
    QAction* a = toolBar_->addAction(Qs(t.Caption));
    a->setObjectName(QString("Action_") + t.Name);
    QWidget* button = toolBar_->widgetForAction(a);
    button->setObjectName(QString("ToolButton_") + t.Name);
    button->setAccessibleName(Qs(t.Caption));
    const TToolCommand c = t.Command;
    connect(a, &QAction::triggered, this, [this, c] { Guarded(this, [&] { RunToolCommand(c); }); });
    tools_[static_cast<size_t>(c)] = a;
  }
}

void TForm_Main::BuildViews() {
  for (size_t i = 0; i < kViewCount; ++i) {
    const auto v = static_cast<TView>(i);
    const TViewText& t = ViewText(v);
    TViewPart& p = parts_[i];
    QStringList headings;
    for (const char* c : t.Columns)
      headings << Qs(c);
    p.Model = new TRowTableModel(headings, this);
    p.View = new TListView(this);
    p.View->setObjectName(QString("ListView_") + t.Role);
    p.View->setAccessibleName(Qs(t.Heading));
    p.View->setModel(p.Model);
    p.View->SetColumnWidths(t.Widths);
    p.Heading = new QLabel(Qs(t.Heading), this);
    p.Heading->setObjectName(QString("Label_") + t.Role);
    p.Heading->setBuddy(p.View);
    if (IsEventView(v)) {
      p.Model->SetSource(eventRows_[i].get());
      p.View->setEnabled(false);
      p.View->setEditTriggers(QAbstractItemView::NoEditTriggers);
      connect(p.View, &QAbstractItemView::doubleClicked, this, [this, v](const QModelIndex& index) {
        if (index.isValid()) Guarded(this, [&] { RunCommand(v, TViewCommand::Edit); });
      });
      connect(p.View, &TListView::HeadingClicked, this, [this, v](int column) {
        if (column == 0) Guarded(this, [&] { RunCommand(v, TViewCommand::Sort); });
      });
    } else {
      p.Model->SetSource(layerRows_[i].get());
      p.Model->OnRename = [this, name = p.View->objectName()](int, const std::string&) {
        CommandNotWiredYet(name + "_Rename");
        return false;
      };
      connect(p.View->selectionModel(), &QItemSelectionModel::selectionChanged, this,
              [this, v] { Guarded(this, [&] { OnLayerSelectionChanged(v); }); });
    }
    // The sound event view does not start a drag; the others reorder their rows.
    if (v != TView::SoundSource) {
      p.View->SetReorderable(true);
      p.Model->SetDraggable(true);
      connect(p.View, &TListView::ReorderRequested, this,
              [this, v](int, int) { Guarded(this, [&] { RunCommand(v, TViewCommand::Reorder); }); });
    }
    connect(p.View->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateActions(); });
  }
}

void TForm_Main::BuildTabs() {
  BuildViews();
  tabs_ = new QTabWidget(this);
  tabs_->setObjectName("PageControl_Main");
  tabs_->setAccessibleName("ページ");
  setCentralWidget(tabs_);

  auto column = [this](std::initializer_list<TView> views) {
    auto* box = new QVBoxLayout;
    for (TView v : views) {
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
  page("TabSheet_Graphic", "グラフィック", column({TView::GraphicSource, TView::GraphicEffect}),
       column({TView::GraphicLayer}), 540, 230);
  page("TabSheet_Sound", "サウンド", column({TView::SoundSource}), column({TView::SoundLayer}), 550, 220);
}

QAction* TForm_Main::AddCommand(QMenu* menu, TView v, TViewCommand c, const char* caption, const char* name,
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
  actions_.push_back({v, c, -1, a});
  return a;
}

void TForm_Main::AddKindItem(QMenu* menu, TView v, int32_t code, const char* role) {
  QAction* a = menu->addAction(Qs(KindInfo(code)->MenuName));
  a->setObjectName(QString("MenuItem_") + role + "_Add_" + KindRole(code));
  connect(a, &QAction::triggered, this,
          [this, v, code] { Guarded(this, [&] { RunCommand(v, TViewCommand::AddKind, code); }); });
  actions_.push_back({v, TViewCommand::AddKind, code, a});
}

void TForm_Main::BuildMenus() {
  using C = TViewCommand;
  auto key = [](Qt::Key k) { return QKeySequence(Qt::CTRL | k); };
  for (size_t i = 0; i < kViewCount; ++i) {
    const auto v = static_cast<TView>(i);
    const QString role = ViewText(v).Role;
    auto* menu = new QMenu(this);
    menu->setObjectName("PopupMenu_" + role);
    menu->setAccessibleName(Qs(ViewText(v).Heading));
    parts_[i].Menu = menu;
    parts_[i].View->SetContextMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateActions(); });
  }

  // Graphic source view.
  {
    const TView v = TView::GraphicSource;
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
    const TView v = TView::GraphicEffect;
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
    const TView v = TView::SoundSource;
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
  // The two layer views.
  for (TView v : {TView::GraphicLayer, TView::SoundLayer}) {
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
  for (const TActionKey& k : actions_)
    k.Action->setStatusTip(k.Action->text());
  UpdateActions();
}

void TForm_Main::BuildRenderMenu() {
  renderMenu_ = new QMenu(this);
  renderMenu_->setObjectName("PopupMenu_Render");
  renderMenu_->setAccessibleName(Qs("レンダリング"));
  // One entry per render command; a later one (a finished file with sound) joins this list.
  struct TItem {
    const char* Caption;
    const char* Name;
    void (*Run)(TForm_Main&);
  };
  static const TItem items[] = {
      {"グラフィック", "MenuItem_Render_Graphic",
       [](TForm_Main& w) { RunGraphicRenderCommandUi(&w, w.Studio(), w.RenderOutputConflict); }},
      {"サウンド", "MenuItem_Render_Sound", [](TForm_Main& w) { RunSoundRenderCommandUi(&w, w.Studio().Project, w.RenderOutputConflict); }},
  };
  for (const TItem& item : items) {
    QAction* a = renderMenu_->addAction(Qs(item.Caption));
    a->setObjectName(item.Name);
    auto run = item.Run;
    connect(a, &QAction::triggered, this, [this, run] { Guarded(this, [&] { run(*this); }); });
  }
}

QAction* TForm_Main::Action(TView v, TViewCommand c, int32_t kind) const {
  for (const TActionKey& k : actions_)
    if (k.View == v && k.Command == c && (c != TViewCommand::AddKind || k.Kind == kind)) return k.Action;
  return nullptr;
}

bool TForm_Main::IsEventView(TView v) const {
  return v == TView::GraphicSource || v == TView::GraphicEffect || v == TView::SoundSource;
}

void TForm_Main::ShowProject() {
  const TProject& project = studio_.Project;
  for (TView v : {TView::GraphicSource, TView::GraphicEffect, TView::SoundSource}) {
    Model(v)->BeginReset();
    eventRows_[Index(v)]->Clear();
    Model(v)->EndReset();
    View(v)->setEnabled(false);
  }
  Model(TView::GraphicLayer)->BeginReset();
  layerRows_[Index(TView::GraphicLayer)]->Fill(project.GraphicLayers);
  Model(TView::GraphicLayer)->EndReset();
  Model(TView::SoundLayer)->BeginReset();
  layerRows_[Index(TView::SoundLayer)]->Fill(project.SoundLayers);
  Model(TView::SoundLayer)->EndReset();
  ShowProjectCaption();
  UpdateActions();
}

void TForm_Main::ShowProjectCaption() {
  setWindowTitle(Qs(MainWindowCaption(studio_.Project.ProjectName)));
}

bool TForm_Main::OpenProjectFile(const std::string& path) {
  TProject& project = studio_.Project;
  project.FileName = Utf8(QFileInfo(Qs(path)).absoluteFilePath());
  bool read = false;
  try {
    read = LoadProject(project, true);
    if (!read) ShowError(this, "ファイルが見つかりません。\n" + path);
  } catch (...) {
    // What was read before the error stays and is shown.
    ShowCurrentException(this);
  }
  ShowProject();
  return read;
}

std::vector<TEvent*> TForm_Main::SelectedEvents(TView v) const {
  std::vector<TEvent*> events;
  if (!IsEventView(v)) return events;
  for (int row : View(v)->SelectedRows())
    if (TEvent* e = eventRows_[Index(v)]->EventAt(row)) events.push_back(e);
  return events;
}

TGraphicLayer* TForm_Main::SelectedGraphicLayer() const {
  const auto rows = View(TView::GraphicLayer)->SelectedRows();
  if (rows.size() != 1) return nullptr;
  return static_cast<TGraphicLayer*>(layerRows_[Index(TView::GraphicLayer)]->LayerAt(rows.front()));
}

TSoundLayer* TForm_Main::SelectedSoundLayer() const {
  const auto rows = View(TView::SoundLayer)->SelectedRows();
  if (rows.size() != 1) return nullptr;
  return static_cast<TSoundLayer*>(layerRows_[Index(TView::SoundLayer)]->LayerAt(rows.front()));
}

void TForm_Main::OnLayerSelectionChanged(TView layerView) {
  FillEventViews(layerView);
}

// One selected layer fills its tab's event views; none or several empty and disable them.
void TForm_Main::FillEventViews(TView layerView) {
  if (layerView == TView::GraphicLayer) {
    TGraphicLayer* layer = SelectedGraphicLayer();
    for (TView v : {TView::GraphicSource, TView::GraphicEffect}) {
      Model(v)->BeginReset();
      if (layer)
        eventRows_[Index(v)]->Fill(v == TView::GraphicSource ? FillSourceView(*layer) : FillEffectView(*layer));
      else
        eventRows_[Index(v)]->Clear();
      Model(v)->EndReset();
      View(v)->setEnabled(layer != nullptr);
    }
  } else {
    TSoundLayer* layer = SelectedSoundLayer();
    Model(TView::SoundSource)->BeginReset();
    if (layer)
      eventRows_[Index(TView::SoundSource)]->Fill(FillSoundView(*layer));
    else
      eventRows_[Index(TView::SoundSource)]->Clear();
    Model(TView::SoundSource)->EndReset();
    View(TView::SoundSource)->setEnabled(layer != nullptr);
  }
  UpdateActions();
}

void TForm_Main::RefreshEventRow(TView v, TEvent& event) {
  const int row = eventRows_[Index(v)]->Refresh(event);
  if (row >= 0) Model(v)->RowChanged(row);
}

void TForm_Main::RefillEventView(TView v) {
  // Keeps the selected events selected across the refill.
  const std::vector<TEvent*> selected = SelectedEvents(v);
  FillEventViews(v == TView::SoundSource ? TView::SoundLayer : TView::GraphicLayer);
  std::vector<int> rows;
  for (int r = 0; r < Model(v)->rowCount(); ++r)
    if (std::find(selected.begin(), selected.end(), eventRows_[Index(v)]->EventAt(r)) != selected.end())
      rows.push_back(r);
  View(v)->SelectRows(rows);
}

void TForm_Main::UpdateActions() {
  using C = TViewCommand;
  for (const TActionKey& k : actions_) {
    const bool selection = !View(k.View)->SelectedRows().empty();
    bool on = true;
    switch (k.Command) {
      case C::Copy:
      case C::Delete:
      case C::Edit:
      case C::AdjustTimes:
      case C::CopyTimes:
      case C::Sync:
      case C::SaveLayers:
      case C::SaveLayersAs:
        on = selection;
        break;
      case C::PasteTimes:
        on = selection && TimeClipboardFilled && TimeClipboardFilled();
        break;
      case C::Paste:
        on = ClipboardFilled && ClipboardFilled(k.View);
        break;
      case C::AddKind:
        on = k.Kind != kind::Master;
        break;
      default:
        break;
    }
    k.Action->setEnabled(on);
  }
}

void TForm_Main::CommandNotWiredYet(const QString& name) {
  emit PendingCommand(name);
}

void TForm_Main::RunCommand(TView v, TViewCommand c, int32_t kind) {
  using C = TViewCommand;
  switch (c) {
    case C::SelectAll:
      SelectAll(v);
      return;
    case C::AdjustTimes:
      AdjustTimes(v);
      return;
    case C::Sync:
      Sync(v);
      return;
    case C::AddKind:
      AddEvent(v, kind);
      return;
    case C::Add:
      if (v == TView::SoundSource) {
        AddEvent(v, kind::Sound);
        return;
      }
      break;
    case C::Edit:
      EditEvent(v);
      return;
    default:
      break;
  }
  QString name = QString("MenuItem_") + ViewText(v).Role + "_" + CommandRole(c);
  if (c == C::AddKind && KindInfo(kind)) name += "_" + KindRole(kind);
  if (c == C::Sort || c == C::Reorder || c == C::Rename) name = View(v)->objectName() + "_" + CommandRole(c);
  CommandNotWiredYet(name);
}

void TForm_Main::RunToolCommand(TToolCommand c) {
  switch (c) {
    case TToolCommand::Render:
      ShowRenderMenu();
      return;
    case TToolCommand::ProjectSetting:
      ShowProjectSettings();
      return;
    case TToolCommand::Preview:
      Preview();
      return;
    default:
      CommandNotWiredYet(toolBar_->widgetForAction(ToolAction(c))->objectName());
      return;
  }
}

// All rows; in the sound event view a second time clears the selection again.
void TForm_Main::SelectAll(TView v) {
  TListView* view = View(v);
  const int rows = Model(v)->rowCount();
  if (v == TView::SoundSource && rows > 0 && static_cast<int>(view->SelectedRows().size()) == rows) {
    view->clearSelection();
    return;
  }
  view->selectAll();
}

void TForm_Main::AdjustTimes(TView v) {
  if (!IsEventView(v)) return;
  const std::vector<TEvent*> selected = SelectedEvents(v);
  TViewCommandUi ui(*this, v);
  TGraphicLayer* effectLayer = v == TView::GraphicEffect ? SelectedGraphicLayer() : nullptr;
  AdjustTimesCommand(selected, ui, effectLayer);
}

void TForm_Main::Sync(TView v) {
  const std::vector<TEvent*> sources = SelectedEvents(TView::GraphicSource);
  const std::vector<TEvent*> sounds = SelectedEvents(TView::SoundSource);
  if (v == TView::GraphicSource) {
    TViewCommandUi ui(*this, TView::GraphicSource);
    SyncSound(sources, sounds, ui);
  } else if (v == TView::SoundSource) {
    TViewCommandUi ui(*this, TView::SoundSource);
    SyncMovie(sounds, sources, ui);
  }
}

void TForm_Main::ShowProjectSettings() {
  TProjectSettingForm form(studio_.Project);
  TForm_ProjectSetting dialog(form, this);
  if (dialog.exec() != QDialog::Accepted) return;
  TProjectSettingChange change(studio_.Project, form.Values());
  change.Do();
  ShowProjectCaption();
}

// The kind's dialog on a new event; on OK it goes into the shown layer and its row in at the
// selected row (at the end without one), selected alone.
void TForm_Main::AddEvent(TView v, int32_t code) {
  const TDialogDescriptor* d = DialogOf(code);
  TEventList* list = nullptr;
  if (v == TView::SoundSource) {
    if (TSoundLayer* layer = SelectedSoundLayer()) list = &layer->Events;
  } else if (TGraphicLayer* layer = SelectedGraphicLayer()) {
    list = layer->ListForKind(code);
  }
  if (!d || !list) return;
  TEventForm form(*d);
  std::vector<std::string> names;
  for (const auto& layer : studio_.Project.GraphicLayers)
    names.push_back(layer->Name);
  form.SetLayerNames(std::move(names));
  if (!RunEventDialog(form, *services_, this)) return;
  std::unique_ptr<TEvent> event = NewEvent(code);
  form.WriteEvent(*event);
  TEvent* added = list->Add(std::move(event));
  RefillEventView(v);
  for (int r = 0; r < Model(v)->rowCount(); ++r)
    if (eventRows_[Index(v)]->EventAt(r) == added) View(v)->SelectRows({r});
}

// The dialog of the first selected event; OK writes it; the row is described again either way.
void TForm_Main::EditEvent(TView v) {
  const std::vector<TEvent*> selected = SelectedEvents(v);
  if (selected.empty()) return;
  TEvent& event = *selected.front();
  const TDialogDescriptor* d = DialogOf(event.EventType);
  if (!d) return;
  TEventForm form(*d);
  std::vector<std::string> names;
  for (const auto& layer : studio_.Project.GraphicLayers)
    names.push_back(layer->Name);
  form.SetLayerNames(std::move(names));
  form.LoadEvent(event);
  if (RunEventDialog(form, *services_, this)) form.WriteEvent(event);
  RefreshEventRow(v, event);
}

// The project in the preview window; the Ctrl key at the click asks for OpenGL.
void TForm_Main::Preview() {
  PreviewCommand(studio_, QGuiApplication::keyboardModifiers() & Qt::ControlModifier, *services_, this);
}

void TForm_Main::ShowRenderMenu() {
  renderMenu_->popup(QCursor::pos());
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
  View(TView::GraphicLayer)->setFocus();
}

void TForm_Main::closeEvent(QCloseEvent* event) {
  // A render in progress keeps the window disabled; it cannot be closed under the render.
  if (!isEnabled()) {
    event->ignore();
    return;
  }
  bool yes = false;
  Guarded(this, [&] { yes = AskYesNo(this, kCloseQuestion); });
  if (yes)
    event->accept();
  else
    event->ignore();
}

}  // namespace vexa::ui
