// The preview window on the demo project (1280 x 720, 30 fps, three sound layers), as the user
// sees it: frames that reach the screen, on both presenters (argument 0: copying, 1: OpenGL).
// The sound plays through SDL's disk driver into /dev/null unless SDL_AUDIODRIVER says
// otherwise. Run it on a display (xvfb-run with QT_QPA_PLATFORM=xcb); on Qt's offscreen
// platform there is no OpenGL and the second presenter copies too (gl_used 0).
//
// BM_PreviewWindowFirstFrame  "プレビュー" to the first frame on screen: the session, the sound
//                             render, the first compose and the paint.
// BM_PreviewWindowPlayback    60 s of playback: frames painted per second, frames handed over
//                             more than a frame late, frames replaced before they were painted.
#include <benchmark/benchmark.h>

#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <filesystem>
#include <string>

#include "media/video_codecs.h"
#include "persist/project_file.h"
#include "preview/form_preview.h"
#include "render/studio.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;

const std::string& DemoProject() {
  static std::string file;
  if (file.empty()) {
    const fs::path dir = fs::temp_directory_path() / ("vexa-bench-window-" + std::to_string(::getpid()));
    const std::string command = std::string(VEXA_MAKE_EXAMPLE) + " '" + dir.string() + "' >/dev/null";
    if (std::system(command.c_str()) == 0) file = (dir / "demo.vxpj").string();
  }
  return file;
}

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_preview_window";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    ::setenv("SDL_AUDIODRIVER", "disk", 0);
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);
    QuietCodecLogs();
    return new QApplication(argc, argv);
  }();
  return *app;
}

bool LoadDemo(TVexaStudio& engine, benchmark::State& state) {
  engine.Project.FileName = DemoProject();
  if (engine.Project.FileName.empty() || !LoadProject(engine.Project, true)) {
    state.SkipWithError("vexa-make-example did not make the demo project");
    return false;
  }
  return true;
}

// Plays the demo in a window until stop says so (asked every 10 ms), then closes it.
ui::TPreviewStats PlayUntil(TVexaStudio& engine, bool openGL, const std::function<bool(ui::TForm_Preview&)>& stop,
                            bool* usedOpenGL) {
  App();
  ui::TForm_Preview window;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, &window, [&] {
    if (window.isVisible() && stop(window)) {
      poll.stop();
      window.close();
    }
  });
  poll.start();
  window.Play(engine, openGL);
  if (usedOpenGL) *usedOpenGL = window.UsingOpenGL();
  return window.Stats();
}

void BM_PreviewWindowFirstFrame(benchmark::State& state) {
  TVexaStudio engine;
  if (!LoadDemo(engine, state)) return;
  const bool openGL = state.range(0) != 0;
  bool used = false;
  for (auto _ : state) {
    const ui::TPreviewStats s =
        PlayUntil(engine, openGL, [](ui::TForm_Preview& w) { return w.Stats().FirstFrameMs >= 0; }, &used);
    state.SetIterationTime(s.FirstFrameMs / 1000.0);
  }
  state.counters["gl_used"] = used;
}
BENCHMARK(BM_PreviewWindowFirstFrame)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PreviewWindowPlayback(benchmark::State& state) {
  TVexaStudio engine;
  if (!LoadDemo(engine, state)) return;
  const bool openGL = state.range(0) != 0;
  constexpr double kSeconds = 60;
  bool used = false;
  ui::TPreviewStats s;
  double playedMs = 0;
  for (auto _ : state) {
    QElapsedTimer sinceFirst;
    s = PlayUntil(
        engine, openGL,
        [&](ui::TForm_Preview& w) {
          if (w.Stats().FirstFrameMs < 0) return false;
          if (!sinceFirst.isValid()) sinceFirst.start();
          return sinceFirst.elapsed() >= kSeconds * 1000;
        },
        &used);
    playedMs = static_cast<double>(sinceFirst.elapsed());
    state.SetIterationTime(playedMs / 1000.0);
  }
  state.counters["frames_per_s"] = static_cast<double>(s.FramesPainted) / (playedMs / 1000.0);
  state.counters["frames"] = static_cast<double>(s.FramesPainted);
  state.counters["late_frames"] = static_cast<double>(s.LateFrames);
  state.counters["replaced_unpainted"] = static_cast<double>(s.FramesSkipped);
  state.counters["first_frame_ms"] = s.FirstFrameMs;
  state.counters["gl_used"] = used;
}
BENCHMARK(BM_PreviewWindowPlayback)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
