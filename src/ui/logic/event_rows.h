// The rows of the editor's event list views: what each column shows for an event, and the
// rows of a layer in the order its views list them.
#pragma once

#include <string>
#include <vector>

#include "model/layers.h"

namespace vexa {

// One row of an event view. The views differ only in what KindText holds: the kind name in
// the two graphic views, the sound file name without folder in the sound view.
struct TEventRow {
  TEvent* Event = nullptr;
  std::string Caption;   // StartTime as time text
  std::string EndText;   // sub-column 0: EndTime as time text
  std::string KindText;  // sub-column 1
  std::string Summary;   // sub-column 2
};

// The name a row shows for a graphic kind; the sound kind has none (its row shows the file).
std::string_view RowKindName(int32_t code);
// The one-line summary of an event's parameters.
std::string EventSummary(const TEvent& event);
// The texts of an event's row, without touching the event.
TEventRow DescribeRow(const TEvent& event);

// Fills the row from the event and makes the event's EventNumber the row's index.
void DescribeEvent(TEvent& event, TEventRow& row, int rowIndex);

// The events of each view in list order: the four source lists, the 23 effect lists, the
// sound layer's events, each in slot order and each list in its stored order.
std::vector<TEvent*> SourceViewEvents(const TGraphicLayer& layer);
std::vector<TEvent*> EffectViewEvents(const TGraphicLayer& layer);
std::vector<TEvent*> SoundViewEvents(const TSoundLayer& layer);

// The described rows of each view; every event's EventNumber becomes its row index.
std::vector<TEventRow> FillSourceView(TGraphicLayer& layer);
std::vector<TEventRow> FillEffectView(TGraphicLayer& layer);
std::vector<TEventRow> FillSoundView(TSoundLayer& layer);

// Where a new row goes: at index when it lies within the rows, otherwise at the end.
int RowInsertIndex(int index, int rowCount);

}  // namespace vexa
