#include "ui/logic/event_sync.h"

#include <gtest/gtest.h>

#include "fake_ui.h"

namespace vexa {
namespace {

constexpr const char* kSelect = "対象のソースイベントを選択してください。";
constexpr const char* kTimeOnly = "再生範囲が時間指定のイベントのみ同期ができます。";
constexpr const char* kConfirm = "選択されたイベントの同期を実行します。よろしいですか？";

struct Pair {
  Pair() {
    movie.StartTime = 10, movie.EndTime = 20, movie.StartFrame = 3, movie.EndFrame = 4;
    sound.StartTime = 1000, sound.EndTime = 5000, sound.SampleAppointMode = 1;
    sound.StartSample = 0x100000005;  // only the low 32 bits fit a frame field
    sound.EndSample = 0x180000000;
  }
  TGraphicSourceMovieEvent movie;
  TSoundSourceEvent sound;
};

TEST(SyncSound, CopiesSpanAndRangeIntoTheMovie) {
  Pair p;
  TEvent* sources[] = {&p.movie};
  TEvent* sounds[] = {&p.sound};
  test::TFakeUi ui;
  EXPECT_TRUE(SyncSound(sources, sounds, ui));
  EXPECT_EQ(ui.Confirmations, std::vector<std::string>{kConfirm});
  EXPECT_EQ(p.movie.StartTime, 1000u);
  EXPECT_EQ(p.movie.EndTime, 5000u);
  EXPECT_EQ(p.movie.StartFrame, 5u);
  EXPECT_EQ(p.movie.EndFrame, 0x80000000u);  // the low 32 bits
  EXPECT_EQ(p.movie.FrameAppointMode, 1);
  EXPECT_EQ(ui.Refreshed, std::vector<TEvent*>{&p.movie});
  EXPECT_EQ(p.sound.StartTime, 1000u);  // the sound is the source of the copy
}

TEST(SyncSound, Refusals) {
  Pair p;
  TEvent* sources[] = {&p.movie};
  TEvent* sounds[] = {&p.sound};

  test::TFakeUi noSelection;
  EXPECT_FALSE(SyncSound({}, sounds, noSelection));
  EXPECT_FALSE(SyncSound(sources, {}, noSelection));
  EXPECT_EQ(noSelection.Messages, (std::vector<std::string>{kSelect, kSelect}));

  test::TFakeUi samples;
  p.sound.SampleAppointMode = 0;
  EXPECT_FALSE(SyncSound(sources, sounds, samples));
  EXPECT_EQ(samples.Messages, std::vector<std::string>{kTimeOnly});
  p.sound.SampleAppointMode = 1;

  // Only a movie has a play range to receive.
  TGraphicSourceImageEvent image;
  TEvent* imageSel[] = {&image};
  test::TFakeUi notMovie;
  EXPECT_FALSE(SyncSound(imageSel, sounds, notMovie));
  EXPECT_EQ(notMovie.Messages, std::vector<std::string>{kTimeOnly});

  test::TFakeUi no;
  no.ConfirmAnswer = false;
  EXPECT_FALSE(SyncSound(sources, sounds, no));
  EXPECT_EQ(no.Confirmations.size(), 1u);

  EXPECT_EQ(p.movie.StartTime, 10u);
  EXPECT_EQ(p.movie.StartFrame, 3u);
  EXPECT_EQ(p.movie.FrameAppointMode, 0);
  EXPECT_TRUE(no.Refreshed.empty() && samples.Refreshed.empty());
}

TEST(SyncMovie, CopiesSpanAndWidenedRangeIntoTheSound) {
  Pair p;
  p.movie.FrameAppointMode = 1;
  p.movie.StartFrame = 0xFFFFFFFFu;  // widened with a zero high half
  p.movie.EndFrame = 61000;
  p.sound.SampleAppointMode = 0;
  TEvent* sources[] = {&p.movie};
  TEvent* sounds[] = {&p.sound};
  test::TFakeUi ui;
  EXPECT_TRUE(SyncMovie(sounds, sources, ui));
  EXPECT_EQ(ui.Confirmations, std::vector<std::string>{kConfirm});
  EXPECT_EQ(p.sound.StartTime, 10u);
  EXPECT_EQ(p.sound.EndTime, 20u);
  EXPECT_EQ(p.sound.StartSample, 4294967295);
  EXPECT_EQ(p.sound.EndSample, 61000);
  EXPECT_EQ(p.sound.SampleAppointMode, 1);
  EXPECT_EQ(ui.Refreshed, std::vector<TEvent*>{&p.sound});
}

TEST(SyncMovie, Refusals) {
  Pair p;
  TEvent* sources[] = {&p.movie};
  TEvent* sounds[] = {&p.sound};

  test::TFakeUi noSelection;
  EXPECT_FALSE(SyncMovie(sounds, {}, noSelection));
  EXPECT_EQ(noSelection.Messages, std::vector<std::string>{kSelect});

  test::TFakeUi frames;  // the movie's range is in frames
  EXPECT_FALSE(SyncMovie(sounds, sources, frames));
  EXPECT_EQ(frames.Messages, std::vector<std::string>{kTimeOnly});

  TGraphicSourceTextEvent text;
  TEvent* textSel[] = {&text};
  test::TFakeUi notMovie;
  EXPECT_FALSE(SyncMovie(sounds, textSel, notMovie));
  EXPECT_EQ(notMovie.Messages, std::vector<std::string>{kTimeOnly});

  p.movie.FrameAppointMode = 1;
  test::TFakeUi no;
  no.ConfirmAnswer = false;
  EXPECT_FALSE(SyncMovie(sounds, sources, no));

  EXPECT_EQ(p.sound.StartTime, 1000u);
  EXPECT_EQ(p.sound.StartSample, 0x100000005);
  EXPECT_TRUE(no.Refreshed.empty());
}

}  // namespace
}  // namespace vexa
