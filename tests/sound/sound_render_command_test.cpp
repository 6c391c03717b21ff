// The render command's file name rule and its two messages.
#include <gtest/gtest.h>

#include <memory>

#include "model/project.h"
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

TEST(SoundRenderCommand, ReportsSuccessAndFailureWithTheirMessages) {
  test::TScratchDir dir;
  TProject project;
  auto failed = RunSoundRenderCommand(project, dir.File("take"));
  EXPECT_FALSE(failed.Written);
  EXPECT_EQ(failed.Message, "サウンドのレンダリング中に異常が発生しました。");
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
}

}  // namespace
}  // namespace vexa
