// The compressed formats: Ogg Vorbis, FLAC, MP3, WMA, TTA and Monkey's Audio. Files are made
// by the reference encoders; positions are checked against one continuous decode.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "audio_test_files.h"
#include "media/audio_ffmpeg_in.h"
#include "media/audio_flac_in.h"
#include "media/audio_open.h"
#include "media/audio_vorbis_in.h"

namespace vexa {
namespace {

using namespace testfiles;

constexpr uint32_t kRate = 44100;
constexpr size_t kFrames = 100003;  // not a multiple of any codec's block

class AudioCodecs : public ::testing::Test {
 protected:
  TTempDir Dir;
  std::vector<int16_t> Signal = MakeSignal(kFrames, 2, kRate);
};

// Reads the whole file once, then checks that Init at several positions (block starts, middles,
// the last frame) delivers exactly the frames of the continuous decode, and that EndSample stops.
void CheckPositions(TAuDecoder& dec) {
  const size_t frameBytes = dec.BytesPerFrame();
  dec.StartSample = 0;
  dec.EndSample = -1;
  const std::vector<uint8_t> all = ReadAll(dec, 10000 * frameBytes);
  ASSERT_EQ(all.size(), static_cast<size_t>(dec.TotalSamples()) * frameBytes);
  const int64_t total = dec.TotalSamples();
  const int64_t starts[] = {1, 1151, 1152, 4097, 33333, 50000, total - 700, total - 1};
  for (int64_t start : starts) {
    if (start >= total) continue;
    const int64_t end = std::min<int64_t>(start + 5000, total - 1);
    dec.StartSample = start;
    dec.EndSample = start % 2 ? end : -1;
    const std::vector<uint8_t> got = ReadAll(dec, 4321 * frameBytes);
    const int64_t last = start % 2 ? end : total - 1;
    ASSERT_EQ(got.size(), static_cast<size_t>(last - start + 1) * frameBytes) << "start " << start;
    if (std::memcmp(got.data(), all.data() + start * frameBytes, got.size()) != 0 && frameBytes == 4) {
      // Tell a misplaced read from a differently decoded one.
      const auto* g = reinterpret_cast<const int16_t*>(got.data());
      const auto* a = reinterpret_cast<const int16_t*>(all.data());
      int maxDiff = 0;
      size_t firstDiff = got.size();
      for (size_t i = 0; i < got.size() / 2; ++i) {
        int d = std::abs(g[i] - a[start * 2 + static_cast<int64_t>(i)]);
        if (d && firstDiff == got.size()) firstDiff = i / 2;
        maxDiff = std::max(maxDiff, d);
      }
      int64_t lag = 0;
      for (int64_t l = -5000; l <= 5000 && !lag; ++l) {
        if (start + l < 0 || (start + l) * 4 + static_cast<int64_t>(std::min<size_t>(got.size(), 400)) >
                                 static_cast<int64_t>(all.size()))
          continue;
        if (std::memcmp(got.data() + 0, all.data() + (start + l) * 4, std::min<size_t>(got.size(), 400)) == 0)
          lag = l;
      }
      ADD_FAILURE() << "start " << start << ": frames differ from frame " << firstDiff << " on, by up to "
                    << maxDiff << " lag " << lag;
    }
  }
  // Backwards after forwards, on the same decoder: the read position is not left behind.
  dec.StartSample = 10;
  dec.EndSample = 20;
  const std::vector<uint8_t> again = ReadAll(dec);
  ASSERT_EQ(again.size(), 11 * frameBytes);
  EXPECT_EQ(std::memcmp(again.data(), all.data() + 10 * frameBytes, again.size()), 0);
  EXPECT_EQ(dec.Error(), "");
  dec.StartSample = 0;
  dec.EndSample = -1;
}

// Mean absolute difference of a 16-bit stereo decode from the signal, after a lag.
double MeanError(const std::vector<int16_t>& got, const std::vector<int16_t>& want, size_t lag = 0) {
  double sum = 0;
  size_t n = 0;
  for (size_t i = 2000; i + lag < got.size() && i < want.size() - 2000; ++i, ++n)
    sum += std::abs(got[i + lag] - want[i]);
  return n ? sum / static_cast<double>(n) : 1e9;
}

TEST_F(AudioCodecs, OggVorbisHasTheExactLengthAndPositions) {
  const std::string path = Dir.Path("tone.ogg");
  ASSERT_TRUE(WriteVorbis(path, Signal, 2, kRate));
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dynamic_cast<TVorbisIn*>(dec.get()));
  ASSERT_EQ(dec->Error(), "");
  EXPECT_EQ(dec->BitsPerSample(), 16u);
  EXPECT_EQ(dec->Channels(), 2u);
  EXPECT_EQ(dec->SampleRate(), kRate);
  EXPECT_EQ(dec->TotalSamples(), static_cast<int64_t>(kFrames));
  CheckPositions(*dec);
  EXPECT_LT(MeanError(ReadAll16(*dec), Signal), 300.0);  // no delay: the signal lines up
}

TEST_F(AudioCodecs, FlacIsLosslessAtEveryPosition) {
  std::vector<int32_t> pcm16(Signal.begin(), Signal.end());
  const std::string path = Dir.Path("tone.flac");
  ASSERT_TRUE(WriteFlac(path, pcm16, 2, kRate, 16));
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dynamic_cast<TFLACIn*>(dec.get()));
  EXPECT_EQ(dec->BitsPerSample(), 16u);
  EXPECT_EQ(dec->TotalSamples(), static_cast<int64_t>(kFrames));
  EXPECT_EQ(ReadAll16(*dec), Signal);
  CheckPositions(*dec);

