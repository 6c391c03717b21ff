// The session's working copy of a graphic layer: the project layer's events, borrowed, with
// the working pictures, placement and flags of the current frame.
#pragma once

#include <array>
#include <cstdint>

#include "bitmap/bitmap.h"
#include "model/layers.h"

namespace vexa {

// How a layer showed in the last frame that was rendered; the session compares it with the
// current frame to notice a layer that disappeared, moved, faded or changed its blend mode.
struct TLayerAppearance {
  bool Visible = false;
  int32_t SrcX = 0, SrcY = 0, DstX = 0, DstY = 0, DrawWidth = 0, DrawHeight = 0, Opacity = 0, BlendMode = 0;
  bool operator==(const TLayerAppearance&) const = default;
};

struct TRenderLayer : TGraphicLayerView {
  TABitmap OutputBitmap;      // the picture at the end of the last pass that produced one
  TABitmap TransitionBitmap;  // captured when a transition starts
  TABitmap WorkBitmap;        // the layer picture: source draws, effects transform, compose draws
  TABitmap SpareBitmap;       // second buffer for effects that change size or layout

  int32_t SrcX = 0, SrcY = 0;             // top-left of the drawn part inside WorkBitmap
  int32_t DstX = 0, DstY = 0;             // where it lands in the frame
  int32_t DrawWidth = 0, DrawHeight = 0;  // clipped to the frame; below 2 nothing is drawn
  int32_t Opacity = 255;                  // 255 opaque
  uint8_t PictureChanged = 0;             // the picture must be (or was) rebuilt in this frame
  uint8_t SourceActive = 0;               // a source event is active and gave a picture
  uint8_t NeedsRedraw = 0;                // the layer's appearance in the frame changed in this frame
  uint8_t TransitionActive = 0;           // a transition produced the picture in this frame

  // Change tracking across frames.
  TLayerAppearance LastAppearance;
  std::array<TEvent*, EffectSlotCount> LastActiveEffects{};  // per effect list, nullptr for none
};

}  // namespace vexa
