// Session life cycle, the frame clock and the cursor walk.
#include <algorithm>
#include <limits>

#include "render/numeric.h"
#include "render/studio.h"

namespace vexa {

bool TVexaStudio::PrepareSession() {
  FinishSession();
  if (Project.FPS == 0) return false;  // no frame clock: nothing can be rendered
  const int32_t width = static_cast<int32_t>(std::min<uint32_t>(Project.Width, INT32_MAX));
  const int32_t height = static_cast<int32_t>(std::min<uint32_t>(Project.Height, INT32_MAX));
  FrameBitmap.Clear();
  FrameBitmap.SetSize(width, height);
  // The frames before the first source event show the background, not fresh white paper.
  FrameBitmap.Fill(ColorToPixel(static_cast<uint32_t>(Project.BackColor)));
  MasterBitmap.Clear();
  FrameDuration = 1000.0 / Project.FPS;
  CurrentTime = 0;
  FrameIndex = 0;
  SeekFlag = 0;

  CopyGraphicLayers(Project.GraphicLayers, RenderLayers);
  MasterLayer = nullptr;
  uint32_t lastEnd = 0;
  for (int i = 0; i < RenderLayers.Count(); ++i) {
    TRenderLayer& layer = *RenderLayers[i];
    CollectSources(*Project.GraphicLayers[i], layer.MergedSources);
    if (!MasterLayer && (layer.Name == kMasterLayerNameJa || layer.Name == kMasterLayerNameEn))
      MasterLayer = &layer;
    layer.MergedSources.SortByTime();
    layer.MergedSources.Cursor = 0;
    // The latest end of any source event, not the end of the last one to start: a long
    // early event must not be cut short by a shorter later one.
    for (TEvent* e : layer.MergedSources)
      lastEnd = std::max(lastEnd, e->EndTime);
  }
  FrameCount = static_cast<uint32_t>(ClampInt64(Round(static_cast<double>(lastEnd) / FrameDuration), 0,
                                                std::numeric_limits<uint32_t>::max()));
  ImageCache.Clear();
  TextCache.clear();
  MovieCache.clear();
  inSession_ = true;
  if (FrameCount == 0) {
    FinishSession();
    return false;
  }
  return true;
}

void TVexaStudio::SeekFrame(uint32_t n) {
  if (n >= FrameCount) return;
  CurrentTime = n * FrameDuration;
  FrameIndex = n;
  SeekFlag = 1;
}

void TVexaStudio::FinishSession() {
  // The layers borrow their events: deleting them frees only the working copies.
  DeleteAllGraphicLayers(RenderLayers);
  MasterLayer = nullptr;
  snapshot_.clear();
  MovieCache.clear();
  ImageCache.Clear();
  TextCache.clear();
  FrameBitmap.Clear();
  MasterBitmap.Clear();
  FrameIndex = 0;
  FrameCount = 0;
  CurrentTime = 0;
  SeekFlag = 0;
  inSession_ = false;
}

std::string TVexaStudio::TextCacheKey(const TEvent* event) {
  return std::to_string(reinterpret_cast<uintptr_t>(event));
}

int TVexaStudio::EventActivity(TEventRefList& list) {
  if (list.Empty()) return activity::Empty;
  TEvent* e = list.Current();
  if (!e) return activity::PassedLast;  // a cursor past the end sees nothing more
  // Times compare as unsigned 32-bit values against the 64-bit rounded clock.
  if (int64_t{e->StartTime} > Round(CurrentTime)) return activity::NotStarted;
  if (Round(CurrentTime + FrameDuration) <= int64_t{e->EndTime}) return activity::Active;
  if (e->EventType == kind::Text) TextCache.erase(TextCacheKey(e));
  return list.Cursor >= list.Count() - 1 ? activity::PassedLast : activity::PassedMoreFollow;
}

TEvent* TVexaStudio::WalkList(TEventRefList& list) {
  if (SeekFlag) list.Cursor = 0;
  for (;;) {
    switch (EventActivity(list)) {
      case activity::PassedMoreFollow:
        ++list.Cursor;
        list.CursorLoaded = false;
        continue;
      case activity::Active:
        return list.Current();
      default:
        list.CursorLoaded = false;
        return nullptr;
    }
  }
}

int32_t SourceBlendMode(const TEvent* event) {
  if (!event) return -1;
  switch (event->EventType) {
    case kind::Text:
      return static_cast<const TGraphicSourceTextEvent*>(event)->BlendMode;
    case kind::Image:
      return static_cast<const TGraphicSourceImageEvent*>(event)->BlendMode;
    case kind::Movie:
      return static_cast<const TGraphicSourceMovieEvent*>(event)->BlendMode;
    case kind::Master:
      return static_cast<const TGraphicSourceMasterEvent*>(event)->BlendMode;
    default:
      return -1;
  }
}

}  // namespace vexa
