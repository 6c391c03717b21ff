// The sound output, headless: SDL's disk driver writes what reaches the "device" into a file,
// its dummy driver plays into nothing at the device's pace, and an unknown driver stands for a
// machine without any sound device.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio_out/dx_audio_out.h"
#include "media/wave_in.h"
#include "test_wav.h"

namespace vexa {
namespace {

using test::TScratchDir;

// Interleaved 16-bit stereo whose samples are never 0, so that the device's silence (before,
// between and after runs, and in underruns) can be told from the sound.
std::vector<int16_t> Signal(size_t frames) {
  std::vector<int16_t> v(2 * frames);
  for (size_t i = 0; i < frames; ++i) {
    v[2 * i] = static_cast<int16_t>(1 + i % 30000);
    v[2 * i + 1] = static_cast<int16_t>(-1 - static_cast<int>(i % 20000));
  }
  return v;
}

std::vector<int16_t> Frames(const std::vector<int16_t>& v, size_t first, size_t count) {
  return std::vector<int16_t>(v.begin() + 2 * first, v.begin() + 2 * (first + count));
}

// What the disk driver wrote, less the silent frames.
std::vector<int16_t> SoundOnDisk(const std::string& path) {
  const std::string bytes = test::ReadBytes(path);
  std::vector<int16_t> all(bytes.size() / 2), sound;
  std::memcpy(all.data(), bytes.data(), all.size() * 2);
  for (size_t i = 0; i + 1 < all.size(); i += 2)
    if (all[i] != 0 || all[i + 1] != 0) {
      sound.push_back(all[i]);
      sound.push_back(all[i + 1]);
    }
  return sound;
}

class AudioOut : public ::testing::Test {
 protected:
  void UseDriver(const std::string& driver) {
    ::setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    ::setenv("SDL_DISKAUDIOFILE", Disk.c_str(), 1);
    ::setenv("SDL_DISKAUDIODELAY", "1", 1);  // a chunk per millisecond: many times real time
  }
  std::string WriteWav(size_t frames) {
    const std::string path = Dir.File("in.wav");
    test::WriteTestWav(path, 2, 44100, Pcm = Signal(frames));
    return path;
  }
  // Counts the end notices; WaitEnd waits for the next one.
  void Watch(TDXAudioOut& out) {
    out.OnInputEnd = [this] {
      std::lock_guard<std::mutex> hold(Lock);
      ++Ends;
      Changed.notify_all();
    };
    out.OnNotice = [this](const std::string& text) { Notices.push_back(text); };
  }
  void WaitEnd(int count) {
    std::unique_lock<std::mutex> hold(Lock);
    ASSERT_TRUE(Changed.wait_for(hold, std::chrono::seconds(60), [&] { return Ends >= count; }));
  }

