// The render command's file name rule and its two messages.
#include <gtest/gtest.h>

#include <memory>

#include "model/project.h"
#include "model/output_guard.h"
#include "sound/sound_render_command.h"
#include "test_wav.h"

namespace vexa {
namespace {

TEST(SoundRenderCommand, AppendsWavUnlessTheExtensionIsWavInAnyCase) {
  EXPECT_EQ(SoundRenderFileName("take.WAV"), "take.WAV");
  EXPECT_EQ(SoundRenderFileName("take.wav"), "take.wav");
  EXPECT_EQ(SoundRenderFileName("take"), "take.wav");
  EXPECT_EQ(SoundRenderFileName("mix.mp3"), "mix.mp3.wav");
  EXPECT_EQ(SoundRenderFileName("/tmp/a.wav/take"), "/tmp/a.wav/take.wav");
  EXPECT_EQ(SoundRenderFileName("take.wav.bak"), "take.wav.bak.wav");
  EXPECT_EQ(SoundRenderFileName("曲.Wav"), "曲.Wav");
}

TEST(SoundRenderCommand, ReportsEveryOutcomeWithItsMessageAndReason) {
  test::TScratchDir dir;
  TProject project;
  auto failed = RunSoundRenderCommand(project, dir.File("take"));
  EXPECT_FALSE(failed.Written);
  EXPECT_EQ(failed.Status, TSoundRenderStatus::NothingToRender);
  EXPECT_EQ(failed.Message, "サウンドのレンダリング中に異常が発生しました。");
  EXPECT_EQ(failed.Detail, "the project has no sound layers");
  EXPECT_FALSE(std::filesystem::exists(dir.File("take.wav")));

  const std::string src = dir.File("src.wav");
  test::WriteTestWav(src, 2, 44100, std::vector<int16_t>(2 * 4410, 1000));
  auto e = std::make_unique<TSoundSourceEvent>();
  e->EndTime = 100;
  e->FileName = src;
  e->EndSample = 4410;
  e->StartVolume = e->EndVolume = 256;
  NewSoundLayer(project.SoundLayers, -1)->Events.Add(std::move(e));
  auto done = RunSoundRenderCommand(project, dir.File("take"));
  EXPECT_TRUE(done.Written);
  EXPECT_EQ(done.FileName, dir.File("take.wav"));
  EXPECT_EQ(done.Message, "サウンドのレンダリングは正常終了しました。");
  EXPECT_EQ(test::ReadWav(done.FileName).Frames(), 1100u * 441 / 10);

  // Errors of the render come back with their reason instead of being raised.
  auto unwritable = RunSoundRenderCommand(project, dir.File("no-such-folder/take"));
  EXPECT_EQ(unwritable.Status, TSoundRenderStatus::Failed);
  EXPECT_EQ(unwritable.Message, "サウンドのレンダリング中に異常が発生しました。");
  EXPECT_NE(unwritable.Detail.find("No such file or directory"), std::string::npos) << unwritable.Detail;

  // A name that reaches the source (here through a hard link) is refused, the source untouched.
  const std::string before = test::ReadBytes(src);
  std::filesystem::create_hard_link(src, dir.File("again.wav"));
  auto refused = RunSoundRenderCommand(project, dir.File("again.wav"));
  EXPECT_EQ(refused.Status, TSoundRenderStatus::OutputIsInput);
  EXPECT_EQ(refused.Message, kMsgOutputIsInput);
  EXPECT_EQ(test::ReadBytes(src), before);

  TSoundRenderHooks stop;
  stop.StopRequested = [] { return true; };
  auto cancelled = RunSoundRenderCommand(project, dir.File("take"), stop);
  EXPECT_EQ(cancelled.Status, TSoundRenderStatus::Cancelled);
  EXPECT_EQ(cancelled.Message, "キャンセルされました。");

  project.SoundLayers[0]->Events[0]->EndTime = 0;
  EXPECT_EQ(RunSoundRenderCommand(project, dir.File("take")).Detail, "no sound event ends after 0 ms");
}

}  // namespace
}  // namespace vexa
