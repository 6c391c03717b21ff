// The whole render with a codec next to the ffmpeg command encoding the same frames with the
// same settings from our uncompressed AVI (`ffmpeg -i ours.avi -c:v ... -f null -`), for H.264,
// MPEG-4 and Motion JPEG, on the demo project (1280 x 720, 300 frames, with sound) and on the
// 1920 x 1080 three-layer scene of bench_render_avi (150 frames), plus the uncompressed render.
//
// Ours is the finished-file render (RunMovieRenderCommand to MP4: composition, conversion,
// encoding, the sound mix and AAC where the project has sound, muxing). The two commands run
// in turn, ours first, RUNS times each (default 2); each side's best rate counts, and
// ratio = ours / ffmpeg (1 = as fast, the target is at least 0.9). The demo is made by
// vexa-make-example, the scene's pictures by /work/shared/bench-peers/peers.sh (VEXA_PEERS).
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "model/event_kinds.h"
#include "model/project.h"
#include "persist/project_file.h"
#include "render/graphic_render_command.h"
#include "render/movie_render_command.h"
#include "render/random32.h"
#include "render/studio.h"
#include "sound/render_sound.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;
using TClock = std::chrono::steady_clock;

struct TCodec {
  const char* Name;
  const char* FfmpegArgs;  // the same settings as ours at --quality 10000
};
constexpr TCodec kCodecs[] = {
    {"h264", "-c:v libx264 -preset medium -crf 18 -pix_fmt yuv420p"},
    {"mpeg4", "-c:v mpeg4 -q:v 2 -pix_fmt yuv420p"},
    {"mjpeg", "-c:v mjpeg -q:v 2 -pix_fmt yuvj420p"},
};

struct TShared {
  ~TShared() {
    if (!Dir.empty()) fs::remove_all(Dir);
  }
  fs::path Dir;
  bool DemoReady = false, SceneReady = false;
  std::map<std::string, double> Uncompressed;  // scene -> fps
};

TShared& Shared() {
  static TShared s;
  if (s.Dir.empty()) {
    s.Dir = fs::temp_directory_path() / ("vexa-bench-codecs-" + std::to_string(::getpid()));
    fs::create_directories(s.Dir);
  }
  return s;
}

int Run(const std::string& command) {
  return std::system(command.c_str());
}

int Runs() {
  const char* r = std::getenv("RUNS");
  return r ? std::max(1, std::atoi(r)) : 2;
}

template <class T>
T& Add(TGraphicLayer& layer, uint32_t start, uint32_t end) {
  std::unique_ptr<TEvent> e = NewEventWithInitialValues(T::KindCode);
  e->StartTime = start;
  e->EndTime = end;
  auto* list = layer.ListForKind(T::KindCode);
  e->EventNumber = static_cast<uint32_t>(list->Count());
  return *EventAs<T>(list->Add(std::move(e)));
}

// The peers' composition of bench_render_avi.
void BuildScene(TProject& p) {
  const fs::path layers = Shared().Dir / "layers";
  p.Width = 1920, p.Height = 1080, p.FPS = 30, p.BackColor = 0x00604020;
  const char* files[] = {"l1-gradient.png", "l2-circles.png", "l3-textbox.png"};
  for (int i = 0; i < 3; ++i) {
    TGraphicLayer& l = *NewGraphicLayer(p.GraphicLayers, -1);
    l.Name = "layer " + std::to_string(i + 1);
    auto& image = Add<TGraphicSourceImageEvent>(l, 0, 10000);
    image.FileName = (layers / files[i]).string();
    image.BlendMode = 1;
    if (i == 1) {
      auto& fade = Add<TGraphicEffectFadeEvent>(l, 0, 5000);
      fade.StartAlpha = 0, fade.EndAlpha = 255;
    }
    if (i == 2) {
      auto& move = Add<TGraphicEffectPositionEvent>(l, 0, 10000);
      move.PositionType = 0;
      move.StartX = move.EndX = 0, move.StartY = 0, move.EndY = -300;
    }
  }
}

struct TScene {
  std::string Name;
  TFrameRange Frames;
  uint32_t FrameCount;
};

const TScene kDemo{"demo", {}, 300};
const TScene kScene1080{"scene1080", {0, 149}, 150};

