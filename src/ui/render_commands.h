// The two items of the render menu. Each asks for a file name, keeps the main window from
// taking input and shows the busy cursor while the render runs on a worker thread (the
// windows keep repainting), and reports the result in a message box.
#pragma once

#include <functional>
#include <string>

#include "render/graphic_render_command.h"

class QWidget;

namespace vexa {
class TVexaStudio;
struct TProject;
}

namespace vexa::ui {

// Asked with the name a render is about to write; a non-empty answer is shown as an error
// and the render does not start (an output must never replace one of the project's inputs).
using TOutputConflictCheck = std::function<std::string(const std::string& output)>;

// "グラフィック": save dialog, codec dialog, the render with its progress window, the message.
void RunGraphicRenderCommandUi(QWidget* mainWindow, TVexaStudio& studio, const TOutputConflictCheck& conflict);
// "サウンド": save dialog, the render under the busy cursor, the message.
void RunSoundRenderCommandUi(QWidget* mainWindow, const TProject& project,
                             const TOutputConflictCheck& conflict = {});

// The graphic render itself, after the file name is known: the progress window over the
// render on a worker thread, mainWindow taking no input meanwhile. choice may show a dialog
// (it is then asked on the user interface thread). An error that ends the render early is
// raised again once everything is restored.
TGraphicRenderOutcome RunGraphicRenderWithProgress(QWidget* mainWindow, TVexaStudio& studio,
                                                   const std::string& chosen, TCodecChoice& choice);

// The message that reports a graphic render.
std::string GraphicRenderReport(const TGraphicRenderOutcome& outcome);

}  // namespace vexa::ui
