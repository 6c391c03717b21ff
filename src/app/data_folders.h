// Where the programs find their data (the "Sample" folder of pictures), whether they run from
// the build tree or installed under a prefix.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vexa::app {

// The folder of the running program.
std::filesystem::path ProgramFolder();

// The folders that may hold the data, in the order they are tried: the program's own folder,
// the top of the build tree the program was built in (when it runs from there), and the
// installed data folder (<prefix>/share/vexa-studio for <prefix>/bin).
std::vector<std::filesystem::path> DataFolderCandidates(const std::filesystem::path& programFolder);

// The "Sample" folder of every candidate, in the same order: where the editor looks for its
// sample pictures (FindSampleImages takes the first that holds any).
std::vector<std::string> SampleFolders(const std::filesystem::path& programFolder);

}  // namespace vexa::app