// Loads the scene into studio; false when its inputs cannot be made.
bool Load(const TScene& scene, TVexaStudio& studio) {
  TShared& s = Shared();
  if (scene.Name == "demo") {
    if (!s.DemoReady)
      s.DemoReady = Run(std::string(VEXA_MAKE_EXAMPLE) + " " + (s.Dir / "demo").string() + " >/dev/null") == 0;
    studio.Project.FileName = (s.Dir / "demo" / "demo.vxpj").string();
    return s.DemoReady && LoadProject(studio.Project, true);
  }
  if (!s.SceneReady) {
    const char* peers = std::getenv("VEXA_PEERS");
    Run(std::string(peers ? peers : "/work/shared/bench-peers/peers.sh") + " inputs " + s.Dir.string() +
        " >/dev/null 2>&1");
    s.SceneReady = fs::exists(s.Dir / "layers" / "l3-textbox.png");
  }
  if (s.SceneReady) BuildScene(studio.Project);
  return s.SceneReady;
}

std::string Avi(const TScene& scene) {
  return (Shared().Dir / (scene.Name + ".avi")).string();
}

// The uncompressed AVI of the scene (the ffmpeg command's input); its rate.
double RenderUncompressed(const TScene& scene) {
  TVexaStudio studio;
  if (!Load(scene, studio)) return 0;
  TCodecOptions options = DefaultCodecOptions(30);
  options.Handler = "uncompressed";
  TFixedCodecChoice choice(options);
  SeedRandom32(1);
  const auto t0 = TClock::now();
  const auto out = RunGraphicRenderCommand(studio, Avi(scene), choice, nullptr, nullptr, scene.Frames);
  const double secs = std::chrono::duration<double>(TClock::now() - t0).count();
  return out.Status == TGraphicRenderStatus::Finished ? out.FramesWritten / secs : 0;
}

double RenderOurs(const TScene& scene, const char* codec) {
  TVexaStudio studio;
  if (!Load(scene, studio)) return 0;
  TMovieRenderRequest request;
  request.FileName = (Shared().Dir / (scene.Name + "-" + codec + ".mp4")).string();
  request.Video.Codec = codec;
  request.Frames = scene.Frames;
  const TProject& project = studio.Project;
  request.MixSound = [&project](std::vector<int16_t>& mix) {
    return MixProjectSound(project, mix) == TSoundRenderResult::Written;
  };
  SeedRandom32(1);
  const auto t0 = TClock::now();
  const auto out = RunMovieRenderCommand(studio, request);
  const double secs = std::chrono::duration<double>(TClock::now() - t0).count();
  fs::remove(request.FileName);
  return out.Status == TGraphicRenderStatus::Finished ? out.FramesWritten / secs : 0;
}

double RenderFfmpeg(const TScene& scene, const char* args) {
  const auto t0 = TClock::now();
  const int rc =
      Run("ffmpeg -nostdin -hide_banner -loglevel error -i " + Avi(scene) + " " + args + " -f null - 2>/dev/null");
  const double secs = std::chrono::duration<double>(TClock::now() - t0).count();
  return rc == 0 ? scene.FrameCount / secs : 0;
}

void BM_Uncompressed(benchmark::State& state, const TScene* scene) {
  double best = 0;
  for (auto _ : state)
    best = std::max(best, RenderUncompressed(*scene));
  if (best == 0) state.SkipWithError("the scene's inputs could not be made (needs ffmpeg)");
  Shared().Uncompressed[scene->Name] = best;
  state.counters["fps"] = best;
}

void BM_Codec(benchmark::State& state, const TScene* scene, const TCodec* codec) {
  if (Shared().Uncompressed[scene->Name] == 0) {
    state.SkipWithError("no uncompressed AVI of the scene");
    return;
  }
  double ours = 0, theirs = 0;
  for (auto _ : state)
    for (int r = 0; r < Runs(); ++r) {
      ours = std::max(ours, RenderOurs(*scene, codec->Name));
      theirs = std::max(theirs, RenderFfmpeg(*scene, codec->FfmpegArgs));
    }
  state.counters["ours_fps"] = ours;
  state.counters["ffmpeg_fps"] = theirs;
  state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
  state.counters["load_1min"] = [] {
    double load[1] = {0};
    return ::getloadavg(load, 1) == 1 ? load[0] : 0;
  }();
}

bool Register() {
  QuietCodecLogs();
  for (const TScene* scene : {&kDemo, &kScene1080}) {
    benchmark::RegisterBenchmark(("BM_Uncompressed/" + scene->Name).c_str(), BM_Uncompressed, scene)
        ->Iterations(2)
        ->Unit(benchmark::kSecond);
    for (const TCodec& codec : kCodecs)
      benchmark::RegisterBenchmark(("BM_Codec/" + scene->Name + "/" + codec.Name).c_str(), BM_Codec, scene, &codec)
          ->Iterations(1)
          ->Unit(benchmark::kSecond);
  }
  return true;
}

const bool kRegistered = Register();

}  // namespace
