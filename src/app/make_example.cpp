// vexa-make-example: writes a small demo project (project file, layer files, a picture and a
// sound) into a folder, through the same model and persistence code as the editor.
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <iostream>
#include <numbers>
#include <string>

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

// A 32 x 32 24-bit BMP with a blue-to-orange gradient.
std::string GradientBmp() {
  const uint32_t w = 32, h = 32, row = w * 3, size = 54 + row * h;
  std::string s = "BM";
  PutLE(s, size, 4), PutLE(s, 0, 4), PutLE(s, 54, 4);
  PutLE(s, 40, 4), PutLE(s, w, 4), PutLE(s, h, 4), PutLE(s, 1, 2), PutLE(s, 24, 2);
  PutLE(s, 0, 4), PutLE(s, row * h, 4), PutLE(s, 2835, 4), PutLE(s, 2835, 4), PutLE(s, 0, 4), PutLE(s, 0, 4);
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) {
      s += static_cast<char>(255 - y * 8);  // blue
      s += static_cast<char>(x * 4);        // green
      s += static_cast<char>(y * 8);        // red
    }
  return s;
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
  const std::string picture = (folder / "pictures" / "sky.bmp").string();
  const std::string sound = (folder / "sounds" / "tone.wav").string();
  fs::create_directories(folder / "pictures");
  fs::create_directories(folder / "sounds");
  fs::create_directories(folder / "layers");
  WriteFileAtomic(picture, GradientBmp());
  WriteFileAtomic(sound, ToneWav());

  p.ProjectName = "デモプロジェクト";
  p.FileName = (folder / "demo.vxpj").string();
  p.Width = 640, p.Height = 360, p.FPS = 30, p.BackColor = 0x00402010;

  TGraphicLayer& back = *NewGraphicLayer(p.GraphicLayers, -1);
  back.Name = "背景";
  back.FileName = (folder / "layers" / "background.vxgl").string();
  Add<TGraphicSourceImageEvent>(back, 0, 8000).FileName = picture;
  auto& fade = Add<TGraphicEffectFadeEvent>(back, 0, 1000);
  fade.StartAlpha = 0, fade.EndAlpha = 255;
  auto& size = Add<TGraphicEffectSizeEvent>(back, 0, 8000);
  size.SizeType = 2, size.StartWidth = size.EndWidth = size.StartHeight = size.EndHeight = 100;
  auto& bright = Add<TGraphicEffectBrightnessEvent>(back, 6000, 8000);
  bright.StartPower = 0, bright.EndPower = -255;

  TGraphicLayer& title = *NewGraphicLayer(p.GraphicLayers, -1);
  title.Name = "タイトル";
  title.FileName = (folder / "layers" / "title.vxgl").string();
  auto& text = Add<TGraphicSourceTextEvent>(title, 500, 6000);
  text.Text = "Vexa Studio\r\nデモ";
  text.Font.Name = "DejaVu Sans", text.Font.Size = 36, text.Font.Style = font_style::Bold;
  text.Font.Color = 0x00FFFFFF, text.Font.Align = 1;
  auto& pos = Add<TGraphicEffectPositionEvent>(title, 500, 2500);
  pos.PositionType = 2, pos.OriginDirection = 4, pos.StartDirection = 1, pos.EndDirection = 4;
  auto& rot = Add<TGraphicEffectRotateEvent>(title, 2500, 3500);
  rot.StartAngle = 0, rot.EndAngle = -1000;
  auto& rev = Add<TGraphicEffectColorRevisionEvent>(title, 3500, 6000);
  rev.StartRed = rev.EndRed = 40, rev.StartBlue = rev.EndBlue = -40;
  auto& wipe = Add<TGraphicEffectTransitionEvent>(title, 5000, 6000);
  wipe.RuleFileName = picture;

  TGraphicLayer& master = *NewGraphicLayer(p.GraphicLayers, -1);
  master.Name = kMasterLayerNameJa;
  master.FileName = (folder / "layers" / "master.vxgl").string();
  Add<TGraphicSourceMasterEvent>(master, 0, 8000);
  auto& mosaic = Add<TGraphicEffectMosaicEvent>(master, 7000, 8000);
  mosaic.StartX2 = mosaic.EndX2 = mosaic.StartY2 = mosaic.EndY2 = 100;
  mosaic.StartPower = 1, mosaic.EndPower = 32;
  auto& shake = Add<TGraphicEffectVibrationEvent>(master, 3000, 3500);
  shake.StartInterval = shake.EndInterval = 30, shake.PositionType = 0;
  shake.StartMaxX = shake.EndMaxX = shake.StartMaxY = shake.EndMaxY = 6;

  TSoundLayer& bgm = *NewSoundLayer(p.SoundLayers, -1);
  bgm.Name = "BGM";
  bgm.FileName = (folder / "layers" / "bgm.vxsl").string();
  auto& tone = Add<TSoundSourceEvent>(bgm, 0, 8000);
  tone.FileName = sound, tone.SampleAppointMode = 1, tone.StartSample = 0, tone.EndSample = 250;
  tone.StartPan = -64, tone.EndPan = 64;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: vexa-make-example FOLDER\n"
                 "  writes FOLDER/demo.vxpj with its layer files, a picture and a sound\n";
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
