// The time adjustment dialog without its widgets: the start, end and interval times, the
// choices of what to do with each event's times, and the rhythm calculator that turns a
// musical position into a time. The widgets show these fields and forward every change.
#pragma once

#include <array>
#include <cstdint>

#include "model/events.h"
#include "ui/logic/spin_field.h"

namespace vexa {

// What OK does with each event's start time.
enum class TStartChoice : uint8_t { Direct, Add, Sub, NoChange };
// What OK does with each event's end time; FitInterval puts it Interval after the new start.
enum class TEndChoice : uint8_t { Direct, Add, Sub, NoChange, FitInterval };

// The values the dialog hands to the adjustment when it closes with OK.
struct TTimeAdjustment {
  uint32_t Start = 0;
  uint32_t End = 0;
  uint32_t Interval = 0;
  TStartChoice StartChoice = TStartChoice::NoChange;
  TEndChoice EndChoice = TEndChoice::NoChange;
};

// Hours, minutes, seconds and milliseconds of one time (0..9, 0..59, 0..59, 0..999).
struct TTimeFields {
  enum TPart { Hour, Minute, Second, Millisecond };
  std::array<TSpinField, 4> Parts{TSpinField(0, 9, 0), TSpinField(0, 59, 0), TSpinField(0, 59, 0),
                                  TSpinField(0, 999, 0)};

  uint32_t Value() const;
  // Splits ms into the fields; each field's limit cuts what does not fit (10 hours shows 9).
  void Show(uint64_t ms);
};

class TEventAdjustForm {
 public:
  enum TTime { Start, End, Interval };
  enum TRhythm { Bpm, Numerator, Denominator, Bar, Note };

  TEventAdjustForm();

  // The opening state: start and end of the first selected event, the interval between them.
  void Open(const TEvent& firstSelected);

  // A change of one time field by the user, with the recomputation it causes: a start or end
  // field makes Interval := End - Start, an interval field makes End := Start + Interval.
  void SetTimeField(TTime time, TTimeFields::TPart part, int64_t value);
  const TSpinField& TimeField(TTime time, TTimeFields::TPart part) const {
    return times_[time].Parts[static_cast<size_t>(part)];
  }
  uint32_t TimeValue(TTime time) const { return times_[time].Value(); }

  // Rhythm fields; the numerator limits the note field to 0 .. numerator - 1.
  void SetRhythmField(TRhythm field, int64_t value);
  const TSpinField& RhythmField(TRhythm field) const { return rhythm_[field]; }
  // RhythmTime of the rhythm fields.
  int64_t RhythmValue() const;

  // The three buttons "開始", "終了" and "間隔".
  void RhythmToStart();
  void RhythmToEnd();
  void RhythmToInterval();

  TStartChoice StartChoice = TStartChoice::NoChange;
  TEndChoice EndChoice = TEndChoice::NoChange;

  // Set while the dialog fills fields itself, so that the fill recomputes nothing (an end
  // before the start would otherwise come back through the interval and move the end).
  // The widgets show the fields with their change signals blocked and pass only the user's
  // own changes to SetTimeField.
  bool Updating() const { return updating_; }

  // What OK hands to the adjustment.
  TTimeAdjustment Result() const;

 private:
  void ShowTime(TTime time, uint64_t ms);
  void UpdateInterval();
  void UpdateEnd();

  std::array<TTimeFields, 3> times_;
  std::array<TSpinField, 5> rhythm_;
  bool updating_ = false;
};

}  // namespace vexa
