// The sample pictures that the editing dialogs' previews put under an effect: found at start-up
// in a "Sample" folder and shuffled, so that entry 0 (the picture used) varies from run to run.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vexa {

// The extensions of sample pictures, one a line; compared without letter case.
inline constexpr std::string_view kSampleExtensions = ".bmp\r\n.gif\r\n.jpg\r\n.jpeg\r\n.png";

// The full paths of the pictures below the first of the folders that holds any (the program
// hands in the "Sample" folders of its data folders, see src/app/data_folders.h), searched
// recursively, in name order (the order a listing by name gives; file systems differ).
std::vector<std::string> FindSampleImages(std::span<const std::string> folders);

// Swaps entry 0, then 1, then 2 each with the entry at random() modulo the count. With fewer
// than three pictures only the entries that exist are swapped; with none nothing is drawn.
void ShuffleSampleImages(std::vector<std::string>& images, uint32_t (*random)());

// The sample list as the program makes it at start-up (random: the shared Random32).
std::vector<std::string> ScanSampleImages(std::span<const std::string> folders, uint32_t (*random)());

}  // namespace vexa
