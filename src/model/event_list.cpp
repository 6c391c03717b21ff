#include "event_list.h"

namespace vexa {

int CompareEventTime(const TEvent& a, const TEvent& b) {
  if (a.StartTime != b.StartTime) return a.StartTime > b.StartTime ? 1 : -1;
  if (a.EventNumber != b.EventNumber) return a.EventNumber > b.EventNumber ? 1 : -1;
  return 0;
}

}  // namespace vexa
