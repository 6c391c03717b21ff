// vexa-make-example: writes the demo project (project file, layer files, pictures, a movie and a
// sound) into a folder, through the same model and persistence code as the editor.
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <numbers>
#include <string>

#include "example_scene.h"
#include "model/event_kinds.h"
#include "model/project.h"
#include "persist/atomic_file.h"
#include "persist/project_file.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;

void PutLE(std::string& s, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A quarter of a second of a 440 Hz tone, 44.1 kHz, 16-bit stereo.
std::string ToneWav() {
  const uint32_t rate = 44100, frames = rate / 4, data = frames * 4;
  std::string s = "RIFF";
  PutLE(s, 36 + data, 4);
  s += "WAVEfmt ";
  PutLE(s, 16, 4), PutLE(s, 1, 2), PutLE(s, 2, 2), PutLE(s, rate, 4), PutLE(s, rate * 4, 4), PutLE(s, 4, 2);
  PutLE(s, 16, 2);
  s += "data";
  PutLE(s, data, 4);
  for (uint32_t i = 0; i < frames; ++i) {
    auto v = static_cast<int16_t>(8000 * std::sin(2 * std::numbers::pi * 440.0 * i / rate));
    PutLE(s, static_cast<uint16_t>(v), 2), PutLE(s, static_cast<uint16_t>(v), 2);
  }
  return s;
}

// A new event of kind T as its dialog would create it, placed on the time axis and added to
// the layer's list for its kind (its row number is its place in that list).
template <class T, class Layer>
T& Add(Layer& layer, uint32_t start, uint32_t end) {
  std::unique_ptr<TEvent> e = NewEventWithInitialValues(T::KindCode);
  e->StartTime = start;
  e->EndTime = end;
  auto* list = layer.ListForKind(T::KindCode);
  e->EventNumber = static_cast<uint32_t>(list->Count());
  return *EventAs<T>(list->Add(std::move(e)));
}

void BuildDemo(const fs::path& folder, TProject& p) {
  const std::string sound = (folder / "sounds" / "tone.wav").string();
  fs::create_directories(folder / "sounds");
  fs::create_directories(folder / "layers");
  WriteFileAtomic(sound, ToneWav());

  p.ProjectName = "デモプロジェクト";
  p.FileName = (folder / "demo.vxpj").string();
  example::BuildDemoPictures(folder, p);

  TSoundLayer& bgm = *NewSoundLayer(p.SoundLayers, -1);
  bgm.Name = "BGM";
  bgm.FileName = (folder / "layers" / "bgm.vxsl").string();
  auto& tone = Add<TSoundSourceEvent>(bgm, 0, 10000);
  tone.FileName = sound, tone.SampleAppointMode = 1, tone.StartSample = 0, tone.EndSample = 250;
  tone.StartPan = -64, tone.EndPan = 64;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vexa-make-example FOLDER\n"
                 "  writes FOLDER/demo.vxpj with its layer files, pictures, a movie and a sound\n";
    return 2;
  }
  try {
    fs::path folder = fs::absolute(argv[1]).lexically_normal();
    TProject project;
    BuildDemo(folder, project);
    SaveProject(project, true);
    std::cout << project.FileName << '\n';
  } catch (const std::exception& e) {
    std::cerr << "vexa-make-example: " << e.what() << '\n';
    return 1;
  }
  return 0;
}
