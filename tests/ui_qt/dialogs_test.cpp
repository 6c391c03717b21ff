// The dialogs over their form models: what the fields start with, what they hand back, and
// the behaviour the widgets add (steps, no input method, enabling).
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include "model/project.h"
#include "qt_test_support.h"
#include "ui/codec_dialog.h"
#include "ui/colour_swatch.h"
#include "ui/file_dialog.h"
#include "ui/form_event_adjust.h"
#include "ui/form_project_setting.h"
#include "ui/logic/event_adjust_form.h"
#include "ui/logic/project_setting_form.h"
#include "ui/number_field.h"

using namespace vexa;
using namespace vexa::ui;

class TestDialogs : public QObject {
  Q_OBJECT

 private slots:
  void projectSettingsRoundTrip() {
    TProject project;
    project.ProjectName = "旧名";
    project.BackColor = 0x0000FF;
    TProjectSettingForm form(project);
    TForm_ProjectSetting dialog(form);
    dialog.show();

    auto* width = dialog.findChild<TNumberField*>("JvSpinEdit_Width");
    QVERIFY(width);
    QCOMPARE(width->value(), 640);
    QCOMPARE(width->minimum(), 100);
    QCOMPARE(width->maximum(), 4000);
    // Steps of 4, and no input-method composition in the number fields.
    width->stepUp();
    QCOMPARE(width->value(), 644);
    QVERIFY(!width->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(width->inputMethodHints() & Qt::ImhDigitsOnly);
    QCOMPARE(dialog.findChild<TNumberField*>("JvSpinEdit_FPS")->maximum(), 60);

    dialog.findChild<QLineEdit*>("Edit_ProjectName")->setText("新名");
    dialog.findChild<TNumberField*>("JvSpinEdit_FPS")->setValue(24);
    auto* swatch = dialog.findChild<TColourSwatch*>("Shape_BackColor");
    QCOMPARE(swatch->cursor().shape(), Qt::PointingHandCursor);
    swatch->SetColour(0x00FF00);
    dialog.findChild<QPushButton*>("Button_OK")->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));

    const TProjectSettings v = form.Values();
    QCOMPARE(QString::fromStdString(v.ProjectName), QString("新名"));
    QCOMPARE(v.Width, 644u);
    QCOMPARE(v.FPS, 24u);
    QCOMPARE(v.BackColor, 0x00FF00);
    // The dialog hands values back and leaves the project alone: OK's command changes it.
    QCOMPARE(QString::fromStdString(project.ProjectName), QString("旧名"));
  }

  void projectSettingsCancelKeepsTheForm() {
    TProject project;
    TProjectSettingForm form(project);
    TForm_ProjectSetting dialog(form);
    dialog.findChild<QLineEdit*>("Edit_ProjectName")->setText("x");
    dialog.findChild<TColourSwatch*>("Shape_BackColor")->SetColour(0x123456);
    dialog.findChild<QPushButton*>("Button_Cancel")->click();
    QCOMPARE(form.Values(), TProjectSettings::Of(project));
  }

  void adjustDialogShowsTheFormAndForwardsChanges() {
    TEventAdjustForm form;
    TGraphicSourceTextEvent e;
    e.StartTime = 5000;
    e.EndTime = 6500;
    form.Open(e);
    TForm_Event_Adjust dialog(form);
    dialog.show();
    auto spin = [&](const char* name) { return dialog.findChild<TNumberField*>(name); };
    QCOMPARE(spin("JvSpinEdit_StartTime_Second")->value(), 5);
    QCOMPARE(spin("JvSpinEdit_EnableTime_MilliSecond")->value(), 500);
    QCOMPARE(spin("JvSpinEdit_EnableTime_Second")->value(), 1);
    // The interval field moves the end.
    spin("JvSpinEdit_EnableTime_Second")->setValue(3);
    QCOMPARE(form.TimeValue(TEventAdjustForm::End), 8500u);
    QCOMPARE(spin("JvSpinEdit_EndTime_Second")->value(), 8);
    // One beat per bar leaves no beat to choose.
    spin("JvSpinEdit_Rhythm_Beat_Numerator")->setValue(1);
    QVERIFY(!spin("JvSpinEdit_Rhythm_Note")->isEnabled());
    spin("JvSpinEdit_Rhythm_Beat_Numerator")->setValue(3);
    QVERIFY(spin("JvSpinEdit_Rhythm_Note")->isEnabled());
    QCOMPARE(spin("JvSpinEdit_Rhythm_Note")->maximum(), 2);
    // Bar 2 at 120 BPM in 3/4 is 3000 ms: "開始" puts it into the start fields.
    spin("JvSpinEdit_Rhythm_Bar")->setValue(2);
    dialog.findChild<QPushButton*>("Button_Rhythm_StartTime")->click();
    QCOMPARE(form.TimeValue(TEventAdjustForm::Start), 3000u);
    QCOMPARE(spin("JvSpinEdit_StartTime_Second")->value(), 3);
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(spin("JvSpinEdit_EndTime_Hour")));
  }

  void fileFiltersInTheProgramsNotation() {
    QCOMPARE(QtNameFilters("プロジェクトファイル(*.vxpj)|*.vxpj"), QStringList({"プロジェクトファイル(*.vxpj)"}));
    QCOMPARE(QtNameFilters("画像|*.png;*.bmp|すべて|*.*"), QStringList({"画像 (*.png *.bmp)", "すべて (*.*)"}));
  }

  void codecDialogOffersTheDefaults() {
    TCodecOptions defaults = DefaultCodecOptions(30);
    defaults.Handler.clear();  // as the render command asks: no codec named yet
    TForm_VideoCompression dialog(defaults);
    const TCodecOptions o = dialog.Options();
    QCOMPARE(o.KeyFrameEvery, 240);
    QCOMPARE(o.BytesPerSecond, 102400);
    QCOMPARE(o.Quality, 10000);
    QCOMPARE(o.Flags, kCompressKeyFrames | kCompressDataRate);
    QCOMPARE(QString::fromUtf8(dialog.SelectedCodec()->Name), QString::fromUtf8(DefaultCompressedCodec().Name));
    // Only codecs that open here are offered; a lossless one has no quality to set.
    auto* combo = dialog.findChild<QComboBox*>("ComboBox_Codec");
    QCOMPARE(combo->count(), static_cast<int>(AvailableVideoCodecs().size()));
    combo->setCurrentIndex(0);  // uncompressed
    QVERIFY(!dialog.findChild<TNumberField*>("SpinEdit_Quality")->isEnabled());
    dialog.findChild<QCheckBox*>("CheckBox_DataRate")->setChecked(false);
    QCOMPARE(dialog.Options().Flags, kCompressKeyFrames);
  }
};

VEXA_QT_TEST_MAIN(TestDialogs)
#include "dialogs_test.moc"
