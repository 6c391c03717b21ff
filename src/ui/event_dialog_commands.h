// The main window's commands that open the editing dialogs and the preview: "追加" of a kind
// (Insert in the sound event view), "編集" (Ctrl+S, a double click) and the tool bar's
// "プレビュー". The dialogs work on a form; the project changes only through the document's
// commands, so that every change can be undone.
#pragma once

#include <cstdint>

#include "ui/logic/document_notice.h"

class QWidget;

namespace vexa {
class TMainActions;
class TProjectDocument;
class TVexaStudio;
}  // namespace vexa

namespace vexa::ui {

class TDialogServices;

// The kind's dialog on a new event (its controls at their initial values); on OK the event goes
// into the view's layer at the selected row (the end without one) and becomes the one selected
// row. True on OK.
bool AddEventCommand(TProjectDocument& doc, TMainActions& actions, TViewId view, int32_t kind,
                     TDialogServices& services, QWidget* parent);

// The dialog of the view's first selected event, filled from it; on OK the event takes the
// dialog's values through one command. Its row is described again either way. True on OK;
// false also when no row is selected.
bool EditEventCommand(TProjectDocument& doc, TMainActions& actions, TViewId view, TDialogServices& services,
                      QWidget* parent);

// The project in the preview window; ctrl (the Ctrl key at the click) asks for the OpenGL
// presenter. The dialogs' previews keep the choice until the next preview of the project.
void PreviewCommand(TVexaStudio& engine, bool ctrl, TDialogServices& services, QWidget* parent);

}  // namespace vexa::ui
