// The open project as the main window shows it: the project itself (borrowed from the render
// engine that holds it), the rows of the five list views with their selections, the program's
// clipboards and new-layer counter, and the observers that hear of every change.
//
// The views read the rows and forward the user's selection here; every change to the project
// goes through a command (editor_command.h), which changes the project and the rows together
// through the editing calls below, so that rows and project never drift apart.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "model/project.h"
#include "ui/logic/document_notice.h"
#include "ui/logic/editor_clipboards.h"
#include "ui/logic/editor_command.h"
#include "ui/logic/row_model.h"

namespace vexa {

inline const std::string kApplicationTitle = "Vexa Studio";
inline const std::string kNewLayerName = "新規レイヤー";
inline const std::string kUnsavedFileText = "**未保存**";
inline const std::string kPastedLayerCaption = " のコピー";

class TProjectDocument {
 public:
  explicit TProjectDocument(TProject& project);
  ~TProjectDocument();
  TProjectDocument(const TProjectDocument&) = delete;
  TProjectDocument& operator=(const TProjectDocument&) = delete;

  TProject& Project() { return project_; }
  const TProject& Project() const { return project_; }

  // ---- rows ----
  const TLayerRowModel& LayerRows(TTabId tab) const { return layerRows_[Index(tab)]; }
  const TEventRowModel& EventRows(TViewId view) const { return eventRows_[EventIndex(view)]; }
  const TRowSelection& Selection(TViewId view) const;
  int RowCount(TViewId view) const;
  // The layer the event views of a tab show: the single selected layer, or nullptr.
  TGraphicLayer* ShownGraphicLayer() const { return shownGraphic_; }
  TSoundLayer* ShownSoundLayer() const { return shownSound_; }
  // The list of the shown layer that holds events of this kind, or nullptr.
  TEventList* ShownListFor(TViewId view, int32_t kindCode) const;
  // The events of the view's selected rows, in row order.
  std::vector<TEvent*> SelectedEvents(TViewId view) const;

  // ---- the user's selection (no change to the project, no command) ----
  // Selecting exactly one layer fills its event views; any other layer selection empties and
  // disables them.
  void SetSelection(TViewId view, std::span<const int> rows, int focused);
  void SetFocused(TViewId view, int row);

  // ---- observers ----
  void AddObserver(TDocumentObserver& observer);
  void RemoveObserver(TDocumentObserver& observer);

  // ---- what belongs to the program rather than the project ----
  TEditorClipboards& Clipboards() { return clipboards_; }
  const TEditorClipboards& Clipboards() const { return clipboards_; }
  // "新規レイヤー" + this number names the next new layer; shared by both kinds, never reset.
  uint32_t NewLayerCounter = 1;

  // "Vexa Studio", then " - " and the project name once a project was opened or its settings set.
  // With unsaved changes a "*" stands before the name (before the title while there is none).
  std::string WindowCaption() const;
  void ShowProjectNameInCaption();
  bool NameInCaption() const { return captionNamed_; }

  // ---- commands ----
  // Runs a command: through the sink when the editor set one (it does the command and keeps it
  // for undo), otherwise through the built-in history.
  void Execute(std::unique_ptr<TEditorCommand> command);
  void SetCommandSink(std::function<void(std::unique_ptr<TEditorCommand>)> sink) { sink_ = std::move(sink); }
  TCommandHistory& History() { return history_; }

  // ---- unsaved changes ----
  // Every command done or undone puts the project into a state of its own; a save notes the
  // state its files hold. Modified while the project is in any other state. Changes of the
  // flag are told as ModifiedChanged.
  uint64_t State() const { return state_; }
  bool IsModified() const { return state_ != savedState_; }
  // The project's files now hold what the project holds.
  void MarkSaved();
  // No file of the user holds the project as it is (a recovered project).
  void MarkUnsaved();
  // For the commands: a state never used before, and the state the project is now in.
  uint64_t NewState() { return ++lastState_; }
  void EnterState(uint64_t state);

  // ---- editing calls of the commands and file sequences: rows follow, notices go out ----
  void Notify(TDocumentNotice notice);
  void BeginBatch();
  void EndBatch();
  void NotifyClipboard() { Notify({TNoticeKind::ClipboardChanged}); }
  void NotifySettings() { Notify({TNoticeKind::SettingsChanged}); }

