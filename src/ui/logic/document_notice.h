// What the open project tells the views when it changes: which view, which rows, which layer
// and which events, so that a view refreshes what changed and nothing else.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "model/layers.h"

namespace vexa {

// The five list views of the main window.
enum class TViewId : uint8_t { GraphicLayers, GraphicSources, GraphicEffects, SoundLayers, SoundEvents };
inline constexpr int kViewCount = 5;

// The two tabs; each has one layer view and the event views of its selected layer.
enum class TTabId : uint8_t { Graphic, Sound };

inline constexpr bool IsLayerView(TViewId v) {
  return v == TViewId::GraphicLayers || v == TViewId::SoundLayers;
}
inline constexpr TTabId TabOf(TViewId v) {
  return v == TViewId::SoundLayers || v == TViewId::SoundEvents ? TTabId::Sound : TTabId::Graphic;
}
inline constexpr TViewId LayerViewOf(TTabId t) {
  return t == TTabId::Graphic ? TViewId::GraphicLayers : TViewId::SoundLayers;
}

enum class TNoticeKind : uint8_t {
  BatchBegin,       // the notices up to BatchEnd belong to one step: a view may hold its repaints
  BatchEnd,
  EventsAdded,      // rows Row .. Row+Count-1 of View are new; Events are their events
  EventsRemoved,    // rows Row .. Row+Count-1 of View (numbered before the removal) are gone
  EventChanged,     // row Row of View shows Events[0] with new values
  EventsReordered,  // the rows of View were sorted, moved, refilled or restored: read them all
  LayersAdded,      // the same four for the layer views
  LayersRemoved,
  LayerChanged,     // caption or file column of row Row
  LayersReordered,
  SelectionChanged,  // selection, focused row or enabled state of View
  SettingsChanged,   // name, picture format or file of the project; the window caption
  ProjectReplaced,   // another project was opened: read everything, forget the undo history
  ClipboardChanged,  // what the paste items may paste
  CommandFailed,     // Text says why a step could not be done or undone
  ModifiedChanged,   // the project now differs from its files, or no longer: the caption
};

struct TDocumentNotice {
  TNoticeKind Kind;
  TViewId View = TViewId::GraphicLayers;
  int Row = -1;
  int Count = 0;
  // The layer concerned (event notices: the layer the view shows); one of the two is set.
  TGraphicLayer* GraphicLayer = nullptr;
  TSoundLayer* SoundLayer = nullptr;
  std::span<TEvent* const> Events = {};
  std::string_view Text = {};
};

class TDocumentObserver {
 public:
  virtual ~TDocumentObserver() = default;
  // Arrives after the change, while the document already shows the new state.
  virtual void Notice(const TDocumentNotice& notice) = 0;
};

}  // namespace vexa
