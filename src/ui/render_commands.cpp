#include "ui/render_commands.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <exception>
#include <thread>

#include "model/output_guard.h"
#include "render/media_check.h"
#include "render/movie_render_command.h"
#include "render/studio.h"
#include "sound/render_sound.h"
#include "sound/sound_render_command.h"
#include "ui/codec_dialog.h"
#include "ui/file_dialog.h"
#include "ui/form_render_graphic.h"
#include "ui/logic/media_findings_text.h"
#include "ui/logic/movie_render_name.h"
#include "ui/movie_settings_dialog.h"
#include "ui/message_box.h"
#include "ui/qt_text.h"

namespace vexa::ui {
namespace {

// The main window takes no input and shows the busy cursor for the lifetime of the object.
class TBusyWindow {
 public:
  explicit TBusyWindow(QWidget* window) : window_(window) {
    if (!window_) return;
    window_->setEnabled(false);
    window_->setCursor(Qt::WaitCursor);
  }
  ~TBusyWindow() {
    if (!window_) return;
    window_->unsetCursor();
    window_->setEnabled(true);
  }
  TBusyWindow(const TBusyWindow&) = delete;
  TBusyWindow& operator=(const TBusyWindow&) = delete;

 private:
  QWidget* window_;
};

// Runs work on a thread of its own while the user interface thread goes on handling events
// (repainting, the progress window, a dialog the work asks for). An error of the work is
// raised again here.
void RunOnWorker(const std::function<void()>& work) {
  QEventLoop loop;
  std::exception_ptr error;
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      error = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  if (error) std::rethrow_exception(error);
}

void CentreOver(QWidget* window, QWidget* over) {
  window->adjustSize();
  const QRect area = over ? over->frameGeometry() : QGuiApplication::primaryScreen()->availableGeometry();
  window->move(area.center() - window->rect().center());
}

}  // namespace

std::string GraphicRenderReport(const TGraphicRenderOutcome& outcome) {
  std::string text = outcome.Message;
  // A failure that was not the user's choice says why.
  const bool userCancelled = outcome.Status == TGraphicRenderStatus::OpenFailed && outcome.ErrorCode == kAviCancelled;
  if (!outcome.Written() && !userCancelled && !outcome.Detail.empty()) text += "\n" + outcome.Detail;
  return text;
}

// The render under the progress window, on a worker thread; mainWindow takes no input meanwhile.
void RunWithProgress(QWidget* mainWindow, const std::function<void(TRenderProgress&)>& render) {
  TRenderProgress progress;
  // A window of its own: the disabled main window must not take its children with it.
  TForm_Render_Graphic window(progress, nullptr);
  TBusyWindow busy(mainWindow);

  // The window appears once the first frame is on its way (after the codec choice, or the
  // sound mix of a movie).
  QTimer showWhenStarted;
  showWhenStarted.setInterval(20);
  QObject::connect(&showWhenStarted, &QTimer::timeout, &window, [&] {
    if (!progress.HasStarted()) return;
    showWhenStarted.stop();
    if (progress.StopRequested()) return;
    CentreOver(&window, mainWindow);
    window.show();
    window.raise();
    window.activateWindow();
  });
  showWhenStarted.start();
  RunOnWorker([&] { render(progress); });
  showWhenStarted.stop();
  window.hide();
}

TGraphicRenderOutcome RunGraphicRenderWithProgress(QWidget* mainWindow, TVexaStudio& studio,
                                                   const std::string& chosen, TCodecChoice& choice) {
  TGraphicRenderOutcome outcome;
  RunWithProgress(mainWindow,
                  [&](TRenderProgress& progress) { outcome = RunGraphicRenderCommand(studio, chosen, choice, &progress); });
  return outcome;
}

bool ReadyToRender(QWidget* mainWindow, const TProject& project, const std::string& output, TMediaCheckScope scope) {
  if (const auto input = InputAtOutput(project, output)) {
    ShowError(mainWindow, std::string(kMsgOutputIsInput) + "\n" + OutputIsInputDetail(output, *input));
    return false;
  }
  std::vector<TMediaFinding> findings;
  {
    // Pictures are decoded to check them: a large project takes a moment.
    TBusyWindow busy(mainWindow);
    RunOnWorker([&] { findings = CheckProjectMedia(project, scope); });
  }
  if (findings.empty()) return true;
  const TMediaFindingsText text = MediaFindingsText(findings);
  return AskToContinue(mainWindow, text.Text, text.Details);
}

void RunGraphicRenderCommandUi(QWidget* mainWindow, TVexaStudio& studio) {
  const auto chosen = ChooseSaveFile(
      mainWindow, {"グラフィックのレンダリング", "AVIファイル(*.avi)|*.avi", "SaveDialog_Render_Graphic"},
      ProposedRenderFile(studio.Project.FileName, ".avi"));
  if (!chosen) return;
  if (!ReadyToRender(mainWindow, studio.Project, GraphicRenderFileName(*chosen), {true, false})) return;
  TCodecDialogChoice choice(mainWindow ? static_cast<QObject*>(mainWindow) : qApp);
  const TGraphicRenderOutcome outcome = RunGraphicRenderWithProgress(mainWindow, studio, *chosen, choice);
  ShowMessage(mainWindow, GraphicRenderReport(outcome));
}

void RunSoundRenderCommandUi(QWidget* mainWindow, const TProject& project) {
  const auto chosen = ChooseSaveFile(mainWindow, {kSoundRenderTitle, kSoundRenderFilter, "SaveDialog_Render_Sound"},
                                     ProposedRenderFile(project.FileName, ".wav"));
  if (!chosen) return;
  if (!ReadyToRender(mainWindow, project, SoundRenderFileName(*chosen), {false, true})) return;
  TSoundRenderOutcome outcome;
  {
    TBusyWindow busy(mainWindow);
    RunOnWorker([&] { outcome = RunSoundRenderCommand(project, *chosen); });
  }
  if (outcome.Written || outcome.Detail.empty())
    ShowMessage(mainWindow, outcome.Message);
  else
    ShowMessage(mainWindow, outcome.Message + "\n" + outcome.Detail);
}

void RunMovieRenderCommandUi(QWidget* mainWindow, TVexaStudio& studio) {
  const auto chosen = ChooseSaveFile(
      mainWindow, {movie_render_text::kSaveTitle, movie_render_text::kFilter, "SaveDialog_Render_Movie"},
      ProposedRenderFile(studio.Project.FileName, ".mp4"));
  if (!chosen) return;
  const std::string file = MovieRenderFileName(*chosen);
  if (!ReadyToRender(mainWindow, studio.Project, file, {true, true})) return;
  TForm_MovieSettings settings(*MovieContainerOf(file), mainWindow);
  if (settings.exec() != QDialog::Accepted) return;

  TMovieRenderRequest request;
  request.FileName = file;
  request.Video = settings.Settings();
  const TProject& project = studio.Project;
  TMovieRenderOutcome outcome;
  // The sound is mixed first, under the busy cursor; the progress window shows with the frames.
  request.MixSound = [&project](std::vector<int16_t>& mix) {
    return MixProjectSound(project, mix) == TSoundRenderResult::Written;
  };
  RunWithProgress(mainWindow,
                  [&](TRenderProgress& progress) { outcome = RunMovieRenderCommand(studio, request, &progress); });
  ShowMessage(mainWindow, GraphicRenderReport(outcome));
}

}  // namespace vexa::ui
