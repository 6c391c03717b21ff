#include <cstring>

#include "bitmap/blend_rows.h"

namespace vexa::blend_rows {
namespace {

void CopyRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t, size_t) {
  std::memmove(d, s, static_cast<size_t>(w) * 4);
}
void NoFence() {}
void AlphaRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t, size_t) {
  for (int32_t x = 0; x < w; ++x, s += 4, d += 4)
    AlphaPixel(s, d);
}
void AlphaOpacityRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t o, size_t) {
  for (int32_t x = 0; x < w; ++x, s += 4, d += 4)
    AlphaOpacityPixel(s, d, o);
}
// Add and Sub go in pairs of pixels, then the odd one; the result is the same either way.
void AddRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t o, size_t) {
  int32_t x = 0;
  for (; x + 2 <= w; x += 2, s += 8, d += 8) {
    AddPixel(s, d, o);
    AddPixel(s + 4, d + 4, o);
  }
  if (x < w) AddPixel(s, d, o);
}
void SubRow(const uint8_t* s, uint8_t* d, int32_t w, uint32_t o, size_t) {
  int32_t x = 0;
  for (; x + 2 <= w; x += 2, s += 8, d += 8) {
    SubPixel(s, d, o);
    SubPixel(s + 4, d + 4, o);
  }
  if (x < w) SubPixel(s, d, o);
}

}  // namespace

const TRowSet& PlainRows() {
  static const TRowSet kRows{CopyRow, CopyRow, NoFence, AlphaRow, AlphaOpacityRow, AddRow, SubRow};
  return kRows;
}

}  // namespace vexa::blend_rows
