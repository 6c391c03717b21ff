#include "ui/logic/text_format.h"

#include <array>
#include <cstdio>

namespace vexa {

std::string TimeText(uint32_t ms) {
  const uint32_t h = ms / 3600000u;
  const uint32_t m = ms % 3600000u / 60000u;
  const uint32_t s = ms % 60000u / 1000u;
  const uint32_t r = ms % 1000u;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02u:%02u:%02u.%03u", h, m, s, r);
  return buf;
}

std::string_view DirectionName(int32_t code) {
  static constexpr std::array<std::string_view, 9> kNames = {"左上", "上",   "右上", "左",  "中央",
                                                             "右",   "左下", "下",   "右下"};
  if (code < 0 || code >= static_cast<int32_t>(kNames.size())) return {};
  return kNames[static_cast<size_t>(code)];
}

std::string SignedText(int32_t v) {
  return std::to_string(v);
}

std::string UnsignedText(uint32_t v) {
  return std::to_string(v);
}

std::string ColorText(int32_t color) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%06X", static_cast<uint32_t>(color) & 0xFFFFFFu);
  return buf;
}

std::string_view FileNameWithoutFolder(std::string_view path) {
  const size_t cut = path.find_last_of("/\\");
  return cut == std::string_view::npos ? path : path.substr(cut + 1);
}

}  // namespace vexa
