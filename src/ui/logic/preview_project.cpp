#include "ui/logic/preview_project.h"

#include <cmath>

#include "model/event_kinds.h"

namespace vexa {
namespace {

template <class T>
T& Add(TGraphicLayer& layer, std::unique_ptr<T> e) {
  return static_cast<T&>(*layer.ListForKind(T::KindCode)->Add(std::move(e)));
}

// A centring position effect over [0, end]: the source shows in the middle of the frame.
void AddCentring(TGraphicLayer& layer, uint32_t end) {
  auto p = std::make_unique<TGraphicEffectPositionEvent>();
  p->EndTime = end;
  p->PositionType = 2;
  p->OriginDirection = p->StartDirection = p->EndDirection = 4;
  Add(layer, std::move(p));
}

// Sample picture i as a still image over [start, end]; nothing when the list lacks it.
void AddSample(TGraphicLayer& layer, std::span<const std::string> samples, size_t i, int32_t blend,
               uint32_t start, uint32_t end, uint32_t number = 0) {
  if (i >= samples.size()) return;
  auto e = std::make_unique<TGraphicSourceImageEvent>();
  e->StartTime = start;
  e->EndTime = end;
  e->EventNumber = number;
  e->FileName = samples[i];
  e->BlendMode = blend;
  Add(layer, std::move(e));
}

}  // namespace

TPreviewFormat PreviewFormatOf(const TProject& project) {
  return {project.Width, project.Height, project.FPS, project.BackColor};
}

std::unique_ptr<TProject> BuildPreviewProject(const TEventForm& form, const TPreviewFormat& format,
                                              std::span<const std::string> samples) {
  const int32_t kind = form.Kind();
  if (!form.Descriptor().HasPreview) return nullptr;
  auto project = std::make_unique<TProject>();
  project->Width = format.Width;
  project->Height = format.Height;
  project->FPS = format.FPS;
  project->BackColor = format.BackColor;
  TGraphicLayer& layer = *NewGraphicLayer(project->GraphicLayers, -1);

  // The event as OK would write it, moved to the start of the project. An end before the
  // start gives length 0 rather than a length that wraps round to 49 days.
  std::unique_ptr<TEvent> copy = NewEvent(kind);
  form.WriteEvent(*copy);
  copy->EndTime = copy->EndTime >= copy->StartTime ? copy->EndTime - copy->StartTime : 0;
  copy->StartTime = 0;
  const uint32_t end = copy->EndTime;

  const TKindInfo& info = *KindInfo(kind);
  if (info.Class == TKindClass::Sound) {
    NewSoundLayer(project->SoundLayers, -1)->Events.Add(std::move(copy));
    auto text = std::make_unique<TGraphicSourceTextEvent>();
    text->EndTime = end;
    text->Text = std::string(kSoundOnlyText);
    text->BlendMode = 1;
    text->Font.Name = "ＭＳ Ｐゴシック";
    text->Font.Size = 30;
    text->Font.Align = 1;
    Add(layer, std::move(text));
    AddCentring(layer, end);
    return project;
  }
  if (info.Class == TKindClass::Source) {
    layer.ListForKind(kind)->Add(std::move(copy));
    AddCentring(layer, end);
    return project;
  }
  switch (kind) {
    case kind::Rotate:
      AddSample(layer, samples, 0, 0, 0, end);
      break;
    case kind::Fade: {
      AddSample(layer, samples, 1, 0, 0, end);
      TGraphicLayer& top = *NewGraphicLayer(project->GraphicLayers, -1);
      AddSample(top, samples, 2, 1, 0, end);
      top.ListForKind(kind)->Add(std::move(copy));
      return project;
    }
    case kind::Transition: {
      // One frame of picture A, then the transition to picture B.
      const uint32_t f = format.FPS ? static_cast<uint32_t>(std::nearbyint(1000.0 / format.FPS)) : 0;
      copy->StartTime = f + 1;
      AddSample(layer, samples, 1, 1, 0, f + 1, 0);
      AddSample(layer, samples, 2, 1, f + 2, end, 1);
      break;
    }
    default:
      AddSample(layer, samples, 0, 1, 0, end);
      break;
  }
  layer.ListForKind(kind)->Add(std::move(copy));
  return project;
}

}  // namespace vexa
