// The graphic render command: files read back with libavformat and compared with the frames of
// a fresh session, stop and failure behaviour, the file name rule and the writer settings.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "avi_probe.h"
#include "model/output_guard.h"
#include "render/frame_to_24.h"
#include "render/graphic_render_command.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::ScratchDir;

// Two picture layers with transparency, a fade and a move: 30 frames at 30 fps.
void BuildProject(TProject& p, const ScratchDir& dir) {
  p.Width = 66, p.Height = 40, p.FPS = 30, p.BackColor = 0x00306090, p.ProjectName = "テスト";
  TABitmap back;
  back.SetSize(66, 40);
  for (int32_t y = 0; y < 40; ++y)
    for (int32_t x = 0; x < 66; ++x)
      back.SetPixel(x, y,
                    static_cast<uint32_t>(x * 3) | static_cast<uint32_t>(y * 6) << 8 | 0x400000u |
                        static_cast<uint32_t>(x * 2) << 24);
  back.SaveToFile(dir.File("back.bmp"));
  const std::string spot = test::WritePicture(dir, "spot.bmp", 20, 16, 0x20FF8010);
  TGraphicLayer& l1 = test::AddLayer(p, "back");
  test::AddImage(l1, 0, 1000, dir.File("back.bmp"));
  TGraphicLayer& l2 = test::AddLayer(p, "spot");
  test::AddImage(l2, 0, 1000, spot);
  auto& fade = test::AddEvent<TGraphicEffectFadeEvent>(l2, 0, 1000);
  fade.StartAlpha = 40, fade.EndAlpha = 255;
  auto& pos = test::AddEvent<TGraphicEffectPositionEvent>(l2, 0, 1000);
  pos.StartX = 0, pos.EndX = 44, pos.StartY = 2, pos.EndY = 20;
}

// Every frame of a fresh session of the same project, as the 24-bit block the writer gets.
std::vector<std::vector<uint8_t>> ExpectedFrames(const ScratchDir& dir) {
  TVexaStudio studio;
  BuildProject(studio.Project, dir);
  std::vector<std::vector<uint8_t>> frames;
  if (!studio.PrepareSession()) return frames;
  while (studio.FrameIndex < studio.FrameCount) {
    studio.ComposeFrame();
    TABitmap copy;
    copy.Assign(studio.FrameBitmap);
    copy.Convert24Bit();
    frames.emplace_back(copy.Bits(), copy.Bits() + copy.ByteSize());
  }
  studio.FinishSession();
  return frames;
}

