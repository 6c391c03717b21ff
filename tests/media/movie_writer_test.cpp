// TMovieWriter and the 4:2:0 conversion: files read back and decoded with libavformat, colour
// tags of every YUV output (AVI included), the conversion's fast path against the plain one.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

extern "C" {
#include <libavutil/pixfmt.h>
}

#include "avi_probe.h"
#include "media/avi_writer.h"
#include "media/movie_writer.h"
#include "media/yuv_convert.h"
#include "movie_probe.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;

class MovieWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vexa-movie-writer-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  size_t EntryCount() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  fs::path dir_;
};

TABitmap Frame(int32_t w, int32_t h, int k) {
  TABitmap b;
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y, static_cast<uint32_t>((x * 5 + k * 9) & 0xFF) | static_cast<uint32_t>((y * 3) & 0xFF) << 8 |
                           static_cast<uint32_t>((x + y + 20 * k) & 0xFF) << 16);
  b.Convert24Bit();
  return b;
}

std::vector<uint8_t> Bytes(const TABitmap& b) {
  return {b.Bits(), b.Bits() + b.ByteSize()};
}

TEST_F(MovieWriterTest, EachContainerHoldsPicturesAndSoundOfTheWrittenLength) {
  struct TCase {
    const char* Name;
    const char* Codec;
    bool IndexFirst;
  };
  for (const TCase& c : {TCase{"a.mp4", "h264", true}, TCase{"b.mkv", "mpeg4", false}, TCase{"c.MOV", "mjpeg", true}}) {
    SCOPED_TRACE(c.Name);
    TMovieWriteSettings s;
    s.Width = 64, s.Height = 48, s.Rate = 25, s.Codec = c.Codec, s.Sound = true, s.Title = "題名";
    TMovieWriter w;
    ASSERT_EQ(w.Open(Path(c.Name), s), 0);
    const std::vector<int16_t> tone(2 * 1764, 1000);  // one frame of sound at 25 fps
    for (int k = 0; k < 20; ++k) {
      ASSERT_EQ(w.WriteFrame(Frame(64, 48, k)), 0);
      ASSERT_EQ(w.WriteSound(tone.data(), 1764), 0);
    }
    ASSERT_EQ(w.Close(), 0);
    for (const auto& e : fs::directory_iterator(dir_))  // no temporary file left
      EXPECT_NE(e.path().extension(), ".part");

    const auto p = test::ProbeMovie(Path(c.Name));
    ASSERT_TRUE(p.Opened);
    ASSERT_EQ(p.Streams.size(), 2u);
    const auto& v = p.Streams[0];
    const auto& a = p.Streams[1];
    EXPECT_TRUE(v.Video);
    EXPECT_EQ(v.Codec, c.Codec == std::string("h264") ? "h264" : c.Codec);
    EXPECT_EQ(v.Frames, 20);
    EXPECT_EQ(a.Codec, "aac");
    EXPECT_EQ(a.SampleRate, 44100);
    EXPECT_EQ(a.Channels, 2);
    // The sound lasts as long as the pictures: exactly where the container can say so (MP4 and
    // QuickTime edit lists); Matroska adds the encoder's padding of less than one AAC frame.
    if (c.IndexFirst)
      EXPECT_NEAR(a.End, v.End, 1e-9);
    else
      EXPECT_NEAR(a.End, v.End, 1024.0 / 44100);
    EXPECT_GE(a.Samples, 20 * 1764);
    EXPECT_LT(a.Samples, 20 * 1764 + 2048);
    EXPECT_EQ(p.IndexBeforeData, c.IndexFirst);
    const bool jpeg = c.Codec == std::string("mjpeg");
    EXPECT_EQ(v.ColorSpace, jpeg ? AVCOL_SPC_BT470BG : AVCOL_SPC_BT709);
    EXPECT_EQ(v.ColorRange, jpeg ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG);
  }
}

TEST_F(MovieWriterTest, LosslessFramesComeBackExactly) {
  TMovieWriteSettings s;
  s.Width = 38, s.Height = 10, s.Rate = 30, s.Codec = "ffv1";
  TMovieWriter w;
  ASSERT_EQ(w.Open(Path("l.mkv"), s), 0);
  for (int k = 0; k < 5; ++k)
    ASSERT_EQ(w.WriteFrame(Frame(38, 10, k)), 0);
  ASSERT_EQ(w.Close(), 0);
  const auto p = test::ProbeMovie(Path("l.mkv"), true);
  ASSERT_EQ(p.Streams.size(), 1u);  // no sound asked for
  ASSERT_EQ(p.Pictures.size(), 5u);
  for (int k = 0; k < 5; ++k)
    EXPECT_EQ(p.Pictures[size_t(k)], Bytes(Frame(38, 10, k))) << k;
}

