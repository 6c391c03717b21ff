// Dropped files: pictures, movies and sounds become source events at the end of the shown
// layer (a new layer when none is shown), all of one drop as one step; project and layer files
// go to the commands that open them, questions included.
#include "ui/logic/file_drop.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "model/event_kinds.h"
#include "persist/case_fold.h"
#include "ui/logic/dialog_prompt.h"
#include "ui/logic/event_rows.h"
#include "ui/logic/main_actions.h"

namespace vexa {
namespace {

uint32_t Milliseconds(double ms) {
  if (!(ms >= 1)) return kDroppedPictureLength;  // nothing readable (NaN included)
  return ms >= 4294967295.0 ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(std::nearbyint(ms));
}

uint32_t AddTime(uint32_t a, uint32_t b) {
  return a > std::numeric_limits<uint32_t>::max() - b ? std::numeric_limits<uint32_t>::max() : a + b;
}

// Where the next dropped event of a layer starts: after the last source event ends.
uint32_t LayerEnd(const std::vector<TEvent*>& events) {
  uint32_t end = 0;
  for (const TEvent* e : events)
    end = std::max(end, e->EndTime);
  return end;
}

std::unique_ptr<TEvent> SourceEvent(TDroppedFile kind, const std::string& file) {
  switch (kind) {
    case TDroppedFile::Picture: {
      auto e = NewEventWithInitialValues(kind::Image);
      EventAs<TGraphicSourceImageEvent>(e.get())->FileName = file;
      return e;
    }
    case TDroppedFile::Movie: {
      auto e = NewEventWithInitialValues(kind::Movie);
      EventAs<TGraphicSourceMovieEvent>(e.get())->FileName = file;
      return e;
    }
    default: {
      auto e = NewEventWithInitialValues(kind::Sound);
      EventAs<TSoundSourceEvent>(e.get())->FileName = file;
      return e;
    }
  }
}

std::string Absolute(const std::string& file) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(file, ec);
  return ec ? file : p.lexically_normal().string();
}

}  // namespace

TDroppedFile DroppedFileKind(std::string_view path) {
  const std::string ext = FoldCase(std::filesystem::path(path).extension().string());
  if (ext == ".bmp" || ext == ".gif" || ext == ".jpg" || ext == ".jpeg" || ext == ".png") return TDroppedFile::Picture;
  if (ext == ".avi") return TDroppedFile::Movie;
  if (ext == ".wav" || ext == ".mp3" || ext == ".wma" || ext == ".ogg" || ext == ".tta" || ext == ".flac" ||
      ext == ".ape")
    return TDroppedFile::Sound;
  if (ext == main_text::kProjectExtension) return TDroppedFile::Project;
  if (ext == main_text::kGraphicLayerExtension) return TDroppedFile::GraphicLayerFile;
  if (ext == main_text::kSoundLayerExtension) return TDroppedFile::SoundLayerFile;
  return TDroppedFile::Other;
}

uint32_t DroppedFileLength(TMediaAccess& media, const std::string& path, TDroppedFile kind) {
  if (kind == TDroppedFile::Sound) {
    const TSoundFileInfo info = media.ProbeSound(path);
    if (!info.Opened || info.SampleRate == 0) return kDroppedPictureLength;
    return Milliseconds(static_cast<double>(info.TotalSamples) * 1000.0 / info.SampleRate);
  }
  if (kind == TDroppedFile::Movie) {
    std::unique_ptr<TMovieFrames> frames = media.NewMovieFrames();
    const TMovieFileInfo info = frames->Open(path);
    frames->Close();
    if (!info.Opened || !(info.FrameRate > 0) || info.LastFrame < info.FirstFrame) return kDroppedPictureLength;
    return Milliseconds(static_cast<double>(info.LastFrame - info.FirstFrame + 1) * 1000.0 / info.FrameRate);
  }
  return kDroppedPictureLength;
}

