#include "render/source_movie.h"

#include <algorithm>
#include <filesystem>

#include "media/avi_reader.h"
#include "render/interpolation.h"
#include "render/numeric.h"
#include "render/studio.h"

namespace vexa {
namespace {

class TMovieFileReader final : public TMovieReader {
 public:
  explicit TMovieFileReader(TABitmap* target) : reader_(target) {}
  int32_t Open(const std::string& fileName) { return reader_.Open(fileName); }
  uint32_t LastFrame() const override { return reader_.LastFrame(); }
  double FrameRate() const override { return reader_.FrameRate(); }
  int32_t Width() const override { return reader_.Width(); }
  int32_t Height() const override { return reader_.Height(); }
  void SetTarget(TABitmap* target) override { reader_.SetTarget(target); }
  bool ReadFrame(uint32_t frame) override { return reader_.ReadFrame(frame); }

 private:
  TAVIReader reader_;
};

// The movie frame state of the layer's MergedSources.
struct TMovieState : TEffectState {
  double MovieFrame = 0;
  double MovieStep = 0;
  int64_t PrevMovieFrame = 0;
};

}  // namespace

std::unique_ptr<TMovieReader> OpenMovieReader(const std::string& fileName, TABitmap* target) {
  auto reader = std::make_unique<TMovieFileReader>(target);
  if (reader->Open(fileName) != 0) return nullptr;
  return reader;
}

TSourceResult RunMovieSource(TSourcePass& p) {
  const auto* event = EventAs<TGraphicSourceMovieEvent>(&p.Event);
  TRenderLayer& layer = p.Layer;
  std::error_code ec;
  if (!event || !std::filesystem::is_regular_file(std::filesystem::path(event->FileName), ec)) {
    layer.SourceActive = 0;
    return TSourceResult::EndLayer;
  }

  // One shared reader per file, pointed at the layer being rendered.
  TMovieReader* reader = nullptr;
  if (auto it = p.Studio.MovieCache.find(event->FileName); it != p.Studio.MovieCache.end()) {
    reader = it->second.get();
    reader->SetTarget(&layer.WorkBitmap);
  } else {
    std::unique_ptr<TMovieReader> opened = OpenMovieReader(event->FileName, &layer.WorkBitmap);
    if (!opened) {
      layer.SourceActive = 0;
      return TSourceResult::EndLayer;
    }
    reader = opened.get();
    p.Studio.MovieCache.emplace(event->FileName, std::move(opened));
  }

  TEventRefList& list = p.Layer.MergedSources;
  TMovieState* state = dynamic_cast<TMovieState*>(list.EffectState.get());
  const bool seeking = p.Studio.SeekFlag != 0;
  bool newFrame = false;
  if (!state || !list.CursorLoaded || seeking) {
    if (!state) {
      auto fresh = std::make_unique<TMovieState>();
      state = fresh.get();
      list.EffectState = std::move(fresh);
    }
    double first = 0, last = 0;
    if (event->FrameAppointMode == 1) {
      // Milliseconds into the movie, not limited to its length.
      const double frameMs = 1000.0 / reader->FrameRate();
      first = static_cast<double>(Round(event->StartFrame / frameMs));
      last = static_cast<double>(Round(event->EndFrame / frameMs));
    } else {
      // Frame numbers, compared as unsigned: EndFrame 2147483647 means the last frame.
      first = std::min(event->StartFrame, reader->LastFrame());
      last = std::min(event->EndFrame, reader->LastFrame());
    }
    const TInterpolationStart start =
        MakeInterpolationStart(p.Event, p.Studio.CurrentTime, p.Studio.FrameDuration, seeking);
    TInterpolated v;
    start.Init(v, first, last);
    state->MovieFrame = v.Value;
    state->MovieStep = v.Step;
    state->PrevMovieFrame = Round(v.Value);
    list.CursorLoaded = true;
    newFrame = true;
  } else {
    if (!p.Pass.SecondPass) {
      state->PrevMovieFrame = Round(state->MovieFrame);
      state->MovieFrame += state->MovieStep;
    }
    newFrame = Round(state->MovieFrame) != state->PrevMovieFrame;
  }
  layer.SourceActive = 1;

  p.Pass.PictureValid = newFrame;
  if (newFrame) {
    layer.WorkBitmap.SetSize(reader->Width(), reader->Height());
    // A frame number outside the movie is not read; the picture keeps its old pixels.
    const int64_t n = Round(state->MovieFrame);
    if (n >= 0 && n <= int64_t{UINT32_MAX}) reader->ReadFrame(static_cast<uint32_t>(n));
    layer.WorkBitmap.Force32Bit();
    layer.PictureChanged = 1;
    p.Pass.Force = true;
  }
  return TSourceResult::Continue;
}

}  // namespace vexa