  // Event rows: insert described rows at index (clamped), remove rows (ascending), describe
  // row again, reorder (new row i = old row order[i]), number the events by row.
  void InsertEventRows(TViewId view, int index, std::span<TEvent* const> events);
  void RemoveEventRows(TViewId view, std::span<const int> ascending);
  void RefreshEventRow(TViewId view, int row);
  void RefreshEvents(std::span<TEvent* const> events);
  void ReorderEventRows(TViewId view, std::span<const int> order);
  void RenumberEvents(TViewId view);
  // Fills the view again from the shown layer; the selected events stay selected.
  void RefillEventView(TViewId view);
  void RefillEventViews(TTabId tab);

  void InsertLayerRows(TTabId tab, int index, std::vector<TLayerRow> rows);
  void RemoveLayerRows(TTabId tab, std::span<const int> ascending);
  void SetLayerRowTexts(TTabId tab, int row, std::string caption, std::string fileText);
  void ReorderLayerRows(TTabId tab, std::span<const int> order);
  // The row of a layer, or -1.
  int LayerRowOf(const void* layer) const;

  // Selection set by a command (same rules as SetSelection).
  void SelectRows(TViewId view, std::span<const int> rows, int focused);

  // The rows, selections and focus of all five views and the event numbers of every layer;
  // views and layers unchanged since the last snapshot share its records, so a history of many
  // commands keeps one copy of a large untouched view or layer.
  TSnapshot Snapshot() const;
  void Restore(const TSnapshot& snapshot);

  // After another project was put into Project(): empties the event views, fills the layer
  // views (caption = name, file column = file name without folder), forgets the undo history.
  void ProjectReplaced();
  // Takes the settings, file name and layers of a project read elsewhere into Project() in
  // place of its own, then ProjectReplaced. `loaded` is left without layers.
  void AdoptProject(TProject& loaded);

 private:
  static size_t Index(TTabId t) { return t == TTabId::Graphic ? 0 : 1; }
  static size_t EventIndex(TViewId v);
  // Every change of a view's rows or selection passes here and counts as a new version.
  TLayerRowModel& MutableLayers(TTabId t) {
    ++versions_[static_cast<size_t>(LayerViewOf(t))];
    return layerRows_[Index(t)];
  }
  TEventRowModel& MutableEvents(TViewId v) {
    ++versions_[static_cast<size_t>(v)];
    return eventRows_[EventIndex(v)];
  }
  std::shared_ptr<const TViewState> ViewState(TViewId view) const;
  void RestoreLayerView(const TViewState& state);
  void RestoreEventView(const TViewState& state);
  TRowSelection& MutableSelection(TViewId v) {
    if (IsLayerView(v)) return MutableLayers(TabOf(v));
    return MutableEvents(v);
  }
  void NotifyEvents(TNoticeKind kind, TViewId view, int row, int count, std::span<TEvent* const> events);
  void UpdateShownLayer(TTabId tab);
  std::vector<TEvent*> ViewEventsOfShownLayer(TViewId view) const;
  void FillEventView(TViewId view, std::span<TEvent* const> events, std::span<TEvent* const> keepSelected,
                     TEvent* keepFocused);

  TProject& project_;
  TLayerRowModel layerRows_[2];
  TEventRowModel eventRows_[3];  // graphic sources, graphic effects, sound events
  TGraphicLayer* shownGraphic_ = nullptr;
  TSoundLayer* shownSound_ = nullptr;
  std::vector<TDocumentObserver*> observers_;
  TEditorClipboards clipboards_;
  TCommandHistory history_;
  std::function<void(std::unique_ptr<TEditorCommand>)> sink_;
  uint64_t versions_[kViewCount] = {};
  mutable std::shared_ptr<const TViewState> cached_[kViewCount];
  mutable uint64_t cachedVersions_[kViewCount] = {};
  mutable std::unordered_map<const void*, std::shared_ptr<const TLayerNumbers>> cachedNumbers_;
  int batchDepth_ = 0;
  bool captionNamed_ = false;
  uint64_t lastState_ = 0, state_ = 0, savedState_ = 0;
};

// The event views of a tab.
std::span<const TViewId> EventViewsOf(TTabId tab);

}  // namespace vexa
