// The working values of one sound event: which frames of its file to read, at what rate, how
// many bytes they become, where they go and with which envelopes.
#pragma once

#include <cstdint>

namespace vexa {

struct TSoundSourceEvent;

struct TSoundEventPlan {
  // The stretch of the file in frames, and the event's span in frames of the file.
  double SrcStart = 0, SrcEnd = 0, DstStart = 0, DstEnd = 0;
  double Ratio = 0;              // span / stretch; negative when they run in opposite directions
  uint32_t TargetRate = 0;       // the rate at which the stretch's frames fill the span at 44.1 kHz
  bool Reversed = false;         // StartSample > EndSample: the stretch plays backwards
  int64_t First = 0, Last = -1;  // the frames read, clamped to the file
  uint64_t ExpectedBytes = 0;    // W: what the read stretch becomes at TargetRate
  float VolStart = 1, VolEnd = 1, PanStart = 0.5f, PanEnd = 0.5f;
  uint64_t OutFrame = 0;  // the event's first frame in the mix
  bool Plays = false;     // false when the event's block is empty
};

// Works the values out for a file of sampleRate frames per second and totalSamples frames.
TSoundEventPlan PlanSoundEvent(const TSoundSourceEvent& event, uint32_t sampleRate, int64_t totalSamples);

}  // namespace vexa
