// The sound render from project to file: mix length, envelopes, placement, normalisation and
// the refusals, on WAV sources written by the test.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/temp_file_watch.h"
#include "media/warning_sink.h"
#include "model/project.h"
#include "sound/memory_available.h"
#include "sound/render_sound.h"
#include "sound/sound_error.h"
#include "sound/wave_out.h"
#include "test_wav.h"

namespace vexa {
namespace {

using test::ReadBytes;
using test::ReadWav;
using test::TScratchDir;
using test::TWavContent;
using test::WriteTestWav;

constexpr int16_t kMarker = -32768;  // one such sample in the mix prevents the normalisation

// An event of layer `layer` playing the first (end - start) ms of file over start..end, at
// full volume and the centre balance.
TSoundSourceEvent& AddSound(TProject& p, int layer, const std::string& file, uint32_t start, uint32_t end) {
  while (p.SoundLayers.Count() <= layer)
    NewSoundLayer(p.SoundLayers, -1);
  auto e = std::make_unique<TSoundSourceEvent>();
  e->StartTime = start;
  e->EndTime = end;
  e->FileName = file;
  e->SampleAppointMode = 1;
  e->StartSample = 0;
  e->EndSample = end - start;
  e->StartVolume = e->EndVolume = 256;
  e->StartPan = e->EndPan = 0;
  return *static_cast<TSoundSourceEvent*>(p.SoundLayers[layer]->Events.Add(std::move(e)));
}

// One second of 44.1 kHz stereo whose frames alternate between the two levels.
std::vector<int16_t> Alternating(int16_t a, int16_t b, size_t frames = 44100) {
  std::vector<int16_t> v(2 * frames);
  for (size_t f = 0; f < frames; ++f)
    v[2 * f] = v[2 * f + 1] = f % 2 ? b : a;
  return v;
}

class RenderSoundTest : public ::testing::Test {
 protected:
  std::string Source(const std::string& name, const std::vector<int16_t>& samples, uint32_t channels = 2,
                     uint32_t rate = 44100) {
    const std::string path = dir.File(name);
    WriteTestWav(path, channels, rate, samples);
    return path;
  }
  TWavContent Render(const TProject& p) {
    const std::string out = dir.File("mix.wav");
    EXPECT_TRUE(RenderSound(p, out));
    return ReadWav(out);
  }
  static void ExpectSilentFrom(const TWavContent& w, size_t from) {
    for (size_t f = from; f < w.Frames(); ++f)
      ASSERT_TRUE(w.Left(f) == 0 && w.Right(f) == 0) << "frame " << f;
  }

