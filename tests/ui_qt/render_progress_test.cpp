// The graphic render under its progress window: Esc stops it, the main window takes no input
// meanwhile, and the frames written so far make a playable file.
#include <QProgressBar>
#include <QTemporaryDir>

#include "avi_probe.h"
#include "model/project.h"
#include "qt_test_support.h"
#include "render/studio.h"
#include "ui/codec_dialog.h"
#include "ui/form_render_graphic.h"
#include "ui/render_commands.h"

using namespace vexa;
using namespace vexa::ui;

class TestRenderProgress : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietCodecLogs(); }

  void escStopsTheRenderAndLeavesAPlayableFile() {
    QTemporaryDir dir;
    TVexaStudio studio;
    TProject& p = studio.Project;
    p.Width = 160;
    p.Height = 120;
    p.FPS = 30;
    // A text that changes every frame would be slow; a long still text gives many frames.
    TGraphicLayer* layer = NewGraphicLayer(p.GraphicLayers, -1);
    auto text = NewEvent(kind::Text);
    text->EndTime = 3600000;
    static_cast<TGraphicSourceTextEvent&>(*text).Text = "Esc";
    layer->Slots[0].Add(std::move(text));

    QWidget mainWindow;
    mainWindow.show();
    TCodecOptions options = DefaultCodecOptions(30);
    options.Handler = "mjpeg";
    TFixedCodecChoice choice(options);

    bool mainWasDisabled = false;
    bool escSent = false;
    std::function<void()> watch = [&] {
      auto* window = qApp->findChild<TForm_Render_Graphic*>();
      for (QWidget* w : QApplication::topLevelWidgets())
        if (!window) window = qobject_cast<TForm_Render_Graphic*>(w);
      if (window && window->isVisible() && window->findChild<QWidget*>("ProgressBar_Status")) {
        mainWasDisabled = !mainWindow.isEnabled();
        auto* bar = window->findChild<QProgressBar*>("ProgressBar_Status");
        if (bar && bar->value() >= 3) {
          QTest::keyClick(window, Qt::Key_Escape);
          escSent = true;
          return;
        }
      }
      QTimer::singleShot(20, qApp, watch);
    };
    QTimer::singleShot(20, qApp, watch);

    const std::string file = dir.filePath("stopped.avi").toStdString();
    const TGraphicRenderOutcome out = RunGraphicRenderWithProgress(&mainWindow, studio, file, choice);
    QVERIFY(escSent);
    QVERIFY(mainWasDisabled);
    QVERIFY(mainWindow.isEnabled());
    QCOMPARE(int(out.Status), int(TGraphicRenderStatus::Cancelled));
    QCOMPARE(QString::fromStdString(GraphicRenderReport(out)), QString("キャンセルされました。"));
    QVERIFY(out.FramesWritten >= 3);
    QVERIFY(out.FramesWritten < out.FrameCount);

    const test::TAviProbe probe = test::ProbeAvi(file);
    QVERIFY(probe.Opened);
    QCOMPARE(probe.VideoStreams, 1);
    QCOMPARE(probe.Width, 160);
    QCOMPARE(test::DecodeAviFrames(file).size(), size_t{out.FramesWritten});
  }

  // The codec dialog is asked for from the render's worker thread and shown on this one;
  // cancelling it ends the command before anything is written.
  void cancellingTheCodecDialogWritesNothing() {
    QTemporaryDir dir;
    TVexaStudio studio;
    QWidget mainWindow;
    TCodecDialogChoice choice(&mainWindow);
    QString title;
    vexa::test::WhenModalOpens([&](QWidget* dialog) {
      title = dialog->windowTitle();
      dialog->findChild<QPushButton*>("Button_Cancel")->click();
    });
    const std::string file = dir.filePath("none.avi").toStdString();
    const TGraphicRenderOutcome out = RunGraphicRenderWithProgress(&mainWindow, studio, file, choice);
    QCOMPARE(title, QString("ビデオの圧縮"));
    QCOMPARE(int(out.Status), int(TGraphicRenderStatus::OpenFailed));
    QCOMPARE(QString::fromStdString(GraphicRenderReport(out)), QString("AVIの初期化に失敗しました。"));
    QVERIFY(!QFile::exists(QString::fromStdString(file)));
  }
};

VEXA_QT_TEST_MAIN(TestRenderProgress)
#include "render_progress_test.moc"
