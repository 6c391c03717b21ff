#include "output_guard.h"

#include <sys/stat.h>

#include <cstdio>

namespace vexa {
namespace {

bool Identity(const std::string& path, dev_t& dev, ino_t& ino) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
  dev = st.st_dev;
  ino = st.st_ino;
  return true;
}

// hh:mm:ss.mmm, as the event lists show times.
std::string Clock(uint32_t ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u.%03u", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                ms % 1000);
  return text;
}

}  // namespace

std::optional<TFileReference> InputAtOutput(const TProject& project, const std::string& output) {
  dev_t outDev{};
  ino_t outIno{};
  if (!Identity(output, outDev, outIno)) return std::nullopt;
  for (TFileReference& r : ProjectFileReferences(project)) {
    dev_t dev{};
    ino_t ino{};
    if (Identity(r.Path, dev, ino) && dev == outDev && ino == outIno) return std::move(r);
  }
  return std::nullopt;
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  dev_t devA{}, devB{};
  ino_t inoA{}, inoB{};
  return Identity(a, devA, inoA) && Identity(b, devB, inoB) && devA == devB && inoA == inoB;
}

std::string OutputIsInputDetail(const std::string& output, const TFileReference& input) {
  std::string text = "\"" + output + "\" is the " + std::string(FileUseName(input.Use));
  if (input.Path != output) text += " \"" + input.Path + "\"";
  if (input.LayerIndex >= 0) {
    text += input.SoundLayer ? " of sound layer " : " of graphic layer ";
    text += std::to_string(input.LayerIndex + 1);
    if (!input.LayerName.empty()) text += " \"" + input.LayerName + "\"";
  }
  if (input.Event) text += " (event at " + Clock(input.Event->StartTime) + ")";
  return text;
}

}  // namespace vexa
