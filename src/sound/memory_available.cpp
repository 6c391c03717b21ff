#include "sound/memory_available.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace vexa {

uint64_t AvailableMemoryBytes() {
  if (std::FILE* f = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    unsigned long long kib = 0;
    bool found = false;
    while (std::fgets(line, sizeof line, f)) {
      if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
        found = true;
        break;
      }
    }
    std::fclose(f);
    if (found) return static_cast<uint64_t>(kib) * 1024;
  }
  const long pages = ::sysconf(_SC_AVPHYS_PAGES), size = ::sysconf(_SC_PAGESIZE);
  return pages > 0 && size > 0 ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(size) : 0;
}

}  // namespace vexa
