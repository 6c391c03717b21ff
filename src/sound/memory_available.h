// How much memory the system can still give this process without swapping.
#pragma once

#include <cstdint>

namespace vexa {

// Bytes of memory available now (the kernel's estimate); 0 when it cannot be told.
uint64_t AvailableMemoryBytes();

}  // namespace vexa
