// vexa-make-example: writes the demo project (project file, layer files, pictures, a movie and
// sounds) into a folder, through the same model and persistence code as the editor.
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

#include "example_scene.h"
#include "example_sounds.h"
#include "model/event_kinds.h"
#include "model/project.h"
#include "persist/atomic_file.h"
#include "persist/project_file.h"

namespace {

namespace fs = std::filesystem;
using namespace vexa;

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

// An event playing the first `length` milliseconds of a file over [start, end).
TSoundSourceEvent& AddSound(TSoundLayer& layer, const std::string& file, uint32_t length, uint32_t start,
                            uint32_t end) {
  auto& e = Add<TSoundSourceEvent>(layer, start, end);
  e.FileName = file;
  e.SampleAppointMode = 1;  // the range in milliseconds
  e.StartSample = 0;
  e.EndSample = length;
  return e;
}

void BuildDemo(const fs::path& folder, TProject& p) {
  fs::create_directories(folder / "sounds");
  fs::create_directories(folder / "layers");
  const std::string chords = (folder / "sounds" / "chords.wav").string();
  const std::string drums = (folder / "sounds" / "drums.wav").string();
  const std::string bell = (folder / "sounds" / "bell.wav").string();
  WriteFileAtomic(chords, example::ChordWav(8.0));
  WriteFileAtomic(drums, example::DrumWav(120, 5));
  WriteFileAtomic(bell, example::ToneWav(880, 0.5));

  p.ProjectName = "デモプロジェクト";
  p.FileName = (folder / "demo.vxpj").string();
  example::BuildDemoPictures(folder, p);

  TSoundLayer& bgm = *NewSoundLayer(p.SoundLayers, -1);
  bgm.Name = "コード";
  bgm.FileName = (folder / "layers" / "chords.vxsl").string();
  auto& pad = AddSound(bgm, chords, 8000, 0, 10000);  // 8 s of chords stretched over the 10 s
  pad.StartVolume = 0, pad.EndVolume = 256;           // fading in

  TSoundLayer& beat = *NewSoundLayer(p.SoundLayers, -1);
  beat.Name = "ドラム";
  beat.FileName = (folder / "layers" / "drums.vxsl").string();
  AddSound(beat, drums, 10000, 0, 10000).StartVolume = 200;

  TSoundLayer& bells = *NewSoundLayer(p.SoundLayers, -1);
  bells.Name = "効果音";
  bells.FileName = (folder / "layers" / "bells.vxsl").string();
  for (uint32_t t = 1000; t < 10000; t += 2000) {
    auto& b = AddSound(bells, bell, 500, t, t + 500);
    b.StartPan = b.EndPan = t % 4000 == 1000 ? -96 : 96;  // alternately left and right
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vexa-make-example FOLDER\n"
                 "  writes FOLDER/demo.vxpj with its layer files, pictures, a movie and sounds\n";
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
