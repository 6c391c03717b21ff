// The preview runner on a fake clock: when frames are due, how the sound goes with them, the
// seek bar, the loop, and every way a run can end.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <stdexcept>
#include <thread>

#include "preview/preview_fakes.h"
#include "render/studio.h"
#include "test_wav.h"

namespace vexa {
namespace {

using test::CountOf;
using test::TEntry;

constexpr double kFrameMs = 1000.0 / 30;

class PreviewRunner : public ::testing::Test {
 protected:
  PreviewRunner() {
    Setup.Timing = &Timing;
    Setup.TempFolder = Dir.Path.string();
    // A sound of SoundFrames frames, "rendered" into the file the runner made.
    Setup.RenderSound = [this](const TProject&, const std::string& file) {
      RenderedTo = file;
      RenderedFileExisted = std::filesystem::exists(file);
      if (RenderHook) RenderHook();
      std::ofstream(file) << "RIFF";
      return SoundFrames > 0;
    };
    Setup.MakeSound = [this](std::function<void(const std::string&)>) -> std::unique_ptr<TPreviewSound> {
      auto sound = std::make_unique<test::TFakeSound>(Timing, Log, SoundFrames, SoundSpeed);
      Presenter.Sound = sound.get();
      return sound;
    };
  }

  // Starts a preview of a project of endMs at 30 fps.
  void Start(uint32_t endMs) {
    if (Engine.Project.GraphicLayers.Empty()) test::BuildProject(Engine.Project, endMs);
    Runner = std::make_unique<TPreviewThread>(Engine, Presenter, Setup);
    Presenter.Runner = Runner.get();
    ASSERT_TRUE(Runner->Start());
  }
  void WaitFrames(size_t n) {
    Log.WaitFor([n](const std::vector<TEntry>& e) { return CountOf(e, TEntry::Frame) >= n; });
  }
  void Close() {
    Runner->Close();
    EXPECT_FALSE(Runner->Running());
    EXPECT_FALSE(Engine.InSession());
    EXPECT_EQ(Dir.EntryCount(), KeptFiles) << "the temporary WAV was left behind";
    EXPECT_EQ(Log.Of(TEntry::Ended).size(), 1u);
  }

  test::TScratchDir Dir;
  test::TFakeTiming Timing;
  test::TLog Log;
  test::TRecordingPresenter Presenter{Log, Timing};
  TVexaStudio Engine;
  TPreviewSetup Setup;
  std::unique_ptr<TPreviewThread> Runner;
  int64_t SoundFrames = 0;  // 0: the project has no sound
  double SoundSpeed = 1;
  std::function<void()> RenderHook;
  std::string RenderedTo;
  bool RenderedFileExisted = false;
  size_t KeptFiles = 0;
};

TEST_F(PreviewRunner, WithoutSoundFrameKIsDueAtKFrameDurationsAndTheLastStaysItsWholeFrame) {
  Start(3167);  // 95 frames
  WaitFrames(100);
  Close();
  const auto frames = Log.Of(TEntry::Frame);
  const double t0 = frames[0].At;
  for (int k = 0; k < 95; ++k) {
    ASSERT_EQ(frames[k].Value, k);
    ASSERT_EQ(frames[k].At - t0, std::nearbyint(k * kFrameMs)) << k;
  }
  // After the last frame's whole duration the picture starts over.
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(frames[95 + k].Value, k);
    EXPECT_EQ(frames[95 + k].At - t0, 3167 + std::nearbyint(k * kFrameMs));
  }
  const auto ranges = Log.Of(TEntry::Range);
  ASSERT_EQ(ranges.size(), 1u);
  EXPECT_EQ(ranges[0].Value, 3);  // 95 frames at 30 fps: 0 … 3
  EXPECT_TRUE(Log.Of(TEntry::Notice).empty());
  EXPECT_TRUE(Log.Of(TEntry::Play).empty());
  const auto positions = Log.Of(TEntry::Position);
  EXPECT_EQ(positions[29].Value, 1);  // after frame 29 the engine stands at frame 30
  EXPECT_EQ(positions[29].Text, "プレビュー - 00:00:01.000");
}

TEST_F(PreviewRunner, FramesFollowASlowSoundDeviceAndTheLoopRestartsBoth) {
  SoundFrames = 5 * 44100;
  SoundSpeed = 0.9;
  Start(3167);
  WaitFrames(100);
  Close();
  const auto entries = Log.Entries();
  double worst = 0;
  int shown = 0;
  for (const TEntry& e : entries) {
    if (e.Kind != TEntry::Frame) continue;
    ASSERT_GE(e.SoundMs, e.Due) << "frame " << e.Value << " shown before the sound got there";
    worst = std::max(worst, e.SoundMs - e.Due);
    ++shown;
  }
  EXPECT_GE(shown, 100);
  EXPECT_LT(worst, 1.0);
  // Play from 0 at the start; at the end stop, and play from 0 again just before frame 0.
  std::vector<std::string> order;
  for (const TEntry& e : entries)
    if (e.Kind == TEntry::Play || e.Kind == TEntry::Stop || (e.Kind == TEntry::Frame && e.Value == 0))
      order.push_back(e.Kind == TEntry::Frame ? "frame0" : e.Kind == TEntry::Play ? "play" + std::to_string(e.Value) : "stop");
  ASSERT_GE(order.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 5),
            (std::vector<std::string>{"play0", "frame0", "stop", "play0", "frame0"}));
}

