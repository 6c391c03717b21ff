// The commands of the main window's menus, keys and tool bar, one call each. A call asks its
// questions and file choosers through the prompt, then changes the project through one command
// (or, for saving, writes files). Every call catches the engine's errors and shows them as
// error boxes: no exception leaves it. A call whose precondition is missing (no selected row,
// no shown layer, an empty clipboard) does nothing, as a key pressed on a disabled item does.
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/logic/layer_commands.h"
#include "ui/logic/project_document.h"
#include "ui/logic/user_prompt.h"

namespace vexa {

class TMediaAccess;
class TRecentProjects;

// Texts of the main window's questions and file choosers.
namespace main_text {
inline constexpr std::string_view kConfirmDeleteEvents = "選択したイベントを削除してもよろしいですか？";
inline constexpr std::string_view kConfirmPasteTimes = "選択されたイベントの修正を開始します。よろしいですか？";
inline constexpr std::string_view kConfirmAdjustTimes = "選択したイベントの修正を開始します。よろしいですか？";
inline constexpr std::string_view kConfirmDeleteLayers = "選択したレイヤーを削除してもよろしいですか？";
inline constexpr std::string_view kConfirmOpenProject = "現在のプロジェクトは消去されます。読み込みを続行しますか？";
inline constexpr std::string_view kConfirmClose = "本当に終了してよろしいですか？";
inline constexpr std::string_view kConfirmCloseUnsaved = "保存されていない変更があります。本当に終了してよろしいですか？";
inline constexpr std::string_view kFileNotFound = "ファイルが見つかりません。";
inline constexpr std::string_view kOpenProjectTitle = "プロジェクトの読み込み";
inline constexpr std::string_view kOpenGraphicLayersTitle = "グラフィックレイヤーの読み込み";
inline constexpr std::string_view kOpenSoundLayersTitle = "サウンドレイヤーの読み込み";
inline constexpr std::string_view kSaveTitleSuffix = " の保存";
inline constexpr std::string_view kProjectFilter = "プロジェクトファイル(*.vxpj)|*.vxpj";
inline constexpr std::string_view kGraphicLayerFilter = "グラフィックレイヤーファイル(*.vxgl)|*.vxgl";
inline constexpr std::string_view kSoundLayerFilter = "サウンドレイヤーファイル(*.vxsl)|*.vxsl";
inline constexpr std::string_view kProjectExtension = ".vxpj";
inline constexpr std::string_view kGraphicLayerExtension = ".vxgl";
inline constexpr std::string_view kSoundLayerExtension = ".vxsl";
inline constexpr std::string_view kUndo = "元に戻す";
inline constexpr std::string_view kRedo = "やり直し";
inline constexpr std::string_view kRecentNone = "（なし）";
inline constexpr std::string_view kRecentMissing = "ファイルが見つからないため、最近使ったプロジェクトの一覧から外しました。";
}  // namespace main_text

// name, unless it already ends with the extension (letter case aside), followed by it.
std::string WithExtension(std::string name, std::string_view extension);

// What the menus enable for a view at this moment.
struct TMenuState {
  bool Add = false;          // event views: while the view shows a layer; layer views: always
  bool Copy = false;         // a selection
  bool Paste = false;        // the matching clipboard holds something
  bool Delete = false;       // a selection
  bool SelectAll = true;
  bool Edit = false;         // event views: a selection
  bool AdjustTimes = false;  // event views: a selection
  bool CopyTimes = false;    // event views: a selection
  bool PasteTimes = false;   // event views: a selection and copied times
  bool Sync = false;         // graphic source and sound event views: a selection
  bool Open = false;         // layer views: always
  bool Save = false;         // layer views: a selection
  bool SaveAs = false;       // layer views: a selection
};
TMenuState MenuState(const TProjectDocument& doc, TViewId view);

// The undo and redo buttons: enabled while there is a step, the tooltip naming it
// ("元に戻す: 貼り付け"; the bare caption while there is none).
struct TUndoButtons {
  bool CanUndo = false, CanRedo = false;
  std::string UndoTip, RedoTip;
};
TUndoButtons UndoButtons(const TCommandHistory& history);

class TMainActions {
 public:
  TMainActions(TProjectDocument& doc, TEditorPrompt& prompt) : doc_(doc), prompt_(prompt) {}

