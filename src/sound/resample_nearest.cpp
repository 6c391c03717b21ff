#include "sound/resample_nearest.h"

#include <cstdint>
#include <cstring>

namespace vexa {

void ResampleNearest(const void* source, size_t sourceBytes, void* target, size_t targetBytes) {
  const size_t s = sourceBytes / 4;
  const size_t t = targetBytes / 4;
  if (target == nullptr || t == 0) return;
  auto* out = static_cast<unsigned char*>(target);
  if (source == nullptr || s == 0) {
    std::memset(out, 0, t * 4);
    return;
  }
  const auto* in = static_cast<const unsigned char*>(source);
  // 65535 rather than 65536: the step falls a hair short, so the walk never outruns the source
  // on a whole-number ratio.
  const auto step = static_cast<int64_t>(static_cast<double>(s) / static_cast<double>(t) * 65535.0);
  int64_t acc = 0;
  size_t pos = 0;
  for (size_t i = 0; i < t; ++i) {
    // The rounded advance can still pass the last frame when a few frames are stretched far.
    std::memcpy(out + 4 * i, in + 4 * (pos < s ? pos : s - 1), 4);
    acc += step;
    const int64_t adv = (acc + 32768) & ~int64_t{0xFFFF};
    acc -= adv;
    pos += static_cast<size_t>(adv >> 16);
  }
}

}  // namespace vexa