TEST_F(PreviewRunner, AfterTheSoundEndsThePictureGoesOnByTheMonotonicClock) {
  SoundFrames = 44100;  // one second of sound under 3.2 s of picture
  Start(3167);
  WaitFrames(60);
  Close();
  const auto frames = Log.Of(TEntry::Frame);
  const double t0 = frames[0].At;
  for (int k = 25; k < 60; ++k)
    EXPECT_NEAR(frames[k].At - t0, std::nearbyint(k * kFrameMs), 1.0) << k;
}

TEST_F(PreviewRunner, AQuickClickSeeksAndHoldingTheBarFreezesPictureAndSound) {
  SoundFrames = 5 * 44100;
  // A click too quick for the thread to see it pressed: both calls before it looks.
  Presenter.OnFrame = [this](uint32_t, size_t shown) {
    if (shown == 10) {
      Runner->SetSeekSeconds(2);
      Runner->PressSeekBar();
      Runner->ReleaseSeekBar();
    } else if (shown == 20) {
      Runner->PressSeekBar();  // and held
    }
  };
  Start(3167);
  // Held: the sound stops and no frame comes until the release.
  Log.WaitFor([](const std::vector<TEntry>& e) { return CountOf(e, TEntry::Stop) >= 2; });
  Log.Add({TEntry::Mark});
  Runner->SetSeekSeconds(1);
  Runner->ReleaseSeekBar();
  WaitFrames(25);
  Close();

  const auto entries = Log.Entries();
  std::vector<int64_t> frames;
  std::vector<std::string> sound;
  for (const TEntry& e : entries) {
    if (e.Kind == TEntry::Frame) frames.push_back(e.Value);
    if (e.Kind == TEntry::Play) sound.push_back("play" + std::to_string(e.Value));
    if (e.Kind == TEntry::Stop) sound.push_back("stop");
    if (e.Kind == TEntry::Mark) frames.push_back(-1);
  }
  // Frames 0…9, the seek to second 2 (frame 60), 60…69, held, then second 1 (frame 30).
  ASSERT_GE(frames.size(), 25u);
  EXPECT_EQ(frames[9], 9);
  EXPECT_EQ(frames[10], 60);
  EXPECT_EQ(frames[19], 69);
  EXPECT_EQ(frames[20], -1) << "a frame came while the bar was held";
  EXPECT_EQ(frames[21], 30);
  ASSERT_GE(sound.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(sound.begin(), sound.begin() + 5),
            (std::vector<std::string>{"play0", "stop", "play88200", "stop", "play44100"}));
}

TEST_F(PreviewRunner, SeekingPastTheEndOfTheSoundPlaysThePictureSilent) {
  SoundFrames = 44100;
  Presenter.OnFrame = [this](uint32_t, size_t shown) {
    if (shown == 5) {
      Runner->SetSeekSeconds(2);
      Runner->PressSeekBar();
      Runner->ReleaseSeekBar();
    }
  };
  Start(3167);
  WaitFrames(20);
  Close();
  const auto entries = Log.Entries();
  const auto frames = Log.Of(TEntry::Frame);
  EXPECT_EQ(frames[5].Value, 60);
  for (int k = 5; k < 20; ++k)
    EXPECT_EQ(frames[k].At - frames[5].At, std::nearbyint((k - 5) * kFrameMs));
  // Played from 0, stopped by the seek, and not started again while the picture goes on.
  const auto plays = Log.Of(TEntry::Play);
  ASSERT_FALSE(plays.empty());
  EXPECT_EQ(plays[0].Value, 0);
  for (size_t i = 1; i < plays.size(); ++i)
    EXPECT_GT(plays[i].At, frames[19].At) << "sound started past its end";
}

TEST_F(PreviewRunner, TheBarsLastSecondShowsTheLastFrameOfAWholeSecondsProject) {
  Presenter.OnFrame = [this](uint32_t, size_t shown) {
    if (shown == 2) {
      Runner->SetSeekSeconds(3);
      Runner->PressSeekBar();
      Runner->ReleaseSeekBar();
    }
  };
  Start(3000);  // 90 frames: the bar's last second, 3, starts at frame 90, past the end
  WaitFrames(5);
  Close();
  const auto frames = Log.Of(TEntry::Frame);
  EXPECT_EQ(frames[2].Value, 89);
  EXPECT_EQ(frames[3].Value, 0);
  EXPECT_EQ(frames[3].At - frames[2].At, std::nearbyint(kFrameMs));
  EXPECT_EQ(Log.Of(TEntry::Range)[0].Value, 3);
}

