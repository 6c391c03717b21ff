// The preview runner on the demo project (1280 x 720, 30 fps, three sound layers), with a
// presenter that only takes the frames and SDL's disk driver as the sound device (unless
// SDL_AUDIODRIVER is set otherwise):
//
// BM_OpenToFirstFrame   Start (session, sound render, first compose) to the first frame shown.
// BM_Playback           60 s of playback: frames shown per second and the device's pace (its
//                       milliseconds per wall-clock millisecond: the picture follows it), frames
//                       handed over more than 1 ms and more than a frame after they were due and
//                       by how much, the largest offset between a shown frame's time and the
//                       sound's position, and how far a picture on the monotonic clock would
//                       have drifted from the sound within one loop of the project.
// BM_SeekToFirstFrame   release of the seek bar to the first frame of the chosen second shown.
// BM_ComposeHeadroom    ComposeFrame alone over the demo's 300 frames: the time a frame may take
//                       against the 33.3 ms it has.
//
// The demo project is made by vexa-make-example into a temporary folder.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/project.h"
#include "persist/project_file.h"
#include "preview/preview_thread.h"
#include "preview/wave_playback.h"
#include "render/studio.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;
using TClock = std::chrono::steady_clock;

double MsSince(TClock::time_point t) {
  return std::chrono::duration<double, std::milli>(TClock::now() - t).count();
}

// The demo project's file, made once per process.
const std::string& DemoProject() {
  static std::string file;
  if (file.empty()) {
    const fs::path dir = fs::temp_directory_path() / ("vexa-bench-preview-" + std::to_string(::getpid()));
    const std::string command = std::string(VEXA_MAKE_EXAMPLE) + " '" + dir.string() + "' >/dev/null";
    if (std::system(command.c_str()) == 0) file = (dir / "demo.vxpj").string();
  }
  return file;
}

void UseDiskDriver() {
  ::setenv("SDL_AUDIODRIVER", "disk", 0);
  ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
}

bool LoadDemo(TVexaStudio& engine, benchmark::State& state) {
  const std::string& file = DemoProject();
  engine.Project.FileName = file;
  if (file.empty() || !LoadProject(engine.Project, true)) {
    state.SkipWithError("vexa-make-example did not make the demo project");
    return false;
  }
  return true;
}

// The sound the runner plays, kept where the presenter can ask it for its position.
struct TSoundProbe {
  std::atomic<TPreviewSound*> Sound{nullptr};
  TPreviewSetup Setup() {
    TPreviewSetup setup;
    setup.MakeSound = [this](std::function<void(const std::string&)> notice) -> std::unique_ptr<TPreviewSound> {
      auto sound = std::make_unique<TWavePlayback>(std::move(notice));
      Sound = sound.get();
      return sound;
    };
    return setup;
  }
};

// Takes every frame as a window would and measures it.
class TMeasuringPresenter : public TPreviewPresenter {
 public:
  explicit TMeasuringPresenter(TSoundProbe& probe) : probe_(probe) {}

  void SeekRangeKnown(uint32_t) override {}
  void PositionChanged(uint32_t, const std::string&) override {}
  void Notice(const std::string& message) override {
    std::lock_guard<std::mutex> hold(Lock);
    Notices += message + "\n";
  }
  void RunEnded() override {}
  void FrameReady() override {
    const TPreviewFrame* f = Runner->TakeFrame();
    const auto now = TClock::now();
    TPreviewSound* sound = probe_.Sound.load();
    const double soundMs = sound ? static_cast<double>(sound->FramesHeard()) * 1000.0 / sound->SampleRate() : -1;
    std::lock_guard<std::mutex> hold(Lock);
    ++Frames;
    LastIndex = f->FrameIndex;
    Changed.notify_all();
    const double late = f->ShownMs - f->DueMs;
    Lateness.push_back(late);
    if (late > 1.0) ++LateFrames;
    if (late > 1000.0 / 30) ++LateByAFrame;
    MaxLateMs = std::max(MaxLateMs, late);
    if (soundMs < 0) return;
    if (f->DueMs == 0) {
      // The clock starts over (start, loop or seek): a new stretch of sound.
      segmentWall_ = prevWall_ = now;
      prevSound_ = soundMs;
      return;
    }
    MaxSoundOffsetMs = std::max(MaxSoundOffsetMs, std::abs(soundMs - f->DueMs));
    const double wall = std::chrono::duration<double, std::milli>(now - segmentWall_).count();
    MonotonicDriftMs = std::max(MonotonicDriftMs, std::abs(wall - soundMs));
    WallMs += std::chrono::duration<double, std::milli>(now - prevWall_).count();
    SoundMs += soundMs - prevSound_;
    prevWall_ = now;
    prevSound_ = soundMs;
  }

  // Waits until pred holds (under Lock), at most a minute.
  template <class Pred>
  bool WaitFor(Pred pred) {
    std::unique_lock<std::mutex> hold(Lock);
    return Changed.wait_for(hold, std::chrono::minutes(1), pred);
  }
  void ResetStats() {
    std::lock_guard<std::mutex> hold(Lock);
    Frames = LateFrames = LateByAFrame = 0;
    MaxLateMs = MaxSoundOffsetMs = MonotonicDriftMs = WallMs = SoundMs = 0;
    Lateness.clear();
  }

  TPreviewThread* Runner = nullptr;
  std::mutex Lock;
  std::condition_variable Changed;
  uint64_t Frames = 0, LateFrames = 0, LateByAFrame = 0;
  uint32_t LastIndex = 0;
  std::vector<double> Lateness;  // handed over minus due, in ms of the playback clock
  double MaxLateMs = 0, MaxSoundOffsetMs = 0;
  // The largest gap, since a (re)start, between the sound's position and the monotonic clock:
  // how far a picture paced by the monotonic clock would have drifted from the sound.
  double MonotonicDriftMs = 0;
  double WallMs = 0, SoundMs = 0;  // the sound device's pace: its ms against the wall's
  std::string Notices;

