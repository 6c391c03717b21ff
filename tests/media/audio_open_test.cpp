// Choosing decoders by extension and sharing them through the cache.
#include <gtest/gtest.h>

#include <cstring>

#include "audio_test_files.h"
#include "media/audio_converter.h"
#include "media/audio_ffmpeg_in.h"
#include "media/audio_flac_in.h"
#include "media/audio_open.h"
#include "media/audio_vorbis_in.h"
#include "media/wave_in.h"

namespace vexa {
namespace {

using namespace testfiles;

TEST(OpenDecoder, ExtensionChoosesTheClassInAnyLetterCase) {
  TTempDir dir;
  EXPECT_TRUE(dynamic_cast<TWaveIn*>(OpenDecoder(dir.Path("a.WAV")).get()));
  EXPECT_TRUE(dynamic_cast<TMP3In*>(OpenDecoder(dir.Path("a.Mp3")).get()));
  EXPECT_TRUE(dynamic_cast<TVorbisIn*>(OpenDecoder(dir.Path("a.OGG")).get()));
  EXPECT_TRUE(dynamic_cast<TTTAIn*>(OpenDecoder(dir.Path("a.tta")).get()));
  EXPECT_TRUE(dynamic_cast<TFLACIn*>(OpenDecoder(dir.Path("a.Flac")).get()));
  EXPECT_TRUE(dynamic_cast<TMACIn*>(OpenDecoder(dir.Path("a.ape")).get()));
  EXPECT_TRUE(dynamic_cast<TWMIn*>(OpenDecoder(dir.Path("a.wma")).get()));
  EXPECT_EQ(OpenDecoder(dir.Path("a.aiff")), nullptr);
  EXPECT_EQ(OpenDecoder(dir.Path("wav")), nullptr);
  EXPECT_EQ(OpenDecoder(dir.Path("folder.wav/file")), nullptr);
  // The file name is set: a missing file is already known to be unreadable.
  auto missing = OpenDecoder(dir.Path("missing.ogg"));
  EXPECT_EQ(missing->FileName(), dir.Path("missing.ogg"));
  EXPECT_NE(missing->Error(), "");
}

TEST(OpenDecoder, OneFileNamedInTwoLetterCasesSharesOneDecoder) {
  TTempDir dir;
  std::vector<int16_t> pcm = MakeSignal(5000, 1, 8000);
  std::vector<uint8_t> data(pcm.size() * 2);
  std::memcpy(data.data(), pcm.data(), data.size());
  WriteBytes(dir.Path("Voice.wav"), WaveFile(PcmFmt(1, 1, 8000, 16), data));
  TDecoderCache cache;
  TAuDecoder* first = OpenDecoder(dir.Path("Voice.wav"), cache);
  TAuDecoder* second = OpenDecoder(dir.Path("VOICE.WAV"), cache);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first, second);
  EXPECT_EQ(cache.Count(), 1u);
  EXPECT_EQ(OpenDecoder(dir.Path("other.aiff"), cache), nullptr);
  EXPECT_EQ(cache.Count(), 1u);

  // Each user sets its own stretch before its Init, through the renderer's converter.
  TAudioConverter conv;
  conv.OutBitsPerSample = 16;
  conv.OutChannels = 2;
  conv.Input = first;
  first->StartSample = 100;
  first->EndSample = 109;
  std::vector<int16_t> a = ReadAll16(conv);
  second->StartSample = 4000;
  second->EndSample = -1;
  std::vector<int16_t> b = ReadAll16(conv);
  ASSERT_EQ(a.size(), 20u);
  ASSERT_EQ(b.size(), 2000u);
  EXPECT_EQ(a[0], pcm[100]);
  EXPECT_EQ(a[1], pcm[100]);
  EXPECT_EQ(a[18], pcm[109]);
  EXPECT_EQ(b[0], pcm[4000]);
  EXPECT_EQ(b[1999], pcm[4999]);
}

}  // namespace
}  // namespace vexa
