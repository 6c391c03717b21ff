#include "data_folders.h"

#include <system_error>

// Set by the build: the build tree's top and the installed data folder, each relative to the
// folder the program is built or installed in.
#ifndef VEXA_BUILD_TREE_FROM_PROGRAM
#define VEXA_BUILD_TREE_FROM_PROGRAM "../.."
#endif
#ifndef VEXA_DATA_FROM_PROGRAM
#define VEXA_DATA_FROM_PROGRAM "../share/vexa-studio"
#endif

namespace vexa::app {

namespace fs = std::filesystem;

fs::path ProgramFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::current_path(ec) : self.parent_path();
}

std::vector<fs::path> DataFolderCandidates(const fs::path& programFolder) {
  std::vector<fs::path> out;
  for (const fs::path& p : {programFolder, programFolder / VEXA_BUILD_TREE_FROM_PROGRAM,
                            programFolder / VEXA_DATA_FROM_PROGRAM}) {
    const fs::path folder = p.lexically_normal();
    bool seen = false;
    for (const fs::path& q : out)
      seen = seen || q == folder;
    if (!seen) out.push_back(folder);
  }
  return out;
}

std::vector<std::string> SampleFolders(const fs::path& programFolder) {
  std::vector<std::string> out;
  for (const fs::path& folder : DataFolderCandidates(programFolder))
    out.push_back((folder / "Sample").string());
  return out;
}

}  // namespace vexa::app
