// The 28 editing dialogs as the builder makes them: found by their design names, edited through
// their widgets, and compared with what the form logic gives for the same edits.
#include <QComboBox>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QTreeWidget>

#include "model/event_kinds.h"
#include "preview/form_preview.h"
#include "qt_test_support.h"
#include "ui/colour_dialog.h"
#include "ui/colour_swatch.h"
#include "ui/dialog_services.h"
#include "ui/event_dialog.h"
#include "ui/logic/event_form.h"
#include "ui/number_field.h"
#include "ui/qt_text.h"

using namespace vexa;
using namespace vexa::ui;

namespace {

// The dialog's calls to its surroundings, counted.
struct THost : TEventDialogHost {
  int Previews = 0, SampleSelects = 0, FrameSelects = 0;
  void Preview(const TEventForm&, QWidget*) override { ++Previews; }
  void SelectSampleRange(TEventForm& form, QWidget*) override {
    ++SampleSelects;
    form.SetSpin("JvSpinEdit_EndSample", 44099);  // as a selector would hand it back
  }
  void SelectFrameRange(TEventForm&, QWidget*) override { ++FrameSelects; }
};

// Every field of the two events is the same.
void ExpectSameEvent(const TEvent& got, const TEvent& want) {
  QCOMPARE(got.EventType, want.EventType);
  QCOMPARE(got.StartTime, want.StartTime);
  QCOMPARE(got.EndTime, want.EndTime);
  for (const TParamDesc& p : KindInfo(got.EventType)->Params) {
    if (p.IsString())
      QVERIFY2(GetParamString(p, got) == GetParamString(p, want), p.Field.data());
    else
      QVERIFY2(GetParamInt(p, got) == GetParamInt(p, want),
               qPrintable(QString("%1: %2 != %3").arg(p.Field.data()).arg(GetParamInt(p, got)).arg(GetParamInt(p, want))));
  }
}

template <class W>
W* Find(QWidget* dialog, const char* name) {
  auto* w = dialog->findChild<W*>(name);
  if (!w) qWarning("no %s", name);
  return w;
}

// What OK on the dialog writes into a new event of its kind.
std::unique_ptr<TEvent> Written(const TEventForm& form) {
  std::unique_ptr<TEvent> e = NewEvent(form.Kind());
  form.WriteEvent(*e);
  return e;
}

}  // namespace

class TestEventDialogs : public QObject {
  Q_OBJECT

 private slots:
  void everyDialogOpensAndGivesItsInitialValuesOnOk_data() {
    QTest::addColumn<int>("kind");
    for (const TDialogDescriptor& d : AllDialogs())
      QTest::newRow(d.ClassName.data()) << int(d.Kind);
  }

  void everyDialogOpensAndGivesItsInitialValuesOnOk() {
    QFETCH(int, kind);
    const TDialogDescriptor& d = *DialogOf(kind);
    TEventForm form(d);
    THost host;
    TEventDialog dialog(form, host);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.objectName(), QString::fromUtf8(d.ClassName.data(), qsizetype(d.ClassName.size())));
    QCOMPARE(dialog.windowTitle(), Qs(d.Caption));