  // 24-bit mono comes out as 32-bit with the sample in the top bits.
  std::vector<int32_t> pcm24(5000);
  for (size_t i = 0; i < pcm24.size(); ++i)
    pcm24[i] = static_cast<int32_t>(i * 1237 % 16777216) - 8388608;
  const std::string deep = Dir.Path("deep.flac");
  ASSERT_TRUE(WriteFlac(deep, pcm24, 1, 96000, 24));
  auto dec24 = OpenDecoder(deep);
  EXPECT_EQ(dec24->BitsPerSample(), 32u);
  EXPECT_EQ(dec24->Channels(), 1u);
  dec24->StartSample = 4000;
  std::vector<uint8_t> got = ReadAll(*dec24);
  ASSERT_EQ(got.size(), 1000u * 4u);
  for (size_t i = 0; i < 1000; ++i) {
    int32_t s;
    std::memcpy(&s, &got[4 * i], 4);
    ASSERT_EQ(s, pcm24[4000 + i] * 256) << i;
  }
}

TEST_F(AudioCodecs, MoreChannelsAreMixedDownToStereo) {
  // Six FLAC channels (FL FR FC LFE BL BR): front left 9000, centre 3000, LFE loud, rest silent.
  std::vector<int32_t> six(6 * 2000, 0);
  for (size_t i = 0; i < 2000; ++i)
    six[6 * i] = 9000, six[6 * i + 2] = 3000, six[6 * i + 3] = 30000;
  const std::string flac = Dir.Path("six.flac");
  ASSERT_TRUE(WriteFlac(flac, six, 6, kRate, 16));
  auto dec = OpenDecoder(flac);
  EXPECT_EQ(dec->Channels(), 2u);
  EXPECT_EQ(dec->BitsPerSample(), 16u);
  std::vector<int16_t> got = ReadAll16(*dec);
  ASSERT_EQ(got.size(), 4000u);
  // Each side's weights sum to one: left (9000 + 0.7071 * 3000) / 2.7071, right 0.7071 * 3000 / 2.7071.
  EXPECT_NEAR(got[0], 4108, 1);
  EXPECT_NEAR(got[1], 783, 1);
  EXPECT_EQ(got[3998], got[0]);

  // Three Vorbis channels (L C R) with sound on the left only: the right side stays near silent.
  std::vector<int16_t> three(3 * 20000, 0);
  for (size_t i = 0; i < 20000; ++i)
    three[3 * i] = Signal[2 * i];
  const std::string ogg = Dir.Path("three.ogg");
  ASSERT_TRUE(WriteVorbis(ogg, three, 3, kRate));
  auto vorbis = OpenDecoder(ogg);
  EXPECT_EQ(vorbis->Channels(), 2u);
  EXPECT_EQ(vorbis->TotalSamples(), 20000);
  std::vector<int16_t> mixed = ReadAll16(*vorbis);
  ASSERT_EQ(mixed.size(), 40000u);
  double left = 0, right = 0;
  for (size_t i = 0; i < 20000; ++i)
    left += std::abs(mixed[2 * i]), right += std::abs(mixed[2 * i + 1]);
  EXPECT_GT(left, 50 * right);
}

