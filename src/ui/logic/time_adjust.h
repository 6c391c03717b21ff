// The time adjustment command: sets, shifts or stretches the times of the selected events.
#pragma once

#include <span>

#include "model/layers.h"
#include "ui/logic/event_adjust_form.h"
#include "ui/logic/user_prompt.h"

namespace vexa {

// The new start and end of one event. Sums and differences are taken in 64 bits and then
// held to 0 .. 4294967295; FitInterval counts from the start just adjusted.
void AdjustEventTimes(TEvent& event, const TTimeAdjustment& a);
// The same for every event, in order.
void AdjustTimes(std::span<TEvent* const> events, const TTimeAdjustment& a);

// Puts every effect list of the layer back in time order (StartTime, then EventNumber).
// The renderer walks each effect list in its stored order and hides an event stored behind
// one that starts later. True when some list changed order.
bool SortEffectLists(TGraphicLayer& layer);

// "時間調節" on the selected events of one view, in list order: the dialog opens on the first
// selected event; OK and a Yes to the confirmation adjust every selected event and refresh its
// row. effectLayer is the layer when the selection comes from its effect view: its effect
// lists are then put back in time order and, when that moved any event, the view is refilled.
// True when events changed.
bool AdjustTimesCommand(std::span<TEvent* const> selected, TEventCommandUi& ui,
                        TGraphicLayer* effectLayer = nullptr);

}  // namespace vexa
