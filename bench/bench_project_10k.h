// The project of the editor's benchmarks: 10 000 events in one graphic layer (4 000 sources,
// 6 000 effects of every kind) plus a sound layer of 1 000, saved once into a temporary folder
// that goes when the program ends.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "model/event_kinds.h"
#include "model/project.h"
#include "persist/project_file.h"

namespace vexa::bench {

inline const std::string& Folder() {
  static const std::string folder =
      (std::filesystem::temp_directory_path() / ("vexa-bench-editor-" + std::to_string(::getpid()))).string();
  return folder;
}

// Events of every kind, the sources with files, each a second long, a second apart.
inline void Fill(TProject& p) {
  TGraphicLayer& g = *NewGraphicLayer(p.GraphicLayers, -1);
  g.Name = "ベンチマーク";
  g.FileName = Folder() + "/g.vxgl";
  int sources = 0, effects = 0;
  for (uint32_t i = 0; sources + effects < 10000; ++i)
    for (const TKindInfo& k : AllKinds()) {
      if (k.Slot < 0 || (k.Class == TKindClass::Source ? sources >= 4000 : effects >= 6000)) continue;
      std::unique_ptr<TEvent> e = NewEventWithInitialValues(k.Code);
      e->StartTime = i * 1000;
      e->EndTime = e->StartTime + 999;
      if (auto* img = EventAs<TGraphicSourceImageEvent>(e.get())) img->FileName = Folder() + "/picture.bmp";
      (k.Class == TKindClass::Source ? sources : effects)++;
      g.ListForKind(k.Code)->Add(std::move(e));
    }
  TSoundLayer& s = *NewSoundLayer(p.SoundLayers, -1);
  s.Name = "音";
  s.FileName = Folder() + "/s.vxsl";
  for (uint32_t i = 0; i < 1000; ++i) {
    std::unique_ptr<TEvent> e = NewEventWithInitialValues(kind::Sound);
    e->StartTime = i * 500;
    e->EndTime = e->StartTime + 400;
    EventAs<TSoundSourceEvent>(e.get())->FileName = Folder() + "/sound.wav";
    s.Events.Add(std::move(e));
  }
}

// The media the events name exist, so that opening the project finds nothing to relink: a
// 1 x 1 picture and a tenth of a second of silence.
inline void WriteMedia() {
  const auto le = [](std::ofstream& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  std::ofstream bmp(Folder() + "/picture.bmp", std::ios::binary);
  bmp << "BM";
  for (uint32_t v : {58u, 0u, 54u, 40u, 1u, 1u}) le(bmp, v, 4);
  le(bmp, 1, 2);
  le(bmp, 24, 2);
  for (uint32_t v : {0u, 4u, 2835u, 2835u, 0u, 0u}) le(bmp, v, 4);
  le(bmp, 0x00FFFFFF, 4);  // one white pixel and the row's padding
  const uint32_t data = 4410 * 4;
  std::ofstream wav(Folder() + "/sound.wav", std::ios::binary);
  wav << "RIFF";
  le(wav, 36 + data, 4);
  wav << "WAVEfmt ";
  le(wav, 16, 4);
  le(wav, 1, 2);
  le(wav, 2, 2);
  le(wav, 44100, 4);
  le(wav, 44100 * 4, 4);
  le(wav, 4, 2);
  le(wav, 16, 2);
  wav << "data";
  le(wav, data, 4);
  for (uint32_t i = 0; i < data; ++i) wav.put(0);
}

inline const std::string& ProjectFile() {
  static const std::string file = [] {
    std::filesystem::create_directories(Folder());
    WriteMedia();
    TProject p;
    p.FileName = Folder() + "/bench.vxpj";
    Fill(p);
    SaveProject(p, true);
    return p.FileName;
  }();
  return file;
}

struct TRemoveFolder {
  ~TRemoveFolder() {
    std::error_code ec;
    std::filesystem::remove_all(Folder(), ec);
  }
};
inline TRemoveFolder removeFolder;

}  // namespace vexa::bench
