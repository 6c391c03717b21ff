// The pictures of the demo project: the picture files and the movie, made by our own writers,
// and the graphic layers that use them.
#pragma once

#include <filesystem>

namespace vexa {
struct TProject;
}

namespace vexa::example {

// Writes FOLDER/pictures (BMP, some with transparency) and FOLDER/movies/clip.avi (through our
// AVI writer), sets the project to 1280 x 720 at 30 frames per second, and adds ten seconds
// of graphic layers: background, movie, logo, Japanese and Latin titles, and the master layer.
void BuildDemoPictures(const std::filesystem::path& folder, TProject& p);

}  // namespace vexa::example
