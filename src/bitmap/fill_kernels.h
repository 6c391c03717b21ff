// Whole-picture kernels of TABitmap: fill and alpha set over one run of pixels.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa {

// Portable path: one pixel at a time.
namespace plain {
void FillPixels(uint32_t* p, size_t count, uint32_t value);
void SetAlphaPixels(uint32_t* p, size_t count, uint8_t value);
}  // namespace plain

// SIMD path (x86-64): blocks of 8 pixels, then the rest one by one. Same results as plain.
namespace simd {
bool Available();
void FillPixels(uint32_t* p, size_t count, uint32_t value);
void SetAlphaPixels(uint32_t* p, size_t count, uint8_t value);
}  // namespace simd

// The path chosen once for this processor.
void FillPixels(uint32_t* p, size_t count, uint32_t value);
void SetAlphaPixels(uint32_t* p, size_t count, uint8_t value);

}  // namespace vexa