TEST_F(MovieWriterTest, RefusalsAndFailuresLeaveTheDiskAlone) {
  const std::string target = Path("keep.mp4");
  std::ofstream(target) << "old";
  TMovieWriteSettings s;
  s.Width = 64, s.Height = 48, s.Rate = 30;
  TMovieWriter w;
  s.Codec = "uncompressed";
  EXPECT_EQ(w.Open(target, s), kMovieCodecNotInContainer);
  s.Codec = "h264";
  EXPECT_EQ(w.Open(Path("x.webm"), s), kMovieUnknownContainer);
  s.Width = 63;  // 4:2:0 needs even sizes
  EXPECT_EQ(w.Open(target, s), kAviBadSettings);
  s.Width = 64;
  ASSERT_EQ(w.Open(target, s), 0);
  ASSERT_EQ(w.WriteFrame(Frame(64, 48, 0)), 0);
  EXPECT_EQ(w.WriteFrame(Frame(32, 48, 1)), kAviFrameMismatch);
  EXPECT_NE(w.Close(), 0);
  ASSERT_TRUE(w.Open(target, s) == 0 && w.WriteFrame(Frame(64, 48, 0)) == 0);
  w.Abandon();
  std::ifstream in(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  EXPECT_EQ(EntryCount(), 1u);
  EXPECT_TRUE(MovieContainerOf("a.MKV") == TMovieContainer::Matroska);
  EXPECT_FALSE(MovieContainerOf("a.avi"));
}

// The codecs in AVI say their matrix and range too (MPEG-4 in its visual object header, Motion
// JPEG through JFIF, H.264 in its stream), and HuffYUV keeps 24-bit frames in three channels.
TEST_F(MovieWriterTest, AviStreamsCarryTheirColourAndHuffYuvHasNoFourthChannel) {
  for (const char* codec : {"mpeg4", "mjpeg", "h264", "huffyuv"}) {
    SCOPED_TRACE(codec);
    TAVIWriteSettings s;
    s.Width = 64, s.Height = 48, s.Rate = 30, s.Handler = codec, s.ShowOptions = 0;
    TAVICompressor w;
    ASSERT_EQ(w.Open(Path("c.avi"), s), 0);
    for (int k = 0; k < 3; ++k)
      ASSERT_EQ(w.WriteFrame(Frame(64, 48, k)), 0);
    ASSERT_EQ(w.Close(), 0);
    const auto p = test::ProbeMovie(Path("c.avi"), true);
    ASSERT_EQ(p.Streams.size(), 1u);
    EXPECT_EQ(p.Streams[0].Frames, 3);
    const std::string name = codec;
    if (name == "huffyuv") {
      EXPECT_EQ(test::ProbeAvi(Path("c.avi")).BiBitCount, 24);
      EXPECT_EQ(p.Pictures[2], Bytes(Frame(64, 48, 2)));
    } else {
      EXPECT_EQ(p.Streams[0].ColorSpace, name == "mjpeg" ? AVCOL_SPC_BT470BG : AVCOL_SPC_BT709);
      EXPECT_EQ(p.Streams[0].ColorRange, name == "mjpeg" ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG);
    }
  }
}

TEST(YuvConvert, FastPathEqualsThePlainOneAndGreysStayGrey) {
  std::mt19937 rng(3);
  for (int bpp : {3, 4})
    for (int width : {2, 16, 38, 70}) {
      SCOPED_TRACE(std::to_string(bpp) + " bytes, width " + std::to_string(width));
      const int height = 6;
      const size_t stride = (static_cast<size_t>(width) * bpp + 3) & ~size_t{3};
      std::vector<uint8_t> rows(stride * height);
      for (auto& b : rows)
        b = static_cast<uint8_t>(rng());
      for (TYuvMatrix m : {TYuvMatrix::Bt709Studio, TYuvMatrix::Bt601Full}) {
        std::vector<uint8_t> fast(width * height * 3 / 2), plain(fast.size());
        auto planes = [&](std::vector<uint8_t>& v) {
          return TYuvPlanes{v.data(), v.data() + width * height, v.data() + width * height * 5 / 4,
                            width, width / 2, width / 2};
        };
        ConvertToYuv420(rows.data(), stride, bpp, width, height, planes(fast), m);
        ConvertToYuv420Plain(rows.data(), stride, bpp, width, height, planes(plain), m);
        EXPECT_EQ(fast, plain);
      }
    }
  // Black, white and a grey, in both matrices.
  struct TGrey {
    uint8_t Level;
    TYuvMatrix Matrix;
    uint8_t Y;
  };
  for (const TGrey& g : {TGrey{0, TYuvMatrix::Bt709Studio, 16}, TGrey{255, TYuvMatrix::Bt709Studio, 235},
                         TGrey{0, TYuvMatrix::Bt601Full, 0}, TGrey{255, TYuvMatrix::Bt601Full, 255},
                         TGrey{128, TYuvMatrix::Bt601Full, 128}}) {
    std::vector<uint8_t> rows(32 * 2 * 3, g.Level), out(32 * 2 * 3 / 2);
    ConvertToYuv420(rows.data(), 96, 3, 32, 2, {out.data(), out.data() + 64, out.data() + 80, 32, 16, 16}, g.Matrix);
    EXPECT_EQ(out[0], g.Y);
    EXPECT_EQ(out[63], g.Y);
    EXPECT_EQ(out[64], 128);
    EXPECT_EQ(out[95], 128);
  }
}

}  // namespace
}  // namespace vexa