TCodecOptions Choice(const std::string& codec) {
  TCodecOptions o = DefaultCodecOptions(30);
  o.Handler = codec;
  return o;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t EntriesIn(const std::string& folder) {
  return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

class Recorder : public TGraphicRenderMonitor {
 public:
  explicit Recorder(uint32_t stopAfter = UINT32_MAX) : stopAfter_(stopAfter) {}
  void Started(uint32_t count, const TVideoCodec& codec) override {
    StartedWith = count;
    Codec = &codec;
  }
  void FrameWritten(uint32_t written, uint32_t count) override {
    Reports.push_back(written);
    EXPECT_EQ(count, StartedWith);
  }
  bool StopRequested() override { return Reports.size() >= stopAfter_; }
  uint32_t StartedWith = 0;
  const TVideoCodec* Codec = nullptr;
  std::vector<uint32_t> Reports;

 private:
  uint32_t stopAfter_;
};

TEST(GraphicRenderCommand, LosslessFilesHoldEveryComposedFrameExactly) {
  ScratchDir dir;
  const auto expected = ExpectedFrames(dir);
  ASSERT_EQ(expected.size(), 30u);
  for (const char* codec : {"uncompressed", "ffv1"}) {
    SCOPED_TRACE(codec);
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    TFixedCodecChoice choice(Choice(codec));
    Recorder progress;
    const auto out =
        RunGraphicRenderCommand(studio, dir.File(std::string("movie-") + codec), choice, &progress);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::Finished) << out.Detail;
    EXPECT_EQ(out.Message, kMsgGraphicRenderDone);
    EXPECT_EQ(out.FileName, dir.File(std::string("movie-") + codec + ".avi"));
    EXPECT_EQ(out.FramesWritten, 30u);
    EXPECT_EQ(progress.StartedWith, 30u);
    EXPECT_EQ(progress.Codec, FindVideoCodec(codec));
    ASSERT_EQ(progress.Reports.size(), 30u);
    EXPECT_EQ(progress.Reports.back(), 30u);
    EXPECT_FALSE(studio.InSession());

    const auto probe = test::ProbeAvi(out.FileName);
    ASSERT_TRUE(probe.Opened);
    EXPECT_EQ(probe.VideoStreams, 1);
    EXPECT_EQ(probe.AudioStreams, 0);
    EXPECT_EQ(probe.Scale, 1);
    EXPECT_EQ(probe.Rate, 30);
    EXPECT_EQ(probe.HeaderLength, 30);
    EXPECT_EQ(probe.Width, 66);
    EXPECT_EQ(probe.Height, 40);
    EXPECT_EQ(probe.Title, "\x83\x65\x83\x58\x83\x67");  // the project name in code page 932
    const auto decoded = test::DecodeAviFrames(out.FileName);
    ASSERT_EQ(decoded.size(), 30u);
    for (size_t k = 0; k < decoded.size(); ++k)
      EXPECT_EQ(decoded[k], expected[k]) << "frame " << k;
  }
}

TEST(GraphicRenderCommand, CompressedRenderHasKeyFramesAtTheInterval) {
  ScratchDir dir;
  TVexaStudio studio;
  BuildProject(studio.Project, dir);
  TCodecOptions o = Choice("mpeg4");
  o.KeyFrameEvery = 8;
  TFixedCodecChoice choice(o);
  const auto out = RunGraphicRenderCommand(studio, dir.File("m.avi"), choice);
  ASSERT_EQ(out.Status, TGraphicRenderStatus::Finished) << out.Detail;
  const auto probe = test::ProbeAvi(out.FileName);
  ASSERT_EQ(probe.KeyFrames.size(), 30u);
  for (size_t k = 0; k < 30; k += 8)
    EXPECT_TRUE(probe.KeyFrames[k]) << "frame " << k;
  EXPECT_EQ(test::DecodeAviFrames(out.FileName).size(), 30u);
}

TEST(GraphicRenderCommand, StopKeepsAPlayableFileOfTheFramesSoFar) {
  ScratchDir dir;
  const auto expected = ExpectedFrames(dir);
  const std::string file = dir.File("stopped.avi");
  { std::ofstream(file) << "older render"; }
  TVexaStudio studio;
  BuildProject(studio.Project, dir);
  TFixedCodecChoice choice(Choice("uncompressed"));
  Recorder stopAfter7(7);
  const auto out = RunGraphicRenderCommand(studio, file, choice, &stopAfter7);
  EXPECT_EQ(out.Status, TGraphicRenderStatus::Cancelled);
  EXPECT_EQ(out.Message, kMsgRenderCancelled);
  EXPECT_EQ(out.FramesWritten, 7u);
  EXPECT_TRUE(out.Written());
  const auto probe = test::ProbeAvi(file);
  EXPECT_EQ(probe.HeaderLength, 7);
  const auto decoded = test::DecodeAviFrames(file);
  ASSERT_EQ(decoded.size(), 7u);
  for (size_t k = 0; k < 7; ++k)
    EXPECT_EQ(decoded[k], expected[k]) << "frame " << k;
  EXPECT_EQ(EntriesIn(dir.File("")), 3u);  // two pictures and the movie, nothing else
}

class CancelChoice : public TCodecChoice {
 public:
  bool Choose(TCodecOptions&) override { return false; }
};

TEST(GraphicRenderCommand, CancelledChoiceAndEmptyProjectLeaveTheOldFile) {
  ScratchDir dir;
  const std::string file = dir.File("keep.AVI");
  { std::ofstream(file) << "older render"; }
  {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    CancelChoice cancel;
    const auto out = RunGraphicRenderCommand(studio, file, cancel);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::OpenFailed);
    EXPECT_EQ(out.Message, kMsgAviOpenFailed);
    EXPECT_EQ(out.ErrorCode, kAviCancelled);
    EXPECT_EQ(out.FileName, file);  // ".AVI" in any case is kept
    EXPECT_FALSE(studio.InSession());
  }
  {
    TVexaStudio studio;  // nothing to render
    studio.Project.Width = 64, studio.Project.Height = 48;
    TFixedCodecChoice choice(Choice("uncompressed"));
    const auto out = RunGraphicRenderCommand(studio, file, choice);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::NoFrames);
    EXPECT_EQ(out.Message, kMsgRenderInitFailed);
    EXPECT_FALSE(out.Written());
  }
  {
    TVexaStudio studio;  // an odd width that a 4:2:0 codec refuses
    BuildProject(studio.Project, dir);
    studio.Project.Width = 65;
    TFixedCodecChoice choice(Choice("mpeg4"));
    const auto out = RunGraphicRenderCommand(studio, file, choice);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::OpenFailed);
    EXPECT_EQ(out.Message, kMsgAviOpenFailed);
  }
  EXPECT_EQ(ReadFile(file), "older render");
  EXPECT_EQ(EntriesIn(dir.File("")), 3u);  // the file and the two pictures: no leftovers
}

