// The range selectors and the "範囲選択" buttons of the sound and movie dialogs, with scripted
// files and windows.
#include "ui/logic/range_select.h"

#include <gtest/gtest.h>

#include <functional>

#include "ui/logic/range_selectors.h"

namespace vexa {
namespace {

// What the scripted files are and what was done with them.
struct TScript {
  bool Exists = true;
  TSoundFileInfo Sound{true, 44100, 441000, {}};
  bool SoundGoneAtShow = false;  // the file disappears between the button and the window
  TMovieFileInfo Movie{true, 30, 0, 299, 160, 120};
  std::vector<std::string> Log;
};

class TFakePlayback : public TSoundPlayback {
 public:
  explicit TFakePlayback(TScript& s) : s_(s) {}
  TSoundFileInfo Open(const std::string&) override {
    s_.Log.push_back("open");
    return s_.SoundGoneAtShow ? TSoundFileInfo{} : s_.Sound;
  }
  void Play(int64_t first, int64_t last) override {
    s_.Log.push_back("play " + std::to_string(first) + " " + std::to_string(last));
  }
  void Stop() override { s_.Log.push_back("stop"); }
  void Close() override { s_.Log.push_back("close"); }

 private:
  TScript& s_;
};

class TFakeFrames : public TMovieFrames {
 public:
  explicit TFakeFrames(TScript& s) : s_(s) {}
  TMovieFileInfo Open(const std::string&) override {
    s_.Log.push_back("open movie");
    return s_.Movie;
  }
  bool ShowFrame(uint32_t n) override {
    s_.Log.push_back("frame " + std::to_string(n));
    return true;
  }
  void Close() override { s_.Log.push_back("close movie"); }

 private:
  TScript& s_;
};

class TFakeMedia : public TMediaAccess {
 public:
  explicit TFakeMedia(TScript& s) : s_(s) {}
  bool FileExists(const std::string&) const override { return s_.Exists; }
  TSoundFileInfo ProbeSound(const std::string&) override { return s_.Sound; }
  std::unique_ptr<TSoundPlayback> NewSoundPlayback() override { return std::make_unique<TFakePlayback>(s_); }
  std::unique_ptr<TMovieFrames> NewMovieFrames() override { return std::make_unique<TFakeFrames>(s_); }

 private:
  TScript& s_;
};

class TFakeDialogUi : public TDialogUi {
 public:
  std::vector<std::string> Messages;
  int Runs = 0;
  std::function<void(TSoundRangeSelector&)> OnSound;
  std::function<void(TMovieRangeSelector&)> OnMovie;

  void Message(std::string_view text) override { Messages.emplace_back(text); }
  bool Confirm(std::string_view) override { return true; }
  void RunSoundSelector(TSoundRangeSelector& s) override {
    ++Runs;
    if (OnSound) OnSound(s);
  }
  void RunMovieSelector(TMovieRangeSelector& s) override {
    ++Runs;
    if (OnMovie) OnMovie(s);
  }
};

struct SoundDialog : ::testing::Test {
  TScript Script;
  TFakeMedia Media{Script};
  TFakeDialogUi Ui;
  TEventForm Form{*DialogOf(kind::Sound)};
  SoundDialog() {
    Form.SetText("JvFilenameEdit", "/a.wav");
    Form.SetSpin("JvSpinEdit_StartTime_Second", 2);
  }
};

TEST(RangeArithmetic, PositionsAndTimes) {
  EXPECT_EQ(RangeLength(0, 44099, 44100), 1000);
  EXPECT_EQ(RangeLength(29, 0, 30), 1000);
  EXPECT_EQ(PositionTime(1, 2000), 0);  // 0.5 rounds to even
  EXPECT_EQ(PositionTime(3, 2000), 2);  // 1.5 rounds to even
  EXPECT_EQ(TimePosition(1000, 44100), 44100);
  EXPECT_EQ(TimePosition(1500, 30), 45);
}

// The initial range of a new dialog opens from 0 to the file's last sample; closing at once
// takes that back, and the event lasts as long as the whole file plays.
TEST_F(SoundDialog, InitialRangeCoversTheFile) {
  Ui.OnSound = [](TSoundRangeSelector& s) {
    EXPECT_EQ(s.Track(TRangeSelector::Start).Position, 0);
    EXPECT_EQ(s.Track(TRangeSelector::End).Position, 440999);
    EXPECT_EQ(s.Track(TRangeSelector::End).Max, 440999);
    EXPECT_EQ(s.Caption(), "範囲選択 - 00:00:10.000");
    EXPECT_EQ(s.TimeLabel(TRangeSelector::End), "00:00:10.000");
  };
  ASSERT_TRUE(SampleSelectClick(Form, Ui, Media));
  EXPECT_EQ(Ui.Runs, 1);
  EXPECT_EQ(Form.Spin("JvSpinEdit_StartSample").Value(), 0);
  EXPECT_EQ(Form.Spin("JvSpinEdit_EndSample").Value(), 440999);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::RangeStart), 0u);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::RangeEnd), 10000u);  // 440999 / 44.1 = 9999.98
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), 12000u);
  TSoundSourceEvent e;
  Form.WriteEvent(e);
  EXPECT_EQ(e.EndSample, 440999);
  EXPECT_EQ(e.EndTime, 12000u);
}

