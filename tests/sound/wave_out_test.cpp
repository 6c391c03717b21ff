// The WAV writer: exact header bytes, samples as delivered, and a file replaced only whole.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "media/audio_stream_in.h"
#include "sound/wave_out.h"
#include "test_wav.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::TScratchDir;

TEST(WaveHeader, CanonicalBytesForTheMixFormat) {
  const auto h = MakeWaveHeader(2, 44100, 16, 352800);
  const uint8_t want[44] = {'R', 'I', 'F',  'F',  0x44, 0x62, 0x05, 0x00, 'W',  'A',  'V',
                            'E', 'f', 'm',  't',  ' ',  16,   0,    0,    0,    1,    0,
                            2,   0,   0x44, 0xAC, 0x00, 0x00, 0x10, 0xB1, 0x02, 0x00, 4,
                            0,   16,  0,    'd',  'a',  't',  'a',  0x20, 0x62, 0x05, 0x00};
  EXPECT_EQ(std::vector<uint8_t>(h.begin(), h.end()), std::vector<uint8_t>(want, want + 44));
}

TEST(WaveHeader, OddDataIsPaddedInTheRiffSize) {
  const auto h = MakeWaveHeader(1, 8000, 8, 3);
  EXPECT_EQ(test::Le32(std::string(h.begin(), h.end()), 4), 36u + 4u);
  EXPECT_EQ(test::Le32(std::string(h.begin(), h.end()), 40), 3u);
  EXPECT_EQ(test::Le32(std::string(h.begin(), h.end()), 28), 8000u);
}

// A stream of n frames of 16-bit stereo counting up.
std::vector<int16_t> Counting(size_t frames) {
  std::vector<int16_t> v(2 * frames);
  for (size_t i = 0; i < v.size(); ++i)
    v[i] = static_cast<int16_t>(i * 7);
  return v;
}

TEST(WaveOut, WritesTheWholeInputAfterTheHeader) {
  TScratchDir dir;
  const auto pcm = Counting(100000);  // more than one block of the stream and of the writer
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
  TWaveOut out;
  out.Input = &stream;
  out.FileName = dir.File("out.wav");
  out.Run();
  ASSERT_TRUE(out.Wait()) << out.Error();
  EXPECT_TRUE(out.Finished());
  EXPECT_EQ(out.Error(), "");
  const auto w = test::ReadWav(out.FileName);
  const auto h = MakeWaveHeader(2, 44100, 16, 400000);
  EXPECT_EQ(w.Header, std::string(h.begin(), h.end()));
  EXPECT_EQ(w.Samples, pcm);
  EXPECT_EQ(dir.EntryCount(), 1u);  // no temporary file left behind
}

TEST(WaveOut, ReplacesAnExistingFileAndKeepsItsPermissions) {
  TScratchDir dir;
  const std::string path = dir.File("out.wav");
  { std::ofstream(path) << "an older file"; }
  ::chmod(path.c_str(), 0640);
  const auto pcm = Counting(10);
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
  TWaveOut out;
  out.Input = &stream;
  out.FileName = path;
  out.Run();
  ASSERT_TRUE(out.Wait()) << out.Error();
  EXPECT_EQ(test::ReadWav(path).Samples, pcm);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(WaveOut, AFailedWriteReportsWhyAndCreatesNothing) {
  TScratchDir dir;
  const auto pcm = Counting(10);
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
  TWaveOut out;
  out.Input = &stream;
  out.FileName = dir.File("missing-folder/out.wav");
  out.Run();
  EXPECT_FALSE(out.Wait());
  EXPECT_NE(out.Error().find("missing-folder/out.wav"), std::string::npos) << out.Error();
  EXPECT_EQ(dir.EntryCount(), 0u);

  TWaveOut none;  // no input at all
  none.FileName = dir.File("none.wav");
  none.Run();
  EXPECT_FALSE(none.Wait());
  EXPECT_FALSE(none.Error().empty());
  EXPECT_EQ(dir.EntryCount(), 0u);
}

TEST(WaveOut, StoppedBeforeTheEndLeavesTheOldFile) {
  TScratchDir dir;
  const std::string path = dir.File("out.wav");
  { std::ofstream(path) << "keep me"; }
  std::vector<int16_t> pcm(2 * 44100 * 60);  // long enough to be stopped while writing or before
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
  {
    TWaveOut out;
    out.Input = &stream;
    out.FileName = path;
    out.Run();
    out.Stop();
    if (!out.Wait()) {
      EXPECT_EQ(ReadBytes(path), "keep me");
    } else {
      EXPECT_EQ(test::ReadWav(path).Frames(), 44100u * 60);  // finished before the stop arrived
    }
  }
  EXPECT_EQ(dir.EntryCount(), 1u);
}

}  // namespace
}  // namespace vexa
