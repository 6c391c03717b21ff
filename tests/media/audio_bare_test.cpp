// A build without codec backends: creating a decoder that needs one raises the library message;
// WAV files still play and MP3/WMA decoders exist but report that they cannot decode.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "media/audio_input.h"
#include "media/audio_open.h"

namespace vexa {
namespace {

std::string Raises(const std::string& name) {
  try {
    OpenDecoder(name);
  } catch (const EAuException& e) {
    return e.what();
  }
  return "";
}

TEST(AudioWithoutBackends, MissingLibrariesAreNamed) {
  EXPECT_EQ(Raises("a.OGG"), "ogg.dll library could not be loaded.");
  EXPECT_EQ(Raises("a.flac"), "libFLAC.dll library could not be loaded.");
  EXPECT_EQ(Raises("a.ape"), "MACDll.dll library could not be loaded.");
  EXPECT_EQ(Raises("a.tta"), "TTALib.dll library could not be loaded.");
  TDecoderCache cache;
  EXPECT_THROW(OpenDecoder("b.ogg", cache), EAuException);
  EXPECT_EQ(cache.Count(), 0u);  // the error leaves nothing behind
  for (const char* name : {"a.mp3", "a.wma"}) {
    auto dec = OpenDecoder(name);
    ASSERT_TRUE(dec) << name;
    EXPECT_NE(dec->Error(), "") << name;
    EXPECT_EQ(dec->TotalSamples(), 0) << name;
  }
}

TEST(AudioWithoutBackends, WavStillPlays) {
  char path[] = "/tmp/vexa_bare_XXXXXX.wav";
  const int fd = mkstemps(path, 4);
  ASSERT_GE(fd, 0);
  // 44-byte header, 16-bit mono 8000 Hz, three samples.
  const uint8_t file[] = {'R', 'I', 'F',  'F',  42, 0, 0, 0, 'W', 'A', 'V', 'E',  'f',
                          'm', 't', ' ',  16,   0,  0, 0, 1, 0,   1,   0,   0x40, 0x1F,
                          0,   0,   0x80, 0x3E, 0,  0, 2, 0, 16,  0,   'd', 'a',  't',
                          'a', 6,   0,    0,    0,  1, 0, 2, 0,   3,   0};
  ASSERT_EQ(write(fd, file, sizeof file), static_cast<ssize_t>(sizeof file));
  close(fd);
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dec);
  EXPECT_EQ(dec->Error(), "");
  EXPECT_EQ(dec->SampleRate(), 8000u);
  EXPECT_EQ(dec->TotalSamples(), 3);
  dec->StartSample = 1;
  dec->Init();
  const uint8_t* data = nullptr;
  size_t bytes = 100;
  dec->GetData(data, bytes);
  ASSERT_EQ(bytes, 4u);
  EXPECT_EQ(data[0], 2);
  EXPECT_EQ(data[2], 3);
  dec->Flush();
  std::remove(path);
}

}  // namespace
}  // namespace vexa
