#include "preview/preview_caption.h"

#include <algorithm>
#include <cstdio>

namespace vexa {

uint32_t SeekMaximum(uint32_t frameCount, uint32_t fps) {
  return fps == 0 ? 0 : frameCount / fps;
}

uint32_t SeekTargetFrame(uint32_t seconds, uint32_t fps, uint32_t frameCount) {
  if (frameCount == 0) return 0;
  return static_cast<uint32_t>(std::min<uint64_t>(uint64_t{seconds} * fps, frameCount - 1));
}

std::string PreviewCaption(uint64_t ms) {
  char text[64];
  std::snprintf(text, sizeof text, "%02llu:%02llu:%02llu.%03llu", static_cast<unsigned long long>(ms / 3600000),
                static_cast<unsigned long long>(ms / 60000 % 60), static_cast<unsigned long long>(ms / 1000 % 60),
                static_cast<unsigned long long>(ms % 1000));
  return kPreviewCaption + " - " + text;
}

}  // namespace vexa
