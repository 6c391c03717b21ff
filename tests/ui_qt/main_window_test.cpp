// The main window through its widgets: the demo project opened, edited with the menus' keys,
// a drop and the dialogs, saved and opened again, with the same files as the editor's logic
// writes for the same steps; keys acting in the focused view; the closing question; the
// render commands' checks; the accessible names.
#include <QAccessible>
#include <QAction>
#include <QDirIterator>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <map>

#include "model/output_guard.h"
#include "qt_test_support.h"
#include "render/studio.h"
#include "ui/form_event_adjust.h"
#include "ui/form_main.h"
#include "ui/list_view.h"
#include "ui/logic/event_adjust_form.h"
#include "ui/logic/event_rows.h"
#include "preview/form_preview.h"
#include "ui/logic/dialog_descriptor.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/project_document.h"
#include "ui/qt_text.h"
#include "ui/row_table_model.h"

using namespace vexa;
using namespace vexa::ui;

namespace {

using test::AnswerInTurn;
using test::Click;
using test::TAnswer;

TAnswer ChooseFile(const QString& path, const QString& dialogName) {
  return [path, dialogName](QWidget* modal) {
    auto* dialog = qobject_cast<QFileDialog*>(modal);
    QVERIFY2(dialog, "a file dialog was expected");
    QCOMPARE(dialog->objectName(), dialogName);
    // selectFile leaves the name field alone while it has the focus: type the name instead.
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    QVERIFY(name);
    name->setText(path);
    QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
  };
}

// The time adjustment dialog: start "足す" one second, OK.
void AddOneSecondToTheStart(QWidget* modal) {
  auto* dialog = qobject_cast<TForm_Event_Adjust*>(modal);
  QVERIFY(dialog);
  dialog->findChild<QRadioButton*>("RadioButton_StartTime_Add")->click();
  for (const char* field : {"Hour", "Minute", "Millisecond"})
    dialog->findChild<QSpinBox*>(QString("JvSpinEdit_StartTime_") + field)->setValue(0);
  dialog->findChild<QSpinBox*>("JvSpinEdit_StartTime_Second")->setValue(1);
  dialog->findChild<QPushButton*>("Button_OK")->click();
}

// Every file below a folder with its bytes.
std::map<QString, QByteArray> FilesBelow(const QString& folder) {
  std::map<QString, QByteArray> files;
  QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile f(path);
    if (f.open(QIODevice::ReadOnly)) files[QDir(folder).relativeFilePath(path)] = f.readAll();
  }
  return files;
}

// The logic's side of the editing script: the same answers without windows.
class TScriptedPrompt : public TEditorPrompt {
 public:
  std::vector<std::string> Files;  // the chooser answers, in order
  std::vector<std::string> Errors;
  void Message(std::string_view) override {}
  void ErrorMessage(std::string_view text) override { Errors.emplace_back(text); }
  bool Confirm(std::string_view) override { return true; }
  std::string ChooseOpenFile(const TFileChooser&) override { return Next(); }
  std::vector<std::string> ChooseOpenFiles(const TFileChooser&) override { return {Next()}; }
  std::string ChooseSaveFile(const TFileChooser&) override { return Next(); }
  bool ShowAdjustDialog(TEventAdjustForm& form) override {
    form.StartChoice = TStartChoice::Add;
    form.SetTimeField(TEventAdjustForm::Start, TTimeFields::Hour, 0);
    form.SetTimeField(TEventAdjustForm::Start, TTimeFields::Minute, 0);
    form.SetTimeField(TEventAdjustForm::Start, TTimeFields::Millisecond, 0);
    form.SetTimeField(TEventAdjustForm::Start, TTimeFields::Second, 1);
    return true;
  }