TEST_F(SoundDialog, TimeModePresetsAndBackwardsRangesPlayForwards) {
  Form.ClickRadio("RadioButton_SampleAppoint_Time");
  Form.SetSpin("JvSpinEdit_StartSampleTime_Second", 3);  // 132300
  Form.SetSpin("JvSpinEdit_EndSampleTime_Second", 1);    // 44100
  Ui.OnSound = [this](TSoundRangeSelector& s) {
    EXPECT_EQ(s.Spin(TRangeSelector::Start).Value(), 132300);
    EXPECT_EQ(s.Spin(TRangeSelector::End).Value(), 44100);
    s.MoveTrack(TRangeSelector::End, 22050);  // dragged further below the start
    EXPECT_EQ(s.Caption(), "範囲選択 - 00:00:02.500");
    s.Play();
    EXPECT_TRUE(s.TimerOn());
    EXPECT_EQ(s.PositionLabel(), "00:00:00.500");
    s.TimerTick();
    EXPECT_EQ(s.PositionLabel(), "00:00:00.750");
    s.PlaybackEnded();  // the clock stops, the label keeps its text
    EXPECT_FALSE(s.TimerOn());
    EXPECT_EQ(s.PlayPosition(), 0u);
    EXPECT_EQ(s.PositionLabel(), "00:00:00.750");
    s.SetSpin(TRangeSelector::Start, 44100);  // typing moves the slider
    EXPECT_EQ(s.Track(TRangeSelector::Start).Position, 44100);
    s.Play();  // closing while playing stops first
    Script.Log.clear();
  };
  ASSERT_TRUE(SampleSelectClick(Form, Ui, Media));
  EXPECT_EQ(Script.Log, (std::vector<std::string>{"stop", "close"}));
  EXPECT_EQ(Form.Spin("JvSpinEdit_StartSample").Value(), 44100);
  EXPECT_EQ(Form.Spin("JvSpinEdit_EndSample").Value(), 22050);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::RangeEnd), 500u);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), 2000u + 500u);  // 22051 samples
}

TEST_F(SoundDialog, PlayTakesTheSmallerSpinFirst) {
  Ui.OnSound = [](TSoundRangeSelector& s) {
    s.MoveTrack(TRangeSelector::Start, 300);
    s.MoveTrack(TRangeSelector::End, 100);
    s.Play();
  };
  SampleSelectClick(Form, Ui, Media);
  EXPECT_NE(std::find(Script.Log.begin(), Script.Log.end(), "play 100 300"), Script.Log.end());
}

TEST_F(SoundDialog, FilesThatCannotBeUsed) {
  const uint32_t endTime = Form.TimeValue(TTimeSlot::EndTime);
  Script.Exists = false;
  EXPECT_FALSE(SampleSelectClick(Form, Ui, Media));
  EXPECT_EQ(Ui.Messages, std::vector<std::string>{"/a.wav は存在しません。"});

  // A rate of 0, a file no decoder reads, a missing codec: a message, no selector, no change.
  Script.Exists = true;
  Script.Sound = {true, 0, 1000, {}};
  EXPECT_FALSE(SampleSelectClick(Form, Ui, Media));
  Script.Sound = {false, 0, 0, {}};
  EXPECT_FALSE(SampleSelectClick(Form, Ui, Media));
  Script.Sound = {false, 0, 0, "libFLAC がありません"};
  EXPECT_FALSE(SampleSelectClick(Form, Ui, Media));
  EXPECT_EQ(Ui.Messages,
            (std::vector<std::string>{"/a.wav は存在しません。", "/a.wav の読み込みに失敗しました。",
                                      "/a.wav の読み込みに失敗しました。", "libFLAC がありません"}));
  EXPECT_EQ(Ui.Runs, 0);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), endTime);
  EXPECT_EQ(Form.Spin("JvSpinEdit_EndSample").Value(), 2147483647);
}