    // Every control is there under its design name, visible, named for assistive tools, and not
    // squeezed below what it needs.
    for (const TControlDesc& c : d.Controls) {
      const QString name = Qs(c.Name);
      QWidget* w = dialog.findChild<QWidget*>(name);
      QVERIFY2(w, qPrintable(name));
      QVERIFY2(w->isVisible(), qPrintable(name));
      QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(name));
      // The start and end fields of a pair carry no heading of their own: their tips tell them apart.
      if ((c.Kind == TControlKind::SpinEdit || c.Kind == TControlKind::ComboBox) && (name.contains("_Start") || name.contains("_End")))
        QVERIFY2(w->toolTip().endsWith(name.contains("_Start") ? "開始" : "終了"), qPrintable(name));
      QVERIFY2(w->width() >= w->minimumSizeHint().width() && w->height() >= w->minimumSizeHint().height(),
               qPrintable(name));
      if (c.Kind == TControlKind::SpinEdit) {
        auto* field = qobject_cast<TNumberField*>(w);
        QCOMPARE(field->minimum(), int(c.Min));
        QCOMPARE(field->value(), int(c.Initial));
      }
    }
    for (QGroupBox* g : dialog.findChildren<QGroupBox*>())
      QVERIFY(!g->title().isEmpty() && g->accessibleName() == g->title());
    QCOMPARE(dialog.findChild<QWidget*>("Button_Preview") != nullptr, d.HasPreview);

    Find<QPushButton>(&dialog, "Button_OK")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    std::unique_ptr<TEvent> expected = NewEventFromDialog(kind);
    ExpectSameEvent(*Written(form), *expected);
  }

  // Text: times, memo, font label and font dialog, alignment, colour type, swatch, file, blend.
  void textDialogEditsGoToTheForm() {
    const TDialogDescriptor& d = *DialogOf(kind::Text);
    TEventForm form(d), expected(d);
    THost host;
    TEventDialog dialog(form, host);
    dialog.show();

    Find<TNumberField>(&dialog, "JvSpinEdit_StartTime_Second")->setValue(5);
    expected.SetSpin("JvSpinEdit_StartTime_Second", 5);
    Find<TNumberField>(&dialog, "JvSpinEdit_EndTime_Minute")->setValue(2);
    expected.SetSpin("JvSpinEdit_EndTime_Minute", 2);
    auto* memo = Find<QTextEdit>(&dialog, "Memo_Text");
    memo->setPlainText("一行目\n二行目");
    expected.SetText("Memo_Text", "一行目\r\n二行目");
    Find<QRadioButton>(&dialog, "RadioButton_Align_Right")->click();
    expected.ClickRadio("RadioButton_Align_Right");
    QCOMPARE(memo->document()->defaultTextOption().alignment(), Qt::AlignRight);
    Find<QRadioButton>(&dialog, "RadioButton_ColorType_Image")->click();
    expected.ClickRadio("RadioButton_ColorType_Image");
    Find<TColourSwatch>(&dialog, "Shape_Color")->SetColour(0x00336699);
    expected.SetColor("Shape_Color", 0x00336699);
    QVERIFY(memo->textColor() != ColourFromBgr(0x00336699));  // the memo's colour does not follow
    Find<QLineEdit>(&dialog, "JvFilenameEdit")->setText("/tmp/texture.png");
    expected.SetText("JvFilenameEdit", "/tmp/texture.png");
    Find<QRadioButton>(&dialog, "RadioButton_BlendMode_Add")->click();
    expected.ClickRadio("RadioButton_BlendMode_Add");

    // The font dialog opens on the label's font; OK without touching it keeps the design's
    // typeface name, though another face renders it here.
    auto* label = Find<QLabel>(&dialog, "Label_Font");
    QCOMPARE(label->text(), Qs("ＭＳ Ｐゴシック"));
    test::WhenModalOpens([](QWidget* modal) {
      auto* fonts = qobject_cast<QFontDialog*>(modal);
      QVERIFY(fonts);
      QCOMPARE(fonts->currentFont().pointSize(), 10);
      fonts->accept();
    });
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(QString::fromStdString(form.Font().Name), Qs("ＭＳ Ｐゴシック"));
    // Another family, size and style picked: label and memo take them at once.
    test::WhenModalOpens([](QWidget* modal) {
      auto* fonts = qobject_cast<QFontDialog*>(modal);
      QFont f("DejaVu Sans Mono");
      f.setPointSize(20);
      f.setStyleName("Bold Oblique");  // as the user picks it in the style list
      fonts->setCurrentFont(f);
      fonts->accept();
    });
    QTest::keyClick(label, Qt::Key_Space);
    expected.SetFont({"DejaVu Sans Mono", 20, 3});
    QCOMPARE(label->text(), QString("DejaVu Sans Mono"));
    QCOMPARE(memo->font().family(), QString("DejaVu Sans Mono"));
    QVERIFY(memo->font().bold() && memo->font().italic());  // asked for: a machine may lack the face

    Find<QPushButton>(&dialog, "Button_OK")->click();
    ExpectSameEvent(*Written(form), *Written(expected));
  }

  // Position, size and the layer order: direction lists, negative limits, unit switches, the
  // layer list; sound: sample range and the range button.
  void listsUnitsAndRangesGoToTheForm() {
    THost host;
    {
      const TDialogDescriptor& d = *DialogOf(kind::Position);
      TEventForm form(d), expected(d);
      TEventDialog dialog(form, host);
      auto* combo = Find<QComboBox>(&dialog, "ComboBox_EndDirection");
      QCOMPARE(combo->count(), 9);
      QCOMPARE(combo->itemText(4), Qs("中央"));
      QVERIFY(!combo->isEditable());
      combo->setCurrentIndex(8);
      expected.SelectCombo("ComboBox_EndDirection", 8);
      Find<TNumberField>(&dialog, "JvSpinEdit_StartX")->setValue(-4500);  // cut to its limit
      expected.SetSpin("JvSpinEdit_StartX", -4000);
      Find<QRadioButton>(&dialog, "RadioButton_PositionType_Direction")->click();
      expected.ClickRadio("RadioButton_PositionType_Direction");
      ExpectSameEvent(*Written(form), *Written(expected));
    }
    {
      // A new resize takes 4000 in its first unit; switching to pixels and back cuts to 100.
      const TDialogDescriptor& d = *DialogOf(kind::Size);
      TEventForm form(d);
      TEventDialog dialog(form, host);
      auto* width = Find<TNumberField>(&dialog, "JvSpinEdit_StartX");
      QCOMPARE(width->maximum(), 4000);
      width->setValue(4000);
      Find<QRadioButton>(&dialog, "RadioButton_SizeType_Pixel")->click();
      Find<QRadioButton>(&dialog, "RadioButton_SizeType_PercentFrame")->click();
      QCOMPARE(width->maximum(), 100);
      QCOMPARE(width->value(), 100);
      QCOMPARE(form.Spin("JvSpinEdit_StartX").Value(), 100);
    }
    {
      const TDialogDescriptor& d = *DialogOf(kind::SwapLayer);
      TEventForm form(d);
      form.SetLayerNames({"背景", "人物", "文字"});
      TEventDialog dialog(form, host);
      auto* list = Find<QTreeWidget>(&dialog, "ListView_GraphicLayerList");
      QCOMPARE(list->headerItem()->text(0), Qs("レイヤー名"));
      QCOMPARE(list->topLevelItemCount(), 3);
      list->setCurrentItem(list->topLevelItem(2));
      QCOMPARE(Find<TNumberField>(&dialog, "JvSpinEdit_Index")->value(), 2);
      QCOMPARE(Find<QLineEdit>(&dialog, "Edit_LayerName")->text(), Qs("文字"));
      QVERIFY(Find<QRadioButton>(&dialog, "RadioButton_Target_Index")->isChecked());
      QCOMPARE(list->palette().color(QPalette::Inactive, QPalette::Highlight),
               list->palette().color(QPalette::Active, QPalette::Highlight));
    }
    {
      const TDialogDescriptor& d = *DialogOf(kind::Sound);
      TEventForm form(d), expected(d);
      TEventDialog dialog(form, host);
      Find<TNumberField>(&dialog, "JvSpinEdit_EndPan")->setValue(-128);
      expected.SetSpin("JvSpinEdit_EndPan", -128);
      Find<QPushButton>(&dialog, "Button_SampleSelect")->click();
      QCOMPARE(host.SampleSelects, 1);
      // What the selector handed back shows in the field.
      QCOMPARE(Find<TNumberField>(&dialog, "JvSpinEdit_EndSample")->value(), 44099);
      expected.SetSpin("JvSpinEdit_EndSample", 44099);
      Find<QPushButton>(&dialog, "Button_Preview")->click();
      QCOMPARE(host.Previews, 1);
      ExpectSameEvent(*Written(form), *Written(expected));
    }
  }

  // An edited event changes only through OK; cancel (also Esc) leaves it as it was, even after
  // the controls were changed.
  void cancelLeavesTheLoadedEventAlone() {
    TGraphicEffectTrimEvent e;
    e.StartTime = 5000;
    e.EndTime = 3000;
    e.TrimType = 0;
    e.StartX2 = 640;
    const TDialogDescriptor& d = *DialogOf(kind::Trim);
    TEventForm form(d);
    form.LoadEvent(e);
    THost host;
    {
      TEventDialog dialog(form, host);
      // A pixel value above 100 shows unchanged after the unit was loaded.
      QCOMPARE(Find<TNumberField>(&dialog, "JvSpinEdit_StartX2")->value(), 640);
      Find<TNumberField>(&dialog, "JvSpinEdit_EndY")->setValue(30);
      dialog.show();
      QTest::keyClick(&dialog, Qt::Key_Escape);
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
    // The opener writes only on OK; the form kept the untouched fields as loaded.
    TEventForm fresh(d);
    fresh.LoadEvent(e);
    ExpectSameEvent(*Written(fresh), e);
  }

  // Arrows step past a limit into the next field; typing past a limit gives the limit.
  void timeFieldsCarryAndClamp() {
    TEventForm form(*DialogOf(kind::Fade));
    THost host;
    TEventDialog dialog(form, host);
    dialog.show();
    auto* ms = Find<TNumberField>(&dialog, "JvSpinEdit_StartTime_Millisecond");
    auto* second = Find<TNumberField>(&dialog, "JvSpinEdit_StartTime_Second");
    auto* minute = Find<TNumberField>(&dialog, "JvSpinEdit_StartTime_Minute");
    second->setValue(59);
    ms->setValue(999);
    ms->stepBy(1);
    QCOMPARE(ms->value(), 0);
    QCOMPARE(second->value(), 0);
    QCOMPARE(minute->value(), 1);
    QCOMPARE(form.TimeValue(TTimeSlot::StartTime), 60000u);
    ms->stepBy(-1);
    QCOMPARE(form.TimeValue(TTimeSlot::StartTime), 59999u);

    minute->setFocus();
    minute->selectAll();
    QTest::keyClicks(minute, "75");
    QCOMPARE(minute->value(), 59);
    QCOMPARE(form.Spin("JvSpinEdit_StartTime_Minute").Value(), 59);
    // 9:59:59.999 is as far as a time goes.
    Find<TNumberField>(&dialog, "JvSpinEdit_StartTime_Hour")->setValue(9);
    second->setValue(59);
    ms->setValue(999);
    ms->stepBy(1);
    QCOMPARE(form.TimeValue(TTimeSlot::StartTime), 35999999u);
  }

  // "プレビュー" plays the dialog's event in the preview window, on a copy: the form is untouched.
  void previewButtonOpensThePreviewWindow() {
    TDialogServices services([] { return TPreviewFormat{64, 48, 30, 0x0000FF}; }, {});
    services.PreviewSetup.RenderSound = [](const TProject&, const std::string&) { return false; };
    TEventForm form(*DialogOf(kind::Text));
    form.SetText("Memo_Text", "Vexa");
    form.SetTime(TTimeSlot::EndTime, 2000);
    TEventDialog dialog(form, services);
    dialog.show();
    bool opened = false;
    test::WhenModalOpens([&](QWidget* modal) {
      auto* preview = qobject_cast<TForm_Preview*>(modal);
      QVERIFY(preview);
      opened = true;
      QCOMPARE(preview->Picture()->size(), QSize(64, 48));
      QTRY_VERIFY(preview->Stats().FramesPainted > 0);
      preview->close();
    });
    Find<QPushButton>(&dialog, "Button_Preview")->click();
    QVERIFY(opened);
    QCOMPARE(form.TimeValue(TTimeSlot::EndTime), 2000u);
  }
};

VEXA_QT_TEST_MAIN(TestEventDialogs)
#include "event_dialogs_test.moc"
