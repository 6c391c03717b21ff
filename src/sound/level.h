// Level measurement and doubling of 16-bit PCM.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// The largest magnitude of the samples (-32768 counts as 32768); a trailing odd sample counts.
uint32_t PeakLevel(const int16_t* block, size_t bytes);

// Doubles every sample, saturated to -32768..32767.
void DoubleLevel(int16_t* block, size_t bytes);

}  // namespace vexa
