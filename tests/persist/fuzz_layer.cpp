// libFuzzer target for layer files. The first byte picks the road: raw bytes as a layer file
// (the bzip2 decoder on hostile input), or bytes taken as the INI text inside a valid bzip2
// stream (the event readers on hostile keys and values). Nothing may crash, and whatever
// loads must save and load again to the same events.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "persist/bzip2_codec.h"
#include "persist/ext_ini_file.h"
#include "persist/layer_file.h"
#include "persist/persist_error.h"

namespace {

using namespace vexa;

const std::string kFolder = "/nonexistent-vexa-fuzz";

template <class Layer, class Write, class Read>
void CheckRoundTrip(const Layer& layer, Write write, Read read) {
  TExtIniFile ini{std::string()};
  write(layer, kFolder, ini);
  TExtIniFile again{std::string()};
  again.LoadFromBytes(ini.BuildText());
  Layer back;
  read(again, kFolder, back);
  if (back.EventCount() != layer.EventCount()) std::abort();
}

void LoadBoth(std::string_view file) {
  try {
    TGraphicLayer graphic;
    LoadGraphicLayerFromBytes(file, kFolder, graphic);
    CheckRoundTrip(graphic, WriteGraphicLayerIni, ReadGraphicLayerIni);
  } catch (const TPersistError&) {
  }
  try {
    TSoundLayer sound;
    LoadSoundLayerFromBytes(file, kFolder, sound);
    CheckRoundTrip(sound, WriteSoundLayerIni, ReadSoundLayerIni);
  } catch (const TPersistError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) {
    TBzip2Codec codec;
    codec.SetBlockSize(1);  // the smallest blocks keep the fuzzer fast
    LoadBoth(codec.Compress(rest));
  } else {
    LoadBoth(rest);
  }
  return 0;
}
