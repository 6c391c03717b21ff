// The format converter and the memory stream input.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "audio_test_files.h"
#include "media/audio_converter.h"
#include "media/audio_sample_convert.h"
#include "media/audio_stream_in.h"

namespace vexa {
namespace {

using testfiles::ReadAll;
using testfiles::ReadAll16;

TEST(AudioConverter, EightBitMonoBecomesSixteenBitStereo) {
  const uint8_t pcm[] = {255, 0, 128, 127, 1};
  TStreamIn stream;
  stream.InBitsPerSample = 8;
  stream.InChannels = 1;
  stream.InSampleRate = 22050;
  stream.SetStream(pcm, sizeof pcm);
  TAudioConverter conv;
  conv.Input = &stream;
  conv.OutBitsPerSample = 16;
  conv.OutChannels = 2;
  EXPECT_EQ(conv.BitsPerSample(), 16u);
  EXPECT_EQ(conv.Channels(), 2u);
  EXPECT_EQ(conv.SampleRate(), 22050u);
  EXPECT_EQ(conv.TotalSamples(), 5);
  std::vector<int16_t> out = ReadAll16(conv);
  // b / 128 - 1, then floor(v * 32768): 255 -> 32512, 0 -> -32768, 128 -> 0, 127 -> -256, 1 -> -32512.
  const int16_t want[] = {32512, 32512, -32768, -32768, 0, 0, -256, -256, -32512, -32512};
  ASSERT_EQ(out.size(), std::size(want));
  for (size_t i = 0; i < out.size(); ++i)
    EXPECT_EQ(out[i], want[i]) << i;
}

TEST(AudioConverter, DeeperSamplesFloorTowardsMinusInfinity) {
  uint8_t s24[3];
  // -1 in 24 bits: v = -1/8388608, v * 32768 = -1/256, floor -> -1.
  s24[0] = 0xFF, s24[1] = 0xFF, s24[2] = 0xFF;
  EXPECT_EQ(FloatToS16(SampleToFloat(s24, 24)), -1);
  // 0x7FFFFF: just below 1 -> 32767.
  s24[0] = 0xFF, s24[1] = 0xFF, s24[2] = 0x7F;
  EXPECT_EQ(FloatToS16(SampleToFloat(s24, 24)), 32767);
  // 384 in 24 bits is 1.5 in 16-bit units: floor -> 1.
  s24[0] = 0x80, s24[1] = 0x01, s24[2] = 0x00;
  EXPECT_EQ(FloatToS16(SampleToFloat(s24, 24)), 1);
  int32_t s32 = INT32_MIN;
  uint8_t b32[4];
  std::memcpy(b32, &s32, 4);
  EXPECT_EQ(FloatToS16(SampleToFloat(b32, 32)), -32768);
  s32 = -65537;  // -1.0000153 in 16-bit units -> -2
  std::memcpy(b32, &s32, 4);
  EXPECT_EQ(FloatToS16(SampleToFloat(b32, 32)), -2);
  int16_t s16 = -12345;
  uint8_t b16[2];
  std::memcpy(b16, &s16, 2);
  EXPECT_EQ(FloatToS16(SampleToFloat(b16, 16)), -12345);
  EXPECT_EQ(FloatToS16(1.5f), 32767);
  EXPECT_EQ(FloatToS16(-1.0f), -32768);
}

TEST(AudioConverter, StereoToMonoTakesTheMeanAndMoreChannelsStay) {
  const int16_t stereo[] = {1000, 3000, -32768, 32767, 5, 6};
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(stereo), sizeof stereo);
  TAudioConverter conv;
  conv.Input = &stream;
  conv.OutBitsPerSample = 16;
  conv.OutChannels = 1;
  std::vector<int16_t> mono = ReadAll16(conv);
  // (5 + 6) / 2 = 5.5 -> floor 5; (-32768 + 32767) / 2 = -0.5 -> -1.
  EXPECT_EQ(mono, (std::vector<int16_t>{2000, -1, 5}));

