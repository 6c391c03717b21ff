#include "layers.h"

namespace vexa {
namespace {

template <class Layer>
TEvent* CopyInto(const TEvent& event, Layer& layer) {
  TEventList* list = layer.ListForKind(event.EventType);
  if (!list) return nullptr;
  std::unique_ptr<TEvent> copy = CopyEvent(event);
  return copy ? list->Add(std::move(copy)) : nullptr;
}

template <class Layer>
bool DisposeFrom(const TEvent* event, Layer& layer) {
  if (!event) return false;
  TEventList* list = layer.ListForKind(event->EventType);
  return list && list->Remove(event);
}

}  // namespace

TEvent* CopyEvent(const TEvent& event, TGraphicLayer& layer) {
  return CopyInto(event, layer);
}
TEvent* CopyEvent(const TEvent& event, TSoundLayer& layer) {
  return CopyInto(event, layer);
}
bool DisposeEvent(const TEvent* event, TGraphicLayer& layer) {
  return DisposeFrom(event, layer);
}
bool DisposeEvent(const TEvent* event, TSoundLayer& layer) {
  return DisposeFrom(event, layer);
}

}  // namespace vexa
