// Blend modes and the kernels that draw one picture onto another.
//
// Per-pixel formulas (S source byte, D destination byte, t source alpha = transparency,
// O opacity; unsigned arithmetic, >> 8 divides by 256):
//   BlendCopy          all four bytes := S
//   BlendAlpha         all four bytes := (S * (255 - t) + D * (t + 1)) >> 8
//   BlendAlphaOpacity  k := ((255 - t) * O) >> 8; all four bytes := (S * k + D * (255 - k)) >> 8
//   BlendAdd           colours := min(255, D + ((S * O) >> 8)); alpha unchanged
//   BlendSub           colours := max(0, D - ((S * O) >> 8)); alpha unchanged
// Rows are walked from the rectangle's bottom row upwards (forwards in memory). The SIMD path
// takes each row in blocks of 8 pixels, each block as two groups of 4 counted from the left
// edge, then the last Width mod 8 pixels one by one; it differs from the formulas in two group
// shortcuts only: BlendAlpha copies a group whose four alpha bytes are all 0, and
// BlendAlphaOpacity leaves the destination unchanged under a group whose four alpha bytes are
// all 255.
//
// The kernels never allocate, write only Dest, and return without drawing when a bitmap is
// empty or not at 32 bits, when the rectangle is rejected, or when the source rectangle does
// not lie inside the source picture. Opacity above 255 counts as 255.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

enum TBlendMode : int32_t { bmCopy = 0, bmAlpha = 1, bmAdd = 2, bmSub = 3 };

// Clips a rectangle to a destination of DestWidth x DestHeight; false when nothing is left.
// Width and Height are positive on entry.
bool ClipBlendRect(int32_t& srcX, int32_t& srcY, int32_t& width, int32_t& height, int32_t& dstX,
                   int32_t& dstY, int32_t destWidth, int32_t destHeight);

#define VEXA_BLEND_KERNELS                                                                                  \
  void BlendCopy(int32_t srcX, int32_t srcY, int32_t width, int32_t height, int32_t dstX, int32_t dstY,     \
                 const TABitmap& source, TABitmap& dest);                                                   \
  void BlendAlpha(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height,        \
                  int32_t srcX, int32_t srcY, TABitmap& dest);                                              \
  void BlendAlphaOpacity(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height, \
                         int32_t srcX, int32_t srcY, TABitmap& dest, uint16_t opacity);                     \
  void BlendAdd(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height,          \
                int32_t srcX, int32_t srcY, TABitmap& dest, uint16_t opacity);                              \
  void BlendSub(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height,          \
                int32_t srcX, int32_t srcY, TABitmap& dest, uint16_t opacity);

// The path chosen once at start-up (SIMD on x86-64, plain elsewhere).
VEXA_BLEND_KERNELS

// The portable path: the formulas, pixel by pixel.
namespace plain {
VEXA_BLEND_KERNELS
}

// The SIMD path (same as plain on processors without it). Uses AVX-512 or AVX2 where the
// processor has them, with results identical to its SSE2 form.
namespace simd {
bool Available();
VEXA_BLEND_KERNELS
}  // namespace simd

// The SIMD path's forms at each register width, whatever the processor offers beyond it (for
// tests and benchmarks). A form the processor lacks falls back to the next narrower one.
namespace sse2 {
VEXA_BLEND_KERNELS
}
namespace avx2 {
VEXA_BLEND_KERNELS
}
namespace avx512 {
VEXA_BLEND_KERNELS
}

#undef VEXA_BLEND_KERNELS

}  // namespace vexa
