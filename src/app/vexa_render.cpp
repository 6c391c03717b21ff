// vexa-render: the headless renderer.
#include <cstring>
#include <iostream>
#include <string_view>

#include "model/project.h"
#include "project_info.h"

namespace {

void Usage(std::ostream& out) {
  out << "usage: vexa-render --info\n"
         "  --info   print the project settings and its layers\n";
}

}  // namespace

int main(int argc, char** argv) {
  bool info = false;
  for (int i = 1; i < argc; ++i) {
    std::string_view a = argv[i];
    if (a == "--info") {
      info = true;
    } else if (a == "-h" || a == "--help") {
      Usage(std::cout);
      return 0;
    } else {
      std::cerr << "vexa-render: unknown argument: " << a << '\n';
      Usage(std::cerr);
      return 2;
    }
  }
  if (!info) {
    Usage(std::cerr);
    return 2;
  }
  vexa::TProject project;  // the start-up project
  vexa::PrintProjectInfo(project, std::cout);
  return 0;
}