  TScratchDir dir;
  TProject project;
};

TEST_F(RenderSoundTest, OneSecondEventGivesTwoSecondsWithTheLastSilent) {
  AddSound(project, 0, Source("a.wav", Alternating(20000, 6000)), 0, 1000);
  const TWavContent w = Render(project);
  const auto header = MakeWaveHeader(2, 44100, 16, 352800);
  EXPECT_EQ(w.Header, std::string(header.begin(), header.end()));
  ASSERT_EQ(w.Frames(), 88200u);
  // Centre: both sides at half level (10000 and 3000), then brought to a peak of 32767 by
  // the single-precision gain 32767 / 10000: 3000 becomes 9830.
  for (size_t f = 0; f < 44099; ++f) {
    const int16_t want = f % 2 ? 9830 : 32767;
    ASSERT_TRUE(w.Left(f) == want && w.Right(f) == want) << "frame " << f << ": " << w.Left(f);
  }
  ExpectSilentFrom(w, 44100);
}

TEST_F(RenderSoundTest, CentreIsHalfLevelWhenNothingIsNormalised) {
  // Event 1: hard left with one full-scale sample, which keeps the mix from being normalised.
  auto loud = Alternating(20000, 20000);
  loud[0] = kMarker;
  auto& a = AddSound(project, 0, Source("loud.wav", loud), 0, 1000);
  a.StartPan = a.EndPan = -128;
  // Event 2, later on the same layer, at the centre: half of 20000 on each side.
  AddSound(project, 0, Source("b.wav", Alternating(20000, 20000)), 2000, 3000);
  const TWavContent w = Render(project);
  ASSERT_EQ(w.Frames(), 4000u * 441 / 10);
  EXPECT_EQ(w.Left(0), kMarker);
  EXPECT_EQ(w.Right(0), 0);
  for (size_t f = 88200; f < 88200 + 44099; ++f)
    ASSERT_TRUE(w.Left(f) == 10000 && w.Right(f) == 10000) << "frame " << f;
}

TEST_F(RenderSoundTest, HardLeftAndHardRight) {
  const std::string file = Source("a.wav", Alternating(20000, 6000));
  for (int pan : {-128, 128}) {
    SCOPED_TRACE(pan);
    TProject p;
    auto& e = AddSound(p, 0, file, 0, 1000);
    e.StartPan = e.EndPan = pan;
    const TWavContent w = Render(p);
    for (size_t f = 0; f < 44099; ++f) {
      const int16_t loud = f % 2 ? 9830 : 32767;  // 6000 * (32767 / 20000) = 9830.1
      const int16_t left = pan < 0 ? loud : 0, right = pan < 0 ? 0 : loud;
      ASSERT_TRUE(w.Left(f) == left && w.Right(f) == right) << "frame " << f;
    }
  }
}

TEST_F(RenderSoundTest, BalanceSweepMovesAcrossIn512FrameSteps) {
  auto& e = AddSound(project, 0, Source("a.wav", Alternating(20000, 20000)), 0, 1000);
  e.StartPan = -128;
  e.EndPan = 128;
  const TWavContent w = Render(project);
  // 44099 frames: 86 stretches of 512, the left gain falls from 1 to 0 in 85 steps.
  EXPECT_EQ(w.Left(0), 32767);
  EXPECT_EQ(w.Right(0), 0);
  EXPECT_EQ(w.Left(85 * 512), 0);
  EXPECT_EQ(w.Right(85 * 512), 32767);
  EXPECT_EQ(w.Right(44098), 32767);
  for (size_t k = 0; k < 86; ++k) {
    const size_t f = 512 * k;
    for (size_t i = 1; i < 512; ++i)
      ASSERT_TRUE(w.Left(f + i) == w.Left(f) && w.Right(f + i) == w.Right(f)) << f + i;
    if (k > 0) {
      EXPECT_LT(w.Left(f), w.Left(f - 1));
      EXPECT_GT(w.Right(f), w.Right(f - 1));
    }
  }
}

TEST_F(RenderSoundTest, VolumeZeroSilencesButTheFileIsWritten) {
  auto& e = AddSound(project, 0, Source("a.wav", Alternating(20000, 6000)), 0, 1000);
  e.StartVolume = e.EndVolume = 0;
  const TWavContent w = Render(project);
  EXPECT_EQ(w.Frames(), 88200u);
  ExpectSilentFrom(w, 0);
}

// Frame k of a ramp source: left k - 22050, except frame 0, which holds the marker.
std::vector<int16_t> Ramp() {
  std::vector<int16_t> v(2 * 44100);
  for (size_t k = 0; k < 44100; ++k) {
    v[2 * k] = static_cast<int16_t>(static_cast<int>(k) - 22050);
    v[2 * k + 1] = 1234;
  }
  v[0] = kMarker;
  return v;
}

TEST_F(RenderSoundTest, ReversedStretchPlaysTheSameFramesBackwards) {
  const auto ramp = Ramp();
  const std::string file = Source("ramp.wav", ramp);
  for (bool reversed : {false, true}) {
    SCOPED_TRACE(reversed);
    TProject p;
    auto& e = AddSound(p, 0, file, 0, 1000);
    e.SampleAppointMode = 0;
    e.StartSample = reversed ? 44100 : 0;
    e.EndSample = reversed ? 0 : 44100;
    e.StartPan = e.EndPan = -128;  // the left side exactly as read
    const TWavContent w = Render(p);
    for (size_t j = 0; j < 44099; ++j) {
      const size_t k = reversed ? 44098 - j : j;
      ASSERT_TRUE(w.Left(j) == ramp[2 * k] && w.Right(j) == 0) << "frame " << j;
    }
    ExpectSilentFrom(w, 44099);
  }
}

TEST_F(RenderSoundTest, Mono22050IsRepeatedFrameByFrame) {
  std::vector<int16_t> mono(22050);
  for (size_t k = 0; k < mono.size(); ++k)
    mono[k] = static_cast<int16_t>(static_cast<int>(k % 3000) * 7 - 10000);
  mono[5] = kMarker;
  auto& e = AddSound(project, 0, Source("mono.wav", mono, 1, 22050), 0, 1000);
  e.StartPan = e.EndPan = -128;
  const TWavContent w = Render(project);
  for (size_t k = 0; k < 4096; ++k)
    ASSERT_TRUE(w.Left(2 * k) == mono[k] && w.Left(2 * k + 1) == mono[k] && w.Right(2 * k) == 0) << k;
  ExpectSilentFrom(w, 44098);
}

TEST_F(RenderSoundTest, StretchPastTheFileEndPlaysWhatThereIs) {
  const std::string file = Source("a.wav", Alternating(20000, 20000));
  {
    // Ten seconds asked of a one-second file at the same speed: one second plays.
    auto& e = AddSound(project, 0, file, 0, 10000);
    e.SampleAppointMode = 0;
    e.EndSample = 441000;
    const TWavContent w = Render(project);
    ASSERT_EQ(w.Frames(), 485100u);
    for (size_t f = 0; f < 44099; ++f)
      ASSERT_EQ(w.Left(f), 32767) << f;
    ExpectSilentFrom(w, 44099);
  }
  {
    // The dialogs' default end: the rate follows the stated stretch, so almost nothing fits.
    TProject p;
    auto& e = AddSound(p, 0, file, 0, 10000);
    e.SampleAppointMode = 0;
    e.EndSample = 2147483647;
    const TWavContent w = Render(p);
    ASSERT_EQ(w.Frames(), 485100u);
    ExpectSilentFrom(w, 9);
  }
}

TEST_F(RenderSoundTest, OverlappingFirstEventsOfTwoLayersBothStayAudible) {
  auto& a = AddSound(project, 0, Source("a.wav", Alternating(20000, 20000)), 0, 1000);
  a.StartPan = a.EndPan = -128;
  auto& b = AddSound(project, 1, Source("b.wav", Alternating(8000, 8000)), 0, 1000);
  b.StartPan = b.EndPan = 128;
  const TWavContent w = Render(project);
  // Mixed: 10000 and 4000, doubled back (peak below 16383), then 32767 / 20000 applied.
  for (size_t f = 0; f < 44099; ++f)
    ASSERT_TRUE(w.Left(f) == 32767 && w.Right(f) == 13107) << "frame " << f;
}

TEST_F(RenderSoundTest, SkipsMissingFilesAndUnknownFormats) {
  AddSound(project, 0, dir.File("gone.wav"), 0, 5000);
  const std::string aiff = dir.File("a.aiff");
  { std::ofstream(aiff) << "not read"; }
  AddSound(project, 0, aiff, 0, 5000);
  AddSound(project, 1, Source("a.wav", Alternating(20000, 6000)), 0, 1000);
  const TWavContent w = Render(project);
  ASSERT_EQ(w.Frames(), 6000u * 441 / 10);
  EXPECT_EQ(w.Left(0), 32767);
  EXPECT_EQ(w.Left(1), 9830);
  ExpectSilentFrom(w, 44099);
}

TEST_F(RenderSoundTest, NamesDifferingOnlyInLetterCaseAreDifferentFiles) {
  auto& a = AddSound(project, 0, Source("tone.wav", Alternating(20000, 20000)), 0, 1000);
  auto& b = AddSound(project, 1, Source("TONE.wav", Alternating(8000, 8000)), 0, 1000);
  a.StartPan = a.EndPan = -128;
  b.StartPan = b.EndPan = 128;
  const TWavContent w = Render(project);
  // As with two unrelated files: 8000 on the right, not a second copy of 20000.
  EXPECT_EQ(w.Left(100), 32767);
  EXPECT_EQ(w.Right(100), 13107);
}

TEST_F(RenderSoundTest, NothingToRenderWritesNoFile) {
  const std::string out = dir.File("mix.wav");
  EXPECT_FALSE(RenderSound(project, out));  // no sound layer
  NewSoundLayer(project.SoundLayers, -1);
  EXPECT_FALSE(RenderSound(project, out));  // a layer without events
  AddSound(project, 0, Source("a.wav", Alternating(1, 1)), 0, 0);
  EXPECT_FALSE(RenderSound(project, out));  // nothing ends after 0
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(RenderSoundTest, ProjectListsKeepTheirOrderAndCursor) {
  const std::string file = Source("a.wav", Alternating(20000, 6000));
  AddSound(project, 0, file, 3000, 4000);
  AddSound(project, 0, file, 0, 1000);
  auto& events = project.SoundLayers[0]->Events;
  events.Cursor = 1;
  const TEvent* first = events[0];
  Render(project);
  EXPECT_EQ(events[0], first);
  EXPECT_EQ(events[0]->StartTime, 3000u);
  EXPECT_EQ(events.Cursor, 1);
}

TEST_F(RenderSoundTest, AMixTooLargeIsRefusedAndTheOldFileStays) {
  const std::string out = dir.File("mix.wav");
  { std::ofstream(out) << "an earlier render"; }
  AddSound(project, 0, Source("a.wav", Alternating(20000, 6000)), 0, 1000);
  AddSound(project, 0, Source("b.wav", Alternating(20000, 6000)), 0, 4294967295u).SampleAppointMode = 0;
  try {
    RenderSound(project, out);
    ADD_FAILURE() << "rendered";
  } catch (const ESoundError& e) {
    const std::string why = e.what();
    EXPECT_NE(why.find("1193:02:48.295"), std::string::npos) << why;
    EXPECT_NE(why.find(std::to_string(MixFrames(4294967295u))), std::string::npos) << why;
  }
  EXPECT_EQ(ReadBytes(out), "an earlier render");
  EXPECT_EQ(dir.EntryCount(), 3u);  // the two sources and the earlier file
}

TEST_F(RenderSoundTest, AMixLongerThanAWavFileCanHoldIsRefused) {
  const uint32_t end = 7 * 3600 * 1000;  // seven hours: more than 4 GiB of samples
  if (AvailableMemoryBytes() < MixFrames(end) * 4) GTEST_SKIP() << "refused for memory first";
  AddSound(project, 0, Source("a.wav", Alternating(20000, 6000)), 0, end);
  try {
    RenderSound(project, dir.File("mix.wav"));
    ADD_FAILURE() << "rendered";
  } catch (const ESoundError& e) {
    EXPECT_NE(std::string(e.what()).find("WAV"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("07:00:01.000"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("mix.wav")));
}

TEST_F(RenderSoundTest, AnUnwritableTargetRaisesAndLeavesNothing) {
  AddSound(project, 0, Source("a.wav", Alternating(20000, 6000)), 0, 1000);
  EXPECT_THROW(RenderSound(project, dir.File("no-such-folder/mix.wav")), ESoundError);
  EXPECT_EQ(dir.EntryCount(), 1u);
}

// Stops at every point the render asks: before mixing, between blocks and while writing.
// Whenever it stops, nothing is written, the old file stays and no temporary file is left.
class StopAfter : public TTempFileWatch {
 public:
  explicit StopAfter(int asks) : asks_(asks) {}
  bool Ask() { return stopOnWrite_ ? written_.load() : asks_-- <= 0; }
  void StopWhenWriting() { stopOnWrite_ = true; }
  bool Make(const std::string& path, const std::function<bool()>& create) override {
    temps_.push_back(path);
    written_ = true;
    return create();
  }
  void Gone(const std::string& path) override { gone_.push_back(path); }
  std::vector<std::string> temps_, gone_;

 private:
  std::atomic<int> asks_;
  bool stopOnWrite_ = false;
  std::atomic<bool> written_{false};
};

TEST_F(RenderSoundTest, AStopLeavesTheOldFileAndNothingElse) {
  const std::string out = dir.File("mix.wav");
  { std::ofstream(out) << "an earlier render"; }
  AddSound(project, 0, Source("a.wav", Alternating(20000, 6000)), 0, 1000);
  AddSound(project, 0, dir.File("a.wav"), 1000, 2000);
  for (int asks : {0, 1, 2, 3, -1}) {
    SCOPED_TRACE(asks);
    StopAfter stop(asks);
    if (asks < 0) stop.StopWhenWriting();
    TSoundRenderHooks hooks;
    hooks.StopRequested = [&stop] { return stop.Ask(); };
    hooks.TempFiles = &stop;
    EXPECT_EQ(RenderSound(project, out, hooks), TSoundRenderResult::Stopped);
    EXPECT_EQ(ReadBytes(out), "an earlier render");
    EXPECT_EQ(stop.gone_, stop.temps_);
    EXPECT_EQ(dir.EntryCount(), 2u);
  }
  TSoundRenderHooks never;
  never.StopRequested = [] { return false; };
  EXPECT_EQ(RenderSound(project, out, never), TSoundRenderResult::Written);
  EXPECT_EQ(ReadWav(out).Frames(), MixFrames(2000));
}

// A damaged source plays as far as it can, and the caller hears of it once per file.
TEST_F(RenderSoundTest, DamagedSourcesAreNamedOnceEach) {
  struct TSink : TWarningSink {
    void Warn(const std::string& text) override { Lines.push_back(text); }
    std::vector<std::string> Lines;
  } sink;
  const std::string cut = Source("cut.wav", Alternating(20000, 6000));
  std::string bytes = ReadBytes(cut);
  bytes.resize(bytes.size() / 2);  // half of it, the data size still stating the whole
  std::ofstream(cut, std::ios::binary) << bytes;
  AddSound(project, 0, cut, 0, 400);
  AddSound(project, 1, cut, 500, 900);
  AddSound(project, 1, Source("whole.wav", Alternating(20000, 6000)), 0, 400);
  TSoundRenderHooks hooks;
  hooks.Warnings = &sink;
  ASSERT_EQ(RenderSound(project, dir.File("mix.wav"), hooks), TSoundRenderResult::Written);
  ASSERT_EQ(sink.Lines.size(), 1u);
  EXPECT_NE(sink.Lines[0].find(cut), std::string::npos);
}

}  // namespace
}  // namespace vexa
