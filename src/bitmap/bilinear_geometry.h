// The sampling geometry shared by ResizeBilinear and ScaleBilinear (see bilinear.h).
#pragma once

#include <algorithm>
#include <cstdint>

namespace vexa::bilinear {

struct TGeometry {
  int64_t XStep = 0, YStep = 0;
  int32_t R0 = 0;  // output rows sampled from the accumulator; the rest use the bottom rule
  int32_t C0 = 0;  // ScaleBilinear: first output column sampled one xStep behind
};

inline TGeometry MakeGeometry(int32_t w, int32_t h, int32_t w2, int32_t h2) {
  TGeometry g;
  // The quotients of whole numbers truncated: exact in integer arithmetic.
  g.XStep = int64_t{w} * 65535 / w2;
  g.YStep = int64_t{h} * 65535 / h2;
  const int64_t inverseY = int64_t{h2} * 65535 / h;
  g.R0 = static_cast<int32_t>(std::clamp<int64_t>(int64_t{h - 1} * inverseY / 65535, 0, h2));
  const int64_t inverseX = int64_t{w2} * 65535 / w;
  g.C0 = static_cast<int32_t>(std::clamp<int64_t>((int64_t{w - 1} * inverseX) >> 16, 0, w2));
  return g;
}

// Index clamped to 0 ... n - 1.
inline int32_t Inside(int64_t i, int32_t n) {
  return static_cast<int32_t>(std::clamp<int64_t>(i, 0, n - 1));
}

}  // namespace vexa::bilinear
