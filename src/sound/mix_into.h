// Combining a block of 16-bit PCM into a part of the mix.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Each sample d of the mix and the sample b at the same place in the block become
// (d >> 1) + (b >> 1), both shifted arithmetically; the sum always fits 16 bits.
void MixInto(int16_t* mix, const int16_t* block, size_t bytes);

}  // namespace vexa
