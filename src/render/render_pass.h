// What a source or an effect sees of one pass of RenderLayer.
#pragma once

#include <cstdint>
#include <memory>

#include "bitmap/bitmap.h"
#include "model/event_list.h"
#include "render/render_layer.h"

namespace vexa {

class TVexaStudio;

// Locals of one pass, shared by the source step and every effect of the pass.
struct TPassLocals {
  bool Force = false;         // rebuild the picture in this pass (raised by a source that rebuilt it)
  bool SecondPass = false;    // the re-run: no initialising, no stepping
  bool PictureValid = false;  // WorkBitmap holds a picture that pixel work may change
  bool TransitionActive = false;
  int32_t X = 0, Y = 0;    // position set by the position effect
  int32_t OX = 0, OY = 0;  // offset added by the rotate and vibration effects
  int32_t Opacity = 255;
  bool Hidden = false;  // the layer shows nothing in this frame (a blink's hidden phase)
  TABitmap Scratch;  // scratch picture of the pass (masks and rule images are resampled into it)
};

// The source step of one source event.
struct TSourcePass {
  TVexaStudio& Studio;
  TRenderLayer& Layer;
  TEvent& Event;  // Layer.MergedSources.Current()
  TPassLocals& Pass;
};

// One effect event of the pass.
struct TEffectPass {
  TVexaStudio& Studio;
  TRenderLayer& Layer;
  TEventRefList& List;  // the effect's own list: CursorLoaded and EffectState
  TEvent& Event;
  TPassLocals& Pass;

  // Unless in the re-run, the effect initialises or steps its state.
  bool Stepping() const { return !Pass.SecondPass; }
  // The state must be (re)initialised: a new event at the cursor, or a seek.
  bool NeedsInit() const;
  // Pixel work happens only when the picture is valid and being rebuilt.
  bool PixelWork() const { return Pass.PictureValid && Pass.Force; }

  // The list's EffectState as the kind's own record, created on first use.
  template <class State>
  State& StateAs() {
    State* s = dynamic_cast<State*>(List.EffectState.get());
    if (!s) {
      auto fresh = std::make_unique<State>();
      s = fresh.get();
      List.EffectState = std::move(fresh);
    }
    return *s;
  }
};

enum class TSourceResult {
  Continue,  // go on with the effects
  EndLayer,  // the layer has no source for this frame: RenderLayer returns at once
};

using TSourceFn = TSourceResult (*)(TSourcePass&);
using TEffectFn = void (*)(TEffectPass&);

// The code of each kind, by kind code; nullptr for a kind without code (it does nothing).
TSourceFn FindSourceHandler(int32_t code);
TEffectFn FindEffectHandler(int32_t code);

}  // namespace vexa
