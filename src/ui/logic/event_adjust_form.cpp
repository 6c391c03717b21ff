#include "ui/logic/event_adjust_form.h"

#include <algorithm>
#include <cstdint>

#include "ui/logic/rhythm.h"

namespace vexa {
namespace {

// Sets a flag for the lifetime of the guard.
class TUpdatingGuard {
 public:
  explicit TUpdatingGuard(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~TUpdatingGuard() { flag_ = old_; }
  TUpdatingGuard(const TUpdatingGuard&) = delete;
  TUpdatingGuard& operator=(const TUpdatingGuard&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace

uint32_t TTimeFields::Value() const {
  return static_cast<uint32_t>(Parts[Hour].Value() * 3600000 + Parts[Minute].Value() * 60000 +
                               Parts[Second].Value() * 1000 + Parts[Millisecond].Value());
}

void TTimeFields::Show(uint64_t ms) {
  Parts[Hour].Set(static_cast<int64_t>(std::min<uint64_t>(ms / 3600000, INT64_MAX)));
  Parts[Minute].Set(static_cast<int64_t>(ms % 3600000 / 60000));
  Parts[Second].Set(static_cast<int64_t>(ms % 60000 / 1000));
  Parts[Millisecond].Set(static_cast<int64_t>(ms % 1000));
}

TEventAdjustForm::TEventAdjustForm()
    : rhythm_{TSpinField(1, 1000, 120), TSpinField(1, 100, 4), TSpinField(1, 100, 4),
              TSpinField(0, 2147483647, 0), TSpinField(0, 3, 0)} {}

void TEventAdjustForm::Open(const TEvent& firstSelected) {
  ShowTime(Start, firstSelected.StartTime);
  ShowTime(End, firstSelected.EndTime);
  UpdateInterval();
}

void TEventAdjustForm::SetTimeField(TTime time, TTimeFields::TPart part, int64_t value) {
  times_[time].Parts[static_cast<size_t>(part)].Set(value);
  if (updating_) return;
  if (time == Interval)
    UpdateEnd();
  else
    UpdateInterval();
}

void TEventAdjustForm::SetRhythmField(TRhythm field, int64_t value) {
  rhythm_[field].Set(value);
  if (field == Numerator) {
    // A metre of one beat per bar has no beat to choose.
    rhythm_[Note].SetMax(rhythm_[Numerator].Value() - 1);
    rhythm_[Note].SetEnabled(rhythm_[Note].Max() != 0);
  }
}

int64_t TEventAdjustForm::RhythmValue() const {
  return RhythmTime(
      static_cast<int32_t>(rhythm_[Bpm].Value()), static_cast<int32_t>(rhythm_[Numerator].Value()),
      static_cast<int32_t>(rhythm_[Denominator].Value()), rhythm_[Bar].Value(), rhythm_[Note].Value());
}

void TEventAdjustForm::RhythmToStart() {
  ShowTime(Start, static_cast<uint64_t>(RhythmValue()));
  UpdateInterval();
}

void TEventAdjustForm::RhythmToEnd() {
  ShowTime(End, static_cast<uint64_t>(RhythmValue()));
  UpdateInterval();
}

void TEventAdjustForm::RhythmToInterval() {
  ShowTime(Interval, static_cast<uint64_t>(RhythmValue()));
  UpdateEnd();
}

TTimeAdjustment TEventAdjustForm::Result() const {
  return {TimeValue(Start), TimeValue(End), TimeValue(Interval), StartChoice, EndChoice};
}

void TEventAdjustForm::ShowTime(TTime time, uint64_t ms) {
  TUpdatingGuard guard(updating_);
  times_[time].Show(ms);
}

// An end before the start has no interval to show; it shows 0 rather than a wrapped
// difference that the field limits would cut into a meaningless time.
void TEventAdjustForm::UpdateInterval() {
  const uint32_t start = TimeValue(Start), end = TimeValue(End);
  ShowTime(Interval, end >= start ? end - start : 0);
}

void TEventAdjustForm::UpdateEnd() {
  ShowTime(End, static_cast<uint64_t>(TimeValue(Start)) + TimeValue(Interval));
}

}  // namespace vexa
