#include "project_info.h"

#include <cstdio>
#include <string>

namespace vexa {
namespace {

// Colours as the list rows write them: 6 upper-case hexadecimal digits of 0x00BBGGRR.
std::string ColorText(int32_t c) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<unsigned>(c) & 0xFFFFFFu);
  return buf;
}

}  // namespace

void PrintProjectInfo(const TProject& p, std::ostream& out) {
  out << "ProjectName\t" << p.ProjectName << '\n'
      << "Width\t" << p.Width << '\n'
      << "Height\t" << p.Height << '\n'
      << "FPS\t" << p.FPS << '\n'
      << "BackColor\t" << ColorText(p.BackColor) << '\n'
      << "GraphicLayers\t" << p.GraphicLayers.Count() << '\n';
  for (const auto& l : p.GraphicLayers)
    out << "GraphicLayer\t" << l->Name << '\t' << l->FileName << '\t' << l->EventCount() << " events\n";
  out << "SoundLayers\t" << p.SoundLayers.Count() << '\n';
  for (const auto& l : p.SoundLayers)
    out << "SoundLayer\t" << l->Name << '\t' << l->FileName << '\t' << l->EventCount() << " events\n";
}

}  // namespace vexa
