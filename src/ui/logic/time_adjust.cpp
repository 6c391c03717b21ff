#include "ui/logic/time_adjust.h"

#include <algorithm>

namespace vexa {
namespace {

constexpr int64_t kMaxTime = 4294967295;

uint32_t Saturate(int64_t t) {
  return static_cast<uint32_t>(std::clamp<int64_t>(t, 0, kMaxTime));
}

}  // namespace

void AdjustEventTimes(TEvent& e, const TTimeAdjustment& a) {
  const int64_t start = e.StartTime, end = e.EndTime;
  switch (a.StartChoice) {
    case TStartChoice::Direct:
      e.StartTime = a.Start;
      break;
    case TStartChoice::Add:
      e.StartTime = Saturate(start + a.Start);
      break;
    case TStartChoice::Sub:
      e.StartTime = Saturate(start - a.Start);
      break;
    case TStartChoice::NoChange:
      break;
  }
  switch (a.EndChoice) {
    case TEndChoice::Direct:
      e.EndTime = a.End;
      break;
    case TEndChoice::Add:
      e.EndTime = Saturate(end + a.End);
      break;
    case TEndChoice::Sub:
      e.EndTime = Saturate(end - a.End);
      break;
    case TEndChoice::FitInterval:
      e.EndTime = Saturate(int64_t{e.StartTime} + a.Interval);
      break;
    case TEndChoice::NoChange:
      break;
  }
}

bool SortEffectLists(TGraphicLayer& layer) {
  bool moved = false;
  for (TEventList* list : layer.EffectLists) {
    std::vector<TEvent*> before(list->begin(), list->end());
    list->SortByTime();
    moved = moved || !std::equal(before.begin(), before.end(), list->begin());
  }
  return moved;
}

}  // namespace vexa
