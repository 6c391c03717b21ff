#include "render/source_image.h"

#include "render/studio.h"

namespace vexa {

TSourceResult RunImageSource(TSourcePass& p) {
  TEventRefList& list = p.Layer.MergedSources;
  if (!p.Pass.Force && list.CursorLoaded) {
    // The picture of the previous frame stays; no flag changes.
    return TSourceResult::Continue;
  }
  const auto* event = EventAs<TGraphicSourceImageEvent>(&p.Event);
  const bool ok = event && p.Studio.LoadPictureFile(event->FileName, p.Layer.WorkBitmap);
  p.Pass.PictureValid = ok;
  p.Pass.Force = ok;
  p.Layer.SourceActive = ok;
  list.CursorLoaded = true;
  return TSourceResult::Continue;
}

}  // namespace vexa
