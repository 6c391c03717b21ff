// Rounding as the renderer uses it. Round: to the nearest integer, halves to the even
// neighbour (the processor's default mode; Round(2.5) = 2, Round(-0.5) = 0). Trunc: drops the
// fraction. Both give INT64_MIN for NaN and values outside the 64-bit range, as the x86
// conversion instructions do. Floating-point exceptions stay masked for the whole process (the
// default on Linux, which the program never changes): a division by zero gives an infinity or
// a NaN and these functions turn such values into INT64_MIN instead of failing.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

namespace vexa {

namespace detail {
inline int64_t ToInt64(double r) {
  constexpr double kLimit = 9223372036854775808.0;  // 2^63
  if (!(r >= -kLimit && r < kLimit)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(r);
}
}  // namespace detail

inline int64_t Round(double x) {
  return detail::ToInt64(std::nearbyint(x));
}
inline int64_t Trunc(double x) {
  return detail::ToInt64(std::trunc(x));
}

inline int64_t ClampInt64(int64_t value, int64_t minimum, int64_t maximum) {
  return value < minimum ? minimum : value > maximum ? maximum : value;
}

}  // namespace vexa