TEST_F(AudioCodecs, Mp3HasTheEncodedLengthWithoutDelayOrPadding) {
  const std::string path = Dir.Path("tone.mp3");
  ASSERT_TRUE(WriteWithFFmpeg(path, "libmp3lame", "mp3", Signal, 2, kRate, 192000));
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dynamic_cast<TMP3In*>(dec.get()));
  ASSERT_EQ(dec->Error(), "");
  EXPECT_EQ(dec->BitsPerSample(), 16u);
  EXPECT_EQ(dec->Channels(), 2u);
  EXPECT_EQ(dec->TotalSamples(), static_cast<int64_t>(kFrames));
  CheckPositions(*dec);
  EXPECT_LT(MeanError(ReadAll16(*dec), Signal), 300.0);  // delay removed: the signal lines up
}

TEST_F(AudioCodecs, MonoMp3StaysMono) {
  std::vector<int16_t> mono = MakeSignal(30000, 1, 22050);
  const std::string path = Dir.Path("mono.MP3");
  ASSERT_TRUE(WriteWithFFmpeg(path, "libmp3lame", "mp3", mono, 1, 22050, 64000));
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dynamic_cast<TMP3In*>(dec.get()));
  EXPECT_EQ(dec->Channels(), 1u);
  EXPECT_EQ(dec->SampleRate(), 22050u);
  EXPECT_EQ(dec->TotalSamples(), 30000);
  CheckPositions(*dec);
}

TEST_F(AudioCodecs, WmaPositionsMatchTheContinuousDecode) {
  const std::string path = Dir.Path("tone.wma");
  ASSERT_TRUE(WriteWithFFmpeg(path, "wmav2", "asf", Signal, 2, kRate, 128000));
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dynamic_cast<TWMIn*>(dec.get()));
  ASSERT_EQ(dec->Error(), "");
  EXPECT_EQ(dec->Channels(), 2u);
  // The container records neither the encoder's delay nor its padding: the length is what the
  // decoder delivers, within two codec blocks of the signal's.
  EXPECT_GE(dec->TotalSamples(), static_cast<int64_t>(kFrames) - 2 * 2048);
  EXPECT_LE(dec->TotalSamples(), static_cast<int64_t>(kFrames) + 2 * 2048);
  CheckPositions(*dec);
}

TEST_F(AudioCodecs, TtaIsLosslessAtEveryPosition) {
  const std::string path = Dir.Path("tone.tta");
  ASSERT_TRUE(WriteWithFFmpeg(path, "tta", "tta", Signal, 2, kRate));
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dynamic_cast<TTTAIn*>(dec.get()));
  ASSERT_EQ(dec->Error(), "");
  EXPECT_EQ(dec->BitsPerSample(), 16u);
  EXPECT_EQ(dec->TotalSamples(), static_cast<int64_t>(kFrames));
  EXPECT_EQ(ReadAll16(*dec), Signal);
  CheckPositions(*dec);
}

