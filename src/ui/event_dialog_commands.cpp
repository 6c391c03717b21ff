#include "ui/event_dialog_commands.h"

#include "model/event_kinds.h"
#include "preview/form_preview.h"
#include "render/studio.h"
#include "ui/dialog_services.h"
#include "ui/event_dialog.h"
#include "ui/logic/dialog_descriptor.h"
#include "ui/logic/event_form.h"
#include "ui/logic/main_actions.h"
#include "ui/logic/project_document.h"
#include "ui/message_box.h"

namespace vexa::ui {
namespace {

// The layer order dialog lists the graphic layers as their view shows them.
void GiveLayerNames(const TProjectDocument& doc, TEventForm& form) {
  std::vector<std::string> names;
  for (const TLayerRow& row : doc.LayerRows(TTabId::Graphic).Rows())
    names.push_back(row.Caption);
  form.SetLayerNames(std::move(names));
}

}  // namespace

bool AddEventCommand(TProjectDocument& doc, TMainActions& actions, TViewId view, int32_t kind,
                     TDialogServices& services, QWidget* parent) {
  const TDialogDescriptor* d = DialogOf(kind);
  if (!d || !doc.Selection(view).Enabled()) return false;
  TEventForm form(*d);
  GiveLayerNames(doc, form);
  if (!RunEventDialog(form, services, parent)) return false;  // the new event is dropped
  std::unique_ptr<TEvent> event = NewEvent(kind);
  form.WriteEvent(*event);
  actions.AddEvent(view, std::move(event));
  return true;
}

bool EditEventCommand(TProjectDocument& doc, TMainActions& actions, TViewId view, TDialogServices& services,
                      QWidget* parent) {
  const std::vector<TEvent*> selected = doc.SelectedEvents(view);
  if (selected.empty()) return false;
  TEvent& event = *selected.front();
  const TDialogDescriptor* d = DialogOf(event.EventType);
  if (!d) return false;
  TEventForm form(*d);
  GiveLayerNames(doc, form);
  form.LoadEvent(event);
  const bool ok = RunEventDialog(form, services, parent);
  if (ok) {
    // The edited values on a copy; the command puts them into the event and can put them back.
    std::unique_ptr<TEvent> edited = CopyEvent(event);
    form.WriteEvent(*edited);
    actions.EditEvent(view, *edited);
  }
  TEvent* const rows[] = {&event};
  doc.RefreshEvents(rows);
  return ok;
}

void PreviewCommand(TVexaStudio& engine, bool ctrl, TDialogServices& services, QWidget* parent) {
  services.UseOpenGL = ctrl;
  TForm_Preview window(parent);
  window.ShowMessage = [&window](const std::string& text) { ShowMessage(&window, text); };
  window.Play(engine, ctrl);
}

}  // namespace vexa::ui
