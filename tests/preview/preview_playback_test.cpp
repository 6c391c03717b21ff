// The runner as the window will use it: the real clock, the real sound render and the sound
// output on SDL's dummy driver, or on no device at all.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <mutex>

#include "preview/preview_fakes.h"
#include "render/studio.h"
#include "test_wav.h"

namespace vexa {
namespace {

using test::CountOf;
using test::TEntry;

// Keeps a copy of the frames it is handed, as a window would paint them.
class TCopyingPresenter : public test::TRecordingPresenter {
 public:
  using TRecordingPresenter::TRecordingPresenter;
  void FrameReady() override {
    const TPreviewFrame* f = Runner->TakeFrame();
    {
      std::lock_guard<std::mutex> hold(Lock);
      Last.Assign(f->Picture);
      LastIndex = f->FrameIndex;
    }
    TRecordingPresenter::FrameReady();
  }
  std::mutex Lock;
  TABitmap Last;
  uint32_t LastIndex = 0;
};

void BuildSoundProject(TProject& p, const test::TScratchDir& dir) {
  TABitmap picture;
  picture.SetSize(16, 16);
  picture.Fill(0x00FF0000);  // blue
  picture.SaveToFile(dir.File("blue.bmp"));
  test::BuildProject(p, 3167, dir.File("blue.bmp"));
  p.BackColor = 0x0000FF;  // red
  std::vector<int16_t> pcm(2 * 44100);
  for (size_t i = 0; i < pcm.size(); ++i)
    pcm[i] = static_cast<int16_t>((i * 97) % 20000 - 10000);
  test::WriteTestWav(dir.File("tone.wav"), 2, 44100, pcm);
  TSoundLayer& layer = *NewSoundLayer(p.SoundLayers, -1);
  auto e = std::make_unique<TSoundSourceEvent>();
  e->StartTime = 0;
  e->EndTime = 1000;
  e->FileName = dir.File("tone.wav");
  e->SampleAppointMode = 1;
  e->EndSample = 1000;
  layer.Events.Add(std::move(e));
}

TEST(PreviewPlayback, PlaysWithTheSoundDeviceOrSilentlyWithoutOne) {
  for (const std::string driver : {"dummy", "no-such-driver"}) {
    SCOPED_TRACE(driver);
    ::setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    test::TScratchDir dir, temp;
    TSteadyTiming timing;
    test::TLog log;
    TCopyingPresenter presenter(log, timing);
    TVexaStudio engine;
    BuildSoundProject(engine.Project, dir);
    TPreviewSetup setup;
    setup.TempFolder = temp.Path.string();
    TPreviewThread runner(engine, presenter, setup);
    presenter.Runner = &runner;
    ASSERT_TRUE(runner.Start());
    log.WaitFor([](const std::vector<TEntry>& e) { return CountOf(e, TEntry::Frame) >= 5; });
    EXPECT_EQ(temp.EntryCount(), 1u);  // the sound being played
    runner.Close();
    EXPECT_EQ(temp.EntryCount(), 0u);
    EXPECT_FALSE(engine.InSession());

    const auto notices = log.Of(TEntry::Notice);
    if (driver == "dummy") {
      EXPECT_TRUE(notices.empty());
    } else {
      ASSERT_EQ(notices.size(), 1u);
      EXPECT_NE(notices[0].Text.find("No sound device"), std::string::npos);
    }
    // The frame handed over is the engine's frame, copied whole.
    TVexaStudio reference;
    BuildSoundProject(reference.Project, dir);
    ASSERT_TRUE(reference.PrepareSession());
    reference.SeekFrame(presenter.LastIndex);
    reference.ComposeFrame();
    ASSERT_EQ(presenter.Last.Width(), 64);
    ASSERT_EQ(presenter.Last.Height(), 48);
    EXPECT_TRUE(std::equal(presenter.Last.Pixels(), presenter.Last.Pixels() + 64 * 48, reference.FrameBitmap.Pixels()));
    EXPECT_EQ(presenter.Last.Pixel(0, 0) & 0xFFFFFF, 0xFF0000u);  // red background (BGR bytes)
  }
}

}  // namespace
}  // namespace vexa