// Counts what the writer announces and when it is gone.
class TempRecorder : public TTempFileWatch {
 public:
  bool Make(const std::string& path, const std::function<bool()>& create) override {
    Made_.push_back(path);
    return create();
  }
  void Gone(const std::string& path) override { Gone_.push_back(path); }
  std::vector<std::string> Made_, Gone_;
};

TEST(GraphicRenderCommand, RefusesItsOwnInputsAndSizesItCannotHoldBeforeMakingAFile) {
  ScratchDir dir;
  const std::string link = dir.File("out.avi");
  std::filesystem::create_symlink(dir.File("back.bmp"), link);
  {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    const std::string before = ReadFile(dir.File("back.bmp"));
    CancelChoice neverAsked;  // refused before the codec choice: a cancel would say OpenFailed
    const auto out = RunGraphicRenderCommand(studio, link, neverAsked);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::OutputIsInput);
    EXPECT_EQ(out.Message, kMsgOutputIsInput);
    EXPECT_NE(out.Detail.find("picture"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("back.bmp")), before);
  }
  for (const auto& [w, h] : {std::pair{32768u, 32768u}, std::pair{32769u, 8u}, std::pair{0u, 8u}}) {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    studio.Project.Width = w, studio.Project.Height = h;
    CancelChoice neverAsked;
    TempRecorder temps;
    const auto out = RunGraphicRenderCommand(studio, dir.File("big.avi"), neverAsked, nullptr, &temps);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::OpenFailed);
    EXPECT_EQ(out.Message, kMsgAviOpenFailed);
    EXPECT_NE(out.Detail.find(std::to_string(w) + " x " + std::to_string(h)), std::string::npos);
    EXPECT_TRUE(temps.Made_.empty());
  }
  {
    TVexaStudio studio;  // layers, but nothing to show: said in words
    test::AddLayer(studio.Project, "only effects");
    TFixedCodecChoice choice(Choice("uncompressed"));
    const auto out = RunGraphicRenderCommand(studio, dir.File("none.avi"), choice);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::NoFrames);
    EXPECT_EQ(out.Detail, "no graphic layer has a source event (text, picture, movie or master)");
  }
  EXPECT_EQ(EntriesIn(dir.File("")), 3u);  // the pictures and the link: no leftovers
}

