#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

#include "media/avi_reader.h"
#include "movie_test_files.h"

namespace vexa {
namespace {

constexpr int kFrames = 60;

// The movies are made once for the whole program.
class MovieFiles : public ::testing::Environment {
 public:
  static inline std::string Folder, Mjpeg, Mpeg4, H264Mp4, Mpeg4Mkv, Mpeg4Mov, Mp4NamedAvi;
  void SetUp() override {
    Folder = test::MakeTempFolder("avi");
    Mjpeg = Folder + "/mjpeg.avi";
    Mpeg4 = Folder + "/mpeg4.avi";
    H264Mp4 = Folder + "/h264.mp4";
    Mpeg4Mkv = Folder + "/mpeg4.mkv";
    Mpeg4Mov = Folder + "/mpeg4.mov";
    Mp4NamedAvi = Folder + "/really-mp4.avi";
    ASSERT_TRUE(test::MakeNumberedMovie(Mjpeg, kFrames, "30000/1001", "-c:v mjpeg -q:v 2"));
    ASSERT_TRUE(test::MakeNumberedMovie(Mpeg4, kFrames, "30000/1001", "-c:v mpeg4 -q:v 2 -bf 2 -g 12"));
    ASSERT_TRUE(test::MakeNumberedMovie(
        H264Mp4, kFrames, "25", "-c:v libx264 -preset ultrafast -crf 10 -bf 3 -g 15 -pix_fmt yuv420p"));
    ASSERT_TRUE(test::MakeNumberedMovie(Mpeg4Mkv, kFrames, "24", "-c:v mpeg4 -q:v 2 -bf 2 -g 10"));
    ASSERT_TRUE(test::MakeNumberedMovie(Mpeg4Mov, kFrames, "30", "-c:v mpeg4 -q:v 2 -bf 1 -g 8 -f mov"));
    ASSERT_TRUE(test::MakeNumberedMovie(Mp4NamedAvi, kFrames, "30", "-c:v mpeg4 -q:v 2 -bf 2 -g 12 -f mp4"));
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(Folder, ec);
  }
};
const auto* const kEnv = ::testing::AddGlobalTestEnvironment(new MovieFiles);

void ExpectFrames(TAVIReader& r, TABitmap& target, const std::vector<uint32_t>& order,
                  const std::string& what) {
  for (uint32_t n : order) {
    ASSERT_TRUE(r.ReadFrame(n)) << what << " frame " << n;
    ASSERT_EQ(test::ReadPictureNumber(target), static_cast<int>(n)) << what << " frame " << n;
  }
}

std::vector<uint32_t> Sequence(int from, int to, int step = 1) {
  std::vector<uint32_t> v;
  for (int i = from; step > 0 ? i <= to : i >= to; i += step)
    v.push_back(static_cast<uint32_t>(i));
  return v;
}

TEST(AVIReader, OpenReportsSizeRateAndRange) {
  TABitmap target;
  TAVIReader r(&target);
  ASSERT_EQ(r.Open(MovieFiles::Mjpeg), 0);
  EXPECT_EQ(r.Width(), test::kMovieWidth);
  EXPECT_EQ(r.Height(), test::kMovieHeight);
  EXPECT_DOUBLE_EQ(r.FrameRate(), 30000.0 / 1001.0);
  EXPECT_EQ(r.FirstFrame(), 0);
  EXPECT_EQ(r.LastFrame(), static_cast<uint32_t>(kFrames - 1));
  // Open prepares the target at 24 bits and the movie's size.
  EXPECT_EQ(target.BitsPerPixel(), 24);
  EXPECT_EQ(target.Width(), test::kMovieWidth);
  EXPECT_EQ(target.Height(), test::kMovieHeight);
  ASSERT_TRUE(r.ReadFrame(kFrames - 1));
  EXPECT_EQ(test::ReadPictureNumber(target), kFrames - 1);
  EXPECT_FALSE(r.ReadFrame(kFrames));
  EXPECT_EQ(test::ReadPictureNumber(target), kFrames - 1);  // untouched
}

TEST(AVIReader, PixelsAreBottomUpBgrWithOpaqueAlpha) {
  TABitmap target;
  TAVIReader r(&target);
  ASSERT_EQ(r.Open(MovieFiles::Mjpeg), 0);
  ASSERT_TRUE(r.ReadFrame(3));
  // 24 bits: the red stripe is at the bottom of the picture, blue byte first.
  const uint8_t* bottom = target.ScanLine(target.Height() - 5) + 40 * 3;
  EXPECT_LT(bottom[0], 30);
  EXPECT_LT(bottom[1], 30);
  EXPECT_GT(bottom[2], 225);
  EXPECT_EQ(target.ScanLine(target.Height() - 1), target.Bits());  // bottom row first in memory

  // 32 bits, as the movie source uses it: alpha 0 everywhere.
  target.SetSize(r.Width(), r.Height());
  target.Fill(0xFFFFFFFFu);
  ASSERT_TRUE(r.ReadFrame(4));
  EXPECT_EQ(test::ReadPictureNumber(target), 4);
  const uint32_t red = target.Pixel(40, target.Height() - 5);
  EXPECT_GT((red >> 16) & 0xFF, 225u);
  for (int y = 0; y < target.Height(); ++y)
    for (int x = 0; x < target.Width(); ++x)
      ASSERT_EQ(target.Pixel(x, y) >> 24, 0u) << x << "," << y;
}

TEST(AVIReader, EveryCodecGivesExactFramesInEveryOrder) {
  std::mt19937 rng(1234);
  for (const std::string* file : {&MovieFiles::Mjpeg, &MovieFiles::Mpeg4, &MovieFiles::H264Mp4,
                                  &MovieFiles::Mpeg4Mkv, &MovieFiles::Mpeg4Mov}) {
    SCOPED_TRACE(*file);
    TABitmap target;
    TAVIReader r(&target);
    ASSERT_EQ(r.Open(*file), 0);
    ASSERT_EQ(r.LastFrame(), static_cast<uint32_t>(kFrames - 1));
    ExpectFrames(r, target, Sequence(0, kFrames - 1), "forward");
    ExpectFrames(r, target, Sequence(kFrames - 1, 0, -1), "backward");
    std::vector<uint32_t> shuffled = Sequence(0, kFrames - 1);
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    ExpectFrames(r, target, shuffled, "shuffled");
    ExpectFrames(r, target, {0, 59, 1, 58, 11, 12, 13, 10, 9, 23, 24, 25, 26, 0, 0, 30, 29}, "jumps");
    ExpectFrames(r, target, Sequence(3, kFrames - 1, 7), "stride 7");
    ExpectFrames(r, target, Sequence(kFrames - 1, 0, -5), "stride -5");
  }
}

TEST(AVIReader, SequentialReadingDecodesOnWithoutSeeking) {
  for (const std::string* file : {&MovieFiles::Mpeg4, &MovieFiles::H264Mp4}) {
    TABitmap target;
    TAVIReader r(&target);
    ASSERT_EQ(r.Open(*file), 0);
    ExpectFrames(r, target, Sequence(0, kFrames - 1), "forward");
    EXPECT_EQ(r.SeekCount(), 0u) << *file;
    // Into a 32-bit picture every alpha byte is 0 (opaque), whatever the decoder's format.
    target.SetSize(r.Width(), r.Height());
    target.Fill(0xFF808080u);
    ASSERT_TRUE(r.ReadFrame(kFrames - 1));
    for (int y = 0; y < target.Height(); ++y)
      for (int x = 0; x < target.Width(); ++x)
        ASSERT_EQ(target.Pixel(x, y) >> 24, 0u) << x << "," << y;
    EXPECT_EQ(test::ReadPictureNumber(target), kFrames - 1);
    EXPECT_GT((target.Pixel(40, target.Height() - 5) >> 16) & 0xFF, 225u);  // red stripe at the bottom
    // Each picture decoded once (plus nothing more than the stream's own reorder delay).
    EXPECT_LE(r.DecodedCount(), static_cast<uint64_t>(kFrames)) << *file;
    // Holding a frame or stepping back by one within the decoded pair costs no decode.
    const uint64_t before = r.DecodedCount();
    ASSERT_TRUE(r.ReadFrame(kFrames - 1));
    ASSERT_TRUE(r.ReadFrame(kFrames - 2));
    EXPECT_EQ(test::ReadPictureNumber(target), kFrames - 2);
    EXPECT_EQ(r.DecodedCount(), before);
  }
}

TEST(AVIReader, TwoReadersOfOneFileAreIndependent) {
  TABitmap a, b;
  TAVIReader ra(&a), rb(&b);
  ASSERT_EQ(ra.Open(MovieFiles::Mpeg4), 0);
  ASSERT_EQ(rb.Open(MovieFiles::Mpeg4), 0);
  for (int i = 0; i < kFrames; ++i) {
    const uint32_t na = static_cast<uint32_t>(i), nb = static_cast<uint32_t>(kFrames - 1 - i);
    ASSERT_TRUE(ra.ReadFrame(na));
    ASSERT_TRUE(rb.ReadFrame(nb));
    ASSERT_EQ(test::ReadPictureNumber(a), i);
    ASSERT_EQ(test::ReadPictureNumber(b), kFrames - 1 - i);
  }
  EXPECT_EQ(ra.SeekCount(), 0u);
}

TEST(AVIReader, OpensByContentNotByName) {
  TABitmap target;
  TAVIReader r(&target);
  ASSERT_EQ(r.Open(MovieFiles::Mp4NamedAvi), 0);
  EXPECT_DOUBLE_EQ(r.FrameRate(), 30.0);
  ExpectFrames(r, target, {0, 31, 7, 59}, "mp4 named .avi");
}

TEST(AVIReader, FailuresAreReportedByResult) {
  TABitmap target;
  TAVIReader r(&target);
  EXPECT_FALSE(r.ReadFrame(0));  // before Open
  EXPECT_NE(r.Open(MovieFiles::Folder + "/missing.avi"), 0);
  EXPECT_FALSE(r.ReadFrame(0));

  const std::string junk = MovieFiles::Folder + "/junk.avi";
  {
    std::ofstream f(junk, std::ios::binary);
    f << "RIFF\x10\0\0\0AVI LIST this is not a movie at all";
  }
  EXPECT_NE(r.Open(junk), 0);
  EXPECT_FALSE(r.ReadFrame(0));
  EXPECT_FALSE(r.Opened());

  // A movie cut in half opens or fails cleanly, and frames past the cut are refused or read.
  const std::string cut = MovieFiles::Folder + "/cut.avi";
  std::filesystem::copy_file(MovieFiles::Mpeg4, cut, std::filesystem::copy_options::overwrite_existing);
  std::filesystem::resize_file(cut, std::filesystem::file_size(cut) / 2);
  if (r.Open(cut) == 0) {
    for (uint32_t n = 0; n <= r.LastFrame(); n += 5) {
      if (r.ReadFrame(n)) {
        EXPECT_GE(test::ReadPictureNumber(target), 0);
      }
    }
  }

  TAVIReader noTarget(nullptr);
  EXPECT_EQ(noTarget.Open(MovieFiles::Mjpeg), 1);

  ASSERT_EQ(r.Open(MovieFiles::Mjpeg), 0);
  EXPECT_EQ(r.Close(), 0);
  EXPECT_EQ(r.Close(), 0);
  EXPECT_FALSE(r.ReadFrame(0));
}

TEST(AVIReader, TargetCanChangeBetweenFrames) {
  TABitmap first, second;
  TAVIReader r(&first);
  ASSERT_EQ(r.Open(MovieFiles::Mpeg4), 0);
  ASSERT_TRUE(r.ReadFrame(5));
  second.SetSize(r.Width(), r.Height());
  r.SetTarget(&second);
  ASSERT_TRUE(r.ReadFrame(5));
  EXPECT_EQ(test::ReadPictureNumber(second), 5);
  EXPECT_EQ(test::ReadPictureNumber(first), 5);
  // A smaller target gets the top-left part of the picture.
  TABitmap small;
  small.SetSize(80, 60);
  r.SetTarget(&small);
  ASSERT_TRUE(r.ReadFrame(40));  // 0b0000101000: of the five bars it shows, only the last is set
  EXPECT_EQ(small.Width(), 80);
  EXPECT_GT((small.Pixel(72, 30) >> 8) & 0xFF, 200u);
  EXPECT_LT((small.Pixel(8, 30) >> 8) & 0xFF, 50u);
  EXPECT_LT((small.Pixel(56, 30) >> 8) & 0xFF, 50u);
  // An empty target is refused.
  TABitmap empty;
  r.SetTarget(&empty);
  EXPECT_FALSE(r.ReadFrame(7));
}

}  // namespace
}  // namespace vexa