 private:
  std::string Next() {
    if (Files.empty()) return {};
    std::string f = Files.front();
    Files.erase(Files.begin());
    return f;
  }
};

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString demo_;
  std::unique_ptr<TVexaStudio> studio_;
  std::unique_ptr<TForm_Main> window_;

  QString Cell(TViewId v, int row, int column) const {
    return window_->Model(v)->index(row, column).data().toString();
  }
  // Selects rows as the user does, focusing the view and its first row.
  void SelectRows(TViewId v, const std::vector<int>& rows) {
    TListView* view = window_->View(v);
    view->setFocus();
    if (!rows.empty()) view->setCurrentIndex(view->model()->index(rows.front(), 0));
    view->SelectRows(rows);
  }
  // The first graphic layer with a source and four effects.
  int LayerWithEffects() const {
    const auto& layers = studio_->Project.GraphicLayers;
    for (int i = 0; i < layers.Count(); ++i)
      if (EffectViewEvents(*layers[i]).size() >= 4 && !SourceViewEvents(*layers[i]).empty()) return i;
    return -1;
  }
  bool MakeDemo(const QString& folder) {
    QDir(folder).removeRecursively();
    QProcess make;
    make.start(VEXA_MAKE_EXAMPLE, {folder});
    return make.waitForFinished(120000) && make.exitCode() == 0;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QVERIFY(MakeDemo(dir_.filePath("demo")));
    demo_ = dir_.filePath("demo/demo.vxpj");
  }

  void init() {
    studio_ = std::make_unique<TVexaStudio>();
    window_ = std::make_unique<TForm_Main>(*studio_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() {
    // The window asks before it closes; these tests close it by destroying it.
    window_.reset();
    studio_.reset();
  }

  void startsEmptyWithTheDesignsLayout() {
    QCOMPARE(window_->objectName(), QString("TForm_Main"));
    QCOMPARE(window_->windowTitle(), QString("Vexa Studio"));
    QCOMPARE(window_->size(), QSize(834, 506));
    // Tool bar buttons in order.
    QStringList captions;
    for (auto c : {TToolCommand::OpenProject, TToolCommand::SaveProject, TToolCommand::SaveProjectAs,
                   TToolCommand::Preview, TToolCommand::Render, TToolCommand::ProjectSetting})
      captions << window_->ToolAction(c)->text();
    QCOMPARE(captions, QStringList({"開く", "上書保存", "新規保存", "プレビュー", "レンダリング", "プロジェクト設定"}));
    QVERIFY(window_->findChild<QToolButton*>("ToolButton_Open"));
    // Event views start disabled; every view is named by its heading.
    QVERIFY(!window_->View(TViewId::GraphicSources)->isEnabled());
    QCOMPARE(window_->View(TViewId::GraphicEffects)->accessibleName(), QString("グラフィックエフェクトイベント"));
    QCOMPARE(window_->Model(TViewId::SoundEvents)->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("エフェクト"));
    // Every menu item has a caption and a design-pattern name.
    for (int v = 0; v < kViewCount; ++v)
      for (QAction* a : window_->Menu(static_cast<TViewId>(v))->findChildren<QAction*>())
        if (!a->isSeparator() && !a->text().isEmpty()) QVERIFY2(a->objectName().startsWith("MenuItem_"), qPrintable(a->text()));
    QVERIFY(window_->findChild<QAction*>("MenuItem_GraphicSource_Add_Text"));
    QVERIFY(window_->findChild<QAction*>("MenuItem_GraphicEffect_Add_SwapLayer"));
    // The keys shown in the menus.
    const std::pair<const char*, QKeySequence> keys[] = {
        {"MenuItem_GraphicSource_SyncSound", QKeySequence("Ctrl+Y")},
        {"MenuItem_GraphicEffect_TimePaste", QKeySequence("Ctrl+F")},
        {"MenuItem_SoundSource_Add", QKeySequence(Qt::Key_Insert)},
        {"MenuItem_SoundLayer_Open", QKeySequence("Ctrl+Q")},
        {"MenuItem_GraphicLayer_SaveAs", QKeySequence("Ctrl+E")},
        {"MenuItem_GraphicLayer_Delete", QKeySequence(Qt::Key_Delete)},
    };
    for (const auto& [name, key] : keys)
      QCOMPARE(window_->findChild<QAction*>(name)->shortcut(), key);
    QAction* master = window_->findChild<QAction*>("MenuItem_GraphicSource_Add_Master");
    QVERIFY(master && !master->isVisible() && !master->isEnabled());
  }

  void opensTheDemoAndShowsItsRows() {
    QVERIFY(window_->OpenProjectFile(Utf8(demo_)));
    const TProject& project = studio_->Project;
    QCOMPARE(window_->windowTitle(), "Vexa Studio - " + Qs(project.ProjectName));
    QCOMPARE(window_->Model(TViewId::GraphicLayers)->rowCount(), project.GraphicLayers.Count());
    QCOMPARE(window_->Model(TViewId::SoundLayers)->rowCount(), project.SoundLayers.Count());
    QVERIFY(project.GraphicLayers.Count() > 1);
    QCOMPARE(Cell(TViewId::GraphicLayers, 0, 0), Qs(project.GraphicLayers[0]->Name));
    // The file column shows the file name without its folder.
    QVERIFY(!Cell(TViewId::GraphicLayers, 0, 1).isEmpty());
    QVERIFY(!Cell(TViewId::GraphicLayers, 0, 1).contains('/'));

    const int layer = LayerWithEffects();
    QVERIFY(layer >= 0);
    SelectRows(TViewId::GraphicLayers, {layer});
    TGraphicLayer& l = *project.GraphicLayers[layer];
    QVERIFY(window_->View(TViewId::GraphicSources)->isEnabled());
    const auto effects = EffectViewEvents(l);
    QCOMPARE(window_->Model(TViewId::GraphicEffects)->rowCount(), static_cast<int>(effects.size()));
    const TEventRow row = DescribeRow(*effects.back());
    const int last = static_cast<int>(effects.size()) - 1;
    QCOMPARE(Cell(TViewId::GraphicEffects, last, 0), Qs(row.Caption));
    QCOMPARE(Cell(TViewId::GraphicEffects, last, 2), Qs(row.KindText));
    QCOMPARE(Cell(TViewId::GraphicEffects, last, 3), Qs(row.Summary));

    // Two selected layers: the event views empty and disabled again.
    window_->View(TViewId::GraphicLayers)->SelectRows({0, 1});
    QVERIFY(!window_->View(TViewId::GraphicEffects)->isEnabled());
    QCOMPARE(window_->Model(TViewId::GraphicEffects)->rowCount(), 0);

    // The sound tab.
    QVERIFY(project.SoundLayers.Count() > 0);
    SelectRows(TViewId::SoundLayers, {0});
    QCOMPARE(window_->Model(TViewId::SoundEvents)->rowCount(),
             static_cast<int>(SoundViewEvents(*project.SoundLayers[0]).size()));
  }

  // Open, add a layer, rename it, copy and paste events, drag events, adjust times, save,
  // reopen: through the window's widgets, then the same steps through the logic on a fresh
  // copy of the demo. Both must leave the same files.
  void anEditingSessionSavesWhatTheLogicWrites() {
    const QString folder = dir_.filePath("session");
    QVERIFY(MakeDemo(folder));
    const QString project = folder + "/demo.vxpj";
    const QString lyrics = folder + "/layers/lyrics";

    AnswerInTurn({Click("はい"), ChooseFile(project, "OpenDialog_Project")});
    window_->ToolAction(TToolCommand::OpenProject)->trigger();
    QCOMPARE(window_->windowTitle(), "Vexa Studio - " + Qs(studio_->Project.ProjectName));
    const int layer = LayerWithEffects();
    QVERIFY(layer >= 0);
    const int layers = studio_->Project.GraphicLayers.Count();

    // Insert in the layer view adds a layer above the selected one and selects it.
    SelectRows(TViewId::GraphicLayers, {layer});
    QTest::keyClick(window_->View(TViewId::GraphicLayers), Qt::Key_Insert);
    QCOMPARE(studio_->Project.GraphicLayers.Count(), layers + 1);
    QCOMPARE(Cell(TViewId::GraphicLayers, layer, 0), QString("新規レイヤー1"));
    QCOMPARE(Cell(TViewId::GraphicLayers, layer, 1), QString("**未保存**"));
    QCOMPARE(window_->View(TViewId::GraphicLayers)->SelectedRows(), std::vector<int>{layer});

    // Renamed in place.
    TListView* layerView = window_->View(TViewId::GraphicLayers);
    layerView->edit(layerView->model()->index(layer, 0));
    auto* editor = layerView->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText("歌詞");
    QTest::keyClick(editor, Qt::Key_Return);  // the delegate commits from the event loop
    QTRY_COMPARE(Qs(studio_->Project.GraphicLayers[layer]->Name), QString("歌詞"));
    QCOMPARE(Cell(TViewId::GraphicLayers, layer, 0), QString("歌詞"));

    // Ctrl+C and Ctrl+V on the first source: the copy goes in as the new first row.
    SelectRows(TViewId::GraphicLayers, {layer + 1});
    const int sources = window_->Model(TViewId::GraphicSources)->rowCount();
    SelectRows(TViewId::GraphicSources, {0});
    const QString firstSource = Cell(TViewId::GraphicSources, 0, 3);
    QTest::keyClick(window_->View(TViewId::GraphicSources), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(window_->View(TViewId::GraphicSources), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(window_->Model(TViewId::GraphicSources)->rowCount(), sources + 1);
    QCOMPARE(Cell(TViewId::GraphicSources, 0, 3), firstSource);
    QCOMPARE(Cell(TViewId::GraphicSources, 1, 3), firstSource);
    QCOMPARE(window_->View(TViewId::GraphicSources)->SelectedRows(), std::vector<int>{0});

    // Effect rows 0 and 1 dropped on row 3 land below it.
    SelectRows(TViewId::GraphicEffects, {0, 1});
    const QString moved = Cell(TViewId::GraphicEffects, 0, 3) + Cell(TViewId::GraphicEffects, 1, 3);
    emit window_->View(TViewId::GraphicEffects)->ReorderRequested(0, 3);
    QCOMPARE(Cell(TViewId::GraphicEffects, 2, 3) + Cell(TViewId::GraphicEffects, 3, 3), moved);
    QCOMPARE(window_->View(TViewId::GraphicEffects)->SelectedRows(), (std::vector<int>{2, 3}));

    // Ctrl+T on the first source: one second later, its row shows it.
    SelectRows(TViewId::GraphicSources, {0});
    TEvent* first = window_->Document().SelectedEvents(TViewId::GraphicSources).front();
    const uint32_t start = first->StartTime;
    AnswerInTurn({AddOneSecondToTheStart, Click("はい")});
    QTest::keyClick(window_->View(TViewId::GraphicSources), Qt::Key_T, Qt::ControlModifier);
    QCOMPARE(first->StartTime, start + 1000);
    QCOMPARE(Cell(TViewId::GraphicSources, 0, 0), Qs(DescribeRow(*first).Caption));

    // "上書保存": the new layer has no file yet and is asked for.
    AnswerInTurn({ChooseFile(lyrics, "SaveDialog_GraphicLayer")});
    window_->ToolAction(TToolCommand::SaveProject)->trigger();
    QCOMPARE(Cell(TViewId::GraphicLayers, layer, 1), QString("lyrics.vxgl"));
    const std::map<QString, QByteArray> saved = FilesBelow(folder);
    QVERIFY(saved.count("layers/lyrics.vxgl"));

    // Opened again: the new layer with its name, the pasted source.
    AnswerInTurn({Click("はい"), ChooseFile(project, "OpenDialog_Project")});
    window_->ToolAction(TToolCommand::OpenProject)->trigger();
    QCOMPARE(window_->Model(TViewId::GraphicLayers)->rowCount(), layers + 1);
    QCOMPARE(Cell(TViewId::GraphicLayers, layer, 0), QString("歌詞"));
    SelectRows(TViewId::GraphicLayers, {layer + 1});
    QCOMPARE(window_->Model(TViewId::GraphicSources)->rowCount(), sources + 1);

    // The same steps through the logic alone, on a fresh demo in the same place.
    QVERIFY(MakeDemo(folder));
    TProject p;
    TProjectDocument doc(p);
    TScriptedPrompt prompt;
    prompt.Files = {Utf8(project), Utf8(lyrics)};
    TMainActions act(doc, prompt);
    auto select = [&](TViewId v, std::vector<int> rows) { doc.SetSelection(v, rows, rows.front()); };
    act.OpenProject();
    select(TViewId::GraphicLayers, {layer});
    act.AddLayer(TViewId::GraphicLayers);
    act.RenameLayer(TViewId::GraphicLayers, layer, "歌詞");
    select(TViewId::GraphicLayers, {layer + 1});
    select(TViewId::GraphicSources, {0});
    act.CopyEvents(TViewId::GraphicSources);
    act.PasteEvents(TViewId::GraphicSources);
    select(TViewId::GraphicEffects, {0, 1});
    act.DropRows(TViewId::GraphicEffects, 3);
    select(TViewId::GraphicSources, {0});
    act.AdjustTimes(TViewId::GraphicSources);
    act.SaveProject();
    QVERIFY(prompt.Errors.empty());
    const std::map<QString, QByteArray> written = FilesBelow(folder);
    QCOMPARE(written.size(), saved.size());
    for (const auto& [name, bytes] : saved)
      QVERIFY2(written.count(name) && written.at(name) == bytes, qPrintable(name));
  }

  void keysActInTheFocusedViewEvenWhenTheirItemIsDisabled() {
    QVERIFY(window_->OpenProjectFile(Utf8(demo_)));
    const TEditorClipboards& clips = window_->Document().Clipboards();
    SelectRows(TViewId::GraphicLayers, {LayerWithEffects()});
    QSignalSpy pending(window_.get(), &TForm_Main::PendingCommand);

    // Nothing selected in the effect view: its "コピー" is disabled, and Ctrl+C copies nothing.
    TListView* effects = window_->View(TViewId::GraphicEffects);
    effects->setFocus();
    QVERIFY(!window_->Action(TViewId::GraphicEffects, TViewCommand::Copy)->isEnabled());
    QTest::keyClick(effects, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(clips.Effects.Empty());
    // Ctrl+A selects all rows, and Ctrl+C copies them into the effect clipboard only.
    QTest::keyClick(effects, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(static_cast<int>(effects->SelectedRows().size()), window_->Model(TViewId::GraphicEffects)->rowCount());
    QVERIFY(window_->Action(TViewId::GraphicEffects, TViewCommand::Copy)->isEnabled());
    QTest::keyClick(effects, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);  // not the key
    QVERIFY(clips.Effects.Empty());
    QTest::keyClick(effects, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clips.Effects.Count(), window_->Model(TViewId::GraphicEffects)->rowCount());
    QVERIFY(clips.Sources.Empty());
    QVERIFY(window_->Action(TViewId::GraphicEffects, TViewCommand::Paste)->isEnabled());
    QVERIFY(!window_->Action(TViewId::GraphicSources, TViewCommand::Paste)->isEnabled());

    // Delete without a selection still asks its question; No keeps the rows.
    TListView* sources = window_->View(TViewId::GraphicSources);
    sources->setFocus();
    const int rows = window_->Model(TViewId::GraphicSources)->rowCount();
    QString question;
    AnswerInTurn({[&](QWidget* box) {
      question = qobject_cast<QMessageBox*>(box)->text();
      vexa::test::ClickMessageButton(box, "いいえ");
    }});
    QTest::keyClick(sources, Qt::Key_Delete);
    QCOMPARE(question, QString("選択したイベントを削除してもよろしいですか？"));
    QTest::keyClick(sources, Qt::Key_Delete, Qt::ShiftModifier);  // with a modifier: nothing
    QCOMPARE(window_->Model(TViewId::GraphicSources)->rowCount(), rows);

    // The keys of the editing dialogs open them: Ctrl+S the selected event's, Insert in the
    // sound event view a new sound's. Cancel changes nothing.
    const auto cancelDialog = [](QString* name) {
      return [name](QWidget* d) {
        *name = d->objectName();
        d->findChild<QPushButton*>("Button_Cancel")->click();
      };
    };
    QString opened;
    SelectRows(TViewId::GraphicSources, {0});
    const int32_t kind = window_->Document().SelectedEvents(TViewId::GraphicSources).front()->EventType;
    AnswerInTurn({cancelDialog(&opened)});
    QTest::keyClick(sources, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(opened, Qs(DialogOf(kind)->ClassName));
    SelectRows(TViewId::SoundLayers, {0});
    TListView* sounds = window_->View(TViewId::SoundEvents);
    const int soundsBefore = window_->Model(TViewId::SoundEvents)->rowCount();
    AnswerInTurn({cancelDialog(&opened)});
    QTest::keyClick(sounds, Qt::Key_Insert);
    QCOMPARE(opened, QString("TForm_SoundSource"));
    QCOMPARE(window_->Model(TViewId::SoundEvents)->rowCount(), soundsBefore);
    QVERIFY(pending.isEmpty());

    // In the sound event view a second Ctrl+A clears the selection.
    QTest::keyClick(sounds, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(!sounds->SelectedRows().empty());
    QTest::keyClick(sounds, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(sounds->SelectedRows().empty());
    QVERIFY(window_->Document().Selection(TViewId::SoundEvents).SelectedCount() == 0);

    // Ctrl+X cuts without asking; the clipboard holds what went.
    sounds->setFocus();
    SelectRows(TViewId::SoundEvents, {0});
    const int soundRows = window_->Model(TViewId::SoundEvents)->rowCount();
    QTest::keyClick(sounds, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(window_->Model(TViewId::SoundEvents)->rowCount(), soundRows - 1);
    QCOMPARE(clips.Sounds.Count(), 1);
  }

  // A double click on an effect row opens that kind's dialog filled from the event; OK changes
  // it through one command. The tool bar's preview asks for OpenGL only with Ctrl at the click.
  void editingDialogsAndThePreviewFromTheWindow() {
    QVERIFY(window_->OpenProjectFile(Utf8(demo_)));
    SelectRows(TViewId::GraphicLayers, {LayerWithEffects()});
    SelectRows(TViewId::GraphicEffects, {0});
    TEvent* effect = window_->Document().SelectedEvents(TViewId::GraphicEffects).front();
    const uint32_t start = effect->StartTime;
    QString opened;
    AnswerInTurn({[&](QWidget* d) {
      opened = d->objectName();
      auto* second = d->findChild<QSpinBox*>("JvSpinEdit_StartTime_Second");
      QCOMPARE(uint32_t(second->value()), start / 1000 % 60);
      second->setValue(int(start / 1000 % 60 == 59 ? 58 : start / 1000 % 60 + 1));
      d->findChild<QPushButton*>("Button_OK")->click();
    }});
    TListView* effects = window_->View(TViewId::GraphicEffects);
    emit effects->doubleClicked(window_->Model(TViewId::GraphicEffects)->index(0, 0));
    QCOMPARE(opened, Qs(DialogOf(effect->EventType)->ClassName));
    QVERIFY(effect->StartTime != start);
    window_->Document().History().Undo();
    QCOMPARE(effect->StartTime, start);

    QWidget* button = window_->findChild<QWidget*>("ToolButton_Preview");
    for (const bool ctrl : {true, false}) {
      bool asked = !ctrl;
      AnswerInTurn({[&](QWidget* modal) {
        auto* preview = qobject_cast<TForm_Preview*>(modal);
        QVERIFY(preview);
        asked = preview->OpenGLRequested();
        preview->close();
      }});
      QTest::mouseClick(button, Qt::LeftButton, ctrl ? Qt::ControlModifier : Qt::NoModifier);
      QTRY_VERIFY(!QApplication::activeModalWidget());
      QCOMPARE(asked, ctrl);
    }
  }

  // The first steps of a new project by keys and menus: Insert adds a layer that F2 renames at
  // once, and the "追加" items open their dialogs on the new, empty layer.
  void aNewLayerIsRenamedAndFilledFromTheMenus() {
    TListView* layers = window_->View(TViewId::GraphicLayers);
    layers->setFocus();
    QTest::keyClick(layers, Qt::Key_Insert);
    QTest::keyClick(layers, Qt::Key_F2);
    auto* editor = layers->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor);
    editor->setText("背景");
    QTest::keyClick(editor, Qt::Key_Return);
    QTRY_COMPARE(Cell(TViewId::GraphicLayers, 0, 0), QString("背景"));

    QString opened;
    AnswerInTurn({[&](QWidget* d) {
      opened = d->objectName();
      d->findChild<QPushButton*>("Button_OK")->click();
    }});
    window_->findChild<QAction*>("MenuItem_GraphicSource_Add_Image")->trigger();
    QCOMPARE(opened, QString("TForm_GraphicSource_Image"));
    QCOMPARE(window_->Model(TViewId::GraphicSources)->rowCount(), 1);
  }

  void theFocusedViewHasTheWindowColour() {
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    TListView* layers = window_->View(TViewId::GraphicLayers);
    TListView* sounds = window_->View(TViewId::SoundLayers);
    layers->setFocus();
    QTRY_VERIFY(layers->hasFocus());
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor menu = QApplication::palette("QMenu").color(QPalette::Window);
    QVERIFY(window != menu);
    QCOMPARE(layers->viewport()->palette().color(QPalette::Base), window);
    window_->View(TViewId::GraphicSources)->setEnabled(true);
    window_->View(TViewId::GraphicSources)->setFocus();
    QTRY_COMPARE(layers->viewport()->palette().color(QPalette::Base), menu);
    QCOMPARE(sounds->palette().color(QPalette::Base), menu);
  }

  void menuKeyAndShiftF10OpenTheContextMenu() {
    TListView* layers = window_->View(TViewId::GraphicLayers);
    layers->setFocus();
    for (auto [key, mods] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
      QTest::keyClick(layers, key, mods);
      QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(window_->Menu(TViewId::GraphicLayers)));
      window_->Menu(TViewId::GraphicLayers)->close();
      QTRY_VERIFY(!QApplication::activePopupWidget());
    }
  }

  void closingAsksFirst() {
    QString question;
    AnswerInTurn({[&](QWidget* box) {
      question = qobject_cast<QMessageBox*>(box)->text();
      vexa::test::ClickMessageButton(box, "いいえ");
    }});
    QVERIFY(!window_->close());
    QCOMPARE(question, QString("本当に終了してよろしいですか？"));
    QVERIFY(window_->isVisible());
    AnswerInTurn({Click("はい")});
    QVERIFY(window_->close());
  }

  void projectSettingsAreAnUndoableChangeThatNamesTheCaption() {
    AnswerInTurn({[](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QString("TForm_ProjectSetting"));
      dialog->findChild<QLineEdit*>("Edit_ProjectName")->setText("夏");
      dialog->findChild<QPushButton*>("Button_OK")->click();
    }});
    window_->RunToolCommand(TToolCommand::ProjectSetting);
    QCOMPARE(window_->windowTitle(), QString("Vexa Studio - *夏"));  // changed since it was saved
    QCOMPARE(Qs(studio_->Project.ProjectName), QString("夏"));
    window_->Document().History().Undo();
    QCOMPARE(window_->windowTitle(), QString("Vexa Studio - 新規プロジェクト"));
  }

  // The sound render refuses to write over one of the project's sound files, and lists a
  // missing one before it starts; cancelling there writes nothing.
  void renderChecksTheOutputAndTheMediaFirst() {
    const QString folder = dir_.filePath("render");
    QVERIFY(MakeDemo(folder));
    QVERIFY(window_->OpenProjectFile(Utf8(folder + "/demo.vxpj")));
    QAction* sound = window_->RenderMenu()->findChild<QAction*>("MenuItem_Render_Sound");
    QVERIFY(sound);

    const QByteArray drums = FilesBelow(folder).at("sounds/drums.wav");
    QString refusal;
    AnswerInTurn({ChooseFile(folder + "/sounds/drums.wav", "SaveDialog_Render_Sound"), Click("はい"),
                  [&](QWidget* box) {
                    refusal = qobject_cast<QMessageBox*>(box)->text();
                    vexa::test::ClickMessageButton(box, "OK");
                  }});
    sound->trigger();
    QVERIFY2(refusal.startsWith(Qs(kMsgOutputIsInput)), qPrintable(refusal));
    QVERIFY(refusal.contains("drums.wav"));
    QCOMPARE(FilesBelow(folder).at("sounds/drums.wav"), drums);

    QVERIFY(QFile::remove(folder + "/sounds/bell.wav"));
    QString list;
    AnswerInTurn({ChooseFile(folder + "/mix.wav", "SaveDialog_Render_Sound"), [&](QWidget* box) {
                    QCOMPARE(box->objectName(), QString("MessageBox_Continue"));
                    list = qobject_cast<QMessageBox*>(box)->text();
                    vexa::test::ClickMessageButton(box, "キャンセル");
                  }});
    sound->trigger();
    QVERIFY2(list.contains("サウンドファイル「" + folder + "/sounds/bell.wav」"), qPrintable(list));
    QVERIFY(!QFile::exists(folder + "/mix.wav"));
  }

  // Every control a screen reader or a script reaches has a name.
  void theAccessibilityTreeNamesEveryControl() {
    QVERIFY(window_->OpenProjectFile(Utf8(demo_)));
    QStringList unnamed;
    int checked = 0;
    std::function<void(QAccessibleInterface*, const QString&)> walk = [&](QAccessibleInterface* a,
                                                                           const QString& path) {
      if (!a) return;
      const QString name = a->text(QAccessible::Name);
      const QAccessible::Role role = a->role();
      const QString here = path + "/" + (a->object() ? a->object()->objectName() : QString()) + "(" +
                           QString::number(role) + ")";
      switch (role) {
        case QAccessible::Button:
        case QAccessible::ButtonMenu:
        case QAccessible::PageTab:
        case QAccessible::PageTabList:
        case QAccessible::ToolBar:
        case QAccessible::MenuItem:
        case QAccessible::Table:
        case QAccessible::Tree:
        case QAccessible::List:
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::RadioButton:
        case QAccessible::CheckBox:
        case QAccessible::StaticText:
          ++checked;
          if (name.trimmed().isEmpty()) unnamed << here;
          break;
        default:
          break;
      }
      // The rows of a view are its data, named by their texts.
      if (role == QAccessible::Table || role == QAccessible::Tree || role == QAccessible::List) return;
      for (int i = 0; i < a->childCount(); ++i)
        walk(a->child(i), here);
    };
    walk(QAccessible::queryAccessibleInterface(window_.get()), "");
    for (int v = 0; v < kViewCount; ++v)
      walk(QAccessible::queryAccessibleInterface(window_->Menu(static_cast<TViewId>(v))), "menu");
    walk(QAccessible::queryAccessibleInterface(window_->RenderMenu()), "menu");
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join('\n')));
    QVERIFY2(checked > 90, qPrintable(QString::number(checked)));  // buttons, tabs, lists, labels, items
    QCOMPARE(QAccessible::queryAccessibleInterface(window_->View(TViewId::SoundLayers))->text(QAccessible::Name),
             QString("サウンドレイヤー"));
  }
};

VEXA_QT_TEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
