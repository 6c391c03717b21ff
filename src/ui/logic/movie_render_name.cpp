#include "ui/logic/movie_render_name.h"

#include <filesystem>

#include "ui/logic/main_actions.h"

namespace vexa {

std::string MovieRenderFileName(const std::string& chosen) {
  for (std::string_view ext : {".mp4", ".mkv", ".mov"})
    if (WithExtension(chosen, ext) == chosen) return chosen;
  return chosen + ".mp4";
}

std::string ProposedRenderFile(const std::string& projectFile, std::string_view extension) {
  if (projectFile.empty()) return {};
  std::filesystem::path p(projectFile);
  p.replace_extension(extension);
  return p.string();
}

}  // namespace vexa