  // ---- event views (GraphicSources, GraphicEffects, SoundEvents) ----
  void CopyEvents(TViewId view);
  // Copy, then delete without the question (the events are in the clipboard).
  void CutEvents(TViewId view);
  void PasteEvents(TViewId view);
  void DeleteEvents(TViewId view);
  void CopyTimes(TViewId view);
  void PasteTimes(TViewId view);
  void AdjustTimes(TViewId view);
  void SyncSound();  // "サウンドと同期" of the graphic source view
  void SyncMovie();  // "動画と同期" of the sound event view
  // A click on the first column ("開始時間"); other columns do nothing.
  void SortByStartTime(TViewId view);
  // The add and edit dialogs are the caller's: Add takes the new event filled by its dialog,
  // Edit the edited copy of the first selected row's event (nothing when it was cancelled).
  void AddEvent(TViewId view, std::unique_ptr<TEvent> event);
  void EditEvent(TViewId view, const TEvent& edited);

  // ---- undo history ----
  void Undo();
  void Redo();

  // ---- every view ----
  // "すべて選択"; in the sound event view it clears the selection when all rows are selected.
  void SelectAll(TViewId view);
  // Dropping the selected rows of the view on row dropRow (the drag started at the focused row).
  void DropRows(TViewId view, int dropRow);

  // ---- layer views (GraphicLayers, SoundLayers) ----
  void AddLayer(TViewId view);
  void CopyLayers(TViewId view);
  void PasteLayers(TViewId view);
  void DeleteLayers(TViewId view);
  void RenameLayer(TViewId view, int row, const std::string& name);
  // Without files the user chooses them; given files (dropped on the window) are opened as chosen.
  void OpenLayerFiles(TViewId view, const std::vector<std::string>& files = {});
  void SaveLayers(TViewId view);
  void SaveLayersAs(TViewId view);

  // ---- tool bar ----
  // Asks first; then opens the given file (a recent project, a dropped file) or the chosen one
  // through OpenProjectFile.
  void OpenProject(const std::string& file = {});
  // An entry of the recent projects: opened as a given file; one that no longer exists is
  // taken off the list with a message instead.
  void OpenRecentProject(const std::string& file, const TRecentProjects& recent);
  // Opens a project file as "開く" does once a file is chosen, without the question (the
  // command line's way in); true when the project was replaced (also when a layer file failed
  // part way).
  bool OpenProjectFile(const std::string& file);
  void SaveProject();
  void SaveProjectAs();
  // The project settings dialog's OK.
  void ApplyProjectSettings(const TProjectSettings& settings);
  // Closing the window: true when the user answered Yes. The question says when there are
  // unsaved changes.
  bool ConfirmClose();

  // Files dropped from the file manager: a project file opens (with the question of opening),
  // layer files open into the layer views as chosen files do, and pictures, movies and sounds
  // become source events at the end of the shown graphic or sound layer (a new layer when none
  // is shown), all in one step. Other files are named in a message.
  void DropFiles(const std::vector<std::string>& files, TMediaAccess& media);

  // Hears the full path of every project file opened or written (the recent projects).
  void SetProjectFileHook(std::function<void(const std::string&)> hook) { projectFileHook_ = std::move(hook); }

 private:
  // Runs a step; an error of the engine becomes an error box.
  void Guard(const std::function<void()>& step);
  // The error box of a file that failed to load or save.
  void FileError(const std::exception& e, const std::string& file);
  template <class L>
  void AddLayerOf();
  template <class L>
  void PasteLayersOf();
  template <class L>
  void OpenLayerFilesOf(std::vector<std::string> files);
  enum class TRowSave { Saved, Skipped, Failed };
  template <class L>
  TRowSave SaveLayerRow(int row, bool saveAs, bool fullPathInColumn);
  // Every layer in row order, then the project file at the chosen name; the save point when
  // all of it was written.
  void SaveAll(bool saveAs);
  void SyncCommand(bool soundToMovie);
  template <class L>
  std::unique_ptr<TEditorCommand> DropSourcesCommand(const std::vector<std::string>& files, TMediaAccess& media);

  TProjectDocument& doc_;
  TEditorPrompt& prompt_;
  std::function<void(const std::string&)> projectFileHook_;
};

}  // namespace vexa
