// The items of the render menu. Each asks for a file name, refuses an output that would
// replace one of the project's files, lists the media the render cannot use, keeps the main
// window from taking input and shows the busy cursor while the render runs on a worker thread
// (the windows keep repainting), and reports the result in a message box.
#pragma once

#include <string>

#include "render/graphic_render_command.h"
#include "render/media_check.h"

class QWidget;

namespace vexa {
class TVexaStudio;
struct TProject;
}

namespace vexa::ui {

// "グラフィック": save dialog, the check of the output and of the project's media, codec
// dialog, the render with its progress window, the message.
void RunGraphicRenderCommandUi(QWidget* mainWindow, TVexaStudio& studio);
// "サウンド": save dialog, the same checks, the render under the busy cursor, the message.
void RunSoundRenderCommandUi(QWidget* mainWindow, const TProject& project);
// "動画（サウンド付き）": save dialog (MP4, Matroska, QuickTime), the same checks, codec and
// quality, the sound mix and the frames under the progress window, the message.
void RunMovieRenderCommandUi(QWidget* mainWindow, TVexaStudio& studio);

// Before a render writes output: false, after an error box, when output is one of the
// project's own files; then false when the project names files the render cannot use and the
// user cancels at the list of them (one box for all, "続行" renders what is there).
bool ReadyToRender(QWidget* mainWindow, const TProject& project, const std::string& output, TMediaCheckScope scope);

// The graphic render itself, after the file name is known: the progress window over the
// render on a worker thread, mainWindow taking no input meanwhile. choice may show a dialog
// (it is then asked on the user interface thread). An error that ends the render early is
// raised again once everything is restored.
TGraphicRenderOutcome RunGraphicRenderWithProgress(QWidget* mainWindow, TVexaStudio& studio,
                                                   const std::string& chosen, TCodecChoice& choice);

// The message that reports a graphic render.
std::string GraphicRenderReport(const TGraphicRenderOutcome& outcome);

}  // namespace vexa::ui
