#include "ui/logic/event_rows.h"

#include "model/event_kinds.h"
#include "ui/logic/text_format.h"

namespace vexa {
namespace {

template <class Lists>
std::vector<TEvent*> EventsOf(const Lists& lists) {
  std::vector<TEvent*> events;
  for (const auto& list : lists)
    for (TEvent* e : *list)
      events.push_back(e);
  return events;
}

std::vector<TEventRow> DescribeAll(const std::vector<TEvent*>& events) {
  std::vector<TEventRow> rows(events.size());
  for (size_t i = 0; i < events.size(); ++i)
    DescribeEvent(*events[i], rows[i], static_cast<int>(i));
  return rows;
}

}  // namespace

std::string_view RowKindName(int32_t code) {
  // The row calls colour revision by another name than its menu item.
  if (code == kind::ColorRevision) return "色補正";
  const TKindInfo* k = KindInfo(code);
  return k ? k->MenuName : std::string_view{};
}

TEventRow DescribeRow(const TEvent& event) {
  TEventRow row;
  row.Event = const_cast<TEvent*>(&event);
  row.Caption = TimeText(event.StartTime);
  row.EndText = TimeText(event.EndTime);
  if (const auto* sound = EventAs<TSoundSourceEvent>(&event))
    row.KindText = FileNameWithoutFolder(sound->FileName);
  else
    row.KindText = RowKindName(event.EventType);
  row.Summary = EventSummary(event);
  return row;
}

void DescribeEvent(TEvent& event, TEventRow& row, int rowIndex) {
  row = DescribeRow(event);
  event.EventNumber = static_cast<uint32_t>(rowIndex);
}

std::vector<TEvent*> SourceViewEvents(const TGraphicLayer& layer) {
  std::vector<const TEventList*> lists;
  for (int s = 0; s < SourceSlotCount; ++s)
    lists.push_back(&layer.Slots[static_cast<size_t>(s)]);
  return EventsOf(lists);
}

std::vector<TEvent*> EffectViewEvents(const TGraphicLayer& layer) {
  return EventsOf(layer.EffectLists);
}

std::vector<TEvent*> SoundViewEvents(const TSoundLayer& layer) {
  return EventsOf(std::vector<const TEventList*>{&layer.Events});
}

std::vector<TEventRow> FillSourceView(TGraphicLayer& layer) {
  return DescribeAll(SourceViewEvents(layer));
}
std::vector<TEventRow> FillEffectView(TGraphicLayer& layer) {
  return DescribeAll(EffectViewEvents(layer));
}
std::vector<TEventRow> FillSoundView(TSoundLayer& layer) {
  return DescribeAll(SoundViewEvents(layer));
}

int RowInsertIndex(int index, int rowCount) {
  return index >= 0 && index < rowCount ? index : rowCount;
}

}  // namespace vexa
