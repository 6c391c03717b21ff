// Decoded pictures of a session, one per file. Names compare without regard to letter case, so
// "A.BMP" and "a.bmp" share one entry when they name the same file; on a file system that tells
// case apart they are two files, and each keeps its own picture.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "bitmap/bitmap.h"

namespace vexa {

struct TCaseInsensitiveLess {
  bool operator()(std::string_view a, std::string_view b) const;
  using is_transparent = void;
};

class TImageCache {
 public:
  const TABitmap* Find(std::string_view fileName) const;
  // Stores a copy of the picture under the name (replacing an older entry).
  void Add(const std::string& fileName, const TABitmap& picture);
  void Clear() { items_.clear(); }
  int Count() const { return static_cast<int>(items_.size()); }

 private:
  std::multimap<std::string, TABitmap, TCaseInsensitiveLess> items_;
};

// Physical memory still available to programs, in bytes (MemAvailable of /proc/meminfo);
// UINT64_MAX when it cannot be read, so that a missing figure never empties a cache.
uint64_t SystemAvailableMemory();

}  // namespace vexa