TEST_F(PreviewRunner, TheTemporaryWavIsANewFileOfOurOwnAndGoesOnEveryWayOut) {
  // A file already in the folder is never touched.
  std::ofstream(Dir.File("vexa-preview-keep.wav")) << "mine";
  KeptFiles = 1;
  SoundFrames = 44100;
  Start(3167);
  WaitFrames(3);
  Close();
  EXPECT_TRUE(RenderedFileExisted);
  EXPECT_EQ(std::filesystem::path(RenderedTo).parent_path(), Dir.Path);
  EXPECT_NE(RenderedTo, Dir.File("vexa-preview-keep.wav"));
  EXPECT_EQ(test::ReadBytes(Dir.File("vexa-preview-keep.wav")), "mine");
}

TEST_F(PreviewRunner, ASoundErrorIsToldOnceAndThePreviewPlaysSilent) {
  RenderHook = [] { throw std::runtime_error("damaged.wav: read error"); };
  SoundFrames = 44100;
  Start(3167);
  WaitFrames(40);
  Close();
  const auto notices = Log.Of(TEntry::Notice);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].Text.find("damaged.wav: read error"), std::string::npos);
  EXPECT_TRUE(Log.Of(TEntry::Play).empty());
}

// An effect whose code fails: the frame that meets it cannot be composed.
void FailingEffect(TEffectPass&) {
  throw std::runtime_error("effect failed");
}
TEffectFn FailingLookup(int32_t code) {
  return code == kind::Nega ? &FailingEffect : FindEffectHandler(code);
}

TEST_F(PreviewRunner, AComposeErrorIsToldAndEndsThePreview) {
  SoundFrames = 44100;
  Engine.EffectLookup = &FailingLookup;
  test::BuildProject(Engine.Project, 3167);
  auto nega = std::make_unique<TGraphicEffectNegaEvent>();
  nega->StartTime = 500;
  nega->EndTime = 1000;
  Engine.Project.GraphicLayers[0]->ListForKind(kind::Nega)->Add(std::move(nega));
  Start(3167);
  Log.WaitFor([](const std::vector<TEntry>& e) { return CountOf(e, TEntry::Ended) == 1; });
  EXPECT_FALSE(Runner->Running());
  Close();
  const auto frames = Log.Of(TEntry::Frame);
  ASSERT_FALSE(frames.empty());
  EXPECT_EQ(frames.back().Value, 14);  // frame 15 starts at 500 ms
  const auto notices = Log.Of(TEntry::Notice);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_NE(notices[0].Text.find("effect failed"), std::string::npos);
  EXPECT_EQ(Log.Entries().back().Kind, TEntry::Ended);
  EXPECT_EQ(CountOf(Log.Entries(), TEntry::Stop), 1u);  // the sound was stopped
}

TEST_F(PreviewRunner, ClosingDuringTheSoundRenderWaitsForItAndEndsCleanly) {
  std::promise<void> rendering, finish;
  RenderHook = [&] {
    rendering.set_value();
    finish.get_future().wait();
  };
  SoundFrames = 44100;
  Start(3167);
  rendering.get_future().wait();
  std::atomic<bool> closed{false};
  std::thread closer([&] {
    Runner->Close();
    closed = true;
  });
  while (!Runner->Closing())
    std::this_thread::yield();
  EXPECT_FALSE(closed.load()) << "closing did not wait for the sound render";
  finish.set_value();
  closer.join();
  Close();
  EXPECT_TRUE(Log.Of(TEntry::Frame).empty());
  EXPECT_TRUE(Log.Of(TEntry::Play).empty());
  EXPECT_TRUE(Log.Of(TEntry::Notice).empty());
}

// What a window calls on close: no wait, and the end is told once the thread is done.
TEST_F(PreviewRunner, RequestStopReturnsAtOnceAndTheEndIsToldWhenTheThreadIsDone) {
  std::promise<void> rendering, finish;
  RenderHook = [&] {
    rendering.set_value();
    finish.get_future().wait();
  };
  SoundFrames = 44100;
  Start(3167);
  rendering.get_future().wait();
  Runner->RequestStop();  // returns while the render still runs
  EXPECT_TRUE(Runner->Running());
  EXPECT_TRUE(Log.Of(TEntry::Ended).empty());
  finish.set_value();
  Log.WaitFor([](const std::vector<TEntry>& e) { return CountOf(e, TEntry::Ended) == 1; });
  EXPECT_FALSE(Runner->Running());
  Close();
  EXPECT_TRUE(Log.Of(TEntry::Frame).empty());
}

TEST_F(PreviewRunner, NothingToRenderStartsNoThread) {
  Runner = std::make_unique<TPreviewThread>(Engine, Presenter, Setup);
  EXPECT_FALSE(Runner->Start());
  EXPECT_FALSE(Runner->Running());
  Runner->Close();
  EXPECT_TRUE(Log.Entries().empty());
  EXPECT_EQ(Dir.EntryCount(), 0u);
}

}  // namespace
}  // namespace vexa
