#include "ui/dialog_services.h"

#include "preview/form_preview.h"
#include "render/studio.h"
#include "ui/form_movie_select.h"
#include "ui/form_sound_select.h"
#include "ui/logic/range_select.h"
#include "ui/logic/range_selectors.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"
#include "ui/selector_playback.h"

namespace vexa::ui {

void TQtDialogUi::Message(std::string_view text) {
  ShowMessage(parent_, text);
}

bool TQtDialogUi::Confirm(std::string_view text) {
  return AskYesNo(parent_, text);
}

void TQtDialogUi::RunSoundSelector(TSoundRangeSelector& selector) {
  TForm_SoundSource_Select window(selector, parent_);
  if (auto* playback = dynamic_cast<TSelectorPlayback*>(&selector.Playback())) {
    QObject::connect(playback, &TSelectorPlayback::Ended, &window, &TForm_SoundSource_Select::PlaybackEnded);
    QObject::connect(playback, &TSelectorPlayback::Notice, &window,
                     [&window](const QString& text) { ShowMessage(&window, Utf8(text)); });
  }
  window.exec();
}

void TQtDialogUi::RunMovieSelector(TMovieRangeSelector& selector) {
  const auto* frames = dynamic_cast<const TReaderMovieFrames*>(&selector.Frames());
  TForm_GraphicSource_Movie_Select window(selector, frames ? &frames->Picture() : nullptr, parent_);
  window.exec();
}

TDialogServices::TDialogServices(std::function<TPreviewFormat()> format, std::vector<std::string> samples)
    : format_(std::move(format)),
      samples_(std::move(samples)),
      media_([this]() -> std::unique_ptr<TSoundPlayback> {
        if (NewPlayback) return NewPlayback();
        return std::make_unique<TSelectorPlayback>();
      }) {}

TDialogServices::~TDialogServices() = default;

void MoveLayers(TProject& from, TProject& to) {
  while (!from.GraphicLayers.Empty())
    to.GraphicLayers.Insert(-1, from.GraphicLayers.Extract(0));
  while (!from.SoundLayers.Empty())
    to.SoundLayers.Insert(-1, from.SoundLayers.Extract(0));
}

// The event as the dialog shows it, moved to the start, with its companions, in an engine of
// its own that lives as long as the preview window is open.
void TDialogServices::Preview(const TEventForm& form, QWidget* dialog) {
  const TPreviewFormat format = format_ ? format_() : TPreviewFormat{};
  std::unique_ptr<TProject> project = BuildPreviewProject(form, format, samples_);
  if (!project) return;
  auto engine = std::make_unique<TVexaStudio>();
  TProject& p = engine->Project;
  p.Width = project->Width;
  p.Height = project->Height;
  p.FPS = project->FPS;
  p.BackColor = project->BackColor;
  MoveLayers(*project, p);
  TForm_Preview window(dialog);
  window.ShowMessage = [&window](const std::string& text) { ShowMessage(&window, text); };
  window.Play(*engine, UseOpenGL, PreviewSetup);
}

void TDialogServices::SelectSampleRange(TEventForm& form, QWidget* dialog) {
  TQtDialogUi ui(dialog);
  SampleSelectClick(form, ui, media_);
}

void TDialogServices::SelectFrameRange(TEventForm& form, QWidget* dialog) {
  TQtDialogUi ui(dialog);
  FrameSelectClick(form, ui, media_);
}

}  // namespace vexa::ui
