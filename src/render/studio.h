// The render engine: holds the open project and turns it into frames.
//
// A session runs PrepareSession, optionally SeekFrame, ComposeFrame once per frame and
// FinishSession. Rendering is incremental (a layer picture is rebuilt only when its source or an
// effect changed, a frame is recomposed only when some layer's appearance changed), and the
// result of every frame is the same as that of a fresh session seeked to it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "model/project.h"
#include "render/image_cache.h"
#include "render/movie_reader.h"
#include "render/render_layer.h"
#include "render/render_pass.h"

namespace vexa {

// Codes of EventActivity.
namespace activity {
inline constexpr int Active = 0, NotStarted = 1, PassedMoreFollow = 2, PassedLast = 3, Empty = 4;
}

class TVexaStudio {
 public:
  TVexaStudio() = default;
  ~TVexaStudio() { FinishSession(); }
  TVexaStudio(const TVexaStudio&) = delete;
  TVexaStudio& operator=(const TVexaStudio&) = delete;

  TProject Project;

  // --- session fields ---
  TABitmap FrameBitmap;   // the composed frame, Width x Height
  TABitmap MasterBitmap;  // copy of the composite the master layer starts from
  std::map<std::string, std::unique_ptr<TMovieReader>> MovieCache;
  TImageCache ImageCache;
  std::map<std::string, TABitmap> TextCache;  // keyed by TextCacheKey of the event
  TLayerList<TRenderLayer> RenderLayers;      // first = bottom layer
  TRenderLayer* MasterLayer = nullptr;
  uint32_t FrameIndex = 0;
  uint32_t FrameCount = 0;
  double CurrentTime = 0;
  double FrameDuration = 0;
  uint8_t SeekFlag = 0;

  // Free physical memory; LoadPictureFile empties ImageCache when it is below 20 MiB.
  uint64_t (*AvailableMemory)() = &SystemAvailableMemory;
  static constexpr uint64_t kLowMemory = 0x1400000;
  // Where RenderLayer finds the code of an effect kind (tests put their own effects here).
  TEffectFn (*EffectLookup)(int32_t code) = &FindEffectHandler;

  // Starts a session; false (and no session) when the project has nothing to render.
  bool PrepareSession();
  // Moves the clock to frame n (ignored when n >= FrameCount) and makes every layer rebuild.
  void SeekFrame(uint32_t n);
  // Renders and composes frame FrameIndex into FrameBitmap, then steps the clock.
  void ComposeFrame();
  // Frees everything PrepareSession made. Harmless without a session.
  void FinishSession();
  bool InSession() const { return inSession_; }

  // Produces the layer's picture and placement for the current frame.
  void RenderLayer(TRenderLayer& layer, bool force, bool secondPass);
  // Classifies the list's current event against the current frame (codes in `activity`).
  int EventActivity(TEventRefList& list);
  // The cursor walk: the list's active event for this frame, or nullptr.
  TEvent* WalkList(TEventRefList& list);

  // Puts the picture of a file into target; false when the file is missing (target filled
  // black, opaque) or of a kind no decoder reads (target untouched). A damaged file throws
  // TBitmapError and leaves target untouched.
  bool LoadPictureFile(const std::string& fileName, TABitmap& target);

  static std::string TextCacheKey(const TEvent* event);

 private:
  void RenderLayerPass(TRenderLayer& layer, TPassLocals& pass);
  void NoteAppearance(TRenderLayer& layer);
  void DrawLayer(TRenderLayer& layer);
  void ComposeMaster(bool recomposed);

  bool inSession_ = false;
  std::vector<TRenderLayer*> snapshot_;
};

// The BlendMode of a source event;
// -1 for an event that is no source.
int32_t SourceBlendMode(const TEvent* event);

}  // namespace vexa
