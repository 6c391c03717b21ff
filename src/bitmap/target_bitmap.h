// The target of a kernel that sizes its own target: the target itself when it already has the
// size at 32 bits and is not the source (no allocation), otherwise a fresh picture that takes
// the target's place on Commit. Kernels that write every pixel use it; its pixels are
// unspecified until written.
#pragma once

#include <cstdint>

#include "bitmap/bitmap.h"

namespace vexa {

class TargetOfSize {
 public:
  TargetOfSize(const TABitmap& source, TABitmap& target, int64_t width, int64_t height) : target_(target) {
    if (width > kMaxBitmapSide || height > kMaxBitmapSide || width * height > kMaxBitmapPixels)
      throw TBitmapError("picture size " + std::to_string(width) + " x " + std::to_string(height) +
                         " is too large");
    const int32_t w = static_cast<int32_t>(width), h = static_cast<int32_t>(height);
    inPlace_ =
        &source != &target && target.BitsPerPixel() == 32 && target.Width() == w && target.Height() == h;
    if (!inPlace_) fresh_.SetSize(w, h);
  }
  TABitmap& Bitmap() { return inPlace_ ? target_ : fresh_; }
  void Commit() {
    if (!inPlace_) target_.Swap(fresh_);
  }

 private:
  TABitmap& target_;
  TABitmap fresh_;
  bool inPlace_ = false;
};

}  // namespace vexa