TEST(GraphicRenderCommand, TheWatcherSeesTheTemporaryFileComeAndGo) {
  ScratchDir dir;
  TVexaStudio studio;
  BuildProject(studio.Project, dir);
  TFixedCodecChoice choice(Choice("uncompressed"));
  for (uint32_t stopAfter : {UINT32_MAX, 0u}) {  // finished, and stopped before any frame
    TempRecorder temps;
    Recorder progress(stopAfter);
    RunGraphicRenderCommand(studio, dir.File("w.avi"), choice, &progress, &temps);
    ASSERT_EQ(temps.Made_.size(), 1u);
    EXPECT_EQ(temps.Gone_, temps.Made_);
    EXPECT_FALSE(std::filesystem::exists(temps.Made_[0]));
  }
  {
    TempRecorder temps;  // nothing to render: the file is dropped
    TVexaStudio empty;
    empty.Project.Width = 8, empty.Project.Height = 8;
    RunGraphicRenderCommand(empty, dir.File("e.avi"), choice, nullptr, &temps);
    EXPECT_EQ(temps.Gone_, temps.Made_);
  }
}

TEST(GraphicRenderCommand, PackedFrameEqualsTheConversionRoundTrip) {
  TABitmap frame24;
  for (int32_t w : {1, 2, 5, 6, 7, 8, 9, 33, 66}) {
    SCOPED_TRACE(w);
    TABitmap frame, expected;
    frame.SetSize(w, 5);
    for (int32_t y = 0; y < 5; ++y)
      for (int32_t x = 0; x < w; ++x)
        frame.SetPixel(x, y, 0x9E3779B9u * static_cast<uint32_t>(x * 7 + y * 131 + 1));
    expected.Assign(frame);
    expected.Convert24Bit();
    PackFrame24ClearAlpha(frame, frame24);  // the buffer is reused and resized across sizes
    ASSERT_EQ(frame24.BitsPerPixel(), 24);
    ASSERT_EQ(frame24.ByteSize(), expected.ByteSize());
    EXPECT_TRUE(std::equal(expected.Bits(), expected.Bits() + expected.ByteSize(), frame24.Bits()));
    expected.Force32Bit();  // alpha 0, colours kept
    EXPECT_EQ(test::Pixels(frame), test::Pixels(expected));
  }
}

TEST(GraphicRenderCommand, FileNameRuleAndWriterSettings) {
  EXPECT_EQ(GraphicRenderFileName("out"), "out.avi");
  EXPECT_EQ(GraphicRenderFileName("out.Avi"), "out.Avi");
  EXPECT_EQ(GraphicRenderFileName("out.mp4"), "out.mp4.avi");
  EXPECT_EQ(GraphicRenderFileName("dir.avi/out"), "dir.avi/out.avi");

  TProject p;
  p.Width = 642, p.Height = 480, p.FPS = 30, p.ProjectName = "デモ";
  TAVIWriteSettings s = GraphicRenderSettings(p);
  EXPECT_EQ(s.Width, 642);
  EXPECT_EQ(s.Height, 480);
  EXPECT_EQ(s.Rate, 30);
  EXPECT_EQ(s.Handler, "");
  EXPECT_EQ(s.Quality, 10000);
  EXPECT_EQ(s.KeyFrameEvery, 240);
  EXPECT_EQ(s.BytesPerSecond, 102400);
  EXPECT_EQ(s.CompressFlags, 6);
  EXPECT_EQ(s.Compress, 1);
  EXPECT_EQ(s.ShowOptions, 1);
  EXPECT_EQ(s.BitCount, 24);
  EXPECT_EQ(s.StreamName, "\x83\x66\x83\x82");
  EXPECT_EQ(AviFrameByteSize(s.Width, s.Height, s.BitCount), 1928u * 480u);

  std::string longName;
  for (int i = 0; i < 40; ++i)
    longName += "あ";  // 2 bytes each in code page 932
  p.ProjectName = "x" + longName;
  EXPECT_EQ(GraphicRenderSettings(p).StreamName.size(), 63u);
  p.ProjectName = longName;
  EXPECT_EQ(GraphicRenderSettings(p).StreamName.size(), 62u);  // no half character
  p.ProjectName = std::string(100, 'a');
  EXPECT_EQ(GraphicRenderSettings(p).StreamName, std::string(63, 'a'));
}

}  // namespace
}  // namespace vexa
