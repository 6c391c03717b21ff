// libFuzzer target: any bytes loaded into the INI store must neither crash nor read out of
// bounds, and the text saved from them must load back to the very same text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "persist/ext_ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using vexa::TExtIniFile;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::istringstream in(bytes);
  TExtIniFile ini{std::string()};
  ini.LoadFromStream(in);

  const std::string saved = ini.BuildText();
  TExtIniFile again{std::string()};
  again.LoadFromBytes(saved);
  if (again.BuildText() != saved) std::abort();

  // Typed access on whatever the file holds, including huge list counts.
  const int sections = std::min(ini.SectionCount(), 8);
  for (int i = 0; i < sections; ++i) {
    const std::string name = ini.SectionName(i);
    std::vector<std::string> list;
    for (const char* key : {"k", "Text", "LayerName"}) {
      ini.ReadStrings(name, key, list);
      (void)ini.ReadInteger(name, key, 0);
      (void)ini.ReadColor(name, key, 0);
      (void)ini.ReadString(name, key, "");
    }
    ini.WriteStrings(name, "k", {"a", ""});
    ini.DeleteKey(name, "Text");
    ini.WriteInteger(name, "EventType", -1);
  }
  (void)ini.BuildText();
  return 0;
}
