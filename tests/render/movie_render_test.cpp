// The finished-file render, frame ranges, stills and the fixed seed: files decoded with
// libavformat and compared with the frames of a whole AVI render of the same project and seed.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <stdexcept>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "avi_probe.h"
#include "movie_probe.h"
#include "model/output_guard.h"
#include "render/movie_render_command.h"
#include "render/random32.h"
#include "render/still_render_command.h"
#include "render_test_util.h"

namespace vexa {
namespace {

using test::ScratchDir;
using TFrames = std::vector<std::vector<uint8_t>>;

constexpr uint32_t kBack = 0x00306090;  // 0x00BBGGRR

// 64 x 40 at 30 fps, one second: a picture smaller than the frame (the background shows round
// it) that shakes and gets colour noise, so every frame depends on the random source.
void BuildProject(TProject& p, const ScratchDir& dir) {
  p.Width = 64, p.Height = 40, p.FPS = 30, p.BackColor = kBack, p.ProjectName = "ムービー";
  TGraphicLayer& l = test::AddLayer(p, "spot");
  test::AddImage(l, 0, 1000, test::WritePicture(dir, "spot.bmp", 40, 24, 0x0040A0F0));
  auto& shake = test::AddEvent<TGraphicEffectVibrationEvent>(l, 0, 1000);
  shake.StartInterval = shake.EndInterval = 60;
  shake.StartMinX = shake.EndMinX = shake.StartMinY = shake.EndMinY = 2;
  shake.StartMaxX = shake.EndMaxX = shake.StartMaxY = shake.EndMaxY = 8;
  auto& noise = test::AddEvent<TGraphicEffectNoiseColorEvent>(l, 0, 1000);
  noise.StartPower = noise.EndPower = 60;
}

TCodecOptions Choice(const std::string& codec) {
  TCodecOptions o = DefaultCodecOptions(30);
  o.Handler = codec;
  return o;
}

// The frames of an uncompressed AVI render of the project with the seed, over the range.
TFrames AviFrames(const ScratchDir& dir, uint32_t seed, const TFrameRange& range = {}) {
  TVexaStudio studio;
  BuildProject(studio.Project, dir);
  TFixedCodecChoice choice(Choice("uncompressed"));
  SeedRandom32(seed);
  const auto out = RunGraphicRenderCommand(studio, dir.File("whole.avi"), choice, nullptr, nullptr, range);
  EXPECT_EQ(out.Status, TGraphicRenderStatus::Finished) << out.Detail;
  return test::DecodeAviFrames(out.FileName);
}

// A mix of the given length: a ramp, so that no two frames of it are alike.
std::function<bool(std::vector<int16_t>&)> Mix(uint64_t frames) {
  return [frames](std::vector<int16_t>& mix) {
    mix.resize(2 * frames);
    for (size_t i = 0; i < mix.size(); ++i)
      mix[i] = static_cast<int16_t>((i * 37) % 20000 - 10000);
    return true;
  };
}

class StopAfter : public TGraphicRenderMonitor {
 public:
  explicit StopAfter(uint32_t n) : n_(n) {}
  void FrameWritten(uint32_t written, uint32_t) override { seen_ = written; }
  bool StopRequested() override { return seen_ >= n_; }

