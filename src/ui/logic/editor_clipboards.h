// The program's own clipboards (not the desktop's). They live as long as the program and are
// not emptied when another project is opened.
#pragma once

#include "model/event_list.h"
#include "model/layers.h"

namespace vexa {

struct TEditorClipboards {
  TEventList Sources;  // deep copies of graphic source events
  TEventList Effects;  // deep copies of graphic effect events
  TEventList Sounds;   // deep copies of sound events
  TEventList Times;    // placeholders (kind 2000 records) carrying StartTime and EndTime only
  TLayerList<TGraphicLayer> GraphicLayers;  // deep copies
  TLayerList<TSoundLayer> SoundLayers;
};

}  // namespace vexa
