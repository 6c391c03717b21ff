// The renders under their progress window: Esc stops the graphic render, the main window
// takes no input meanwhile, and the frames written so far make a playable file; the movie item
// writes pictures and sound.
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QTemporaryDir>

#include "avi_probe.h"
#include "movie_probe.h"
#include "model/project.h"
#include "qt_test_support.h"
#include "render/studio.h"
#include "sound/render_sound.h"
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

  // The render menu's movie item: a name without extension becomes an MP4 file, the media check
  // and the settings dialog come before the render, and the file holds the pictures and the
  // sound of the project.
  void theMovieItemWritesPicturesAndSound() {
    QTemporaryDir dir;
    TVexaStudio studio;
    TProject& p = studio.Project;
    p.Width = 160;
    p.Height = 120;
    p.FPS = 30;
    auto text = NewEvent(kind::Text);
    text->EndTime = 1000;
    static_cast<TGraphicSourceTextEvent&>(*text).Text = "Movie";
    NewGraphicLayer(p.GraphicLayers, -1)->Slots[0].Add(std::move(text));
    // One second of a 441 Hz square wave.
    std::vector<int16_t> wave(2 * 44100);
    for (size_t i = 0; i < wave.size(); ++i)
      wave[i] = (i / 2 / 50) % 2 ? 8000 : -8000;
    const std::string wav = dir.filePath("tone.wav").toStdString();
    QCOMPARE(int(WriteMixWave(wave.data(), wave.size() / 2, wav)), int(TSoundRenderResult::Written));
    auto sound = NewEvent(kind::Sound);
    auto& s = static_cast<TSoundSourceEvent&>(*sound);
    s.EndTime = 1000;
    s.FileName = wav;
    s.SampleAppointMode = 1;
    s.EndSample = 1000;
    NewSoundLayer(p.SoundLayers, -1)->Events.Add(std::move(sound));

    QWidget mainWindow;
    mainWindow.show();
    QStringList seen;
    QString report;
    // Whatever the machine's fonts, a list of unusable media may come between the dialogs.
    std::function<void()> answer = [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (auto* files = qobject_cast<QFileDialog*>(modal)) {
        seen << files->objectName();
        files->findChild<QLineEdit*>("fileNameEdit")->setText(dir.filePath("clip"));
        QMetaObject::invokeMethod(files, "accept", Qt::DirectConnection);
      } else if (modal && modal->objectName() == "MessageBox_Continue") {
        seen << modal->objectName();
        vexa::test::ClickMessageButton(modal, "続行");
      } else if (modal && modal->objectName() == "TForm_MovieSettings") {
        seen << modal->objectName();
        QVERIFY(modal->findChild<QComboBox*>("ComboBox_Codec")->count() > 0);
        modal->findChild<QPushButton*>("Button_OK")->click();
      } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        report = box->text();
        vexa::test::ClickMessageButton(box, "OK");
        return;
      }
      QTimer::singleShot(20, qApp, answer);
    };
    QTimer::singleShot(20, qApp, answer);
    RunMovieRenderCommandUi(&mainWindow, studio);
    QCOMPARE(report, QString("動画のレンダリングは正常終了しました。"));
    seen.removeAll("MessageBox_Continue");
    QCOMPARE(seen, QStringList({"SaveDialog_Render_Movie", "TForm_MovieSettings"}));

    const test::TMovieProbe probe = test::ProbeMovie(dir.filePath("clip.mp4").toStdString());
    QVERIFY(probe.Opened);
    QCOMPARE(probe.Streams.size(), size_t{2});
    const test::TMovieStream& video = probe.Streams[probe.Streams[0].Video ? 0 : 1];
    const test::TMovieStream& audio = probe.Streams[probe.Streams[0].Video ? 1 : 0];
    QCOMPARE(video.Width, 160);
    QCOMPARE(video.Frames, int64_t{30});
    QVERIFY(!audio.Video);
    QVERIFY(std::abs(audio.Seconds - 1.0) < 0.05);
  }
};

VEXA_QT_TEST_MAIN(TestRenderProgress)
#include "render_progress_test.moc"