TEST_F(AudioCodecs, MonkeysAudioIsChosenAndDamageReported) {
  // No encoder for this format is at hand: check the choice and the handling of bad files.
  const std::string path = Dir.Path("song.ape");
  WriteBytes(path, {'M', 'A', 'C', ' ', 0x96, 0x0F, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
  auto dec = OpenDecoder(path);
  ASSERT_TRUE(dynamic_cast<TMACIn*>(dec.get()));
  EXPECT_NE(dec->Error(), "");
  EXPECT_EQ(dec->TotalSamples(), 0);
  EXPECT_TRUE(ReadAll(*dec).empty());
  auto absent = OpenDecoder(Dir.Path("absent.APE"));
  ASSERT_TRUE(dynamic_cast<TMACIn*>(absent.get()));
  EXPECT_NE(absent->Error(), "");
  EXPECT_TRUE(ReadAll(*absent).empty());
}

TEST_F(AudioCodecs, DamagedFilesDeliverNoDataAndSayWhy) {
  std::vector<uint8_t> noise(20000);
  for (size_t i = 0; i < noise.size(); ++i)
    noise[i] = static_cast<uint8_t>((i * 2654435761u) >> 13);
  for (const char* name : {"noise.mp3", "noise.ogg", "noise.flac", "noise.wma", "noise.tta", "noise.ape"}) {
    const std::string path = Dir.Path(name);
    WriteBytes(path, noise);
    auto dec = OpenDecoder(path);
    ASSERT_TRUE(dec) << name;
    std::vector<uint8_t> got = ReadAll(*dec);
    // Either refused with a reason, or (MP3 resynchronises on anything) bounded by its length.
    if (dec->TotalSamples() == 0) {
      EXPECT_NE(dec->Error(), "") << name;
      EXPECT_TRUE(got.empty()) << name;
    } else {
      EXPECT_LE(got.size(), static_cast<size_t>(dec->TotalSamples()) * dec->BytesPerFrame()) << name;
    }
  }
}

TEST_F(AudioCodecs, TruncatedFilesEndEarlyWithoutHanging) {
  const std::string ogg = Dir.Path("cut.ogg"), flac = Dir.Path("cut.flac"), mp3 = Dir.Path("cut.mp3");
  ASSERT_TRUE(WriteVorbis(ogg, Signal, 2, kRate));
  ASSERT_TRUE(WriteFlac(flac, std::vector<int32_t>(Signal.begin(), Signal.end()), 2, kRate, 16));
  ASSERT_TRUE(WriteWithFFmpeg(mp3, "libmp3lame", "mp3", Signal, 2, kRate, 128000));
  for (const std::string& path : {ogg, flac, mp3}) {
    std::vector<uint8_t> bytes = ReadBytes(path);
    bytes.resize(bytes.size() * 3 / 4);
    WriteBytes(path, bytes);
    auto dec = OpenDecoder(path);
    ASSERT_TRUE(dec);
    std::vector<uint8_t> got = ReadAll(*dec);
    EXPECT_LE(got.size(), static_cast<size_t>(dec->TotalSamples()) * dec->BytesPerFrame()) << path;
    EXPECT_GT(got.size(), 0u) << path << ": " << dec->Error();
    dec->StartSample = dec->TotalSamples() - 10;  // beyond the data that is left
    ReadAll(*dec);
  }
}

// Damage that other players work around is worked around here too: the file plays, what
// follows a damaged stretch keeps its place, and the decoder leaves one warning naming the file.
TEST_F(AudioCodecs, DamagedVorbisAndFlacPlayWhatIsLeftInPlace) {
  const std::vector<int16_t> signal = MakeSignal(300007, 2, kRate);
  const std::string ogg = Dir.Path("long.ogg"), flac = Dir.Path("long.flac");
  ASSERT_TRUE(WriteVorbis(ogg, signal, 2, kRate));
  ASSERT_TRUE(WriteFlac(flac, std::vector<int32_t>(signal.begin(), signal.end()), 2, kRate, 16));
  const std::vector<uint8_t> oggBytes = ReadBytes(ogg), flacBytes = ReadBytes(flac);
  auto whole = OpenDecoder(ogg);
  const std::vector<int16_t> clean = ReadAll16(*whole);
  EXPECT_EQ(whole->Warning(), "");

  // Cut in half (inside a page): the whole packets before the cut play, as decoded in full.
  const std::string half = Dir.Path("half.ogg");
  WriteBytes(half, std::vector<uint8_t>(oggBytes.begin(), oggBytes.begin() + oggBytes.size() / 2));
  auto cut = OpenDecoder(half);
  const std::vector<int16_t> first = ReadAll16(*cut);
  EXPECT_EQ(cut->Error(), "");
  EXPECT_NE(cut->Warning().find(half), std::string::npos);
  EXPECT_EQ(first.size(), static_cast<size_t>(cut->TotalSamples()) * 2);
  EXPECT_GT(first.size(), clean.size() * 2 / 5);
  EXPECT_TRUE(std::equal(first.begin(), first.end(), clean.begin()));

  // A stretch of zeros inside each stream: the length stays, the end lines up with the clean one.
  const size_t tail = 2 * 20000;
  for (const auto& [path, bytes] : {std::pair{ogg, oggBytes}, std::pair{flac, flacBytes}}) {
    std::vector<uint8_t> damaged = bytes;
    std::fill(damaged.begin() + static_cast<ptrdiff_t>(damaged.size() * 2 / 5),
              damaged.begin() + static_cast<ptrdiff_t>(damaged.size() * 2 / 5 + 3000), uint8_t{0});
    WriteBytes(path, damaged);
    auto dec = OpenDecoder(path);
    const std::vector<int16_t> got = ReadAll16(*dec);
    const std::vector<int16_t>& want = path == ogg ? clean : signal;
    SCOPED_TRACE(path);
    EXPECT_EQ(dec->Error(), "");
    EXPECT_NE(dec->Warning().find(path), std::string::npos);
    ASSERT_EQ(got.size(), want.size());
    EXPECT_TRUE(std::equal(got.end() - tail, got.end(), want.end() - tail));
    EXPECT_FALSE(std::equal(got.begin(), got.end(), want.begin()));
  }
}

}  // namespace
}  // namespace vexa
