// The preview window over the real runner: frames on screen, the seek bar, closing while the
// sound is still being rendered, and the OpenGL presenter's fallback.
#include <QSlider>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "bitmap/bitmap.h"
#include "model/project.h"
#include "preview/form_preview.h"
#include "preview/preview_picture.h"
#include "qt_test_support.h"
#include "render/studio.h"

using namespace vexa;
using namespace vexa::ui;

namespace {

constexpr uint32_t kRed = 0x00FF0000;  // blue, green, red, transparency: opaque red

// A project of 95 frames at 30 fps (3167 ms): a red picture over the whole 64 x 48 frame.
class TProjectFiles {
 public:
  TProjectFiles() {
    dir_ = std::filesystem::temp_directory_path() / ("vexa-preview-window-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    TABitmap red;
    red.SetSize(64, 48);
    red.Fill(kRed);
    Picture = (dir_ / "red.bmp").string();
    red.SaveToFile(Picture);
  }
  ~TProjectFiles() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  void Fill(TProject& p) const {
    p.Width = 64;
    p.Height = 48;
    p.FPS = 30;
    TGraphicLayer& layer = *NewGraphicLayer(p.GraphicLayers, -1);
    auto e = std::make_unique<TGraphicSourceImageEvent>();
    e->EndTime = 3167;
    e->FileName = Picture;
    e->BlendMode = 0;
    layer.ListForKind(kind::Image)->Add(std::move(e));
  }
  std::string Picture;

 private:
  std::filesystem::path dir_;
};

TPreviewSetup Silent() {
  TPreviewSetup setup;
  setup.RenderSound = [](const TProject&, const std::string&) { return false; };
  return setup;
}

}  // namespace

class TestPreviewWindow : public QObject {
  Q_OBJECT

 private slots:
  void showsTheRunnersFramesAndSeeksWithTheBar() {
    TProjectFiles files;
    TVexaStudio engine;
    files.Fill(engine.Project);
    TForm_Preview window;
    bool checked = false;
    test::WhenModalOpens([&](QWidget* modal) {
      QCOMPARE(modal, &window);
      QCOMPARE(window.objectName(), QString("TForm_Preview"));
      QSlider* bar = window.SeekBar();
      QCOMPARE(bar->objectName(), QString("TrackBar_Seek"));
      QTRY_VERIFY(window.Stats().FramesPainted > 0);
      // 95 frames at 30 fps: a bar from 0 to 3; the picture above it at the project's size.
      QCOMPARE(bar->maximum(), 3);
      QCOMPARE(window.Picture()->size(), QSize(64, 48));
      QVERIFY(window.Picture()->geometry().bottom() < bar->geometry().top());
      const QImage shot = window.Picture()->grab().toImage();
      QCOMPARE(shot.pixelColor(10, 10), QColor(255, 0, 0));
      QCOMPARE(shot.pixelColor(63, 47), QColor(255, 0, 0));

      // Holding an arrow key freezes the picture; its release seeks to the bar's second.
      bar->setFocus();
      QTest::keyPress(bar, Qt::Key_Right);
      QCOMPARE(window.windowTitle(), QString::fromUtf8("プレビュー - 00:00:01.000"));
      const uint64_t painted = window.Stats().FramesPainted;
      QTest::qWait(150);
      QVERIFY(window.Stats().FramesPainted <= painted + 1);  // at most one already on its way
      QTest::keyRelease(bar, Qt::Key_Right);
      QTRY_VERIFY(window.Stats().LastFrameIndex >= 30 && window.Stats().LastFrameIndex < 60);
      QCOMPARE(window.windowTitle(), QString::fromUtf8("プレビュー - 00:00:01.000"));
      // Page Down moves the bar without a seek: the playing second takes it back.
      QTest::keyClick(bar, Qt::Key_PageDown);
      QTRY_VERIFY(bar->value() <= 2);
      checked = true;
      window.close();
    });
    QVERIFY(window.Play(engine, false, Silent()));
    QVERIFY(checked);
    QVERIFY(!window.isVisible());
    QVERIFY(!engine.InSession());
  }

  // The close box during the sound render: the window keeps serving events until the render
  // gives up, and goes then.
  void closesWhileTheSoundIsRendered() {
    TProjectFiles files;
    TVexaStudio engine;
    files.Fill(engine.Project);
    std::atomic<bool> rendering{false}, released{false}, timedOut{false};
    TPreviewSetup setup;
    setup.RenderSound = [&](const TProject&, const std::string&) {
      rendering = true;
      const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (!released && !(timedOut = std::chrono::steady_clock::now() > give_up))
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      return false;
    };
    TForm_Preview window;
    bool servedWhileClosing = false;
    test::WhenModalOpens([&](QWidget*) {
      QTRY_VERIFY(rendering.load());
      window.close();
      QVERIFY(window.isVisible());  // still there: the thread has not ended
      QVERIFY(window.Running());
      // The event loop runs meanwhile: this timer ends the render.
      QTimer::singleShot(30, &window, [&] {
        servedWhileClosing = window.isVisible();
        released = true;
      });
    });
    QVERIFY(window.Play(engine, false, setup));
    QVERIFY(servedWhileClosing);
    QVERIFY(!timedOut);
    QVERIFY(!window.isVisible());
    QCOMPARE(window.Stats().FramesPainted, uint64_t{0});
    QVERIFY(!engine.InSession());
  }

  // Without an OpenGL context (Qt's offscreen platform has none) the frames are copied; with
  // one, they go through the texture. Either way they reach the screen.
  void openGlFallsBackToCopyingWithoutAContext() {
    TProjectFiles files;
    TVexaStudio engine;
    files.Fill(engine.Project);
    const bool context = TGlPicture::ContextAvailable();
    TForm_Preview window;
    test::WhenModalOpens([&](QWidget*) {
      QCOMPARE(window.UsingOpenGL(), context);
      QTRY_VERIFY(window.Stats().FramesPainted > 2);
      QCOMPARE(window.Picture()->grab().toImage().pixelColor(20, 20), QColor(255, 0, 0));
      window.close();
    });
    QVERIFY(window.Play(engine, true, Silent()));
  }

  void anEmptyProjectIsRefusedWithTheMessage() {
    TVexaStudio engine;
    TForm_Preview window;
    std::string shown;
    window.ShowMessage = [&](const std::string& text) { shown = text; };
    QVERIFY(!window.Play(engine, false, Silent()));
    QCOMPARE(QString::fromStdString(shown), QString::fromUtf8("レンダリング準備中にエラーが発生しました"));
  }
};

VEXA_QT_TEST_MAIN(TestPreviewWindow)
#include "preview_window_test.moc"