template <class L>
std::unique_ptr<TEditorCommand> TMainActions::DropSourcesCommand(const std::vector<std::string>& files,
                                                                 TMediaAccess& media) {
  constexpr TTabId tab = kTabOf<L>;
  constexpr TViewId view = tab == TTabId::Graphic ? TViewId::GraphicSources : TViewId::SoundEvents;
  if (files.empty()) return nullptr;
  L* shown = nullptr;
  if constexpr (tab == TTabId::Graphic)
    shown = doc_.ShownGraphicLayer();
  else
    shown = doc_.ShownSoundLayer();
  std::vector<std::unique_ptr<TEvent>> events;
  uint32_t start = 0;
  if constexpr (tab == TTabId::Graphic)
    start = shown ? LayerEnd(SourceViewEvents(*shown)) : 0;
  else
    start = shown ? LayerEnd(SoundViewEvents(*shown)) : 0;
  for (const std::string& file : files) {
    const TDroppedFile kind = DroppedFileKind(file);
    auto e = SourceEvent(kind, file);
    e->StartTime = start;
    e->EndTime = AddTime(start, DroppedFileLength(media, file, kind));
    start = e->EndTime;
    events.push_back(std::move(e));
  }
  const std::string text(drop_text::kStepName);
  if (shown) return std::make_unique<TInsertEventsCommand>(doc_, text, view, std::move(events), doc_.RowCount(view));

  auto layer = std::make_unique<L>();
  layer->Name = kNewLayerName + std::to_string(doc_.NewLayerCounter++);
  for (auto& e : events)
    layer->ListForKind(e->EventType)->Add(std::move(e));
  std::vector<TLayerRowTexts> rows{{layer->Name, kUnsavedFileText}};
  std::vector<std::unique_ptr<L>> layers;
  layers.push_back(std::move(layer));
  return std::make_unique<TInsertLayersCommand<L>>(doc_, text, std::move(layers), std::move(rows),
                                                   doc_.RowCount(LayerViewOf(tab)));
}

void TMainActions::DropFiles(const std::vector<std::string>& dropped, TMediaAccess& media) {
  Guard([&] {
    std::vector<std::string> pictures, sounds, graphicLayers, soundLayers, others;
    std::string project;
    for (const std::string& name : dropped) {
      const std::string file = Absolute(name);
      switch (DroppedFileKind(file)) {
        case TDroppedFile::Picture:
        case TDroppedFile::Movie:
          pictures.push_back(file);
          break;
        case TDroppedFile::Sound:
          sounds.push_back(file);
          break;
        case TDroppedFile::Project:
          // One project at a time: the first one dropped.
          if (project.empty()) project = file;
          else others.push_back(file);
          break;
        case TDroppedFile::GraphicLayerFile:
          graphicLayers.push_back(file);
          break;
        case TDroppedFile::SoundLayerFile:
          soundLayers.push_back(file);
          break;
        case TDroppedFile::Other:
          others.push_back(file);
          break;
      }
    }
    if (!project.empty()) OpenProject(project);
    if (!graphicLayers.empty()) OpenLayerFiles(TViewId::GraphicLayers, graphicLayers);
    if (!soundLayers.empty()) OpenLayerFiles(TViewId::SoundLayers, soundLayers);

    std::vector<std::unique_ptr<TEditorCommand>> parts;
    if (auto c = DropSourcesCommand<TGraphicLayer>(pictures, media)) parts.push_back(std::move(c));
    if (auto c = DropSourcesCommand<TSoundLayer>(sounds, media)) parts.push_back(std::move(c));
    if (parts.size() == 1) doc_.Execute(std::move(parts.front()));
    if (parts.size() == 2)
      doc_.Execute(std::make_unique<TCompoundCommand>(doc_, std::string(drop_text::kStepName), std::move(parts)));

    if (!others.empty()) {
      std::string text(drop_text::kNotAdded);
      for (const std::string& f : others)
        text += "\n" + f;
      prompt_.Message(text);
    }
  });
}

}  // namespace vexa
