// A whole-number entry field with limits, as every editing dialog has them: a value set
// beyond a limit becomes the limit.
#pragma once

#include <algorithm>
#include <cstdint>

namespace vexa {

class TSpinField {
 public:
  TSpinField(int64_t min, int64_t max, int64_t value) : min_(min), max_(max) { Set(value); }

  int64_t Value() const { return value_; }
  int64_t Min() const { return min_; }
  int64_t Max() const { return max_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }

  // Clamps into the limits; true when the value changed.
  bool Set(int64_t v) {
    const int64_t old = value_;
    value_ = std::clamp(v, min_, std::max(min_, max_));
    return value_ != old;
  }
  // A new maximum pulls the value down with it.
  void SetMax(int64_t max) {
    max_ = max;
    Set(value_);
  }

 private:
  int64_t min_, max_;
  int64_t value_ = 0;
  bool enabled_ = true;
};

}  // namespace vexa