 private:
  uint32_t n_, seen_ = 0;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(MovieRenderCommand, Mp4HoldsThePicturesWithTheSoundCutOrFilledToThem) {
  ScratchDir dir;
  // Two seconds of mix for one second of pictures, then half a second: the sound follows the
  // pictures either way.
  for (uint64_t mixFrames : {88200u, 22050u}) {
    SCOPED_TRACE(mixFrames);
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    TMovieRenderRequest request;
    request.FileName = dir.File("movie.mp4");
    request.MixSound = Mix(mixFrames);
    const TMovieRenderOutcome out = RunMovieRenderCommand(studio, request);
    ASSERT_EQ(out.Status, TGraphicRenderStatus::Finished) << out.Detail;
    EXPECT_EQ(out.Message, kMsgMovieRenderDone);
    EXPECT_EQ(out.FramesWritten, 30u);
    EXPECT_EQ(out.SoundFrames, 44100u);
    EXPECT_FALSE(studio.InSession());
    const auto p = test::ProbeMovie(out.FileName);
    ASSERT_EQ(p.Streams.size(), 2u);
    EXPECT_EQ(p.Streams[0].Codec, "h264");
    EXPECT_EQ(p.Streams[0].Frames, 30);
    EXPECT_EQ(p.Streams[0].Width, 64);
    EXPECT_EQ(p.Streams[0].ColorSpace, AVCOL_SPC_BT709);
    EXPECT_EQ(p.Streams[0].ColorRange, AVCOL_RANGE_MPEG);
    EXPECT_EQ(p.Streams[1].Codec, "aac");
    EXPECT_NEAR(p.Streams[1].End, p.Streams[0].End, 1e-9);
    EXPECT_NEAR(p.Streams[0].End, 1.0, 1e-9);
    EXPECT_TRUE(p.IndexBeforeData);
  }
  {  // no sound in the project: pictures only
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    TMovieRenderRequest request;
    request.FileName = dir.File("quiet.mkv");
    request.MixSound = [](std::vector<int16_t>&) { return false; };
    const TMovieRenderOutcome out = RunMovieRenderCommand(studio, request);
    ASSERT_EQ(out.Status, TGraphicRenderStatus::Finished) << out.Detail;
    EXPECT_EQ(out.SoundFrames, 0u);
    EXPECT_EQ(test::ProbeMovie(out.FileName).Streams.size(), 1u);
  }
}

TEST(MovieRenderCommand, FailuresAndEarlyStopsLeaveTheOldFile) {
  ScratchDir dir;
  const std::string file = dir.File("keep.mkv");
  { std::ofstream(file) << "older render"; }
  TMovieRenderRequest request;
  request.FileName = file;
  {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    request.MixSound = [](std::vector<int16_t>&) -> bool { throw std::runtime_error("no codec for x.ape"); };
    const auto out = RunMovieRenderCommand(studio, request);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::Failed);
    EXPECT_EQ(out.Message, kMsgSoundMixFailed);
    EXPECT_EQ(out.Detail, "no codec for x.ape");
  }
  request.MixSound = nullptr;
  {  // a name that reaches one of the project's pictures
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    std::filesystem::create_symlink(dir.File("spot.bmp"), dir.File("spot.mkv"));
    std::filesystem::create_symlink(dir.File("spot.bmp"), dir.File("spot.png"));
    TMovieRenderRequest toInput = request;
    toInput.FileName = dir.File("spot.mkv");
    EXPECT_EQ(RunMovieRenderCommand(studio, toInput).Status, TGraphicRenderStatus::OutputIsInput);
    const auto still = RunStillRenderCommand(studio, 0, dir.File("spot.png"));
    EXPECT_FALSE(still.Written);
    EXPECT_EQ(still.Message, kMsgOutputIsInput);
    EXPECT_EQ(ReadFile(dir.File("spot.bmp")).substr(0, 2), "BM");
  }
  {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    request.Frames.First = 30;  // one past the last frame
    const auto out = RunMovieRenderCommand(studio, request);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::NoFrames);
    EXPECT_EQ(out.Message, kMsgRangeOutside);
    request.Frames.First = 0;
  }
  {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    request.Video.Codec = "uncompressed";  // Matroska here takes compressed streams only
    const auto out = RunMovieRenderCommand(studio, request);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::OpenFailed);
    EXPECT_EQ(out.ErrorCode, kMovieCodecNotInContainer);
    request.Video.Codec.clear();
  }
  {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    StopAfter never(0);  // a stop before the first frame
    const auto out = RunMovieRenderCommand(studio, request, &never);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::Cancelled);
    EXPECT_FALSE(out.OnDisk());
  }
  EXPECT_EQ(ReadFile(file), "older render");
  {
    TVexaStudio studio;
    BuildProject(studio.Project, dir);
    StopAfter five(5);
    const auto out = RunMovieRenderCommand(studio, request, &five);
    EXPECT_EQ(out.Status, TGraphicRenderStatus::Cancelled);
    EXPECT_TRUE(out.OnDisk());
    EXPECT_EQ(test::ProbeMovie(file).Streams[0].Frames, 5);
  }
}

