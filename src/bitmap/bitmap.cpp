#include "bitmap/bitmap.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "bitmap/fill_kernels.h"

namespace vexa {

TABitmap::Block TABitmap::Allocate(size_t bytes) {
  if (bytes == 0) return Block();
  // 64-byte alignment keeps whole-picture loops on cache-line boundaries. One spare line at the
  // end absorbs the whole-register stores of converters we do not control (FFmpeg's).
  const size_t rounded = ((bytes + 63) & ~size_t{63}) + 64;
  void* p = std::aligned_alloc(64, rounded);
  if (!p) throw std::bad_alloc();
  return Block(static_cast<uint8_t*>(p));
}

void TABitmap::CheckSize(int64_t width, int64_t height) {
  if (width > kMaxBitmapSide || height > kMaxBitmapSide || width * height > kMaxBitmapPixels)
    throw TBitmapError("picture size " + std::to_string(width) + " x " + std::to_string(height) +
                       " is too large");
}

void TABitmap::Swap(TABitmap& other) noexcept {
  std::swap(data_, other.data_);
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(bits_, other.bits_);
}

void TABitmap::Force32Bit() {
  if (bits_ == 32) return;
  Block block = Allocate(StrideFor(width_, 32) * static_cast<size_t>(height_));
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t* s = data_.get() + static_cast<size_t>(y) * StrideFor(width_, 24);
    uint8_t* d = block.get() + static_cast<size_t>(y) * StrideFor(width_, 32);
    for (int32_t x = 0; x < width_; ++x, s += 3, d += 4) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
      d[3] = 0;
    }
  }
  data_ = std::move(block);
  bits_ = 32;
}

void TABitmap::Convert24Bit() {
  if (bits_ == 24) return;
  Block block = Allocate(StrideFor(width_, 24) * static_cast<size_t>(height_));
  for (int32_t y = 0; y < height_; ++y) {
    const uint8_t* s = data_.get() + static_cast<size_t>(y) * StrideFor(width_, 32);
    uint8_t* d = block.get() + static_cast<size_t>(y) * StrideFor(width_, 24);
    for (int32_t x = 0; x < width_; ++x, s += 4, d += 3) {
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
    // Row padding is part of the block; keep it deterministic.
    std::memset(d, 0, StrideFor(width_, 24) - static_cast<size_t>(width_) * 3);
  }
  data_ = std::move(block);
  bits_ = 24;
}

void TABitmap::SetSize(int32_t width, int32_t height) {
  Force32Bit();
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  if (width == 0 || height == 0) {
    // An empty bitmap owns no pixels.
    data_.reset();
    width_ = width;
    height_ = height;
    return;
  }
  CheckSize(width, height);
  Block block = Allocate(StrideFor(width, 32) * static_cast<size_t>(height));
  std::memset(block.get(), 0xFF, StrideFor(width, 32) * static_cast<size_t>(height));
  const int32_t cw = std::min(width, width_), ch = std::min(height, height_);
  for (int32_t y = 0; y < ch; ++y) {
    // Row y counted from the top in both pictures.
    const uint8_t* s = ScanLine(y);
    uint8_t* d = block.get() + static_cast<size_t>(height - 1 - y) * StrideFor(width, 32);
    std::memcpy(d, s, static_cast<size_t>(cw) * 4);
  }
  data_ = std::move(block);
  width_ = width;
  height_ = height;
}

void TABitmap::Clear() {
  data_.reset();
  width_ = 0;
  height_ = 0;
  bits_ = 32;
}

void TABitmap::Assign(const TABitmap& source) {
  if (&source == this) {
    Force32Bit();
    return;
  }
  const size_t bytes = source.ByteSize();
  if (width_ != source.width_ || height_ != source.height_ || bits_ != source.bits_ || !data_)
    data_ = Allocate(bytes);
  if (bytes) std::memcpy(data_.get(), source.data_.get(), bytes);
  width_ = source.width_;
  height_ = source.height_;
  bits_ = source.bits_;
  if (width_ == 0 || height_ == 0) data_.reset();
  Force32Bit();
}

void TABitmap::SetAlpha(uint8_t value) {
  if (!HasArea(*this) || bits_ != 32) return;
  SetAlphaPixels(Pixels(), static_cast<size_t>(width_) * static_cast<size_t>(height_), value);
}

void TABitmap::Fill(uint32_t value) {
  if (!HasArea(*this) || bits_ != 32) return;
  FillPixels(Pixels(), static_cast<size_t>(width_) * static_cast<size_t>(height_), value);
}

void MergeAlphaMask(TABitmap& colour, TABitmap& mask, TABitmap& dest) {
  if (HasArea(colour) && (mask.Width() < colour.Width() || mask.Height() < colour.Height()))
    throw TBitmapError("the transparency mask is smaller than the picture");
  TABitmap result;
  result.SetSize(colour.Width(), colour.Height());
  colour.Force32Bit();
  mask.Convert24Bit();
  for (int32_t y = 0; y < result.Height(); ++y) {
    const uint8_t* c = colour.ScanLine(y);
    const uint8_t* m = mask.ScanLine(y);
    uint8_t* d = result.ScanLine(y);
    for (int32_t x = 0; x < result.Width(); ++x, c += 4, m += 3, d += 4) {
      d[0] = c[0];
      d[1] = c[1];
      d[2] = c[2];
      d[3] = m[0];
    }
  }
  dest.Swap(result);
}

}  // namespace vexa
