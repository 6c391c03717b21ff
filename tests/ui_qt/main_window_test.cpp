// The main window through its widgets: the demo project opened from a file shows its layers
// and events, the menu keys reach the focused view's command, and closing asks first.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QSignalSpy>
#include <QSpinBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QToolButton>

#include "qt_test_support.h"
#include "render/studio.h"
#include "ui/form_event_adjust.h"
#include "ui/form_main.h"
#include "ui/list_view.h"
#include "ui/logic/event_rows.h"
#include "ui/qt_text.h"
#include "ui/row_table_model.h"

using namespace vexa;
using namespace vexa::ui;

class TestMainWindow : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString demo_;
  std::unique_ptr<TVexaStudio> studio_;
  std::unique_ptr<TForm_Main> window_;

  QString Cell(TView v, int row, int column) const {
    return window_->Model(v)->index(row, column).data().toString();
  }
  void SelectLayer(TView v, int row) {
    TListView* view = window_->View(v);
    view->setFocus();
    view->setCurrentIndex(view->model()->index(row, 0));
    view->SelectRows({row});
  }
  // The first graphic layer with both source and effect events.
  int LayerWithEffects() const {
    const auto& layers = studio_->Project.GraphicLayers;
    for (int i = 0; i < layers.Count(); ++i)
      if (!EffectViewEvents(*layers[i]).empty() && !SourceViewEvents(*layers[i]).empty()) return i;
    return -1;
  }

 private slots:
  void initTestCase() {
    QVERIFY(dir_.isValid());
    QProcess make;
    make.start(VEXA_MAKE_EXAMPLE, {dir_.filePath("demo")});
    QVERIFY(make.waitForFinished(120000));
    QCOMPARE(make.exitCode(), 0);
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
    QVERIFY(!window_->View(TView::GraphicSource)->isEnabled());
    QCOMPARE(window_->View(TView::GraphicEffect)->accessibleName(), QString("グラフィックエフェクトイベント"));
    QCOMPARE(window_->Model(TView::SoundSource)->headerData(3, Qt::Horizontal, Qt::DisplayRole).toString(),
             QString("エフェクト"));
    // Every menu item has a caption and a design-pattern name.
    for (int v = 0; v < kViewCount; ++v)
      for (QAction* a : window_->Menu(static_cast<TView>(v))->findChildren<QAction*>())
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
    QCOMPARE(window_->Model(TView::GraphicLayer)->rowCount(), project.GraphicLayers.Count());
    QCOMPARE(window_->Model(TView::SoundLayer)->rowCount(), project.SoundLayers.Count());
    QVERIFY(project.GraphicLayers.Count() > 1);
    QCOMPARE(Cell(TView::GraphicLayer, 0, 0), Qs(project.GraphicLayers[0]->Name));
    // The file column shows the file name without its folder.
    QVERIFY(!Cell(TView::GraphicLayer, 0, 1).isEmpty());
    QVERIFY(!Cell(TView::GraphicLayer, 0, 1).contains('/'));

    const int layer = LayerWithEffects();
    QVERIFY(layer >= 0);
    SelectLayer(TView::GraphicLayer, layer);
    TGraphicLayer& l = *project.GraphicLayers[layer];
    QVERIFY(window_->View(TView::GraphicSource)->isEnabled());
    const auto effects = EffectViewEvents(l);
    QCOMPARE(window_->Model(TView::GraphicEffect)->rowCount(), static_cast<int>(effects.size()));
    const TEventRow row = DescribeRow(*effects.back());
    const int last = static_cast<int>(effects.size()) - 1;
    QCOMPARE(Cell(TView::GraphicEffect, last, 0), Qs(row.Caption));
    QCOMPARE(Cell(TView::GraphicEffect, last, 2), Qs(row.KindText));
    QCOMPARE(Cell(TView::GraphicEffect, last, 3), Qs(row.Summary));

    // Two selected layers: the event views empty and disabled again.
    window_->View(TView::GraphicLayer)->SelectRows({0, 1});
    QVERIFY(!window_->View(TView::GraphicEffect)->isEnabled());
    QCOMPARE(window_->Model(TView::GraphicEffect)->rowCount(), 0);

    // The sound tab.
    QVERIFY(project.SoundLayers.Count() > 0);
    SelectLayer(TView::SoundLayer, 0);
    QCOMPARE(window_->Model(TView::SoundSource)->rowCount(), static_cast<int>(SoundViewEvents(*project.SoundLayers[0]).size()));
  }

  void keysActInTheFocusedViewEvenWhenTheirItemIsDisabled() {
    QVERIFY(window_->OpenProjectFile(Utf8(demo_)));
    SelectLayer(TView::GraphicLayer, LayerWithEffects());
    QSignalSpy pending(window_.get(), &TForm_Main::PendingCommand);

    // Nothing selected in the effect view: its "コピー" is disabled, Ctrl+C still reaches it.
    TListView* effects = window_->View(TView::GraphicEffect);
    effects->setFocus();
    QVERIFY(!window_->Action(TView::GraphicEffect, TViewCommand::Copy)->isEnabled());
    QTest::keyClick(effects, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(pending.count(), 1);
    QCOMPARE(pending.takeFirst().at(0).toString(), QString("MenuItem_GraphicEffect_Copy"));
    // The same key in the source view is the source view's command.
    QTest::keyClick(window_->View(TView::GraphicSource), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(pending.takeFirst().at(0).toString(), QString("MenuItem_GraphicSource_Copy"));
    // Letters act with Ctrl alone, Delete and Insert without modifiers.
    QTest::keyClick(effects, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    QTest::keyClick(effects, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(pending.count(), 0);
    QTest::keyClick(effects, Qt::Key_Delete);
    QCOMPARE(pending.takeFirst().at(0).toString(), QString("MenuItem_GraphicEffect_Delete"));
    QTest::keyClick(window_->View(TView::GraphicLayer), Qt::Key_Insert);
    QCOMPARE(pending.takeFirst().at(0).toString(), QString("MenuItem_GraphicLayer_Add"));

    // Ctrl+A selects all rows; in the sound event view a second Ctrl+A clears the selection.
    QTest::keyClick(effects, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(static_cast<int>(effects->SelectedRows().size()), window_->Model(TView::GraphicEffect)->rowCount());
    QVERIFY(window_->Action(TView::GraphicEffect, TViewCommand::Copy)->isEnabled());
    SelectLayer(TView::SoundLayer, 0);
    TListView* sounds = window_->View(TView::SoundSource);
    QTest::keyClick(sounds, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(!sounds->SelectedRows().empty());
    QTest::keyClick(sounds, Qt::Key_A, Qt::ControlModifier);
    QVERIFY(sounds->SelectedRows().empty());
  }

  void ctrlTAdjustsTheSelectedEventsThroughTheDialog() {
    QVERIFY(window_->OpenProjectFile(Utf8(demo_)));
    SelectLayer(TView::GraphicLayer, LayerWithEffects());
    TListView* sources = window_->View(TView::GraphicSource);
    sources->SelectRows({0});
    TEvent* event = window_->SelectedEvents(TView::GraphicSource).front();
    const uint32_t start = event->StartTime;
    // The dialog: start "足す" with 1 second; then Yes to the confirmation.
    bool dialogSeen = false;
    vexa::test::WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<TForm_Event_Adjust*>(modal);
      QVERIFY(dialog);
      dialogSeen = true;
      dialog->findChild<QRadioButton*>("RadioButton_StartTime_Add")->click();
      dialog->findChild<QSpinBox*>("JvSpinEdit_StartTime_Second")->setValue(0);
      dialog->findChild<QSpinBox*>("JvSpinEdit_StartTime_Hour")->setValue(0);
      dialog->findChild<QSpinBox*>("JvSpinEdit_StartTime_Minute")->setValue(0);
      dialog->findChild<QSpinBox*>("JvSpinEdit_StartTime_Millisecond")->setValue(0);
      dialog->findChild<QSpinBox*>("JvSpinEdit_StartTime_Second")->setValue(1);
      vexa::test::WhenModalOpens([](QWidget* box) { vexa::test::ClickMessageButton(box, "はい"); });
      dialog->findChild<QPushButton*>("Button_OK")->click();
    });
    QTest::keyClick(sources, Qt::Key_T, Qt::ControlModifier);
    QVERIFY(dialogSeen);
    QCOMPARE(event->StartTime, start + 1000);
    // The row shows the new time.
    QCOMPARE(Cell(TView::GraphicSource, 0, 0), Qs(DescribeRow(*event).Caption));
  }

  void theFocusedViewHasTheWindowColour() {
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    TListView* layers = window_->View(TView::GraphicLayer);
    TListView* sounds = window_->View(TView::SoundLayer);
    layers->setFocus();
    QTRY_VERIFY(layers->hasFocus());
    const QColor window = QApplication::palette().color(QPalette::Base);
    const QColor menu = QApplication::palette("QMenu").color(QPalette::Window);
    QVERIFY(window != menu);
    QCOMPARE(layers->viewport()->palette().color(QPalette::Base), window);
    window_->View(TView::GraphicSource)->setEnabled(true);
    window_->View(TView::GraphicSource)->setFocus();
    QTRY_COMPARE(layers->viewport()->palette().color(QPalette::Base), menu);
    QCOMPARE(sounds->palette().color(QPalette::Base), menu);
  }

  void menuKeyAndShiftF10OpenTheContextMenu() {
    TListView* layers = window_->View(TView::GraphicLayer);
    layers->setFocus();
    for (auto [key, mods] : {std::pair{Qt::Key_Menu, Qt::NoModifier}, std::pair{Qt::Key_F10, Qt::ShiftModifier}}) {
      QTest::keyClick(layers, key, mods);
      QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget*>(window_->Menu(TView::GraphicLayer)));
      window_->Menu(TView::GraphicLayer)->close();
      QTRY_VERIFY(!QApplication::activePopupWidget());
    }
  }

  void closingAsksFirst() {
    QString question;
    vexa::test::WhenModalOpens([&](QWidget* box) {
      question = qobject_cast<QMessageBox*>(box)->text();
      vexa::test::ClickMessageButton(box, "いいえ");
    });
    QVERIFY(!window_->close());
    QCOMPARE(question, QString("本当に終了してよろしいですか？"));
    QVERIFY(window_->isVisible());
    vexa::test::WhenModalOpens([](QWidget* box) { vexa::test::ClickMessageButton(box, "はい"); });
    QVERIFY(window_->close());
  }

  void projectSettingsSetTheCaption() {
    vexa::test::WhenModalOpens([](QWidget* dialog) {
      QCOMPARE(dialog->objectName(), QString("TForm_ProjectSetting"));
      dialog->findChild<QPushButton*>("Button_OK")->click();
    });
    window_->RunToolCommand(TToolCommand::ProjectSetting);
    QCOMPARE(window_->windowTitle(), QString("Vexa Studio - 新規プロジェクト"));
  }
};

VEXA_QT_TEST_MAIN(TestMainWindow)
#include "main_window_test.moc"
