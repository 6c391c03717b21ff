#include "bitmap/fill_kernels.h"

#include "bitmap/simd_support.h"

namespace vexa {

namespace plain {
void FillPixels(uint32_t* p, size_t count, uint32_t value) {
  for (size_t i = 0; i < count; ++i)
    p[i] = value;
}
void SetAlphaPixels(uint32_t* p, size_t count, uint8_t value) {
  const uint32_t a = uint32_t{value} << 24;
  for (size_t i = 0; i < count; ++i)
    p[i] = (p[i] & 0x00FFFFFFu) | a;
}
}  // namespace plain

namespace simd {

bool Available() {
  return SimdAvailable();
}

#if VEXA_X86_SIMD
namespace {
// Big pictures are written with streaming stores: they do not fit in the caches anyway and
// the stores then skip reading the lines first.
constexpr size_t kStreamBytes = size_t{16} << 20;
}  // namespace

void FillPixels(uint32_t* p, size_t count, uint32_t value) {
  const __m128i v = _mm_set1_epi32(static_cast<int>(value));
  size_t i = 0;
  // Bring p to a 16-byte boundary (pixels are 4-byte aligned, so at most 3 steps).
  while (i < count && (reinterpret_cast<uintptr_t>(p + i) & 15) != 0)
    p[i++] = value;
  const size_t blocks = (count - i) / 8;
  __m128i* q = reinterpret_cast<__m128i*>(p + i);
  if (count * 4 >= kStreamBytes) {
    for (size_t b = 0; b < blocks; ++b, q += 2) {
      _mm_stream_si128(q, v);
      _mm_stream_si128(q + 1, v);
    }
    _mm_sfence();
  } else {
    for (size_t b = 0; b < blocks; ++b, q += 2) {
      _mm_store_si128(q, v);
      _mm_store_si128(q + 1, v);
    }
  }
  for (i += blocks * 8; i < count; ++i)
    p[i] = value;
}

void SetAlphaPixels(uint32_t* p, size_t count, uint8_t value) {
  const uint32_t a = uint32_t{value} << 24;
  const __m128i keep = _mm_set1_epi32(0x00FFFFFF);
  const __m128i av = _mm_set1_epi32(static_cast<int>(a));
  size_t i = 0;
  while (i < count && (reinterpret_cast<uintptr_t>(p + i) & 15) != 0) {
    p[i] = (p[i] & 0x00FFFFFFu) | a;
    ++i;
  }
  const size_t blocks = (count - i) / 8;
  __m128i* q = reinterpret_cast<__m128i*>(p + i);
  for (size_t b = 0; b < blocks; ++b, q += 2) {
    _mm_prefetch(reinterpret_cast<const char*>(q) + 1024, _MM_HINT_NTA);
    __m128i x0 = _mm_load_si128(q), x1 = _mm_load_si128(q + 1);
    _mm_store_si128(q, _mm_or_si128(_mm_and_si128(x0, keep), av));
    _mm_store_si128(q + 1, _mm_or_si128(_mm_and_si128(x1, keep), av));
  }
  for (i += blocks * 8; i < count; ++i)
    p[i] = (p[i] & 0x00FFFFFFu) | a;
}
#else
void FillPixels(uint32_t* p, size_t count, uint32_t value) {
  plain::FillPixels(p, count, value);
}
void SetAlphaPixels(uint32_t* p, size_t count, uint8_t value) {
  plain::SetAlphaPixels(p, count, value);
}
#endif

}  // namespace simd

void FillPixels(uint32_t* p, size_t count, uint32_t value) {
  static const bool kSimd = simd::Available();
  if (kSimd)
    simd::FillPixels(p, count, value);
  else
    plain::FillPixels(p, count, value);
}
void SetAlphaPixels(uint32_t* p, size_t count, uint8_t value) {
  static const bool kSimd = simd::Available();
  if (kSimd)
    simd::SetAlphaPixels(p, count, value);
  else
    plain::SetAlphaPixels(p, count, value);
}

}  // namespace vexa
