#include "ui/logic/movie_render_name.h"

#include "ui/logic/main_actions.h"

namespace vexa {

std::string MovieRenderFileName(const std::string& chosen) {
  for (std::string_view ext : {".mp4", ".mkv", ".mov"})
    if (WithExtension(chosen, ext) == chosen) return chosen;
  return chosen + ".mp4";
}

}  // namespace vexa
