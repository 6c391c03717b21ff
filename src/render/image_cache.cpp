#include "render/image_cache.h"

#include <fstream>
#include <limits>

namespace vexa {
namespace {
char Fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
}  // namespace

bool TCaseInsensitiveLess::operator()(std::string_view a, std::string_view b) const {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const unsigned char x = static_cast<unsigned char>(Fold(a[i])),
                        y = static_cast<unsigned char>(Fold(b[i]));
    if (x != y) return x < y;
  }
  return a.size() < b.size();
}

const TABitmap* TImageCache::Find(std::string_view fileName) const {
  auto it = items_.find(fileName);
  return it == items_.end() ? nullptr : &it->second;
}

void TImageCache::Add(const std::string& fileName, const TABitmap& picture) {
  TABitmap copy;
  copy.Assign(picture);
  auto it = items_.find(fileName);
  if (it != items_.end())
    it->second.Swap(copy);
  else
    items_.emplace(fileName, std::move(copy));
}

uint64_t SystemAvailableMemory() {
  std::ifstream f("/proc/meminfo");
  std::string key;
  uint64_t value = 0;
  std::string unit;
  while (f >> key >> value) {
    std::getline(f, unit);
    if (key == "MemAvailable:") return value * 1024;  // the figure is in KiB
  }
  return std::numeric_limits<uint64_t>::max();
}

}  // namespace vexa
