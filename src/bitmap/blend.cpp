// Clipping, checks and the row walk shared by both kernel paths, and the path choice.
#include "bitmap/blend.h"

#include <algorithm>

#include "bitmap/blend_rows.h"
#include "bitmap/simd_support.h"

namespace vexa {

bool ClipBlendRect(int32_t& srcX, int32_t& srcY, int32_t& width, int32_t& height, int32_t& dstX,
                   int32_t& dstY, int32_t destWidth, int32_t destHeight) {
  const int64_t dx = dstX, dy = dstY, w = width, h = height;
  if ((dx < 0 && dx + w <= 0) || (dy < 0 && dy + h <= 0) || dx >= destWidth || dy >= destHeight) return false;
  if (dstX < 0) {
    width += dstX;
    srcX -= dstX;
    dstX = 0;
  }
  if (int64_t{dstX} + width > destWidth) width = destWidth - dstX;
  if (dstY < 0) {
    height += dstY;
    srcY -= dstY;
    dstY = 0;
  }
  if (int64_t{dstY} + height > destHeight) height = destHeight - dstY;
  return true;
}

namespace {

using blend_rows::TRowFn;
using blend_rows::TRowSet;

// Pictures larger than this are copied with streaming stores.
constexpr int64_t kStreamCopyBytes = int64_t{16} << 20;

bool Usable(const TABitmap& b) {
  return HasArea(b) && b.BitsPerPixel() == 32;
}

// Distance ahead of the source at which rows prefetch: the smallest whole number of source
// rows that is at least 1024 bytes.
size_t PrefetchDistance(const TABitmap& source) {
  const size_t row = static_cast<size_t>(source.Width()) * 4;
  return ((1024 + row - 1) / row) * row;
}

// Walks the rows bottom-up from the rectangle's bottom-left corner, forwards in memory.
void Walk(const TABitmap& source, TABitmap& dest, int32_t srcX, int32_t srcY, int32_t width, int32_t height,
          int32_t dstX, int32_t dstY, uint32_t opacity, TRowFn row) {
  const size_t sStride = static_cast<size_t>(source.Width()) * 4,
               dStride = static_cast<size_t>(dest.Width()) * 4;
  const uint8_t* s = source.ScanLine(srcY + height - 1) + static_cast<size_t>(srcX) * 4;
  uint8_t* d = dest.ScanLine(dstY + height - 1) + static_cast<size_t>(dstX) * 4;
  const size_t prefetch = PrefetchDistance(source);
  for (int32_t y = 0; y < height; ++y, s += sStride, d += dStride)
    row(s, d, width, opacity, prefetch);
}

bool InsideSource(const TABitmap& source, int32_t srcX, int32_t srcY, int32_t width, int32_t height) {
  return srcX >= 0 && srcY >= 0 && int64_t{srcX} + width <= source.Width() &&
         int64_t{srcY} + height <= source.Height();
}

void Copy(const TRowSet& rows, int32_t srcX, int32_t srcY, int32_t width, int32_t height, int32_t dstX,
          int32_t dstY, const TABitmap& source, TABitmap& dest) {
  if (!Usable(source) || !Usable(dest)) return;
  if (width <= 0 || height <= 0 || dstX < 0 || dstY < 0 || !InsideSource(source, srcX, srcY, width, height) ||
      int64_t{dstX} + width > dest.Width() || int64_t{dstY} + height > dest.Height())
    return;
  if (srcX == 0 && dstX == 0 && width == source.Width() && width == dest.Width() && &source != &dest) {
    // Whole rows of both pictures: the rectangle is one contiguous run in each.
    const TABitmap& s = source;
    const uint8_t* from = s.ScanLine(srcY + height - 1);
    uint8_t* to = dest.ScanLine(dstY + height - 1);
    const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    if (static_cast<int64_t>(bytes) >= kStreamCopyBytes) {
      rows.CopyLarge(from, to, width * height, 0, PrefetchDistance(source));
      rows.Fence();
    } else {
      rows.Copy(from, to, width * height, 0, 0);
    }
    return;
  }
  if (int64_t{width} * height * 4 >= kStreamCopyBytes && &source != &dest) {
    Walk(source, dest, srcX, srcY, width, height, dstX, dstY, 0, rows.CopyLarge);
    rows.Fence();
  } else {
    Walk(source, dest, srcX, srcY, width, height, dstX, dstY, 0, rows.Copy);
  }
}

void Blend(TRowFn row, const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height,
           int32_t srcX, int32_t srcY, TABitmap& dest, uint32_t opacity) {
  if (!Usable(source) || !Usable(dest) || width <= 0 || height <= 0) return;
  if (!ClipBlendRect(srcX, srcY, width, height, dstX, dstY, dest.Width(), dest.Height())) return;
  if (width <= 0 || height <= 0 || !InsideSource(source, srcX, srcY, width, height)) return;
  Walk(source, dest, srcX, srcY, width, height, dstX, dstY, std::min<uint32_t>(opacity, 255), row);
}

const TRowSet& ChosenRows() {
  static const TRowSet& kRows = SimdAvailable() ? blend_rows::Avx512Rows() : blend_rows::PlainRows();
  return kRows;
}

}  // namespace

#define VEXA_DEFINE_BLEND_KERNELS(ROWS)                                                                     \
  void BlendCopy(int32_t srcX, int32_t srcY, int32_t width, int32_t height, int32_t dstX, int32_t dstY,     \
                 const TABitmap& source, TABitmap& dest) {                                                  \
    Copy(ROWS, srcX, srcY, width, height, dstX, dstY, source, dest);                                        \
  }                                                                                                         \
  void BlendAlpha(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height,        \
                  int32_t srcX, int32_t srcY, TABitmap& dest) {                                             \
    Blend((ROWS).Alpha, source, dstX, dstY, width, height, srcX, srcY, dest, 255);                          \
  }                                                                                                         \
  void BlendAlphaOpacity(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height, \
                         int32_t srcX, int32_t srcY, TABitmap& dest, uint16_t opacity) {                    \
    Blend((ROWS).AlphaOpacity, source, dstX, dstY, width, height, srcX, srcY, dest, opacity);               \
  }                                                                                                         \
  void BlendAdd(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height,          \
                int32_t srcX, int32_t srcY, TABitmap& dest, uint16_t opacity) {                             \
    Blend((ROWS).Add, source, dstX, dstY, width, height, srcX, srcY, dest, opacity);                        \
  }                                                                                                         \
  void BlendSub(const TABitmap& source, int32_t dstX, int32_t dstY, int32_t width, int32_t height,          \
                int32_t srcX, int32_t srcY, TABitmap& dest, uint16_t opacity) {                             \
    Blend((ROWS).Sub, source, dstX, dstY, width, height, srcX, srcY, dest, opacity);                        \
  }

VEXA_DEFINE_BLEND_KERNELS(ChosenRows())

namespace plain {
VEXA_DEFINE_BLEND_KERNELS(blend_rows::PlainRows())
}

namespace simd {
VEXA_DEFINE_BLEND_KERNELS(ChosenRows())
}  // namespace simd

namespace sse2 {
VEXA_DEFINE_BLEND_KERNELS(blend_rows::Sse2Rows())
}

namespace avx2 {
VEXA_DEFINE_BLEND_KERNELS(blend_rows::Avx2Rows())
}

namespace avx512 {
VEXA_DEFINE_BLEND_KERNELS(blend_rows::Avx512Rows())
}

#undef VEXA_DEFINE_BLEND_KERNELS

}  // namespace vexa
