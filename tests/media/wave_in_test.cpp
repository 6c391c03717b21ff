// The WAV reader: every PCM depth, float, extensible, both ADPCM kinds and damaged headers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "audio_test_files.h"
#include "media/wave_in.h"

namespace vexa {
namespace {

using namespace testfiles;

class WaveIn : public ::testing::Test {
 protected:
  TTempDir Dir;
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = Dir.Path(name);
    WriteBytes(path, bytes);
    return path;
  }
};

std::vector<uint8_t> Counting(size_t bytes) {
  std::vector<uint8_t> v(bytes);
  for (size_t i = 0; i < bytes; ++i)
    v[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return v;
}

TEST_F(WaveIn, PcmOfEveryDepthFromTheMiddleOfABlock) {
  for (uint16_t bits : {8, 16, 24, 32})
    for (uint16_t channels : {1, 2}) {
      const size_t frameBytes = bits / 8u * channels, frames = 40000;
      std::vector<uint8_t> data = Counting(frames * frameBytes);
      TWaveIn in;
      in.SetFileName(Write("pcm.wav", WaveFile(PcmFmt(1, channels, 32000, bits), data)));
      SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(channels) + " channels");
      ASSERT_EQ(in.Error(), "");
      EXPECT_EQ(in.BitsPerSample(), bits);
      EXPECT_EQ(in.Channels(), channels);
      EXPECT_EQ(in.SampleRate(), 32000u);
      EXPECT_EQ(in.TotalSamples(), 40000);
      in.StartSample = 16384 + 777;  // inside the reader's second block
      in.EndSample = 33000;
      std::vector<uint8_t> got = ReadAll(in, 999 * frameBytes + 1);
      std::vector<uint8_t> want(data.begin() + 17161 * frameBytes, data.begin() + 33001 * frameBytes);
      EXPECT_TRUE(got == want);
      in.StartSample = 0;
      in.EndSample = -1;
      EXPECT_TRUE(ReadAll(in) == data);
    }
}

TEST_F(WaveIn, FloatIsDeliveredAsThirtyTwoBitPcm) {
  const double values[] = {
      -1.5, -1.0, -0.5, 0.0, 0.25, 0.75, 1.0, 2.0, std::numeric_limits<double>::quiet_NaN()};
  const int32_t want[] = {INT32_MIN,  INT32_MIN, -1073741824, 0, 536870912,
                          1610612736, INT32_MAX, INT32_MAX,   0};
  for (uint16_t bits : {32, 64}) {
    std::vector<uint8_t> data;
    for (double v : values) {
      uint8_t b[8];
      if (bits == 32) {
        float f = static_cast<float>(v);
        std::memcpy(b, &f, 4);
      } else {
        std::memcpy(b, &v, 8);
      }
      data.insert(data.end(), b, b + bits / 8);
    }
    for (bool extensible : {false, true}) {
      TWaveIn in;
      auto fmt = extensible ? ExtensibleFmt(3, 1, 48000, bits, bits) : PcmFmt(3, 1, 48000, bits);
      in.SetFileName(Write("float.wav", WaveFile(fmt, data)));
      ASSERT_EQ(in.Error(), "");
      EXPECT_EQ(in.BitsPerSample(), 32u);
      EXPECT_EQ(in.TotalSamples(), 9);
      std::vector<uint8_t> got = ReadAll(in);
      ASSERT_EQ(got.size(), sizeof want);
      EXPECT_EQ(std::memcmp(got.data(), want, sizeof want), 0) << bits;
    }
  }
}

TEST_F(WaveIn, ExtensiblePcmReadsItsContainer) {
  std::vector<uint8_t> data = Counting(3 * 2 * 1000);
  TWaveIn in;
  in.SetFileName(Write("ext.wav", WaveFile(ExtensibleFmt(1, 2, 96000, 24, 20), data)));
  ASSERT_EQ(in.Error(), "");
  EXPECT_EQ(in.BitsPerSample(), 24u);
  EXPECT_EQ(in.TotalSamples(), 1000);
  EXPECT_TRUE(ReadAll(in) == data);
}

TEST_F(WaveIn, ImaAdpcmBlockOfKnownValues) {
  // Header: first sample 0, step index 0. Nibbles 7, 0, 8, 0, 0, 0, 0, 0.
  std::vector<uint8_t> block = {0, 0, 0, 0, 0x07, 0x08, 0x00, 0x00};
  TWaveIn in;
  in.SetFileName(Write("ima1.wav", WaveFile(ImaFmt(1, 8000, 8), block)));
  ASSERT_EQ(in.Error(), "");
  EXPECT_EQ(in.TotalSamples(), 9);
  // step 7: +0+1+3+7 = 11; step 16: +2; step 14: -1; step 13, 12, 11, 10, 9: +1 each.
  EXPECT_EQ(ReadAll16(in), (std::vector<int16_t>{0, 11, 13, 12, 13, 14, 15, 16, 17}));
}

TEST_F(WaveIn, MsAdpcmBlockOfKnownValues) {
  // Predictor 0 (256, 0), delta 16, sample 1 = 100, sample 2 = 50; nibbles 1, F, 7, 0.
  std::vector<uint8_t> block = {0, 16, 0, 100, 0, 50, 0, 0x1F, 0x70};
  TWaveIn in;
  in.SetFileName(Write("ms1.wav", WaveFile(MsFmt(1, 8000, 9), block)));
  ASSERT_EQ(in.Error(), "");
  EXPECT_EQ(in.TotalSamples(), 6);
  // 100 + 16 = 116 (delta stays 16); 116 - 16 = 100; 100 + 7 * 16 = 212 (delta 38); + 0.
  EXPECT_EQ(ReadAll16(in), (std::vector<int16_t>{50, 100, 116, 100, 212, 212}));
}

TEST_F(WaveIn, AdpcmFilesFromOurEncoders) {
  const size_t frames = 30011;
  for (uint32_t channels : {1u, 2u})
    for (bool ms : {false, true}) {
      SCOPED_TRACE(std::string(ms ? "MS" : "IMA") + " " + std::to_string(channels));
      std::vector<int16_t> pcm = MakeSignal(frames, channels, 22050);
      std::vector<int16_t> decoded;
      const uint16_t align = static_cast<uint16_t>(ms ? 256 * channels : 512 * channels);
      std::vector<uint8_t> data =
          ms ? EncodeMs(pcm, channels, align, decoded) : EncodeIma(pcm, channels, align, decoded);
      auto fmt = ms ? MsFmt(static_cast<uint16_t>(channels), 22050, align)
                    : ImaFmt(static_cast<uint16_t>(channels), 22050, align);
      TWaveIn in;
      in.SetFileName(Write("adpcm.wav", WaveFile(fmt, data, static_cast<int64_t>(frames))));
      ASSERT_EQ(in.Error(), "");
      EXPECT_EQ(in.BitsPerSample(), 16u);
      EXPECT_EQ(in.TotalSamples(), static_cast<int64_t>(frames));  // the fact chunk, not the padded blocks
      std::vector<int16_t> all = ReadAll16(in, 3000 * channels);
      ASSERT_EQ(all.size(), decoded.size());
      EXPECT_TRUE(all == decoded);
      // ADPCM follows the signal closely.
      double err = 0;
      for (size_t i = 0; i < all.size(); ++i)
        err += std::abs(all[i] - pcm[i]);
      EXPECT_LT(err / static_cast<double>(all.size()), 400.0);
      // Start in the middle of the fourth block, stop inside the ninth.
      const size_t perBlock =
          ms ? (align - 7 * channels) * 2 / channels + 2 : (align - 4 * channels) * 2 / channels + 1;
      in.StartSample = static_cast<int64_t>(3 * perBlock + 5);
      in.EndSample = static_cast<int64_t>(8 * perBlock + 17);
      std::vector<int16_t> part = ReadAll16(in, 1000);
      std::vector<int16_t> want(decoded.begin() + static_cast<ptrdiff_t>((3 * perBlock + 5) * channels),
                                decoded.begin() + static_cast<ptrdiff_t>((8 * perBlock + 18) * channels));
      EXPECT_TRUE(part == want);
    }
}

TEST_F(WaveIn, WithoutFactTheLastShortBlockCounts) {
  std::vector<int16_t> pcm = MakeSignal(100, 1, 8000), decoded;
  std::vector<uint8_t> data = EncodeIma(pcm, 1, 36, decoded);  // 65 frames per block
  data.resize(36 + 4 + 8);                                     // second block: header and 16 frames
  TWaveIn in;
  in.SetFileName(Write("short.wav", WaveFile(ImaFmt(1, 8000, 36), data)));
  EXPECT_EQ(in.TotalSamples(), 65 + 17);
  std::vector<int16_t> got = ReadAll16(in);
  ASSERT_EQ(got.size(), 82u);
  EXPECT_TRUE(std::equal(got.begin(), got.end(), decoded.begin()));
}

TEST_F(WaveIn, OtherFormatsGoThroughTheGeneralDecoder) {
  // mu-law: 0xFF is zero, 0x80 and 0x00 the extremes.
  TWaveIn mulaw;
  mulaw.SetFileName(Write("mulaw.wav", WaveFile(PcmFmt(7, 1, 8000, 8), {0xFF, 0x80, 0x00})));
  ASSERT_EQ(mulaw.Error(), "");
  EXPECT_EQ(mulaw.TotalSamples(), 3);
  EXPECT_EQ(ReadAll16(mulaw), (std::vector<int16_t>{0, 32124, -32124}));
  // Four channels are mixed down to stereo.
  std::vector<int16_t> quad(4 * 1000, 1000);
  std::vector<uint8_t> bytes(quad.size() * 2);
  std::memcpy(bytes.data(), quad.data(), bytes.size());
  TWaveIn four;
  four.SetFileName(Write("quad.wav", WaveFile(PcmFmt(1, 4, 44100, 16), bytes)));
  ASSERT_EQ(four.Error(), "");
  EXPECT_EQ(four.Channels(), 2u);
  EXPECT_EQ(four.TotalSamples(), 1000);
  four.StartSample = 10;
  std::vector<int16_t> got = ReadAll16(four);
  ASSERT_EQ(got.size(), 2u * 990u);
  EXPECT_NEAR(got[0], 1000, 300);
  EXPECT_EQ(got[0], got[1]);
}

TEST_F(WaveIn, DamagedHeadersAreReportedNotOverread) {
  const std::vector<uint8_t> data = Counting(400);
  std::vector<uint8_t> good = WaveFile(PcmFmt(1, 2, 44100, 16), data);
  struct Case {
    const char* Name;
    std::vector<uint8_t> Bytes;
  };
  std::vector<Case> cases;
  cases.push_back({"empty", {}});
  cases.push_back({"garbage", Counting(1000)});
  cases.push_back({"header only", std::vector<uint8_t>(good.begin(), good.begin() + 12)});
  auto hugeFmt = good;
  hugeFmt[16] = 0xFF, hugeFmt[17] = 0xFF, hugeFmt[18] = 0xFF, hugeFmt[19] = 0x7F;
  cases.push_back({"fmt size beyond the file", hugeFmt});
  auto shortFmt = WaveFile(std::vector<uint8_t>(good.begin() + 20, good.begin() + 34), data);
  cases.push_back({"fmt of 14 bytes", shortFmt});
  auto noChannels = good;
  noChannels[22] = 0;
  cases.push_back({"no channels", noChannels});
  auto noRate = good;
  std::memset(&noRate[24], 0, 4);
  cases.push_back({"rate 0", noRate});
  auto noData = WaveFile(PcmFmt(1, 2, 44100, 16), {});
  noData.resize(noData.size() - 8);
  cases.push_back({"no data chunk", noData});
  cases.push_back({"IMA block too small", WaveFile(ImaFmt(2, 8000, 4), data)});
  auto ext = ExtensibleFmt(1, 2, 44100, 16, 16);
  ext.resize(30);
  ext[16] = 12;
  cases.push_back({"extensible cut short", WaveFile(ext, data)});
  auto coefs = MsFmt(1, 8000, 64);
  coefs[20] = 0xFF;  // 255 coefficient pairs claimed
  cases.push_back({"MS coefficient table too long", WaveFile(coefs, data)});
  for (const Case& c : cases) {
    TWaveIn in;
    in.SetFileName(Write("bad.wav", c.Bytes));
    EXPECT_NE(in.Error(), "") << c.Name;
    EXPECT_EQ(in.TotalSamples(), 0) << c.Name;
    EXPECT_TRUE(ReadAll(in).empty()) << c.Name;
  }
  TWaveIn missing;
  missing.SetFileName(Dir.Path("none.wav"));
  EXPECT_NE(missing.Error(), "");
  EXPECT_TRUE(ReadAll(missing).empty());
}

TEST_F(WaveIn, CutShortRecordingsPlayToTheEndWithAWarningAndBadBlocksStopTheRead) {
  std::vector<uint8_t> file = WaveFile(PcmFmt(1, 2, 44100, 16), Counting(4000));
  file.resize(file.size() - 1002);  // 250.5 frames missing
  TWaveIn in;
  in.SetFileName(Write("cut.wav", file));
  EXPECT_EQ(in.Error(), "");
  EXPECT_EQ(in.TotalSamples(), 749);
  EXPECT_EQ(ReadAll(in).size(), 749u * 4u);
  EXPECT_NE(in.Warning().find("cut.wav"), std::string::npos);

  // A streaming writer's size of 0xFFFFFFFF: everything up to the end of the file plays.
  const std::vector<uint8_t> pcm16 = Counting(4000);
  std::vector<uint8_t> streamed = WaveFile(PcmFmt(1, 2, 44100, 16), pcm16);
  std::fill(streamed.begin() + 40, streamed.begin() + 44, uint8_t{0xFF});
  in.SetFileName(Write("streamed.wav", streamed));
  EXPECT_EQ(in.Error(), "");
  EXPECT_TRUE(ReadAll(in) == pcm16);
  EXPECT_NE(in.Warning().find("streamed.wav"), std::string::npos);
  in.SetFileName(Write("whole.wav", WaveFile(PcmFmt(1, 2, 44100, 16), pcm16)));
  EXPECT_EQ(in.Warning(), "");

  std::vector<int16_t> pcm = MakeSignal(1000, 1, 8000), decoded;
  std::vector<uint8_t> data = EncodeIma(pcm, 1, 36, decoded);
  data[36 * 5 + 2] = 99;  // step index of the sixth block out of range
  TWaveIn ima;
  ima.SetFileName(Write("badblock.wav", WaveFile(ImaFmt(1, 8000, 36), data)));
  std::vector<int16_t> got = ReadAll16(ima, 65 * 2);
  EXPECT_EQ(got.size(), 5u * 65u);
  EXPECT_NE(ima.Error(), "");
}

}  // namespace
}  // namespace vexa
