// The range selector windows on real files: the sound one plays through SDL's dummy driver,
// hears the end of the range on the user interface thread and stops on close; the movie one
// shows the frame of the latest slider position only.
#include <QLabel>
#include <QSlider>

#include <cstdlib>

#include "audio_test_files.h"
#include "bitmap/bitmap.h"
#include "movie_test_files.h"
#include "qt_test_support.h"
#include "ui/dialog_services.h"
#include "ui/form_movie_select.h"
#include "ui/form_sound_select.h"
#include "ui/logic/dialog_descriptor.h"
#include "ui/logic/event_form.h"
#include "ui/number_field.h"
#include "ui/selector_playback.h"

using namespace vexa;
using namespace vexa::ui;

namespace {

// The picture number drawn in a shown frame.
int NumberOf(const QImage& shown) {
  TABitmap b;
  b.SetSize(shown.width(), shown.height());
  const QImage rgb = shown.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < rgb.height(); ++y)
    for (int x = 0; x < rgb.width(); ++x)
      b.SetPixel(x, y, rgb.pixel(x, y) & 0xFFFFFF);
  return test::ReadPictureNumber(b);
}

}  // namespace

class TestRangeSelectors : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ::setenv("SDL_AUDIODRIVER", "dummy", 1); }

  void soundSelectorPlaysHearsTheEndAndStopsOnClose() {
    testfiles::TTempDir dir;
    const std::string file = dir.Path("tone.wav");
    testfiles::WriteBytes(file, testfiles::WaveFile(testfiles::PcmFmt(1, 2, 44100, 16), std::vector<uint8_t>(44100 * 4, 0)));
    TDialogServices services(nullptr, {});
    TSelectorPlayback* playback = nullptr;
    services.NewPlayback = [&] {
      auto p = std::make_unique<TSelectorPlayback>();
      playback = p.get();
      return p;
    };
    TEventForm form(*DialogOf(kind::Sound));
    form.SetText("JvFilenameEdit", file);
    bool answered = false;
    test::WhenModalOpens([&](QWidget* modal) {
      auto* w = qobject_cast<TForm_SoundSource_Select*>(modal);
      QVERIFY(w);
      // The initial range runs to the file's last sample.
      QCOMPARE(w->Spin(TRangeSelector::End)->value(), 44099);
      QCOMPARE(w->Track(TRangeSelector::End)->maximum(), 44099);
      QCOMPARE(w->findChild<QLabel*>("Label_EndTime")->text(), QString("00:00:01.000"));
      // A tenth of a second, given backwards, plays forwards to its end; the end notice stops
      // the clock, and the label keeps what it showed.
      w->Spin(TRangeSelector::Start)->setValue(4409);
      w->Spin(TRangeSelector::End)->setValue(0);
      QCOMPARE(w->windowTitle(), QString::fromUtf8("範囲選択 - 00:00:00.100"));
      w->findChild<QPushButton*>("Button_Play")->click();
      QVERIFY(playback && playback->Playing());
      QVERIFY(w->Timer()->isActive());
      QTRY_VERIFY_WITH_TIMEOUT(!w->Timer()->isActive(), 5000);
      QCOMPARE(w->findChild<QLabel*>("Label_Position")->text(), QString("00:00:00.000"));
      // The whole second, closed while it plays: the sound stops before the window goes.
      w->Spin(TRangeSelector::End)->setValue(44099);
      w->findChild<QPushButton*>("Button_Play")->click();
      QVERIFY(playback->Playing());
      w->close();
      QVERIFY(!playback->Playing());
      QVERIFY(!w->Timer()->isActive());
      answered = true;
    });
    QWidget parent;
    services.SelectSampleRange(form, &parent);
    QVERIFY(answered);
    // The range back in the dialog: 4409 ... 44099, the event as long as the stretch plays.
    QCOMPARE(form.Spin("JvSpinEdit_StartSample").Value(), 4409);
    QCOMPARE(form.Spin("JvSpinEdit_EndSample").Value(), 44099);
    QCOMPARE(form.TimeValue(TTimeSlot::EndTime), 900u);
  }

  void movieSelectorShowsOnlyTheLatestPosition() {
    const std::string dir = test::MakeTempFolder("movie-select");
    const std::string movie = dir + "/numbers.avi";
    QVERIFY(test::MakeNumberedMovie(movie, 30, "30", "-c:v mpeg4 -q:v 2"));
    TDialogServices services(nullptr, {});
    TEventForm form(*DialogOf(kind::Movie));
    form.SetText("JvFilenameEdit", movie);
    test::WhenModalOpens([&](QWidget* modal) {
      auto* w = qobject_cast<TForm_GraphicSource_Movie_Select*>(modal);
      QVERIFY(w);
      QCOMPARE(w->findChild<QWidget*>("Image_Movie")->height(), test::kMovieHeight);
      QSlider* end = w->Track(TRangeSelector::End);
      QCOMPARE(end->maximum(), 29);
      QTRY_COMPARE(NumberOf(w->Shown()), 0);  // the start slider's frame, shown last
      const int decoded = w->FramesDecoded();
      // Four moves before the window gets to them: one frame is read, the last.
      for (int n : {5, 10, 15, 20})
        end->setValue(n);
      QTRY_COMPARE(w->Spin(TRangeSelector::End)->value(), 20);
      QCOMPARE(w->FramesDecoded(), decoded + 1);
      QCOMPARE(NumberOf(w->Shown()), 20);
      QCOMPARE(w->windowTitle(), QString::fromUtf8("範囲選択 - 00:00:00.667"));
      w->close();
    });
    QWidget parent;
    services.SelectFrameRange(form, &parent);
    QCOMPARE(form.Spin("JvSpinEdit_EndFrame").Value(), 20);
    QCOMPARE(form.TimeValue(TTimeSlot::RangeEnd), 667u);
    QCOMPARE(form.TimeValue(TTimeSlot::EndTime), 700u);
    std::filesystem::remove_all(dir);
  }
};

VEXA_QT_TEST_MAIN(TestRangeSelectors)
#include "range_selectors_test.moc"
