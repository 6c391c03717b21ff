#include "persist/layer_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "model/event_kinds.h"
#include "persist/atomic_file.h"
#include "persist/bzip2_codec.h"
#include "persist/ext_ini_file.h"
#include "persist/file_paths.h"
#include "persist/persist_error.h"

namespace vexa {
namespace {

constexpr std::string_view kGeneral = "General";
constexpr std::string_view kLayerName = "LayerName";

// The header keys every event section starts with, written unsigned.
struct THeaderKey {
  std::string_view Key;
  int32_t Default;
};
constexpr THeaderKey kEventType{"EventType", -1};
constexpr THeaderKey kStartTime{"StartTime", 0};
constexpr THeaderKey kEndTime{"EndTime", 0};
constexpr THeaderKey kEventNumber{"EventNumber", 0};

// A layer's text is at most this many lines: enough for hundreds of thousands of events, few
// enough that a hostile file cannot make the store exhaust memory.
constexpr size_t kMaxLayerLines = size_t{4} << 20;

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0, i = 0;
  while (i < text.size()) {
    if (text[i] == '\r' || text[i] == '\n') {
      lines.push_back(text.substr(start, i - start));
      i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) text += "\r\n";
    text += lines[i];
  }
  return text;
}

int32_t Low32(int64_t v) {
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

void WriteParam(TExtIniFile& ini, const std::string& sec, const TParamDesc& p, const TEvent& e,
                const std::string& folder) {
  const TFileSpelling& f = p.File;
  switch (f.Writer) {
    case TValueWriter::Unsigned:
      ini.WriteInteger(sec, f.Key, Low32(GetParamInt(p, e)));
      break;
    case TValueWriter::Signed:
      ini.WriteSignedInteger(sec, f.Key, Low32(GetParamInt(p, e)));
      break;
    case TValueWriter::Color:
      ini.WriteColor(sec, f.Key, Low32(GetParamInt(p, e)));
      break;
    case TValueWriter::String:
      ini.WriteString(sec, f.Key, GetParamString(p, e));
      break;
    case TValueWriter::Lines:
      ini.WriteStrings(sec, f.Key, SplitLines(GetParamString(p, e)));
      break;
    case TValueWriter::Path: {
      const std::string& held = GetParamString(p, e);
      ini.WriteString(sec, f.Key, held);
      ini.WriteString(sec, f.RelKey, RelativeStoredPath(held, folder));
      break;
    }
  }
}

void ReadParam(const TExtIniFile& ini, const std::string& sec, const TParamDesc& p, TEvent& e,
               const std::string& folder) {
  const TFileSpelling& f = p.File;
  const int32_t def = Low32(f.Default);
  switch (f.Reader) {
    // Unsigned values come back as unsigned 32-bit numbers: a 64-bit field gets upper half 0,
    // a 32-bit field (signed or not) the same 32 bits that were written.
    case TValueWriter::Unsigned:
      SetParamInt(p, e, static_cast<uint32_t>(ini.ReadInteger(sec, f.Key, def)));
      break;
    case TValueWriter::Signed:
      SetParamInt(p, e, ini.ReadSignedInteger(sec, f.Key, def));
      break;
    case TValueWriter::Color:
      SetParamInt(p, e, ini.ReadColor(sec, f.Key, def));
      break;
    case TValueWriter::String:
      SetParamString(p, e, ini.ReadString(sec, f.Key, ""));
      break;
    case TValueWriter::Lines: {
      std::vector<std::string> lines;
      ini.ReadStrings(sec, f.Key, lines);
      SetParamString(p, e, JoinLines(lines));
      break;
    }
    case TValueWriter::Path:
      SetParamString(
          p, e, ResolveStoredPath(ini.ReadString(sec, f.Key, ""), ini.ReadString(sec, f.RelKey, ""), folder));
      break;
  }
}

void WriteEvent(TExtIniFile& ini, int index, const TEvent& e, const std::string& folder) {
  const TKindInfo* kind = KindInfo(e.EventType);
  if (!kind) return;
  const std::string sec = std::to_string(index);
  ini.WriteInteger(sec, kEventType.Key, e.EventType);
  ini.WriteInteger(sec, kStartTime.Key, static_cast<int32_t>(e.StartTime));
  ini.WriteInteger(sec, kEndTime.Key, static_cast<int32_t>(e.EndTime));
  ini.WriteInteger(sec, kEventNumber.Key, static_cast<int32_t>(e.EventNumber));
  for (const TParamDesc& p : kind->Params)
    WriteParam(ini, sec, p, e, folder);
}

// The event of a section, or nullptr when its kind is not one accepts.
template <class Accepts>
std::unique_ptr<TEvent> ReadEvent(const TExtIniFile& ini, const std::string& sec, const std::string& folder,
                                  Accepts accepts) {
  const int32_t code = ini.ReadInteger(sec, kEventType.Key, kEventType.Default);
  const TKindInfo* kind = KindInfo(code);
  if (!kind || !accepts(*kind)) return nullptr;
  std::unique_ptr<TEvent> e = NewEvent(code);
  e->StartTime = static_cast<uint32_t>(ini.ReadInteger(sec, kStartTime.Key, kStartTime.Default));
  e->EndTime = static_cast<uint32_t>(ini.ReadInteger(sec, kEndTime.Key, kEndTime.Default));
  e->EventNumber = static_cast<uint32_t>(ini.ReadInteger(sec, kEventNumber.Key, kEventNumber.Default));
  for (const TParamDesc& p : kind->Params)
    ReadParam(ini, sec, p, *e, folder);
  return e;
}

// Section 0 holds the layer name whatever it is called; every later one may be an event.
template <class Layer, class Accepts>
void ReadLayerIni(const TExtIniFile& ini, const std::string& folder, Layer& layer, Accepts accepts) {
  layer.Name = ini.ReadString(kGeneral, kLayerName, kMissingLayerName);
  for (int i = 1; i < ini.SectionCount(); ++i) {
    std::unique_ptr<TEvent> e = ReadEvent(ini, ini.SectionName(i), folder, accepts);
    if (!e) continue;
    if (auto* list = layer.ListForKind(e->EventType)) list->Add(std::move(e));
  }
}

size_t CountLines(std::string_view text) {
  size_t n = 0;
  for (size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) ++n;
  return n + 1;
}

// Decompresses a layer file and parses its text; the store stays empty for an empty file.
void ParseLayerText(std::istream& in, const std::string& path, TExtIniFile& ini) {
  std::ostringstream text;
  try {
    TBzip2Codec().DecompressStream(in, text);
  } catch (const TBzip2Error& e) {
    throw TBzip2Error(e.what(), e.Status(), path);
  }
  const std::string bytes = std::move(text).str();
  if (CountLines(bytes) > kMaxLayerLines)
    throw TPersistError(
        "The layer file \"" + path + "\" has more than " + std::to_string(kMaxLayerLines) + " lines.", path);
  ini.LoadFromBytes(bytes);
}

template <class Layer, class Accepts>
bool LoadLayer(Layer& layer, Accepts accepts) {
  const std::string path = layer.FileName;
  if (!FileExists(path)) return false;
  std::ifstream file(path, std::ios::binary);
  if (!file) throw TPersistError("Cannot open \"" + path + "\": " + std::strerror(errno), path);
  TExtIniFile ini{std::string()};
  ParseLayerText(file, path, ini);
  ReadLayerIni(ini, FolderOfFile(path), layer, accepts);
  return true;
}

template <class Layer, class Accepts>
void LoadLayerFromBytes(std::string_view bytes, const std::string& folder, Layer& layer, Accepts accepts) {
  std::istringstream in{std::string(bytes)};
  TExtIniFile ini{std::string()};
  ParseLayerText(in, {}, ini);
  ReadLayerIni(ini, folder, layer, accepts);
}

void SaveLayerIni(const TExtIniFile& ini, const std::string& path) {
  if (path.empty()) throw TPersistError("Cannot save a layer that has no file name.");
  WriteFileAtomic(path, TBzip2Codec().Compress(ini.BuildText()));
}

bool IsGraphicKind(const TKindInfo& k) {
  return k.Slot >= 0;
}
bool IsSoundKind(const TKindInfo& k) {
  return k.Class == TKindClass::Sound;
}

}  // namespace

void WriteGraphicLayerIni(const TGraphicLayer& layer, const std::string& folder, TExtIniFile& ini) {
  ini.WriteString(kGeneral, kLayerName, layer.Name);
  int index = 0;
  for (const TEventList& list : layer.Slots)
    for (const TEvent* e : list)
      WriteEvent(ini, index++, *e, folder);
}

void WriteSoundLayerIni(const TSoundLayer& layer, const std::string& folder, TExtIniFile& ini) {
  ini.WriteString(kGeneral, kLayerName, layer.Name);
  int index = 0;
  for (const TEvent* e : layer.Events)
    WriteEvent(ini, index++, *e, folder);
}

void ReadGraphicLayerIni(const TExtIniFile& ini, const std::string& folder, TGraphicLayer& layer) {
  ReadLayerIni(ini, folder, layer, IsGraphicKind);
}

void ReadSoundLayerIni(const TExtIniFile& ini, const std::string& folder, TSoundLayer& layer) {
  ReadLayerIni(ini, folder, layer, IsSoundKind);
}

void SaveGraphicLayer(const TGraphicLayer& layer) {
  TExtIniFile ini{std::string()};
  WriteGraphicLayerIni(layer, FolderOfFile(layer.FileName), ini);
  SaveLayerIni(ini, layer.FileName);
}

void SaveSoundLayer(const TSoundLayer& layer) {
  TExtIniFile ini{std::string()};
  WriteSoundLayerIni(layer, FolderOfFile(layer.FileName), ini);
  SaveLayerIni(ini, layer.FileName);
}

std::string GraphicLayerFileBytes(const TGraphicLayer& layer, const std::string& folder) {
  TExtIniFile ini{std::string()};
  WriteGraphicLayerIni(layer, folder, ini);
  return TBzip2Codec().Compress(ini.BuildText());
}

std::string SoundLayerFileBytes(const TSoundLayer& layer, const std::string& folder) {
  TExtIniFile ini{std::string()};
  WriteSoundLayerIni(layer, folder, ini);
  return TBzip2Codec().Compress(ini.BuildText());
}

bool LoadGraphicLayer(TGraphicLayer& layer) {
  return LoadLayer(layer, IsGraphicKind);
}

bool LoadSoundLayer(TSoundLayer& layer) {
  return LoadLayer(layer, IsSoundKind);
}

void LoadGraphicLayerFromBytes(std::string_view fileBytes, const std::string& folder, TGraphicLayer& layer) {
  LoadLayerFromBytes(fileBytes, folder, layer, IsGraphicKind);
}

void LoadSoundLayerFromBytes(std::string_view fileBytes, const std::string& folder, TSoundLayer& layer) {
  LoadLayerFromBytes(fileBytes, folder, layer, IsSoundKind);
}

}  // namespace vexa
