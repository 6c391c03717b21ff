// Row functions behind the blend kernels: each processes `width` pixels of one row.
// `prefetch` is the distance in bytes ahead of the source at which the SSE2 rows prefetch; the
// wider rows leave the forward walk to the hardware prefetchers, which measured faster there.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexa::blend_rows {

using TRowFn = void (*)(const uint8_t* s, uint8_t* d, int32_t width, uint32_t opacity, size_t prefetch);

struct TRowSet {
  TRowFn Copy;
  TRowFn CopyLarge;  // for rectangles too large for the caches
  void (*Fence)();   // after CopyLarge
  TRowFn Alpha, AlphaOpacity, Add, Sub;
};

// Single pixels by the formulas.
inline void AlphaPixel(const uint8_t* s, uint8_t* d) {
  const uint32_t t = s[3];
  for (int c = 0; c < 4; ++c)
    d[c] = static_cast<uint8_t>((s[c] * (255 - t) + d[c] * (t + 1)) >> 8);
}
inline void AlphaOpacityPixel(const uint8_t* s, uint8_t* d, uint32_t o) {
  const uint32_t k = ((255 - uint32_t{s[3]}) * o) >> 8;
  for (int c = 0; c < 4; ++c)
    d[c] = static_cast<uint8_t>((s[c] * k + d[c] * (255 - k)) >> 8);
}
inline void AddPixel(const uint8_t* s, uint8_t* d, uint32_t o) {
  for (int c = 0; c < 3; ++c) {
    const uint32_t v = d[c] + ((s[c] * o) >> 8);
    d[c] = static_cast<uint8_t>(v > 255 ? 255 : v);
  }
}
inline void SubPixel(const uint8_t* s, uint8_t* d, uint32_t o) {
  for (int c = 0; c < 3; ++c) {
    const uint32_t sub = (s[c] * o) >> 8;
    d[c] = static_cast<uint8_t>(d[c] > sub ? d[c] - sub : 0);
  }
}

const TRowSet& PlainRows();
const TRowSet& Sse2Rows();  // the plain rows where SSE2 is missing
// A wider row set: its own blend rows with the SSE2 copies (memmove and streaming stores are
// as fast at any register width).
TRowSet WithSse2Copies(TRowFn alpha, TRowFn alphaOpacity, TRowFn add, TRowFn sub);
const TRowSet& Avx2Rows();  // the SSE2 rows where AVX2 is missing
const TRowSet& Avx512Rows();  // the AVX2 rows where AVX-512 (F and BW) is missing

}  // namespace vexa::blend_rows
