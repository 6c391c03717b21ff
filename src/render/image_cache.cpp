#include "render/image_cache.h"

#include <filesystem>
#include <fstream>
#include <limits>

namespace vexa {
namespace {
char Fold(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Two names that differ only in letter case are one file only when the file system says so.
bool SameFile(const std::string& stored, std::string_view wanted) {
  if (stored == wanted) return true;
  std::error_code ec;
  return std::filesystem::equivalent(stored, std::filesystem::path(wanted), ec);
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
  auto [first, last] = items_.equal_range(fileName);
  for (auto it = first; it != last; ++it)
    if (SameFile(it->first, fileName)) return &it->second;
  return nullptr;
}

void TImageCache::Add(const std::string& fileName, const TABitmap& picture) {
  TABitmap copy;
  copy.Assign(picture);
  auto [first, last] = items_.equal_range(fileName);
  for (auto it = first; it != last; ++it) {
    if (SameFile(it->first, fileName)) {
      it->second.Swap(copy);
      return;
    }
  }
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