  TScratchDir Dir;
  std::string Disk = Dir.File("device.raw");
  std::vector<int16_t> Pcm;
  std::mutex Lock;
  std::condition_variable Changed;
  int Ends = 0;
  std::vector<std::string> Notices;
};

TEST_F(AudioOut, DeviceReceivesTheWavFromTheChosenSampleAcrossStopsAndRanges) {
  UseDriver("disk");
  TWaveIn wave;
  wave.SetFileName(WriteWav(200000));
  int64_t heard = 0;
  {
    TDXAudioOut out;
    Watch(out);
    out.Input = &wave;

    // To the end of the file from a chosen sample.
    wave.StartSample = 150000;
    out.Run();
    WaitEnd(1);
    EXPECT_TRUE(out.Finished());
    EXPECT_FALSE(out.Busy());
    EXPECT_EQ(out.FramesPlayed(), 50000);

    // Stopped part way: what it played before the stop is a run of the file from its start.
    out.Stop();
    wave.StartSample = 0;
    out.Run();
    while (out.FramesPlayed() < 2000)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    out.Stop();
    EXPECT_FALSE(out.Finished());
    EXPECT_FALSE(out.Busy());
    heard = out.FramesPlayed();

    // A new start and an end sample.
    wave.StartSample = 5000;
    wave.EndSample = 7999;
    out.Run();
    WaitEnd(2);
    EXPECT_EQ(out.FramesPlayed(), 3000);
    EXPECT_TRUE(Notices.empty());
  }
  // Once the device is closed the file holds it all: the first run, what the device took of the
  // stopped one (at least what was heard), the last run.
  const std::vector<int16_t> got = SoundOnDisk(Disk);
  ASSERT_GE(got.size() / 2, 50000u + 3000u + static_cast<size_t>(heard));
  const size_t cutShort = got.size() / 2 - 50000 - 3000;
  EXPECT_TRUE(Frames(got, 0, 50000) == Frames(Pcm, 150000, 50000));
  ASSERT_LT(cutShort, 200000u);
  EXPECT_TRUE(Frames(got, 50000, cutShort) == Frames(Pcm, 0, cutShort));
  EXPECT_TRUE(Frames(got, 50000 + cutShort, 3000) == Frames(Pcm, 5000, 3000));
}

TEST_F(AudioOut, TwentyFourBitSamplesReachTheDeviceAsTheirThirtyTwoBitValue) {
  UseDriver("disk");
  // Mono 24-bit: 0x123456, -2, 0x7FFFFF, repeated.
  const int32_t values[] = {0x123456, -2, 0x7FFFFF};
  std::string data;
  for (int i = 0; i < 3000; ++i)
    test::Put(data, static_cast<uint32_t>(values[i % 3]) & 0xFFFFFF, 3);
  std::string file = "RIFF";
  test::Put(file, 36 + static_cast<uint32_t>(data.size()), 4);
  file += "WAVEfmt ";
  for (auto [v, n] : {std::pair{16u, 4}, {1u, 2}, {1u, 2}, {48000u, 4}, {144000u, 4}, {3u, 2}, {24u, 2}})
    test::Put(file, v, n);
  file += "data";
  test::Put(file, static_cast<uint32_t>(data.size()), 4);
  file += data;
  const std::string path = Dir.File("in24.wav");
  std::ofstream(path, std::ios::binary) << file;

  TWaveIn wave;
  wave.SetFileName(path);
  {
    TDXAudioOut out;
    Watch(out);
    out.Input = &wave;
    out.Run();
    WaitEnd(1);
  }
  const std::string bytes = test::ReadBytes(Disk);
  std::vector<int32_t> got;
  for (size_t i = 0; i + 4 <= bytes.size(); i += 4) {
    int32_t v;
    std::memcpy(&v, bytes.data() + i, 4);
    if (v != 0) got.push_back(v);
  }
  ASSERT_EQ(got.size(), 3000u);
  for (int i = 0; i < 3000; ++i)
    ASSERT_EQ(got[i], values[i % 3] * 256) << i;
}

TEST_F(AudioOut, RunRefusesWithoutInputWhileBusyAndFromItsOwnEndNotice) {
  UseDriver("dummy");
  TDXAudioOut out;
  EXPECT_THROW(out.Run(), EAudioOutError);
  TWaveIn wave;
  wave.SetFileName(WriteWav(44100));
  out.Input = &wave;
  bool refusedInside = false;
  out.OnInputEnd = [&] {
    try {
      out.Run();
    } catch (const EAudioOutError&) {
      refusedInside = true;
    }
    std::lock_guard<std::mutex> hold(Lock);
    ++Ends;
    Changed.notify_all();
  };
  out.Run();
  EXPECT_TRUE(out.Busy());
  EXPECT_THROW(out.Run(), EAudioOutError);
  out.Stop();
  EXPECT_EQ(Ends, 0);  // a stop is no end
  wave.StartSample = 44000;
  out.Run();
  WaitEnd(1);
  EXPECT_TRUE(refusedInside);
  out.Run();  // after the end it may play again
  WaitEnd(2);
}

// With the dummy driver and with no device at all the output keeps the device's pace: the
// frames played only grow, reach the input's length, and the end is announced.
TEST_F(AudioOut, PlaysAtTheDevicePaceEvenWithoutADeviceAndSaysSoOnce) {
  for (const std::string driver : {"dummy", "no-such-driver"}) {
    SCOPED_TRACE(driver);
    UseDriver(driver);
    Ends = 0;
    Notices.clear();
    TWaveIn wave;
    wave.SetFileName(WriteWav(4410));  // 0.1 s
    TDXAudioOut out;
    Watch(out);
    out.Input = &wave;
    for (int round = 1; round <= 2; ++round) {
      out.Run();
      int64_t last = 0;
      bool fell = false;
      while (out.Busy()) {
        const int64_t now = out.FramesPlayed();
        fell |= now < last;
        last = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
      WaitEnd(round);
      EXPECT_FALSE(fell);
      EXPECT_EQ(out.FramesPlayed(), 4410);
    }
    EXPECT_EQ(out.Silent(), driver != "dummy");
    EXPECT_EQ(Notices.size(), driver == "dummy" ? 0u : 1u);
  }
}

}  // namespace
}  // namespace vexa