// Gone when the window shows: it closes, and the dialog takes the preset range back.
TEST_F(SoundDialog, FileGoneWhenTheSelectorShows) {
  Script.SoundGoneAtShow = true;
  Form.SetSpin("JvSpinEdit_EndSample", 44099);
  EXPECT_TRUE(SampleSelectClick(Form, Ui, Media));
  EXPECT_EQ(Ui.Messages, std::vector<std::string>{"/a.wav が見つかりませんでした"});
  EXPECT_EQ(Ui.Runs, 0);
  EXPECT_EQ(Form.Spin("JvSpinEdit_EndSample").Value(), 44099);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), 3000u);
}

struct MovieDialog : ::testing::Test {
  TScript Script;
  TFakeMedia Media{Script};
  TFakeDialogUi Ui;
  TEventForm Form{*DialogOf(kind::Movie)};
  MovieDialog() {
    Form.SetText("JvFilenameEdit", "/m.avi");
    Form.SetSpin("JvSpinEdit_EndFrame", 29);
  }
};

TEST_F(MovieDialog, FrameRangeSetsTheEventLength) {
  Ui.OnMovie = [this](TMovieRangeSelector& s) {
    EXPECT_EQ(s.MovieWidth(), 160);
    EXPECT_EQ(s.ShownFrame(), 0);  // the end slider first, then the start slider
    Script.Log.clear();
    s.MoveTrack(TRangeSelector::End, 59);
    EXPECT_EQ(Script.Log, std::vector<std::string>{"frame 59"});
    EXPECT_EQ(s.Spin(TRangeSelector::End).Value(), 59);
    EXPECT_EQ(s.Caption(), "範囲選択 - 00:00:01.967");
  };
  ASSERT_TRUE(FrameSelectClick(Form, Ui, Media));
  EXPECT_EQ(Form.Spin("JvSpinEdit_EndFrame").Value(), 59);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::RangeEnd), 1967u);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), 2000u);

  // Frames 0 ... 29 at 30 frames per second last one second.
  Ui.OnMovie = [](TMovieRangeSelector& s) { s.MoveTrack(TRangeSelector::End, 29); };
  FrameSelectClick(Form, Ui, Media);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), 1000u);
}

TEST_F(MovieDialog, TimeModePresetsThroughTheMoviesRate) {
  Form.ClickRadio("RadioButton_FrameAppoint_Time");
  Form.SetSpin("JvSpinEdit_StartFrameTime_Second", 1);  // frame 30
  Form.SetSpin("JvSpinEdit_EndFrameTime_Second", 2);    // frame 60
  Ui.OnMovie = [](TMovieRangeSelector& s) {
    EXPECT_EQ(s.Track(TRangeSelector::Start).Position, 30);
    EXPECT_EQ(s.Track(TRangeSelector::End).Position, 60);
  };
  ASSERT_TRUE(FrameSelectClick(Form, Ui, Media));
  EXPECT_EQ(Script.Log.front(), "open movie");
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), static_cast<uint32_t>(RangeLength(30, 60, 30)));
}

TEST_F(MovieDialog, UnreadableMoviesLeaveTheFields) {
  for (TMovieFileInfo bad : {TMovieFileInfo{}, TMovieFileInfo{true, 0, 0, 10, 8, 8}}) {
    for (int mode : {0, 1}) {
      Script.Movie = bad;
      Form.ClickRadio(mode ? "RadioButton_FrameAppoint_Time" : "RadioButton_FrameAppoint_Frame");
      Ui.Messages.clear();
      EXPECT_FALSE(FrameSelectClick(Form, Ui, Media));
      EXPECT_EQ(Ui.Messages, std::vector<std::string>{"/m.avi の読み込みに失敗しました。"});  // once
    }
  }
  EXPECT_EQ(Ui.Runs, 0);
  EXPECT_EQ(Form.Spin("JvSpinEdit_EndFrame").Value(), 29);
  EXPECT_EQ(Form.TimeValue(TTimeSlot::EndTime), 0u);
}

}  // namespace
}  // namespace vexa
