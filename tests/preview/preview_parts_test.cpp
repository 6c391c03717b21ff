// The preview's smaller parts: the seek bar's arithmetic and the caption, the temporary WAV,
// and the hand-over of frames between two threads.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "preview/frame_exchange.h"
#include "preview/preview_caption.h"
#include "preview/temp_wave_file.h"
#include "test_wav.h"

namespace vexa {
namespace {

TEST(PreviewRules, SeekRangeTargetFrameAndCaption) {
  EXPECT_EQ(SeekMaximum(95, 30), 3u);
  EXPECT_EQ(SeekMaximum(90, 30), 3u);
  EXPECT_EQ(SeekTargetFrame(2, 30, 95), 60u);
  EXPECT_EQ(SeekTargetFrame(3, 30, 95), 90u);
  EXPECT_EQ(SeekTargetFrame(3, 30, 90), 89u);  // the bar's last second of a whole-seconds project
  EXPECT_EQ(SeekTargetFrame(4000000, 60, 100), 99u);
  EXPECT_EQ(PreviewCaption(65000), "プレビュー - 00:01:05.000");
  EXPECT_EQ(PreviewCaption(3723004), "プレビュー - 01:02:03.004");
}

TEST(TempWaveFile, MakesANewFileEachTimeAndRemovesOnlyItsOwn) {
  test::TScratchDir dir;
  std::ofstream(dir.File("other.wav")) << "keep";
  std::string first, second;
  {
    TTempWaveFile a, b;
    a.Create(dir.Path.string());
    b.Create(dir.Path.string());
    first = a.Path();
    second = b.Path();
    EXPECT_NE(first, second);
    EXPECT_EQ(std::filesystem::path(first).extension(), ".wav");
    EXPECT_TRUE(std::filesystem::exists(first));
    // Replaced by a writer that renames its own file over it: still ours to remove.
    std::ofstream(dir.File("new")) << "RIFF";
    std::filesystem::rename(dir.File("new"), first);
    EXPECT_EQ(dir.EntryCount(), 3u);
  }
  EXPECT_EQ(dir.EntryCount(), 1u);
  EXPECT_EQ(test::ReadBytes(dir.File("other.wav")), "keep");
  TTempWaveFile c;
  EXPECT_THROW(c.Create(dir.File("no-such-folder")), std::runtime_error);
  EXPECT_TRUE(c.Path().empty());
}

TEST(FrameExchange, FramesCrossThreadsWhole) {
  constexpr uint64_t kFrames = 3000;
  TFrameExchange x;
  EXPECT_EQ(x.Take(), nullptr);  // nothing handed over yet
  std::thread writer([&] {
    for (uint64_t s = 1; s <= kFrames; ++s) {
      TPreviewFrame& f = x.Back();
      f.Picture.SetSize(32, 8);
      f.Picture.Fill(static_cast<uint32_t>(s));
      f.Serial = s;
      x.Publish();
    }
  });
  uint64_t last = 0, torn = 0, backwards = 0;
  while (last < kFrames) {
    const TPreviewFrame* f = x.Take();
    if (f == nullptr) continue;
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t px = 0; px < 32; ++px)
        torn += f->Picture.Pixel(px, y) != static_cast<uint32_t>(f->Serial);
    backwards += f->Serial < last;
    last = f->Serial;
  }
  writer.join();
  EXPECT_EQ(torn, 0u);
  EXPECT_EQ(backwards, 0u);
}

}  // namespace
}  // namespace vexa
