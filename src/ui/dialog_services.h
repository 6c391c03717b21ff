// What the editing dialogs get from the program around them: the preview of the edited event
// (through the preview window, with the main window's last choice of presenter), the range
// selectors on real files with the sound device, and message boxes.
#pragma once

#include <QObject>
#include <functional>
#include <span>
#include <memory>
#include <string>
#include <vector>

#include "preview/preview_thread.h"
#include "ui/event_dialog.h"
#include "ui/logic/dialog_prompt.h"
#include "ui/logic/file_media_access.h"
#include "ui/logic/preview_project.h"

namespace vexa::ui {

// Message boxes and the two selector windows, on a parent window.
class TQtDialogUi final : public TDialogUi {
 public:
  explicit TQtDialogUi(QWidget* parent) : parent_(parent) {}
  void Message(std::string_view text) override;
  bool Confirm(std::string_view text) override;
  void RunSoundSelector(TSoundRangeSelector& selector) override;
  void RunMovieSelector(TMovieRangeSelector& selector) override;

 private:
  QWidget* parent_;
};

class TDialogServices final : public TEventDialogHost {
 public:
  // format: the open project's picture format at the moment of a preview; samples: the sample
  // pictures the effect previews put under the effect.
  TDialogServices(std::function<TPreviewFormat()> format, std::vector<std::string> samples);
  ~TDialogServices() override;

  // The presenter of the last preview the main window opened (Ctrl: OpenGL); the dialogs'
  // previews use it as it is.
  bool UseOpenGL = false;
  // How the previews run (tests put their own sound render here).
  TPreviewSetup PreviewSetup;
  // Makes the selector's sound output (tests keep a hand on it).
  std::function<std::unique_ptr<TSoundPlayback>()> NewPlayback;

  void Preview(const TEventForm& form, QWidget* dialog) override;
  void SelectSampleRange(TEventForm& form, QWidget* dialog) override;
  void SelectFrameRange(TEventForm& form, QWidget* dialog) override;

  std::span<const std::string> Samples() const { return samples_; }

 private:
  std::function<TPreviewFormat()> format_;
  std::vector<std::string> samples_;
  TFileMediaAccess media_;
};

// Moves every layer of from into to (a project cannot be moved whole).
void MoveLayers(TProject& from, TProject& to);

}  // namespace vexa::ui
