// Colour noise and brightness noise: a table of 256 precomputed two-pixel entries added to
// adjacent pixel pairs with saturation, walked with random restarts so that the pattern does
// not repeat every 512 pixels. The table lives on the stack; nothing is allocated.
#include <algorithm>
#include <array>
#include <cstddef>

#include "bitmap/colour_filters.h"
#include "bitmap/simd_support.h"

namespace vexa {
namespace {

struct TNoiseTable {
  std::array<uint64_t, 256> Entry;  // the same 0x00RRGGBB addend in both halves (alpha + 0)
  std::array<uint8_t, 256> Jump;    // restart index 0 ... 127 after a run through the table
};

inline uint64_t Pair(uint32_t addend) {
  return uint64_t{addend} << 32 | addend;
}

// Adds entry to two pixels: each colour byte saturates at 255, the alpha bytes get 0.
inline void AddPair(uint32_t* px, uint64_t entry) {
#if VEXA_X86_SIMD
  __m128i* q = reinterpret_cast<__m128i*>(px);
  _mm_storel_epi64(q, _mm_adds_epu8(_mm_loadl_epi64(q), _mm_cvtsi64_si128(static_cast<long long>(entry))));
#else
  for (int k = 0; k < 2; ++k) {
    uint32_t v = px[k];
    const uint32_t add = static_cast<uint32_t>(entry >> (32 * k));
    uint32_t out = v & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
      out |= std::min<uint32_t>(((v >> shift) & 0xFF) + ((add >> shift) & 0xFF), 255) << shift;
    px[k] = out;
  }
#endif
}

void ApplyTable(TABitmap& bitmap, const TNoiseTable& table) {
  uint32_t* p = bitmap.Pixels();
  const size_t pairs = static_cast<size_t>(bitmap.Width()) * static_cast<size_t>(bitmap.Height()) / 2;
  size_t index = 0;
  uint8_t restart = 1;
  for (size_t k = 0; k < pairs; ++k) {
    AddPair(p + 2 * k, table.Entry[index]);
    if (++index == 256) index = table.Jump[restart++];  // restart wraps from 255 to 0
  }
}

bool Usable(const TABitmap& b) {
  return HasArea(b) && b.BitsPerPixel() == 32;
}

// ClampInt64(power, 0, 255) + 1: the modulus giving addends 0 ... power.
uint32_t Modulus(uint16_t power) {
  return std::min<uint32_t>(power, 255) + 1;
}

}  // namespace

void AddBrightnessNoise(TABitmap& bitmap, uint16_t power, TRandomDraw random) {
  if (!Usable(bitmap)) return;
  const uint32_t m = Modulus(power);
  TNoiseTable table;
  for (int i = 0; i < 256; ++i) {
    const uint32_t r = random() % m;
    table.Entry[i] = Pair(r << 16 | r << 8 | r);
    table.Jump[i] = static_cast<uint8_t>(random() & 0x7F);
  }
  ApplyTable(bitmap, table);
}

void AddColorNoise(TABitmap& bitmap, uint16_t power, TRandomDraw random) {
  if (!Usable(bitmap)) return;
  const uint32_t m = Modulus(power);
  TNoiseTable table;
  for (int i = 0; i < 256; ++i) {
    const uint32_t d = random();
    const uint32_t b = (d & 0xFF) % m, g = ((d >> 8) & 0xFF) % m, r = ((d >> 16) & 0xFF) % m;
    table.Entry[i] = Pair(r << 16 | g << 8 | b);
    table.Jump[i] = static_cast<uint8_t>(random() & 0x7F);
  }
  ApplyTable(bitmap, table);
}

}  // namespace vexa
