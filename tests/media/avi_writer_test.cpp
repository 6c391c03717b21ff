// TAVICompressor: files read back with libavformat, header bytes checked on disk.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "avi_probe.h"
#include "media/avi_writer.h"
#include "media/video_codecs.h"

namespace vexa {
namespace {

namespace fs = std::filesystem;
using test::ProbeAvi;

class AviWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vexa-avi-writer-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Files in the folder other than the given one (temporary files left behind would show).
  size_t EntryCount() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  fs::path dir_;
};

// Frame k: a pattern that differs in every pixel, row and frame, at 24 bits.
TABitmap PatternFrame(int32_t w, int32_t h, int k) {
  TABitmap b;
  b.SetSize(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x)
      b.SetPixel(x, y,
                 static_cast<uint32_t>((x * 7 + k * 13) & 0xFF) |
                     static_cast<uint32_t>((y * 5 + k) & 0xFF) << 8 |
                     static_cast<uint32_t>((x + y + 40 * k) & 0xFF) << 16 | 0x80000000u);
  b.Convert24Bit();
  return b;
}

TAVIWriteSettings Settings(int32_t w, int32_t h, const std::string& handler) {
  TAVIWriteSettings s;
  s.Width = w, s.Height = h, s.Rate = 30, s.Handler = handler, s.KeyFrameEvery = 5;
  s.StreamName = "test stream", s.ShowOptions = 0;
  return s;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST_F(AviWriterTest, UncompressedFramesAreTheBitmapBytesBottomUpWithPaddedRows) {
  const std::string file = Path("raw.avi");
  TAVICompressor w;
  TAVIWriteSettings s = Settings(642, 480, "");
  s.Compress = 0;
  ASSERT_EQ(w.Open(file, s), 0);
  std::vector<TABitmap> frames;
  for (int k = 0; k < 3; ++k) {
    frames.push_back(PatternFrame(642, 480, k));
    ASSERT_EQ(w.WriteFrame(frames.back()), 0);
  }
  ASSERT_EQ(w.Close(), 0);
  EXPECT_EQ(w.Close(), 0);  // twice is harmless

  const auto p = ProbeAvi(file);
  ASSERT_TRUE(p.Opened);
  EXPECT_EQ(p.VideoStreams, 1);
  EXPECT_EQ(p.AudioStreams, 0);
  EXPECT_EQ(p.Scale, 1);
  EXPECT_EQ(p.Rate, 30);
  EXPECT_EQ(p.HeaderLength, 3);
  EXPECT_EQ(p.BiWidth, 642);
  EXPECT_EQ(p.BiHeight, 480);  // positive: rows bottom-up
  EXPECT_EQ(p.BiBitCount, 24);
  EXPECT_EQ(p.BiCompression, 0u);  // BI_RGB
  EXPECT_EQ(p.BiSizeImage, 1928u * 480u);
  EXPECT_EQ(AviFrameByteSize(642, 480, 24), 1928u * 480u);
  EXPECT_EQ(p.StrhQuality, 10000u);
  EXPECT_EQ(p.Title, "test stream");
  ASSERT_EQ(p.Packets.size(), 3u);
  for (int k = 0; k < 3; ++k) {
    ASSERT_EQ(p.Packets[k].size(), frames[k].ByteSize());
    EXPECT_TRUE(std::equal(p.Packets[k].begin(), p.Packets[k].end(), frames[k].Bits())) << "frame " << k;
    EXPECT_TRUE(p.KeyFrames[k]);
  }
  // Decoders see the same picture: the bottom-up, padded layout is declared correctly.
  const auto decoded = test::DecodeAviFrames(file);
  ASSERT_EQ(decoded.size(), 3u);
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(std::equal(decoded[k].begin(), decoded[k].end(), frames[k].Bits())) << "frame " << k;
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(AviWriterTest, LosslessCodecsDecodeToTheSameBytes) {
  for (const char* name : {"ffv1", "huffyuv", "utvideo"}) {
    const TVideoCodec* codec = FindVideoCodec(name);
    ASSERT_NE(codec, nullptr);
    if (!VideoCodecAvailable(*codec)) continue;
    SCOPED_TRACE(name);
    const std::string file = Path(std::string(name) + ".avi");
    TAVICompressor w;
    ASSERT_EQ(w.Open(file, Settings(62, 34, std::string(codec->FourCC))), 0);
    EXPECT_EQ(w.Codec(), codec);
    std::vector<TABitmap> frames;
    for (int k = 0; k < 12; ++k) {
      frames.push_back(PatternFrame(62, 34, k));
      ASSERT_EQ(w.WriteFrame(frames.back()), 0);
    }
    ASSERT_EQ(w.Close(), 0);
    const auto p = ProbeAvi(file);
    EXPECT_EQ(p.VideoStreams, 1);
    EXPECT_EQ(p.Width, 62);
    EXPECT_EQ(p.Height, 34);
    EXPECT_EQ(p.Packets.size(), 12u);
    const auto decoded = test::DecodeAviFrames(file);
    ASSERT_EQ(decoded.size(), 12u);
    for (int k = 0; k < 12; ++k)
      EXPECT_TRUE(std::equal(decoded[k].begin(), decoded[k].end(), frames[k].Bits())) << "frame " << k;
  }
}

TEST_F(AviWriterTest, CompressedCodecsKeepRateSizeAndKeyFrameInterval) {
  for (const TVideoCodec* codec : AvailableVideoCodecs()) {
    if (codec->Name == "uncompressed") continue;
    SCOPED_TRACE(std::string(codec->Name));
    const std::string file = Path(std::string(codec->Name) + ".avi");
    TAVICompressor w;
    TAVIWriteSettings s = Settings(96, 64, std::string(codec->Name));
    s.Rate = 25;
    ASSERT_EQ(w.Open(file, s), 0);
    for (int k = 0; k < 12; ++k)
      ASSERT_EQ(w.WriteFrame(PatternFrame(96, 64, k)), 0);
    ASSERT_EQ(w.Close(), 0);
    const auto p = ProbeAvi(file);
    ASSERT_TRUE(p.Opened);
    EXPECT_EQ(p.VideoStreams, 1);
    EXPECT_EQ(p.Scale, 1);
    EXPECT_EQ(p.Rate, 25);
    EXPECT_EQ(p.Width, 96);
    EXPECT_EQ(p.Height, 64);
    EXPECT_EQ(p.HeaderLength, 12);
    ASSERT_EQ(p.KeyFrames.size(), 12u);
    EXPECT_EQ(test::DecodeAviFrames(file).size(), 12u);
    for (int k = 0; k < 12; ++k) {
      // Every fifth frame is a key frame; intra-only codecs make every frame one.
      if (k % 5 == 0 || !codec->UsesKeyFrames) {
        EXPECT_TRUE(p.KeyFrames[k]) << "frame " << k;
      } else if (codec->Name != "ffv1") {
        EXPECT_FALSE(p.KeyFrames[k]) << "frame " << k;
      }
    }
  }
}

TEST_F(AviWriterTest, QualityAndDataRateChangeTheSize) {
  const TVideoCodec& mjpeg = *FindVideoCodec("mjpeg");
  ASSERT_TRUE(VideoCodecAvailable(mjpeg));
  auto sizeAt = [&](int32_t quality) {
    const std::string file = Path("q" + std::to_string(quality) + ".avi");
    TAVICompressor w;
    TAVIWriteSettings s = Settings(160, 120, "MJPG");
    s.Quality = quality;
    EXPECT_EQ(w.Open(file, s), 0);
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(w.WriteFrame(PatternFrame(160, 120, k)), 0);
    EXPECT_EQ(w.Close(), 0);
    return fs::file_size(file);
  };
  EXPECT_GT(sizeAt(10000), sizeAt(0));

  const TVideoCodec* mpeg4 = FindVideoCodec("mpeg4");
  ASSERT_TRUE(mpeg4 && VideoCodecAvailable(*mpeg4));
  auto sizeAtRate = [&](int32_t bytesPerSecond) {
    const std::string file = Path("r" + std::to_string(bytesPerSecond) + ".avi");
    TAVICompressor w;
    TAVIWriteSettings s = Settings(160, 120, "mpeg4");
    s.BytesPerSecond = bytesPerSecond;
    EXPECT_EQ(w.Open(file, s), 0);
    for (int k = 0; k < 30; ++k)
      EXPECT_EQ(w.WriteFrame(PatternFrame(160, 120, k)), 0);
    EXPECT_EQ(w.Close(), 0);
    return fs::file_size(file);
  };
  EXPECT_LT(sizeAtRate(4000), sizeAtRate(400000));
}

class Cancelling : public TCodecChoice {
 public:
  bool Choose(TCodecOptions&) override {
    ++Asked;
    return false;
  }
  int Asked = 0;
};

class Picking : public TCodecChoice {
 public:
  bool Choose(TCodecOptions& o) override {
    Seen = o;
    o.Handler = "FFV1";
    return true;
  }
  TCodecOptions Seen;
};

TEST_F(AviWriterTest, CodecChoiceCancelledLeavesExistingFileAndCreatesNothing) {
  const std::string file = Path("keep.avi");
  { std::ofstream(file) << "previous render"; }
  Cancelling choice;
  TAVICompressor w;
  w.Chooser = &choice;
  TAVIWriteSettings s = Settings(64, 48, "");
  s.ShowOptions = 1;
  EXPECT_EQ(w.Open(file, s), kAviCancelled);
  EXPECT_EQ(choice.Asked, 1);
  EXPECT_FALSE(w.Opened());
  EXPECT_EQ(ReadFile(file), "previous render");
  EXPECT_EQ(EntryCount(), 1u);
  EXPECT_EQ(w.WriteFrame(PatternFrame(64, 48, 0)), kAviNotOpen);
}

TEST_F(AviWriterTest, CodecChoiceSeesTheSettingsAndDecides) {
  Picking choice;
  TAVICompressor w;
  w.Chooser = &choice;
  TAVIWriteSettings s = Settings(64, 48, "");
  s.ShowOptions = 1, s.KeyFrameEvery = 240, s.Quality = 7000;
  ASSERT_EQ(w.Open(Path("pick.avi"), s), 0);
  EXPECT_EQ(choice.Seen.KeyFrameEvery, 240);
  EXPECT_EQ(choice.Seen.Quality, 7000);
  EXPECT_EQ(choice.Seen.BytesPerSecond, 102400);
  EXPECT_EQ(choice.Seen.Flags, 6);
  EXPECT_EQ(w.Codec()->Name, "ffv1");
  ASSERT_EQ(w.WriteFrame(PatternFrame(64, 48, 0)), 0);
  EXPECT_EQ(w.Close(), 0);
  EXPECT_EQ(ProbeAvi(Path("pick.avi")).CodecName, "ffv1");
}

TEST_F(AviWriterTest, TargetAppearsOnlyWhenComplete) {
  const std::string file = Path("out.avi");
  { std::ofstream(file) << "previous render"; }
  {
    TAVICompressor w;
    ASSERT_EQ(w.Open(file, Settings(64, 48, "MJPG")), 0);
    ASSERT_EQ(w.WriteFrame(PatternFrame(64, 48, 0)), 0);
    EXPECT_EQ(ReadFile(file), "previous render");  // still the old file while writing
    EXPECT_EQ(EntryCount(), 2u);                   // plus the file being written
    w.Abandon();
  }
  EXPECT_EQ(ReadFile(file), "previous render");
  EXPECT_EQ(EntryCount(), 1u);
  {
    // A frame that does not fit the stream is a failed write: the file is dropped at Close.
    TAVICompressor w;
    ASSERT_EQ(w.Open(file, Settings(64, 48, "MJPG")), 0);
    ASSERT_EQ(w.WriteFrame(PatternFrame(64, 48, 0)), 0);
    EXPECT_EQ(w.WriteFrame(PatternFrame(64, 46, 1)), kAviFrameMismatch);
    EXPECT_EQ(w.WriteFrame(PatternFrame(64, 48, 2)), kAviFrameMismatch);  // stays failed
    EXPECT_EQ(w.Close(), kAviFrameMismatch);
  }
  EXPECT_EQ(ReadFile(file), "previous render");
  EXPECT_EQ(EntryCount(), 1u);
  {
    TAVICompressor w;  // the destructor finishes the file
    ASSERT_EQ(w.Open(file, Settings(64, 48, "MJPG")), 0);
    ASSERT_EQ(w.WriteFrame(PatternFrame(64, 48, 0)), 0);
  }
  EXPECT_EQ(ProbeAvi(file).Packets.size(), 1u);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(AviWriterTest, RefusesBadSettingsWithoutTouchingTheDisk) {
  const std::string file = Path("bad.avi");
  TAVICompressor w;
  EXPECT_EQ(w.Open(file, Settings(0, 48, "")), kAviBadSettings);
  TAVIWriteSettings s = Settings(64, 48, "");
  s.Rate = 0;
  EXPECT_EQ(w.Open(file, s), kAviBadSettings);
  s = Settings(64, 48, "");
  s.BitCount = 16;
  EXPECT_EQ(w.Open(file, s), kAviBadSettings);
  EXPECT_EQ(w.Open(file, Settings(64, 48, "ZZZZ")), kAviUnknownCodec);
  if (VideoCodecAvailable(*FindVideoCodec("h264"))) {
    EXPECT_EQ(w.Open(file, Settings(63, 48, "h264")), kAviBadSettings);
  }
  EXPECT_EQ(w.Open(Path("no/such/folder/x.avi"), Settings(64, 48, "")), -ENOENT);
  EXPECT_EQ(EntryCount(), 0u);
}

TEST(VideoCodecs, TableNamesAndDefaults) {
  EXPECT_EQ(FindVideoCodec("uncompressed"), &KnownVideoCodecs().front());
  EXPECT_EQ(FindVideoCodec(""), FindVideoCodec("uncompressed"));
  EXPECT_EQ(FindVideoCodec(std::string(4, '\0')), FindVideoCodec("uncompressed"));
  EXPECT_EQ(FindVideoCodec("H264"), FindVideoCodec("h264"));
  EXPECT_EQ(FindVideoCodec("mjpg"), FindVideoCodec("mjpeg"));
  EXPECT_EQ(FindVideoCodec("XVID\0\0\0"), FindVideoCodec("mpeg4"));
  EXPECT_EQ(FindVideoCodec("nothing"), nullptr);
  const TCodecOptions d = DefaultCodecOptions(30);
  EXPECT_EQ(d.KeyFrameEvery, 240);
  EXPECT_EQ(d.BytesPerSecond, 102400);
  EXPECT_EQ(d.Quality, 10000);
  EXPECT_EQ(d.Flags, 6);
  EXPECT_FALSE(DefaultCompressedCodec().Lossless);
  EXPECT_TRUE(VideoCodecAvailable(DefaultCompressedCodec()));
  const auto available = AvailableVideoCodecs();
  ASSERT_FALSE(available.empty());
  EXPECT_EQ(available.front()->Name, "uncompressed");
}

}  // namespace
}  // namespace vexa
