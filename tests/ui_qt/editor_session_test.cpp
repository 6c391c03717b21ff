// The main window's undo and redo, the start-up recovery question, the relink dialog, files
// dropped from the file manager and the recent projects, through the widgets.
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPointer>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>
#include <fstream>

#include "model/event_kinds.h"
#include "persist/project_file.h"
#include "qt_test_support.h"
#include "render/studio.h"
#include "ui/form_main.h"
#include "ui/list_view.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/project_document.h"
#include "ui/logic/recent_projects.h"
#include "ui/logic/recovery_store.h"
#include "ui/qt_text.h"
#include "ui/row_table_model.h"

using namespace vexa;
using namespace vexa::ui;
namespace fs = std::filesystem;

namespace {

using test::AnswerInTurn;
using test::Click;
using test::TAnswer;

void Touch(const std::string& path) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path) << "x";
}

class TestEditorSession : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<TVexaStudio> studio_;
  std::unique_ptr<TForm_Main> window_;

  std::string Path(const QString& name) const { return Utf8(dir_.filePath(name)); }
  // A graphic layer "G" with text sources "A", "B", "C" shown in the window, the layer selected.
  void ThreeTexts() {
    TGraphicLayer& g = *NewGraphicLayer(studio_->Project.GraphicLayers, -1);
    g.Name = "G";
    uint32_t t = 0;
    for (const char* text : {"A", "B", "C"}) {
      auto e = NewEventWithInitialValues(kind::Text);
      e->StartTime = t;
      e->EndTime = t += 1000;
      static_cast<TGraphicSourceTextEvent&>(*e).Text = text;
      g.ListForKind(kind::Text)->Add(std::move(e));
    }
    window_->Document().ProjectReplaced();
    SelectRows(TViewId::GraphicLayers, {0});
  }
  void SelectRows(TViewId v, const std::vector<int>& rows) {
    TListView* view = window_->View(v);
    view->setFocus();
    if (!rows.empty()) view->setCurrentIndex(view->model()->index(rows.front(), 0));
    view->SelectRows(rows);
  }
  // The source view as shown: its texts and its selected rows.
  QString Shown() const {
    TListView* view = window_->View(TViewId::GraphicSources);
    QStringList texts;
    for (int r = 0; r < view->model()->rowCount(); ++r)
      texts << view->model()->index(r, 3).data().toString();
    QStringList selected;
    for (int r : view->SelectedRows())
      selected << QString::number(r);
    return texts.join(',') + " / " + selected.join(',');
  }
  QToolButton* Button(const char* name) const { return window_->findChild<QToolButton*>(name); }
  // A project with one picture source at media/pic.png, written with its layer file.
  std::string ProjectWithPicture(const QString& folder) {
    TProject p;
    p.ProjectName = "写真";
    p.FileName = Path(folder + "/p.vxpj");
    TGraphicLayer& g = *NewGraphicLayer(p.GraphicLayers, -1);
    g.Name = "G";
    g.FileName = Path(folder + "/g.vxgl");
    auto e = NewEventWithInitialValues(kind::Image);
    e->EndTime = 1000;
    static_cast<TGraphicSourceImageEvent&>(*e).FileName = Path(folder + "/media/pic.png");
    g.ListForKind(kind::Image)->Add(std::move(e));
    Touch(Path(folder + "/media/pic.png"));
    SaveProject(p, true);
    return p.FileName;
  }

  // The window's keys act while it is the active window (again after a modal box closed).
  void ActivateWindow() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

 private slots:
  void initTestCase() { QVERIFY(dir_.isValid()); }
  void init() {
    studio_ = std::make_unique<TVexaStudio>();
    window_ = std::make_unique<TForm_Main>(*studio_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    ActivateWindow();
  }
  void cleanup() {
    window_.reset();
    studio_.reset();
  }

  // A paste and a delete, undone and done again with the keys and the buttons: the rows and
  // the selection come back as they were, the buttons name the next step.
  void undoAndRedoRestoreRowsAndSelection() {
    ThreeTexts();
    QToolButton* undo = Button("ToolButton_Undo");
    QToolButton* redo = Button("ToolButton_Redo");
    QVERIFY(undo && redo);
    QCOMPARE(undo->accessibleName(), QString("元に戻す"));
    QCOMPARE(redo->accessibleName(), QString("やり直し"));
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());

    TListView* sources = window_->View(TViewId::GraphicSources);
    SelectRows(TViewId::GraphicSources, {1});
    QTest::keyClick(sources, Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(sources, Qt::Key_V, Qt::ControlModifier);
    const QString pasted = Shown();
    QCOMPARE(pasted, QString("A,B,B,C / 1"));
    QCOMPARE(undo->toolTip(), QString("元に戻す: 貼り付け"));
    SelectRows(TViewId::GraphicSources, {0, 3});
    const QString beforeDelete = Shown();
    AnswerInTurn({Click("はい")});
    QTest::keyClick(sources, Qt::Key_Delete);
    ActivateWindow();
    const QString deleted = Shown();
    QCOMPARE(deleted.section(" / ", 0, 0), QString("B,B"));
    QCOMPARE(undo->toolTip(), QString("元に戻す: 削除"));
    QVERIFY(!redo->isEnabled());

    QTest::keyClick(sources, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(Shown(), beforeDelete);
    QCOMPARE(undo->toolTip(), QString("元に戻す: 貼り付け"));
    QCOMPARE(redo->toolTip(), QString("やり直し: 削除"));
    QVERIFY(redo->isEnabled());
    undo->click();
    QCOMPARE(Shown(), QString("A,B,C / 1"));
    QVERIFY(!undo->isEnabled());
    QCOMPARE(undo->toolTip(), QString("元に戻す"));
    // From another view too: the keys belong to the whole window.
    QTest::keyClick(window_->View(TViewId::GraphicLayers), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(Shown(), pasted);
    redo->click();
    QCOMPARE(Shown(), deleted);
    QVERIFY(!redo->isEnabled());
    QVERIFY(window_->windowTitle().startsWith("*"));
  }

  // A recovery left in the state folder is offered before anything else: "破棄" removes it,
  // "復元" opens it as unsaved work and keeps a recovery of this run in its place.
  void startUpOffersTheRecoveredProject() {
    qputenv("XDG_STATE_HOME", dir_.filePath("state").toUtf8());
    const std::string root = DefaultRecoveryRoot();
    QVERIFY(root.starts_with(Path("state")));
    auto leaveRecovery = [&] {
      TProject p;
      p.ProjectName = "回復";
      NewGraphicLayer(p.GraphicLayers, -1)->Name = "R";
      TRecoverySession crashed(root);
      crashed.Write(p, 3, true);
      // A copy its program never cleans up, as a crash leaves it.
      fs::copy(crashed.Folder(), root + "/session-left", fs::copy_options::recursive);
    };

    leaveRecovery();
    QString question;
    AnswerInTurn({[&](QWidget* box) {
      question = qobject_cast<QMessageBox*>(box)->text();
      vexa::test::ClickMessageButton(box, "破棄");
    }});
    QVERIFY(!window_->StartSession({root, Path("config.ini")}));
    QVERIFY(question.contains("回復"));
    QVERIFY(!fs::exists(root + "/session-left"));
    QCOMPARE(window_->windowTitle(), QString("Vexa Studio"));

    leaveRecovery();
    AnswerInTurn({Click("復元")});
    QVERIFY(window_->StartSession({root, Path("config.ini")}));
    QCOMPARE(window_->windowTitle(), QString("Vexa Studio - *回復"));
    QCOMPARE(window_->Model(TViewId::GraphicLayers)->index(0, 0).data().toString(), QString("R"));
    QVERIFY(window_->Document().IsModified());
    QVERIFY(!fs::exists(root + "/session-left"));
    QVERIFY(FindRecoveredProjects(root).empty());  // this run's own copy is locked
    QVERIFY(window_->AutosaveTimer()->isActive());
  }

  // An opened project whose picture moved: the dialog lists it, a folder search relinks it as
  // one undoable step and the dialog closes.
  void relinkDialogSearchesAFolder() {
    const std::string project = ProjectWithPicture("relink");
    fs::create_directories(Path("moved/deep"));
    fs::rename(Path("relink/media/pic.png"), Path("moved/deep/pic.png"));
    int listed = 0;
    AnswerInTurn({[&](QWidget* dialog) {
                    QCOMPARE(dialog->objectName(), QString("TForm_Relink"));
                    listed = dialog->findChild<QTreeWidget*>("ListView_Missing")->topLevelItemCount();
                    dialog->findChild<QPushButton*>("Button_SearchFolder")->click();
                  },
                  [&](QWidget* modal) {
                    auto* folders = qobject_cast<QFileDialog*>(modal);
                    QVERIFY(folders);
                    QCOMPARE(folders->objectName(), QString("FolderDialog_Relink"));
                    folders->findChild<QLineEdit*>("fileNameEdit")->setText(dir_.filePath("moved"));
                    QMetaObject::invokeMethod(folders, "accept", Qt::DirectConnection);
                  }});
    QVERIFY(window_->OpenProjectFile(project));
    const auto image = [&]() -> const TGraphicSourceImageEvent& {
      return static_cast<const TGraphicSourceImageEvent&>(*(*studio_->Project.GraphicLayers[0]->ListForKind(kind::Image))[0]);
    };
    const std::string before = image().FileName;
    QTRY_COMPARE(image().FileName, Path("moved/deep/pic.png"));
    QCOMPARE(listed, 1);
    QTRY_VERIFY(!QApplication::activeModalWidget());
    QCOMPARE(Button("ToolButton_Undo")->toolTip(), QString("元に戻す: メディアの再リンク"));
    Button("ToolButton_Undo")->click();
    QCOMPARE(image().FileName, before);
  }

  // A picture dragged from the file manager onto the source list becomes a picture source at
  // the end of the shown layer; a link that is not a local file is not taken.
  void aDroppedPictureBecomesASourceEvent() {
    ThreeTexts();
    const std::string picture = Path("drop/pic.png");
    Touch(picture);
    QWidget* target = window_->View(TViewId::GraphicSources)->viewport();
    QMimeData web;
    web.setUrls({QUrl("https://example.org/pic.png")});
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &refused);
    QVERIFY(!refused.isAccepted());

    QMimeData local;
    local.setUrls({QUrl::fromLocalFile(Qs(picture)), QUrl("https://example.org/other.png")});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QTRY_COMPARE(window_->Model(TViewId::GraphicSources)->rowCount(), 4);
    const TEvent* added = window_->Document().EventRows(TViewId::GraphicSources)[3].Event;
    QCOMPARE(added->EventType, kind::Image);
    QCOMPARE(static_cast<const TGraphicSourceImageEvent*>(added)->FileName, picture);
    QCOMPARE(added->StartTime, 3000u);
    QCOMPARE(Button("ToolButton_Undo")->toolTip(), QString("元に戻す: ファイルの追加"));
  }

  // "開く" drops down the projects opened last, newest first; a vanished one goes with a
  // message, an existing one opens after the question.
  void recentProjectsOpenFromTheDropDown() {
    const std::string settings = Path("recent/vexa-studio.ini");
    window_->StartSession({{}, settings});
    auto write = [&](const char* name) {
      TProject p;
      p.ProjectName = name;
      p.FileName = Path(QString("recent/%1.vxpj").arg(name));
      SaveProject(p, false);
      return p.FileName;
    };
    fs::create_directories(Path("recent"));
    const std::string a = write("A"), b = write("B"), gone = write("C");
    QVERIFY(window_->OpenProjectFile(a));
    QVERIFY(window_->OpenProjectFile(b));
    QVERIFY(window_->OpenProjectFile(gone));
    fs::remove(gone);

    auto* open = Button("ToolButton_Open");
    QCOMPARE(open->popupMode(), QToolButton::MenuButtonPopup);
    QCOMPARE(open->menu(), window_->RecentMenu());
    QMenu* menu = window_->RecentMenu();
    emit menu->aboutToShow();
    QStringList listed;
    for (QAction* item : menu->actions())
      listed << item->data().toString();
    QCOMPARE(listed, QStringList({Qs(gone), Qs(b), Qs(a)}));

    QString message;
    AnswerInTurn({[&](QWidget* box) {
      message = qobject_cast<QMessageBox*>(box)->text();
      vexa::test::ClickMessageButton(box, "OK");
    }});
    menu->findChild<QAction*>("MenuItem_Recent_1")->trigger();
    QTRY_VERIFY(message.contains(Qs(gone)));
    QTRY_COMPARE(TRecentProjects(settings).Entries(), (std::vector<std::string>{b, a}));

    emit menu->aboutToShow();
    AnswerInTurn({Click("はい")});
    menu->findChild<QAction*>("MenuItem_Recent_2")->trigger();
    QTRY_COMPARE(studio_->Project.FileName, a);
    QCOMPARE(TRecentProjects(settings).Entries().front(), a);
  }
};

}  // namespace

VEXA_QT_TEST_MAIN(TestEditorSession)
#include "editor_session_test.moc"
