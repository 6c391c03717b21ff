// Musical positions as times.
#pragma once

#include <cstdint>

namespace vexa {

// Round(x): the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
int64_t RoundHalfEven(double x);

// Milliseconds from bar 0 beat 0 to beat `note` of bar `bar`: BPM counts quarter notes per
// minute, a beat is a 1/denominator note and numerator beats make a bar. Computed in 64 bits,
// so the dialog's largest bar does not wrap.
int64_t RhythmTime(int32_t bpm, int32_t numerator, int32_t denominator, int64_t bar, int64_t note);

}  // namespace vexa