  const int16_t quad[] = {100, 200, 300, 400};
  TStreamIn four;
  four.InChannels = 4;
  four.SetStream(reinterpret_cast<const uint8_t*>(quad), sizeof quad);
  conv.Input = &four;
  conv.OutChannels = 2;
  EXPECT_EQ(conv.Channels(), 4u);
  EXPECT_EQ(ReadAll16(conv), (std::vector<int16_t>{100, 200, 300, 400}));
}

TEST(AudioConverter, ZeroFormatPassesBlocksThrough) {
  const uint8_t pcm[] = {1, 2, 3, 4, 5, 6};
  TStreamIn stream;
  stream.InBitsPerSample = 24;
  stream.InChannels = 2;
  stream.SetStream(pcm, sizeof pcm);
  TAudioConverter conv;
  conv.Input = &stream;
  EXPECT_EQ(conv.BitsPerSample(), 24u);
  conv.Init();
  const uint8_t* data = nullptr;
  size_t bytes = 100;
  conv.GetData(data, bytes);
  EXPECT_EQ(bytes, 6u);
  EXPECT_EQ(data, pcm);  // the input's own block, not a copy
  conv.Flush();
}

TEST(AudioConverter, ToSixteenBitStereoFromEveryDepth) {
  // One stereo frame at each depth holding -0.5 and 0.25 of full scale.
  struct Case {
    uint32_t Bits;
    std::vector<uint8_t> Frame;
  } cases[] = {{8, {64, 160}},
               {16, {0x00, 0xC0, 0x00, 0x20}},
               {24, {0x00, 0x00, 0xC0, 0x00, 0x00, 0x20}},
               {32, {0, 0, 0, 0xC0, 0, 0, 0, 0x20}}};
  for (const Case& c : cases) {
    TStreamIn stream;
    stream.InBitsPerSample = c.Bits;
    stream.SetStream(c.Frame.data(), c.Frame.size());
    TAudioConverter conv;
    conv.Input = &stream;
    conv.OutBitsPerSample = 16;
    conv.OutChannels = 2;
    EXPECT_EQ(ReadAll16(conv), (std::vector<int16_t>{-16384, 8192})) << c.Bits;
  }
}

std::vector<int16_t> Ramp(size_t frames) {
  std::vector<int16_t> v(frames * 2);
  for (size_t i = 0; i < frames; ++i) {
    v[2 * i] = static_cast<int16_t>(i);
    v[2 * i + 1] = static_cast<int16_t>(-static_cast<int>(i));
  }
  return v;
}

TEST(StreamIn, HonoursStartEndAndTheCallersLimit) {
  std::vector<int16_t> pcm = Ramp(50000);
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
  EXPECT_EQ(stream.TotalSamples(), 50000);
  stream.StartSample = 1234;
  stream.EndSample = 40000;
  std::vector<int16_t> got = ReadAll16(stream, 1000);  // 250 frames at a time
  ASSERT_EQ(got.size(), (40000u - 1234u + 1u) * 2u);
  EXPECT_EQ(got.front(), 1234);
  EXPECT_EQ(got[got.size() - 2], static_cast<int16_t>(40000));
  // -1 reads to the end; past the end stops at the end.
  stream.StartSample = 49990;
  stream.EndSample = -1;
  EXPECT_EQ(ReadAll16(stream).size(), 20u);
  stream.EndSample = 1000000;
  EXPECT_EQ(ReadAll16(stream).size(), 20u);
  stream.StartSample = 60000;
  EXPECT_TRUE(ReadAll16(stream).empty());
  // A request smaller than one frame gets nothing rather than half a frame.
  stream.StartSample = 0;
  stream.Init();
  const uint8_t* data = nullptr;
  size_t bytes = 3;
  stream.GetData(data, bytes);
  EXPECT_EQ(bytes, 0u);
  stream.Flush();
}

TEST(StreamIn, RejectsAFormatItCannotDeliver) {
  const uint8_t pcm[12] = {};
  TStreamIn stream;
  stream.InBitsPerSample = 12;
  stream.SetStream(pcm, sizeof pcm);
  EXPECT_NE(stream.Error(), "");
  EXPECT_EQ(stream.TotalSamples(), 0);
  EXPECT_TRUE(ReadAll(stream).empty());
  stream.InBitsPerSample = 16;
  stream.SetStream(pcm, sizeof pcm);  // a new stream starts without the old complaint
  EXPECT_EQ(stream.Error(), "");
  EXPECT_EQ(stream.TotalSamples(), 3);
}

TEST(StreamIn, LoopStartsAgainAfterTheEnd) {
  std::vector<int16_t> pcm = Ramp(10);
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
  stream.StartSample = 2;
  stream.EndSample = 4;
  stream.Loop = true;
  stream.Init();
  std::vector<int16_t> left;
  for (int i = 0; i < 6; ++i) {
    const uint8_t* data = nullptr;
    size_t bytes = 8;  // two frames
    stream.GetData(data, bytes);
    ASSERT_GT(bytes, 0u);
    for (size_t k = 0; k < bytes; k += 4)
      left.push_back(reinterpret_cast<const int16_t*>(data + k)[0]);
  }
  stream.Flush();
  EXPECT_EQ(left, (std::vector<int16_t>{2, 3, 4, 2, 3, 4, 2, 3, 4}));
}

TEST(StreamIn, InitGetDataAndFlushFromTwoThreads) {
  // An output's worker reads while the window stops and restarts it: the input's lock keeps
  // the calls apart (the sanitizer build catches a race that slips through).
  std::vector<int16_t> pcm = Ramp(20000);
  TStreamIn stream;
  stream.SetStream(reinterpret_cast<const uint8_t*>(pcm.data()), pcm.size() * 2);
  stream.Loop = true;
  stream.Init();
  std::atomic<bool> stop{false};
  std::atomic<size_t> bad{0};
  std::thread reader([&] {
    while (!stop) {
      const uint8_t* data = nullptr;
      size_t bytes = 4096;
      stream.GetData(data, bytes);
      if (bytes % 4 != 0 || bytes > 4096) ++bad;
    }
  });
  for (int i = 0; i < 2000; ++i) {
    stream.Flush();
    stream.StartSample = i;
    stream.Init();
  }
  stop = true;
  reader.join();
  EXPECT_EQ(bad, 0u);
}

}  // namespace
}  // namespace vexa
