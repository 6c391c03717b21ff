#include "sound/reverse_frames.h"

#include <cstdint>
#include <cstring>

namespace vexa {

void ReverseFrames(void* block, size_t bytes) {
  size_t n = bytes / 4;
  if (block == nullptr || n < 2) return;
  auto* p = static_cast<unsigned char*>(block);
  for (size_t i = 0, j = n - 1; i < j; ++i, --j) {
    uint32_t a, b;
    std::memcpy(&a, p + 4 * i, 4);
    std::memcpy(&b, p + 4 * j, 4);
    std::memcpy(p + 4 * i, &b, 4);
    std::memcpy(p + 4 * j, &a, 4);
  }
}

}  // namespace vexa
