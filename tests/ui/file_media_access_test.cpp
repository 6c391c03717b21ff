// The range selectors on real files: generated WAV files through the decoders, a generated
// movie through the reader.
#include "ui/logic/file_media_access.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "audio_test_files.h"
#include "movie_test_files.h"
#include "ui/logic/range_select.h"
#include "ui/logic/range_selectors.h"

namespace vexa {
namespace {

using testfiles::PcmFmt;
using testfiles::WaveFile;
using testfiles::WriteBytes;

class TSilentPlayback : public TDecoderPlayback {
 public:
  void Stop() override {}

 protected:
  void StartOutput(TAuDecoder&) override {}
};

struct TDialogs : TDialogUi {
  std::vector<std::string> Messages;
  int Runs = 0;
  void Message(std::string_view text) override { Messages.emplace_back(text); }
  bool Confirm(std::string_view) override { return true; }
  void RunSoundSelector(TSoundRangeSelector& s) override {
    ++Runs;
    s.MoveTrack(TRangeSelector::End, 22049);
  }
  void RunMovieSelector(TMovieRangeSelector& s) override {
    ++Runs;
    s.MoveTrack(TRangeSelector::End, 7);
  }
};

TFileMediaAccess Media() {
  return TFileMediaAccess([] { return std::make_unique<TSilentPlayback>(); });
}

TEST(FileMediaAccess, SoundFiles) {
  testfiles::TTempDir dir;
  const std::vector<uint8_t> data(44100 * 4, 0);
  WriteBytes(dir.Path("one.wav"), WaveFile(PcmFmt(1, 2, 44100, 16), data));
  WriteBytes(dir.Path("zero.wav"), WaveFile(PcmFmt(1, 2, 0, 16), data));
  WriteBytes(dir.Path("junk.wav"), std::vector<uint8_t>(300, 0x5A));
  WriteBytes(dir.Path("one.xyz"), WaveFile(PcmFmt(1, 2, 44100, 16), data));
  TFileMediaAccess media = Media();

  const TSoundFileInfo one = media.ProbeSound(dir.Path("one.wav"));
  EXPECT_TRUE(one.Opened);
  EXPECT_EQ(one.SampleRate, 44100u);
  EXPECT_EQ(one.TotalSamples, 44100);
  EXPECT_FALSE(media.ProbeSound(dir.Path("junk.wav")).Opened);
  EXPECT_FALSE(media.ProbeSound(dir.Path("one.xyz")).Opened);
  const TSoundFileInfo missing = media.ProbeSound(dir.Path("none.wav"));
  EXPECT_FALSE(missing.Opened);
  EXPECT_TRUE(missing.Error.empty());
  EXPECT_FALSE(media.FileExists(dir.Path("none.wav")));

  // The sound dialog's button over the real decoder: half a second picked of one second.
  TDialogs ui;
  TEventForm form(*DialogOf(kind::Sound));
  form.SetText("JvFilenameEdit", dir.Path("one.wav"));
  ASSERT_TRUE(SampleSelectClick(form, ui, media));
  EXPECT_EQ(ui.Runs, 1);
  EXPECT_EQ(form.Spin("JvSpinEdit_EndSample").Value(), 22049);
  EXPECT_EQ(form.TimeValue(TTimeSlot::EndTime), 500u);

  // A rate of 0 or a file no decoder reads: a message, never a position.
  for (const char* name : {"zero.wav", "junk.wav", "one.xyz"}) {
    ui.Messages.clear();
    form.SetText("JvFilenameEdit", dir.Path(name));
    EXPECT_FALSE(SampleSelectClick(form, ui, media)) << name;
    ASSERT_EQ(ui.Messages.size(), 1u) << name;
  }
  EXPECT_EQ(ui.Runs, 1);
  EXPECT_EQ(form.TimeValue(TTimeSlot::EndTime), 500u);
}

TEST(FileMediaAccess, MovieFrames) {
  const std::string folder = test::MakeTempFolder("ui_frames");
  const std::string movie = folder + "/m.avi";
  ASSERT_TRUE(test::MakeNumberedMovie(movie, 30, "30", "-c:v mpeg4 -q:v 2"));
  TReaderMovieFrames frames;
  const TMovieFileInfo info = frames.Open(movie);
  ASSERT_TRUE(info.Opened);
  EXPECT_DOUBLE_EQ(info.FrameRate, 30.0);
  EXPECT_EQ(info.LastFrame, 29);
  ASSERT_TRUE(frames.ShowFrame(12));
  EXPECT_EQ(test::ReadPictureNumber(frames.Picture()), 12);
  frames.Close();

  TFileMediaAccess media = Media();
  TDialogs ui;
  TEventForm form(*DialogOf(kind::Movie));
  form.SetText("JvFilenameEdit", movie);
  ASSERT_TRUE(FrameSelectClick(form, ui, media));
  EXPECT_EQ(form.Spin("JvSpinEdit_EndFrame").Value(), 7);
  EXPECT_EQ(form.TimeValue(TTimeSlot::EndTime), 267u);  // 8 frames at 30 per second
  form.SetText("JvFilenameEdit", folder + "/none.avi");
  EXPECT_FALSE(FrameSelectClick(form, ui, media));
  EXPECT_EQ(ui.Messages, std::vector<std::string>{folder + "/none.avi の読み込みに失敗しました。"});
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vexa
