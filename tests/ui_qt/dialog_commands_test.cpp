// The main window's add and edit commands through the real dialogs, on the editor's document:
// where a new row goes, what cancel leaves, the row refreshed after an edit, undo.
#include <QLineEdit>
#include <QTreeWidget>

#include "model/event_kinds.h"
#include "qt_test_support.h"
#include "ui/dialog_services.h"
#include "ui/event_dialog_commands.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/project_document.h"
#include "ui/number_field.h"

using namespace vexa;
using namespace vexa::ui;

namespace {

struct TPrompt : TEditorPrompt {
  void Message(std::string_view) override {}
  bool Confirm(std::string_view) override { return true; }
  void ErrorMessage(std::string_view text) override { QFAIL(std::string(text).c_str()); }
  std::string ChooseOpenFile(const TFileChooser&) override { return {}; }
  std::vector<std::string> ChooseOpenFiles(const TFileChooser&) override { return {}; }
  std::string ChooseSaveFile(const TFileChooser&) override { return {}; }
  bool ShowAdjustDialog(TEventAdjustForm&) override { return false; }
};

struct TChangedRows : TDocumentObserver {
  std::vector<int> Rows;
  void Notice(const TDocumentNotice& n) override {
    if (n.Kind == TNoticeKind::EventChanged) Rows.push_back(n.Row);
  }
};

// Two layers; the first shown, with text sources at 0 and 1000 ms.
struct TEditor {
  TProject project;
  TProjectDocument doc{project};
  TPrompt prompt;
  TMainActions actions{doc, prompt};
  TDialogServices services{nullptr, {}};
  QWidget window;

  TEditor() {
    for (const char* name : {"背景", "文字"}) {
      TGraphicLayer& l = *NewGraphicLayer(project.GraphicLayers, -1);
      l.Name = name;
    }
    for (uint32_t start : {0u, 1000u}) {
      std::unique_ptr<TEvent> e = NewEventWithInitialValues(kind::Text);
      e->StartTime = start;
      e->EndTime = start + 500;
      project.GraphicLayers[0]->ListForKind(kind::Text)->Add(std::move(e));
    }
    doc.ProjectReplaced();
    const int first[] = {0};
    doc.SetSelection(TViewId::GraphicLayers, first, 0);
  }
  void SelectSource(int row) {
    const int rows[] = {row};
    doc.SetSelection(TViewId::GraphicSources, rows, row);
  }
  TEvent* Source(int row) const { return doc.EventRows(TViewId::GraphicSources)[row].Event; }
};

void Click(QWidget* dialog, const char* button) {
  auto* b = dialog->findChild<QPushButton*>(button);
  QVERIFY(b);
  b->click();
}

}  // namespace

class TestDialogCommands : public QObject {
  Q_OBJECT

 private slots:
  void addGoesToTheSelectedRowAndCancelAddsNothing() {
    TEditor ed;
    ed.SelectSource(1);
    test::WhenModalOpens([](QWidget* d) {
      QCOMPARE(d->objectName(), QString("TForm_GraphicSource_Image"));
      d->findChild<QLineEdit*>("JvFilenameEdit")->setText("/pictures/a.png");
      d->findChild<TNumberField*>("JvSpinEdit_EndTime_Second")->setValue(3);
      Click(d, "Button_OK");
    });
    QVERIFY(AddEventCommand(ed.doc, ed.actions, TViewId::GraphicSources, kind::Image, ed.services, &ed.window));
    QCOMPARE(ed.doc.RowCount(TViewId::GraphicSources), 3);
    auto* added = static_cast<TGraphicSourceImageEvent*>(ed.Source(1));
    QCOMPARE(added->EventType, kind::Image);
    QCOMPARE(added->FileName, std::string("/pictures/a.png"));
    QCOMPARE(added->EndTime, 3000u);
    QCOMPARE(added->BlendMode, 1);  // the dialog's initial value
    QCOMPARE(ed.doc.Selection(TViewId::GraphicSources).SelectedRows(), std::vector<int>{1});
    // One command, which undo takes back.
    ed.doc.History().Undo();
    QCOMPARE(ed.doc.RowCount(TViewId::GraphicSources), 2);

    test::WhenModalOpens([](QWidget* d) {
      d->findChild<QLineEdit*>("JvFilenameEdit")->setText("/pictures/b.png");
      Click(d, "Button_Cancel");
    });
    QVERIFY(!AddEventCommand(ed.doc, ed.actions, TViewId::GraphicSources, kind::Image, ed.services, &ed.window));
    QCOMPARE(ed.doc.RowCount(TViewId::GraphicSources), 2);
    QCOMPARE(ed.project.GraphicLayers[0]->ListForKind(kind::Image)->Count(), 0);
  }

  void editChangesOnlyOnOkAndRefreshesTheRowEitherWay() {
    TEditor ed;
    TChangedRows changed;
    ed.doc.AddObserver(changed);
    ed.SelectSource(1);
    TEvent* event = ed.Source(1);
    const std::unique_ptr<TEvent> before = CopyEvent(*event);

    test::WhenModalOpens([](QWidget* d) {
      QCOMPARE(d->findChild<TNumberField*>("JvSpinEdit_StartTime_Second")->value(), 1);
      d->findChild<TNumberField*>("JvSpinEdit_StartTime_Second")->setValue(7);
      Click(d, "Button_Cancel");
    });
    QVERIFY(!EditEventCommand(ed.doc, ed.actions, TViewId::GraphicSources, ed.services, &ed.window));
    QCOMPARE(event->StartTime, before->StartTime);
    QCOMPARE(changed.Rows, std::vector<int>{1});

    test::WhenModalOpens([](QWidget* d) {
      d->findChild<TNumberField*>("JvSpinEdit_StartTime_Second")->setValue(7);
      Click(d, "Button_OK");
    });
    QVERIFY(EditEventCommand(ed.doc, ed.actions, TViewId::GraphicSources, ed.services, &ed.window));
    QCOMPARE(event->StartTime, 7000u);
    QCOMPARE(ed.Source(1), event);  // changed in place: the row keeps its event
    ed.doc.History().Undo();
    QCOMPARE(event->StartTime, 1000u);
    ed.doc.RemoveObserver(changed);
  }

  void layerOrderDialogListsTheGraphicLayers() {
    TEditor ed;
    bool listed = false;
    test::WhenModalOpens([&](QWidget* d) {
      auto* list = d->findChild<QTreeWidget*>("ListView_GraphicLayerList");
      QCOMPARE(list->topLevelItemCount(), 2);
      QCOMPARE(list->topLevelItem(1)->text(0), QString::fromUtf8("文字"));
      listed = true;
      Click(d, "Button_Cancel");
    });
    QVERIFY(!AddEventCommand(ed.doc, ed.actions, TViewId::GraphicEffects, kind::SwapLayer, ed.services, &ed.window));
    QVERIFY(listed);
  }
};

VEXA_QT_TEST_MAIN(TestDialogCommands)
#include "dialog_commands_test.moc"