 private:
  TSoundProbe& probe_;
  TClock::time_point segmentWall_ = TClock::now(), prevWall_ = segmentWall_;
  double prevSound_ = 0;
};

void BM_OpenToFirstFrame(benchmark::State& state) {
  UseDiskDriver();
  double worst = 0, total = 0;
  int runs = 0;
  for (auto _ : state) {
    TVexaStudio engine;
    if (!LoadDemo(engine, state)) return;
    TSoundProbe probe;
    TMeasuringPresenter presenter(probe);
    TPreviewThread runner(engine, presenter, probe.Setup());
    presenter.Runner = &runner;
    const auto start = TClock::now();
    if (!runner.Start()) {
      state.SkipWithError("nothing to render");
      return;
    }
    presenter.WaitFor([&] { return presenter.Frames >= 1; });
    const double ms = MsSince(start);
    state.SetIterationTime(ms / 1000);
    runner.Close();
    worst = std::max(worst, ms);
    total += ms;
    ++runs;
  }
  state.counters["mean_ms"] = total / runs;
  state.counters["max_ms"] = worst;
}
BENCHMARK(BM_OpenToFirstFrame)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Playback(benchmark::State& state) {
  UseDiskDriver();
  const double seconds = static_cast<double>(state.range(0));
  for (auto _ : state) {
    TVexaStudio engine;
    if (!LoadDemo(engine, state)) return;
    TSoundProbe probe;
    TMeasuringPresenter presenter(probe);
    TPreviewThread runner(engine, presenter, probe.Setup());
    presenter.Runner = &runner;
    runner.Start();
    presenter.WaitFor([&] { return presenter.Frames >= 1; });
    presenter.ResetStats();
    const auto start = TClock::now();
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    uint64_t frames;
    {
      std::lock_guard<std::mutex> hold(presenter.Lock);
      frames = presenter.Frames;
    }
    const double wall = MsSince(start) / 1000;
    runner.Close();
    state.SetIterationTime(wall);
    std::vector<double>& late = presenter.Lateness;
    std::sort(late.begin(), late.end());
    state.counters["fps"] = static_cast<double>(frames) / wall;
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["device_pace"] = presenter.WallMs > 0 ? presenter.SoundMs / presenter.WallMs : 0;
    state.counters["late_frames"] = static_cast<double>(presenter.LateFrames);
    state.counters["late_by_a_frame"] = static_cast<double>(presenter.LateByAFrame);
    state.counters["p50_late_ms"] = late.empty() ? 0 : late[late.size() / 2];
    state.counters["p99_late_ms"] = late.empty() ? 0 : late[late.size() * 99 / 100];
    state.counters["max_late_ms"] = presenter.MaxLateMs;
    state.counters["max_sound_offset_ms"] = presenter.MaxSoundOffsetMs;
    state.counters["monotonic_drift_ms"] = presenter.MonotonicDriftMs;
    if (!presenter.Notices.empty()) state.SetLabel(presenter.Notices);
  }
}
BENCHMARK(BM_Playback)->Arg(60)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

void BM_SeekToFirstFrame(benchmark::State& state) {
  UseDiskDriver();
  TVexaStudio engine;
  if (!LoadDemo(engine, state)) return;
  TSoundProbe probe;
  TMeasuringPresenter presenter(probe);
  TPreviewThread runner(engine, presenter, probe.Setup());
  presenter.Runner = &runner;
  runner.Start();
  presenter.WaitFor([&] { return presenter.Frames >= 1; });
  double worst = 0, total = 0;
  int seeks = 0;
  uint32_t second = 3;
  for (auto _ : state) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    second = (second + 7) % 10;
    const uint32_t frame = second * engine.Project.FPS;
    runner.SetSeekSeconds(second);
    runner.PressSeekBar();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));  // a click, not a drag
    uint64_t before;
    {
      std::lock_guard<std::mutex> hold(presenter.Lock);
      before = presenter.Frames;
    }
    const auto released = TClock::now();
    runner.ReleaseSeekBar();
    presenter.WaitFor([&] { return presenter.Frames > before && presenter.LastIndex == frame; });
    const double ms = MsSince(released);
    state.SetIterationTime(ms / 1000);
    worst = std::max(worst, ms);
    total += ms;
    ++seeks;
  }
  runner.Close();
  state.counters["mean_ms"] = total / seeks;
  state.counters["max_ms"] = worst;
}
BENCHMARK(BM_SeekToFirstFrame)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ComposeHeadroom(benchmark::State& state) {
  TVexaStudio engine;
  if (!LoadDemo(engine, state)) return;
  double worst = 0, total = 0;
  uint32_t frames = 0;
  for (auto _ : state) {
    if (!engine.PrepareSession()) {
      state.SkipWithError("nothing to render");
      return;
    }
    const auto start = TClock::now();
    while (engine.FrameIndex < engine.FrameCount) {
      const auto t = TClock::now();
      engine.ComposeFrame();
      const double ms = MsSince(t);
      worst = std::max(worst, ms);
      total += ms;
      ++frames;
    }
    state.SetIterationTime(MsSince(start) / 1000);
    engine.FinishSession();
  }
  state.counters["mean_ms"] = total / frames;
  state.counters["max_ms"] = worst;
  state.counters["frame_budget_ms"] = 1000.0 / engine.Project.FPS;
}
BENCHMARK(BM_ComposeHeadroom)->Iterations(2)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
