// Where the programs find their data (the "Sample" folder of pictures), whether they run from
// the build tree or installed under a prefix.
#pragma once

#include <filesystem>
#include <vector>

namespace vexa::app {

// The folder of the running program.
std::filesystem::path ProgramFolder();

// The folders that may hold the data, in the order they are tried: the program's own folder,
// the top of the build tree the program was built in (when it runs from there), and the
// installed data folder (<prefix>/share/vexa-studio for <prefix>/bin).
std::vector<std::filesystem::path> DataFolderCandidates(const std::filesystem::path& programFolder);

// The first "Sample" folder among the candidates; empty when there is none.
std::filesystem::path FindSampleFolder(const std::filesystem::path& programFolder);

}  // namespace vexa::app
