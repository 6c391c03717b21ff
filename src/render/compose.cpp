// ComposeFrame: renders every layer for the current frame and lays them over the background.
#include <algorithm>

#include "bitmap/blend.h"
#include "render/studio.h"

namespace vexa {
namespace {

uint16_t OpacityOf(const TRenderLayer& layer) {
  return static_cast<uint16_t>(std::clamp(layer.Opacity, 0, 255));
}

// Whether the layer shows in the frame: it has a picture (an active source, or a transition's
// output) and at least 2 x 2 pixels of it lie in the frame.
bool Visible(const TRenderLayer& layer) {
  return (layer.SourceActive || layer.TransitionActive) && layer.DrawWidth >= 2 && layer.DrawHeight >= 2;
}

}  // namespace

void TVexaStudio::DrawLayer(TRenderLayer& layer) {
  const uint16_t o = OpacityOf(layer);
  const int32_t sx = layer.SrcX, sy = layer.SrcY, dx = layer.DstX, dy = layer.DstY;
  const int32_t w = layer.DrawWidth, h = layer.DrawHeight;
  switch (SourceBlendMode(layer.MergedSources.Current())) {
    case bmCopy:
      BlendCopy(sx, sy, w, h, dx, dy, layer.WorkBitmap, FrameBitmap);  // whatever the opacity
      break;
    case bmAlpha:
      if (o == 255)
        BlendAlpha(layer.WorkBitmap, dx, dy, w, h, sx, sy, FrameBitmap);
      else if (o != 0)
        BlendAlphaOpacity(layer.WorkBitmap, dx, dy, w, h, sx, sy, FrameBitmap, o);
      break;
    case bmAdd:
      if (o != 0) BlendAdd(layer.WorkBitmap, dx, dy, w, h, sx, sy, FrameBitmap, o);
      break;
    case bmSub:
      if (o != 0) BlendSub(layer.WorkBitmap, dx, dy, w, h, sx, sy, FrameBitmap, o);
      break;
    default:
      break;  // any other mode draws nothing
  }
}

void TVexaStudio::ComposeFrame() {
  if (FrameIndex >= FrameCount) return;
  const uint32_t background = ColorToPixel(static_cast<uint32_t>(Project.BackColor));

  // The layer renders may reorder RenderLayers; the snapshot fixes which layers render.
  snapshot_.clear();
  for (const auto& l : RenderLayers)
    snapshot_.push_back(l.get());
  for (TRenderLayer* l : snapshot_)
    if (l != MasterLayer) RenderLayer(*l, SeekFlag != 0, false);

  bool anyRedraw = false;
  for (TRenderLayer* l : snapshot_)
    if (l != MasterLayer && l->NeedsRedraw) anyRedraw = true;

  // A frame is recomposed when some layer's appearance changed, also when no layer is left
  // to draw (the frame then shows the bare background), and always after a seek.
  const bool recompose = anyRedraw || SeekFlag != 0;
  if (recompose) {
    FrameBitmap.Fill(background);
    const int count = std::min<int>(static_cast<int>(snapshot_.size()), RenderLayers.Count());
    for (int i = 0; i < count; ++i) {
      TRenderLayer& layer = *RenderLayers[i];
      if (&layer == MasterLayer || !Visible(layer)) continue;
      DrawLayer(layer);
    }
    if (MasterLayer) MasterBitmap.Assign(FrameBitmap);
  }
  if (MasterLayer) ComposeMaster(recompose);

  if (FrameIndex < FrameCount) {
    CurrentTime += FrameDuration;  // a running sum; only SeekFrame sets it from the index
    ++FrameIndex;
  }
  SeekFlag = 0;
}

void TVexaStudio::ComposeMaster(bool recomposed) {
  TRenderLayer& master = *MasterLayer;
  RenderLayer(master, recomposed, false);
  // Moved or faded without a new picture: rebuild it from the composite so that what is
  // drawn equals what a recomposed frame would draw.
  if (!recomposed && master.NeedsRedraw && !master.PictureChanged) RenderLayer(master, true, true);
  if (!(master.PictureChanged && master.NeedsRedraw)) return;
  FrameBitmap.Fill(ColorToPixel(static_cast<uint32_t>(Project.BackColor)));
  if (master.DrawWidth <= 0 || master.DrawHeight <= 0) return;
  // The master picture replaces the composite, always by alpha blending.
  const uint16_t o = OpacityOf(master);
  if (o == 255)
    BlendAlpha(master.WorkBitmap, master.DstX, master.DstY, master.DrawWidth, master.DrawHeight, master.SrcX,
               master.SrcY, FrameBitmap);
  else if (o != 0)
    BlendAlphaOpacity(master.WorkBitmap, master.DstX, master.DstY, master.DrawWidth, master.DrawHeight,
                      master.SrcX, master.SrcY, FrameBitmap, o);
}

}  // namespace vexa