// The pictures of a seed are the same in every render, whole or in pieces, into any file.
TEST(Seed, PiecesAndRepeatsGiveTheFramesOfTheWholeRender) {
  ScratchDir dir;
  const TFrames whole = AviFrames(dir, 5);
  ASSERT_EQ(whole.size(), 30u);
  EXPECT_EQ(AviFrames(dir, 5), whole);
  EXPECT_NE(AviFrames(dir, 6), whole);  // the effects do draw from the source

  TFrames pieces = AviFrames(dir, 5, {0, 11});
  const TFrames rest = AviFrames(dir, 5, {12, std::nullopt});
  pieces.insert(pieces.end(), rest.begin(), rest.end());
  EXPECT_EQ(pieces, whole);

  // A lossless movie of frames 10 to 19, with the sound of exactly those frames.
  TVexaStudio studio;
  BuildProject(studio.Project, dir);
  TMovieRenderRequest request;
  request.FileName = dir.File("piece.mkv");
  request.Video.Codec = "ffv1";
  request.Frames = {10, 19};
  request.MixSound = Mix(88200);
  SeedRandom32(5);
  const TMovieRenderOutcome out = RunMovieRenderCommand(studio, request);
  ASSERT_EQ(out.Status, TGraphicRenderStatus::Finished) << out.Detail;
  EXPECT_EQ(out.FirstFrame, 10u);
  EXPECT_EQ(out.FramesWritten, 10u);
  EXPECT_EQ(out.SoundFrames, SoundFrameOf(20, 30) - SoundFrameOf(10, 30));
  const auto p = test::ProbeMovie(out.FileName, true);
  ASSERT_EQ(p.Pictures.size(), 10u);
  for (size_t k = 0; k < 10; ++k)
    EXPECT_EQ(p.Pictures[k], whole[10 + k]) << "frame " << 10 + k;
  // Pieces of the sound meet without a gap or an overlap, at any rate.
  EXPECT_EQ(SoundFrameOf(1, 24) + (SoundFrameOf(2, 24) - SoundFrameOf(1, 24)), SoundFrameOf(2, 24));
  EXPECT_EQ(SoundFrameOf(24, 24), 44100u);
  EXPECT_EQ(SoundFrameOf(1, 24), 1838u);  // 1837.5 rounded up
}

TEST(StillRenderCommand, WritesTheAviFrameBackgroundIncluded) {
  ScratchDir dir;
  const TFrames whole = AviFrames(dir, 8);
  EXPECT_EQ(FrameAtTime(0, 30), 0u);
  EXPECT_EQ(FrameAtTime(999, 30), 29u);
  EXPECT_EQ(FrameAtTime(1000, 30), 30u);
  EXPECT_EQ(FrameAtTime(567, 30), 17u);
  TVexaStudio studio;
  BuildProject(studio.Project, dir);
  SeedRandom32(8);
  const auto out = RunStillRenderCommand(studio, 17, dir.File("still.png"));
  ASSERT_TRUE(out.Written) << out.Detail;
  EXPECT_EQ(out.Message, kMsgStillDone);
  int w = 0, h = 0;
  const std::vector<uint8_t> png = test::DecodePng(dir.File("still.png"), w, h);
  EXPECT_EQ(w, 64);
  EXPECT_EQ(h, 40);
  EXPECT_EQ(png, whole[17]);
  // The top right corner lies outside the picture: the background, blue-green-red.
  const size_t stride = 64 * 3;
  const uint8_t* corner = png.data() + 39 * stride + 63 * 3;
  EXPECT_EQ(corner[0], 0x30);
  EXPECT_EQ(corner[1], 0x60);
  EXPECT_EQ(corner[2], 0x90);

  const auto late = RunStillRenderCommand(studio, 30, dir.File("late.png"));
  EXPECT_FALSE(late.Written);
  EXPECT_EQ(late.Message, kMsgRangeOutside);
  EXPECT_FALSE(std::filesystem::exists(dir.File("late.png")));
}

}  // namespace
}  // namespace vexa
