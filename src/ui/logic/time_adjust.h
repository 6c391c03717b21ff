// Time adjustment: sets, shifts or stretches the times of events (TMainActions::AdjustTimes
// asks the dialog and makes the change a command).
#pragma once

#include "model/layers.h"
#include "ui/logic/event_adjust_form.h"

namespace vexa {

// The new start and end of one event. Sums and differences are taken in 64 bits and then
// held to 0 .. 4294967295; FitInterval counts from the start just adjusted.
void AdjustEventTimes(TEvent& event, const TTimeAdjustment& a);

// Puts every effect list of the layer back in time order (StartTime, then EventNumber).
// The renderer walks each effect list in its stored order and hides an event stored behind
// one that starts later. True when some list changed order.
bool SortEffectLists(TGraphicLayer& layer);

}  // namespace vexa
